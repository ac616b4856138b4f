#pragma once
// game_object_plane_c: what every plane shares, whoever flies it (the
// player's plane, a computer-flown plane, the copy of a remote player's
// plane derive from it). It owns its model, flight state, weapons, sounds
// and effect objects; the scene only lists their nodes.
//
// Loading: Load reads the model (an object template) and LoadParameters
// takes everything else from the model's "MainGroup" parameters and the
// sound script they name. A missing required key throws file_error_c naming
// the model file and the key; a sound script without a required key of its
// command throws command_error_c; a sound file that cannot be opened throws
// the audio layer's error.
//
// Parts. The model's parts are its template groups: part i is group i,
// named by the group's name, moved through the group's node. Parts are
// classified once at load by name, ignoring case: names ending "_br" and
// "_bl" (ailerons), "__p" (elevators), "__h" (rudders), and the single parts
// "airscrew_fast", "airscrew_slow", "out_engine", "compass", "arrow1",
// "arrow2", "out_wl", "out_wr". Any of them may be missing (or have no
// node): what would move it is then skipped. The view groups ("inside",
// "guns", "outside", "distant", "burned", "crashed") and "mask" (the
// collision shape) and "shadow" are template models shown with ShowModel.
//
// Sound script: a parameter text file, one command per sound group (see
// plane_sound_script.cpp for the commands and keys). A command that names
// the key "dist" more than once gives each sound the first "dist" after
// that sound's own key. A missing command leaves its sounds absent, and
// every use of a sound skips an absent one.
//
// Controls. The owner's update drives a plane through these, each frame,
// before UpdateFlight:
//   SetThrust(t)           throttle, held in [minimum thrust, maximum thrust]
//   SetCommands(r, p, y)   roll, pitch and yaw commands, nominally -1..1
//                          (the owner scales them by handling and damage);
//                          SetAilerons/SetElevator/SetRudder show them
//   SetAutoLevel(on)       levels wings and nose instead of the commands
//   FireGuns(time)         while the trigger is held: a bullet every 0.1 s,
//                          guns alternating
//   DropBomb(time, gap)    a bomb when one is left and gap has passed
//   FireRocket(time)       a rocket every 2.0 s while rockets are left
//   PlayGunJam()           the jam sound
// and reads back GetSpeed, GetAltitude, IsFlyable, IsTouchingGround.
//
// Flight step (UpdateFlight, the player's plane; the computer pilot has its
// own): the speed follows a target set by thrust, climb and height with an
// exact exponential response, the plane advances along its nose, sinks and
// drifts by its bank, stalls below 1.25 x the minimum velocity, is turned
// home beyond +-2800 on x and z, and the attitude matrix (rows right, up,
// forward) is turned by the commands about its own axes; the Euler angles
// are derived from the matrix. Zero or equal ranges in the plane file
// (velocity, thrust, pitch) never divide: a ratio over an empty range is 0.
//
// Random values (roll jitter, muzzle-light flicker, particle spawns) come
// from the plane's own generator, seeded from its name at load: two runs of
// the same controls and time steps give bit-identical states.
//
// Effects: the smoke's fade drives its emitter's dissolve (dissolve =
// damage). Event effects use the model's "MainGroup" parameters.
//
// Lifetime: the scene, the sound system and the world's effects manager
// must outlive the plane.
#include "game/objects/game_object.h"
#include "game/objects/plane_view.h"

#include "foundation/matrix.h"
#include "foundation/random_numbers.h"

#include <memory>
#include <string>
#include <vector>

class aggregate_c;
class emitter_c;
class light_c;
class null_object_c;
class object_template_c;
class parameter_list_c;
class renderer_c;
class sound_source_c;
class sound_system_c;

// A segment in the plane's model space.
struct plane_segment_c {
    vec3_c first;
    vec3_c second;
};

// One sound of the script with its place relative to the plane.
struct plane_sound_c {
    std::unique_ptr<sound_source_c> source;
    vec3_c shift;
    float minPitch = 0.0f;
    float maxPitch = 0.0f;

