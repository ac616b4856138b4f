#pragma once
// ai_pilot_c: the brain of one computer plane. It keeps a stack of
// manoeuvres and every step steers and moves its plane towards the current
// one; the computer plane's flight integration lives here, not in the
// flight model of the player's plane. It tells its plane, through the
// plane's HandleEvent, what it sees and wants:
//   0  an object came into full sight (argument: the distance as float
//      bits; sender: the object)
//   1  the object it chases went out of sight (sender: the object)
//   2  the chased target is in the gun sight: fire
//   3  every manoeuvre is done: plan the next ones
//   5  the bomb target is under the release point: drop a bomb
//
// Manoeuvres. The current one is at the back of the list; Push operations
// add at the front (done after everything queued), the others at the back
// (done now). Kinds and their debug names:
//   0 " nop", 1 " goto", 2 " trace", 3 " follow", 4 " bomb", 5 " dodge",
//   6 " landing", 7 " taking off", 8 " unc. spin".
// An empty stack reads as a nop.
//
// Skill: SetSkill(s) sets the reaction to -s (read as -1 in a network
// game) and
// the lead time to s x 0.5 s. A reaction of -0.95 or less (skill 0.95 or more)
// turns with 30 times the roll demand in a chase, goto or dodge (8 times
// otherwise) and keeps the sight state of objects out of range. The
// control gain (SetAce) scales every turn demand; a gain of 0 never
// divides: it is treated as the smallest positive gain.
//
// Turning: the roll rate banks the plane about its forward axis, the pitch
// and yaw outputs turn it about its right and up axes; the axes are
// re-orthogonalised each step and the rotation is derived from them, so a
// zero or opposite aim vector gives a held course, never a NaN. A banked
// plane sinks by its bank; no upward push offsets it: the pitch demand
// holds the height.
//
// Random values (personal values at construction, startles, dodge points)
// come from the pilot's own generator, seeded at construction: the same
// seed, inputs and steps give bit-identical flights.
//
// Objects the pilot points to (traced, followed, seen) are not owned; the
// plane calls ForgetObject when one leaves the world.
#include "foundation/random_numbers.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <list>
#include <map>

class game_object_c;
class game_object_plane_ai_c;

enum ai_manoeuvre_kind_e : i32 {
    manoeuvre_nop = 0,
    manoeuvre_goto = 1,
    manoeuvre_trace = 2,
    manoeuvre_follow = 3,
    manoeuvre_bomb = 4,
    manoeuvre_dodge = 5,
    manoeuvre_landing = 6,
    manoeuvre_taking_off = 7,
    manoeuvre_spin = 8,
};

struct ai_manoeuvre_c {
    i32 kind = manoeuvre_nop;
    vec3_c point;
    game_object_c* object = nullptr;
};

// " goto" and the like; " nop" for a kind outside the table.
const char* GetManoeuvreName(i32 _kind);

class ai_pilot_c {
public:
    static constexpr float sight_range = 6000.0f;

    explicit ai_pilot_c(u32 _seed = kRandomDefaultSeed);

    void SetPlane(game_object_plane_ai_c* _plane) { plane = _plane; }
    void SetSkill(float _skill);
    void SetAce(float _gain) { controlGain = _gain; }
    // The first (noticed) and second (seen) sight ranges.
    void SetRanges(float _first, float _second);

    // Manoeuvre builders. Goto points are lifted to at least 50 above the
    // terrain. Bomb: approach 50 above the point, bomb, climb away 150
    // beyond it. Land: approach 200 before the touchdown at 60, land at the
    // touchdown, then roll towards the direction point. TakeOff: take off,
    // then fly 100 beyond the point at 60. Dodge replaces every dodge; a
    // point above 1000 is lowered by 100.
    void Goto(const vec3_c& _point);
    void PushGoto(const vec3_c& _point);
    void Trace(game_object_c* _object);
    void Follow(game_object_c* _object);
    void Bomb(const vec3_c& _point);
    void Land(const vec3_c& _touchdown, const vec3_c& _direction);
    void TakeOff(const vec3_c& _point);
    void Dodge(const vec3_c& _point);
    void Spin();
    void ClearManoeuvres();
    // Removes the current manoeuvre; with none left the plane gets event 3.
    void PopManoeuvre();
    ai_manoeuvre_c GetCurrentManoeuvre() const;
    bool HasManoeuvres() const { return !manoeuvres.empty(); }
    const std::list<ai_manoeuvre_c>& GetManoeuvres() const { return manoeuvres; }
    void SetManoeuvrePoint(const vec3_c& _point);
    // Roll rate, outputs, perturbation and speed command to 0.
    void ResetControls();

