#pragma once
// game_object_plane_ghost_c: this program's copy of a plane flown on
// another machine of a network game. It has the model, sounds, effects and
// guns of every plane, but no controls and no flight step: the owner's
// state samples (each a time of the owner's plane clock, a position and a
// rotation) move it, and between samples it goes on along the last two
// (prediction_value_c with step -1).
//
// The pair (owner id, remote id) names it in the game messages: the owner
// is the player whose program flies it, the remote id -1 that player's own
// plane, any other value a computer plane of that program.
//
// Clock: the sample clock is the owner's time shown now. It advances with
// every local Update; a sample later than it sets it to the sample's time,
// and a sample that finds it more than 0.5 s ahead is pulled back to the
// sample's time + 0.5, so a late burst of samples cannot run the shown time
// far ahead of the data. Before a first sample (and for two samples of the
// same time) the plane stays where it was put.
//
// Damage: a local hit shows the effect of its kind (a kind outside the
// event effect table shows none; kind 6, an explosion, none either) and
// adds a tenth of its amount, at most up to 1.0; a network plane is never
// destroyed by local hits, only by its owner's destruction or crash
// messages (ApplyDestroyed, ApplyCrash).
//
// Message readers take the rest of a message body as the owner wrote it
// and change nothing when the body is too short (they return false, or
// ApplyCrash -1).
#include "game/object_links.h"
#include "game/objects/plane.h"
#include "game/objects/prediction_value.h"

class net_message_c;

class game_object_plane_ghost_c : public game_object_plane_c, public scored_plane_link_c {
public:
    game_object_plane_ghost_c();
    ~game_object_plane_ghost_c() override;

    int GetType() const override { return object_plane_ghost; }
    // Clock, sounds, effects, guns while firing, then the predicted place.
    void Update(float _time) override;
    // Moves the model only.
    void SetPosition(const vec3_c& _position) override;
    // The rotation comes from the samples alone.
    void SetRotation(const vec3_c&) override {}
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    // Last update time = _time; seen from outside.
    void OnMissionStart(float _time) override;
    // The plane's respawn, and the guns stop.
    void Respawn() override;

    // scored_plane_link_c.
    i32 GetScore() const override { return score; }
    u16 GetOwnerId() const override { return ownerId; }

    // f32 sample time; x, y, z; pitch, heading, bank.
    bool ReadState(net_message_c& _message);
    // One bit: the owner's guns fire.
    bool ReadFiringFlag(net_message_c& _message);
    // x, y, z; pitch, heading, bank: destroyed in the air, burned model,
    // "plane_explode".
    bool ApplyDestroyed(net_message_c& _message);
    // u32 kind; x, y, z; pitch, heading, bank. The plane is placed and
    // turned; -1 when it was already destroyed. Kind 2 (terrain): the
    // ground crash, "fx_onCR" and, the first time, "ground_crash"; returns
    // 2. Kind 0 (a scene object) and any other (water): destroyed, burned
    // model, "fx_onCR" for 0 or "fx_onWC", "water_crash", level wings, and
    // kind 1 sinks. Returns the kind.
    i32 ApplyCrash(net_message_c& _message);

    bool IsFiring() const { return firing != 0; }
    float GetSampleClock() const { return sampleClock; }
    void SetSampleClock(float _clock) { sampleClock = _clock; }
    const prediction_value_c<vec3_c>& GetPositionPredictor() const { return positionPredictor; }
    const prediction_value_euler_c& GetRotationPredictor() const { return rotationPredictor; }

    i32 remoteId = -1;
    u16 ownerId = 0;

private:
    // Places and turns the model.
    void Place(const vec3_c& _position, const vec3_c& _rotation);
    void Burn();

    float lastUpdateTime = 0.0f;
    float lastStep = 0.0f;
    prediction_value_c<vec3_c> positionPredictor;
    prediction_value_euler_c rotationPredictor;
    u8 firing = 0;
    float sampleClock = 0.0f;
};