    plane_sound_c();
    ~plane_sound_c();
    plane_sound_c(plane_sound_c&&) noexcept;
    plane_sound_c& operator=(plane_sound_c&&) noexcept;
    sound_source_c* operator->() const { return source.get(); }
    explicit operator bool() const { return source != nullptr; }
};

// The points of a speed curve: (s1, v1), (s2, v2), (s3, v3).
struct speed_curve_c {
    float s[3] = {0.0f, 0.0f, 0.0f};
    float v[3] = {0.0f, 0.0f, 0.0f};

    // The value at q: v1 up to s1, linear between the points, v3 past s3.
    float Evaluate(float _q) const;
};

// Heading, pitch and bank of an attitude matrix (rows right, up, forward);
// mat3_c::SetEuler of the result gives the matrix back.
vec3_c AttitudeAngles(const mat3_c& _attitude);

class game_object_plane_c : public game_object_c {
public:
    static constexpr int rocket_slots = 8;
    static constexpr float map_limit = 2800.0f;

    game_object_plane_c();
    ~game_object_plane_c() override;

    // Loads the model file with the renderer, then LoadParameters.
    void Load(const char* _file_name, renderer_c* _renderer, aggregate_c* _scene, sound_system_c* _sound,
              bool _effects);
    // Takes the model and reads its parameters, parts, sound script (only
    // with a sound system) and effects (only when asked); see above.
    void LoadParameters(std::unique_ptr<object_template_c> _model, renderer_c* _renderer, aggregate_c* _scene,
                        sound_system_c* _sound, bool _effects);