    // With a terrain under the point: lifts the point to _height above the
    // ground when it is lower and answers true; false otherwise.
    bool RaiseAboveTerrain(vec3_c& _point, float _height) const;
    // True without a terrain, or when the segment meets none before _to;
    // _hit gets the terrain point met.
    bool IsPathClear(const vec3_c& _from, const vec3_c& _to, vec3_c& _hit) const;
    // IsPathClear; _point gets the terrain point when the path is blocked.
    bool IsDodgeClear(const vec3_c& _from, const vec3_c& _to, vec3_c& _point) const;
    // Within 400, and within the cone 1 - 2.5 / distance around the aim
    // (the nose, lifted by half the pitch output).
    bool InGunSight(const vec3_c& _point) const;
    // Level enough, and the bomb's predicted impact within 100 of the point
    // with the point just passed. No fall time below the point.
    bool AtBombRelease(const vec3_c& _point) const;
    bool IsManoeuvreDone();

    // Shakes the controls (a hit, a near miss).
    void Startle(float _f);
    void CrashNow();
    // One terrain probe (or all five while the way was clear) ahead.
    void CheckTerrainAhead();
    // Sight and collision avoidance against every other object; true when
    // the pilot swerved.
    bool ScanPlanes();
    void Step(float _dt);

    // The object leaves the world: every manoeuvre on it goes, and its
    // sight state.
    void ForgetObject(game_object_c* _object);
    void ClearTargets() { targets.clear(); }
    int GetSightState(game_object_c* _object) const;

    float GetRollOutput() const { return rollOutput; }
    float GetPitchOutput() const { return pitchOutput; }
    float GetYawOutput() const { return yawOutput; }
    // -skill, or -1 in a network game.
    float GetReaction() const { return Reaction(); }
    float GetLeadTime() const { return leadTime; }
    float GetControlGain() const { return controlGain; }
    float GetSpeedCommand() const { return speedCommand; }
    const vec3_c& GetTargetPoint() const { return targetPoint; }
    const vec3_c& GetPerturbation() const { return perturbation; }
    random_c& GetRandom() { return random; }

private:
    void Add(const ai_manoeuvre_c& _manoeuvre, bool _front);
    void Tell(u32 _kind, game_object_c* _object, float _argument = 0.0f) const;
    bool AtPoint(float _squared_distance) const;
    float Gain() const;
    float Reaction() const;
    void CallLanded() const;
    // The stall escape of a steep, slow climb.
    void EscapeStall(const ai_manoeuvre_c& _current);
    // Step part 5: the steering target and demanded speed; false when the
    // steering is held.
    bool Aim(ai_manoeuvre_c& _current, float& _demanded);
    void Steer(const ai_manoeuvre_c& _current, bool _steer, float _dt);
    void Fly(const ai_manoeuvre_c& _current, float _demanded, float _dt);

    game_object_plane_ai_c* plane = nullptr;
    std::list<ai_manoeuvre_c> manoeuvres;
    std::map<game_object_c*, i32> targets;
    random_c random;
    vec3_c perturbation; // pitch, yaw, roll
    float seeds[3] = {0.0f, 0.0f, 0.0f};
    vec3_c targetPoint;
    vec3_c formationOffset;
    u8 replan = 0;
    u8 terrainClear = 1;
    i32 probeIndex = 0;
    float rollRate = 0.0f;
    float rollOutput = 0.0f;
    float pitchOutput = 0.0f;
    float yawOutput = 0.0f;
    float controlGain = 1.0f;
    float speedCommand = 8.0f;
    float firstRange = sight_range;
    float secondRange = sight_range;
    float reaction = -1.0f;
    float preferredDistance = 80.0f;
    float leadTime = 0.0f;
    // Rows right, up, forward after the last step's turn.
    vec3_c steering[3] = {vec3_c(1.0f, 0.0f, 0.0f), vec3_c(0.0f, 1.0f, 0.0f), vec3_c(0.0f, 0.0f, 1.0f)};
};