    // The world's object interface.
    void Update(float _time) override;
    void OnMissionStart(float _time) override;
    // Moves the model and probes the altitude.
    void SetPosition(const vec3_c& _position) override;
    // Turns the model. Both setters bring the model's matrices up to date,
    // so that ray tests against it see where it is now.
    void SetRotation(const vec3_c& _rotation) override;
    // The "mask" collision shape when the model has one, else the model.
    bool IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                      float _maximum) override;
    // The visible model: "outside" made testable, "mask" not, for the test.
    bool IntersectRayExact(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                           bool _precise, float _maximum) override;
    // Whether rays hit the "mask" group.
    void SetVisible(bool _visible) override;
    // "fx_onBE" for a bomb, "fx_onRE" for any other projectile.
    void OnProjectileImpact(const vec3_c& _point, const vec3_c& _normal, const projectile_c* _projectile) override;
    // Back at the side's next spawn point, intact, at 80% of the speed and
    // thrust ranges, viewed from outside; its effects expire. Without a spawn
    // point of its side the plane stays where it is.
    virtual void Respawn();

    // Shows exactly one view group (1 to 6; any other value hides all).
    void SetModelView(int _view);
    int GetModelView() const { return modelView; }
    // A timer event to this plane after _delay.
    void StartTimer(float _delay, u32 _argument);

    // Controls (see above).
    void SetThrust(float _thrust);
    void SetCommands(float _roll, float _pitch, float _yaw);
    void SetAutoLevel(bool _on) { autoLevel = _on ? 1 : 0; }
    bool FireGuns(float _time);
    void DropBomb(float _time, float _interval);
    void FireRocket(float _time);
    void PlayGunJam();
    // Up to 8 rockets, alternating left and right from the left, each side's
    // stacked 0.2 lower; a slot's rocket model (loaded with the renderer into
    // the scene once) is shown again. Null renderer or scene: the slots get
    // no models.
    void SetWeapons(int _rockets, int _bombs, renderer_c* _renderer, aggregate_c* _scene);

    // Flight (see above), the altitude probe, ground and collisions.
    void UpdateFlight(float _dt);
    void UpdateAltitude();
    float GetAltitude() const { return altitude; }
    // Whether a wheel or the tail is below the ground (altitude at most 10);
    // stored as the wheel contact.
    bool IsTouchingGround();
    // Rolls on the ground: attitude from the ground under the contact
    // points, lift to wheel height, friction.
    void UpdateGroundContact(float _dt);
    bool CheckTerrainCollision(bool _skip_segments);
    // Placed objects and waters of the level against the collision
    // segments; a water hit shows "fx_onWC".
    bool CheckObjectCollision(bool& _into_water);
    bool IsFlyable() const;
    // Wrecks the plane on the ground (once): crashed view, "fx_onCR",
    // crash sound, stopped, set 0.5 into the ground.
    void CrashOnGround(float _time);

    void SetRudder(float _x);
    void SetElevator(float _x);
    void SetAilerons(float _x);
    void UpdateAirscrew(float _time);
    void UpdateWheels(float _dt);
    void SetWheelSpin(float _spin) { wheelSpin = _spin; }
    void UpdateInstruments(float _engine_needle, float _compass_angle, float _altimeter_angle, float _dt);

    // Sounds and effects, every frame.
    void UpdateSounds(float _dt);
    float GetEngineLoad() const;
    void UpdateEffects(float _time);

    // Rows right, up, forward; rebuilt from the rotation by SetAttitude.
    const mat3_c& GetAttitude() const { return attitude; }
    void SetAttitude(const vec3_c& _rotation);
    vec3_c GetForward() const;
    float GetSpeed() const { return speed; }
    void SetSpeed(float _speed) { speed = _speed; }
    float GetThrust() const { return thrust; }
    float GetMinVelocity() const { return minVelocity; }
    float GetMaxVelocity() const { return maxVelocity; }
    float GetMinThrust() const { return minThrust; }
    float GetMaxThrust() const { return maxThrust; }
    object_template_c* GetModel() const { return model.get(); }
    // The model's "MainGroup" parameters, from which event effects are made.
    const parameter_list_c* GetEffectParameters() const;
    // A part's node by index; null for -1 or a part without a node.
    null_object_c* GetPart(int _index) const;
    int FindPart(const char* _name) const;
    bool IsWrecked() const { return wrecked != 0; }
    bool HasWheelContact() const { return wheelContact != 0; }
    int GetRocketCount() const { return rocketCount; }
    int GetBombCount() const { return bombCount; }
    // Where the HUD's sight aims from: half the sum of the two gun heights.
    float GetGunHeight() const { return (gunLeft.y + gunRight.y) * 0.5f; }
    // How hot the guns are, 0 to 1; the player's plane keeps it, others
    // stay cold.
    virtual float GetGunHeat() const { return 0.0f; }
    bool HasSounds() const { return hasSounds != 0; }
    const plane_sound_c& GetSound(const char* _name) const;

    // Camera and instrument points read by the game camera and HUD.
    vec3_c insideCameraShift{0.0f, 0.75f, -0.9f};
    vec3_c outsideCameraShift{0.0f, 4.0f, -12.5f};
    vec3_c overgunsCameraShift{0.0f, 0.75f, 0.0f};

    // Plane file values.
    std::string planeName;
    float altitudeRating = 0.0f;
    float speedRating = 0.0f;
    float handling = 1.0f;
    float durability = 0.0f;
    float engineFactor = 1.0f;
    // Shown in messages about its destruction.
    string_c displayName;
    float respawnTime = -1.0f;
    // Kills minus losses in a network game.
    i32 score = 0;
    // Added to the speed with which the player's plane advances.
    float extraSpeed = 0.0f;
    u8 sinking = 0;
    u8 groundRunEffect = 0;
    u8 engineRunning = 1;
    float timeSinceEngineStart = 1000.0f;
    float timeSinceEngineStop = 1000.0f;
    float turbulence = 0.0f;
    float engineNeedle = 0.0f;

    // In a network game: the kill is counted and the destruction sent to
    // the other programs (game_messages_c::AnnounceDestroyed); nothing
    // outside one.
    void AnnounceDestroyed(u16 _victim_word, u32 _victim_id, game_object_c* _killer);

protected:
    struct rocket_slot_c {
        u8 fired = 1;
        vec3_c mount;
        std::unique_ptr<object_template_c> model;
    };

    // _a / _b, or 0 over an empty range.
    static float Ratio(float _a, float _b) { return _b != 0.0f ? _a / _b : 0.0f; }
    // The ground run ended (altitude above 5): the player's plane stops its
    // force-feedback effect here.
    virtual void OnGroundRunEnded() {}
    void RefreshTransform();
    // A point of the model carried into world space.
    vec3_c ToWorld(const vec3_c& _model_point) const;
    // _v turned by the plane's rotation.
    vec3_c Turned(const vec3_c& _v) const;
    // A ray straight down from _height above _point against the terrain;
    // the hit distance, or a negative value without terrain or hit.
    float GroundDistance(const vec3_c& _point, float _height) const;
    null_object_c* Terrain() const;
    void ShowEffects(const char* _event, const vec3_c& _point, const vec3_c& _normal);
    void PlayAt(const plane_sound_c& _sound, const vec3_c& _shift);
    void StopSound(const plane_sound_c& _sound);
    void LoadSoundScript(const char* _file, sound_system_c* _sound);
    void CreateEffectObjects(renderer_c* _renderer);
    void ReleaseEffectObjects();
    void UpdateEngineSounds();
    void UpdateEngineDamageSounds();
    void PlaceSounds();

    int modelView = plane_view_none;
    float speed = 25.0f;
    float friction = 0.0f;
    float minVelocity = 15.0f;
    float maxVelocity = 30.0f;
    float thrust = 1.0f;
    float minThrust = 0.01f;
    float maxThrust = 1.0f;
    u8 autoLevel = 0;
    std::unique_ptr<object_template_c> model;

    emitter_c* smoke = nullptr;
    emitter_c* cases = nullptr;
    null_object_c* flash = nullptr;
    light_c* fireLight = nullptr;

    u8 gunsFiring = 0;
    int gunSide = 0;
    int nextRocket = 0;
    float lastGunShot = 0.0f;
    float lastBomb = 0.0f;
    float lastRocket = 0.0f;
    float altitude = 0.0f;
    u8 fastAirscrew = 0;
    u8 destructionEffect = 0;
    u8 engineOffSound = 0;
    u8 engineStartSound = 0;
    u8 wrecked = 0;
    int rocketCount = 0;
    int bombCount = 0;
    rocket_slot_c rockets[rocket_slots];
    aggregate_c* scene = nullptr;

    std::vector<int> rightAilerons;
    std::vector<int> leftAilerons;
    std::vector<int> elevators;
    std::vector<int> rudders;
    std::vector<plane_segment_c> collisionSegments;
    std::vector<plane_segment_c> contactSegments;
    int airscrewFast = -1;
    int airscrewSlow = -1;
    int outEngine = -1;
    int arrow1 = -1;
    int compass = -1;
    int arrow2 = -1;
    int wheelLeft = -1;
    int wheelRight = -1;

    u8 wheelContact = 0;
    float groundSoundLevel = 0.0f;
    float wheelSpin = 0.0f;
    float lastTime = 0.0f;

    vec3_c gunLeft;
    vec3_c gunRight;
    u8 insideGuns = 0;
    vec3_c insideGunLeft;
    vec3_c insideGunRight;
    vec3_c rocketLeft;
    vec3_c rocketRight;
    vec3_c compassPivot;
    vec3_c w1Pivot;
    vec3_c w2Pivot;

    u8 hasSounds = 0;
    vec3_c engineShift;
    plane_sound_c engineNormal, engineDestr1, engineDestr2, engineChoke, engineUnchoke, engineOn, engineOff,
        engineExplode;
    plane_sound_c windLeft, windRight, noiseLeft, noiseRight;
    speed_curve_c windCurve, noiseCurve;
    plane_sound_c planeExplode, groundCrash, waterCrash, gunShot, shells, gunJam, touchdown, onGround, fireRocket,
        bombRelease;
    std::vector<plane_sound_c> bulletHits;
    std::vector<plane_sound_c> nearMisses;
    float enginePitch[3] = {-1.0f, -1.0f, -1.0f};

    u8 effectsEnabled = 0;
    mat3_c attitude;
    float rollCommand = 0.0f;
    float pitchCommand = 0.0f;
    float yawCommand = 0.0f;
    random_c random;
};
