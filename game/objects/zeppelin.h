#pragma once
// game_object_zeppelin_c: a zeppelin or a ship (type 4, the "zeppelins"
// section), told apart by "on_destroy": "drop" a zeppelin, "drown" a ship
// (compared exactly; anything else is a zeppelin). It travels its walk path
// at "move_speed" km/h and defends itself with turret guns, which get their
// targets in turn, one every 3.0 / guns seconds. A zeppelin past 0.9 of its
// path bombs every 2.0 s until destroyed: straight down within 40 degrees,
// from 5 below it.
//
// Init takes (template, node, sound device, terrain). Its keys come from
// the template's "MainGroup" ("move_speed", "on_destroy",
// "drown_rotation_vector" (radians per second), "drown_rotation_end" (a
// rotation in degrees), "drop_drown_speed", and "iff" for the side, -1 when
// absent), not from the placed object's list.
//
// Guns: every template group whose name begins with "gun_" and that has a
// node. Its node's descendant "dzialko", when there is one, gives the muzzle
// (its origin) and the rest direction (the cross product of its frame's x
// and y axes, normalised unless zero); without one the muzzle is the group
// node's origin and the rest direction (0, 0, 1). Both are kept in the
// zeppelin's own frame. The group's keys "gun burst delay" (0.4), "gun
// burst length" (1, truncated), "gun shooting delay" (0.4), "gun max yaw
// dot" (0.0), "gun sound file" and "gun sound distance" (20.0) fill the
// gun; agility is always 0.7 and the aim starts along (0, 0, 1).
//
// Hits: the event effect of the kind at the point; damage adds
// factor x amount x 0.025 (factor 2.0; 1.0 for an Allied object or with
// the steady-aim creation flag). At 1.0 it is destroyed once: "fx_onEX",
// the "burned" model, the world's zeppelin or ship counters,
// "zeppelins_on_destroyed" or "ships_on_destroyed", "<template>_on_destroyed"
// and "<name>_on_destroyed". Then it falls (or sinks) under gravity x
// "drop_drown_speed", turning by the rotation rate until each angle reaches
// its end, until the ground is below its next position: there it rests on
// the ground, crashed, with its "crashed" model and "fx_onCR".
//
// Ground: the terrain at the object's x and z (probed from 10000 down);
// without a terrain, or off its edge, the plane at height 0 stands in, so a
// fall always ends. A path of length 0 holds the
// object at its point and a speed of 0 or less at its start: no NaN.
#include "game/objects/gun_shooter.h"

#include <memory>
#include <vector>

class sound_system_c;

enum zeppelin_destroy_e : i32 {
    zeppelin_drop = 0,
    zeppelin_drown = 1,
};

class game_object_zeppelin_c : public gun_shooter_c {
public:
    game_object_zeppelin_c();
    ~game_object_zeppelin_c() override;

    // _sound and _terrain may be null (no gun sounds; the ground plane).
    void Init(object_template_c* _template, null_object_c* _node, sound_system_c* _sound, null_object_c* _terrain);
    // Stores the path (may be null) and puts the object at its start.
    void SetMovePath(walk_path_c* _path);
    // 1 "normal", 2 "burned", 3 "crashed".
    void SetModelState(int _state);
    void StartBombing();

    int GetType() const override { return object_zeppelin; }
    void Update(float _time) override;
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    void HandleEvent(const game_event_c* _event) override;
    void OnMissionStart(float _time) override;
    void OnProjectileImpact(const vec3_c& _point, const vec3_c& _normal, const projectile_c* _projectile) override;

    // The fraction of the path reached after _travel_time seconds.
    float PathFraction(float _travel_time) const;
    // The height of the ground at _point's x and z: the terrain's, else 0.
    float GroundHeight(const vec3_c& _point) const;

    f32 travelTime = 0.0f;
    u8 bombing = 0;
    f32 nextBombTime = 0.0f;
    walk_path_c* movePath = nullptr;
    null_object_c* terrain = nullptr;
    u8 crashed = 0;
    vec3_c fallVelocity;
    f32 moveSpeed = 1.0f; // metres per second
    i32 modelState = 1;
    i32 destroyKind = zeppelin_drop;
    vec3_c rotationRate;
    vec3_c extraRotation;
    vec3_c rotationEnd;
    f32 fallSpeedFactor = 1.0f;
    // The rotation it had when it began to fall.
    vec3_c fallRotation;

private:
    void ReadGuns(sound_system_c* _sound);
    void Fall(float _dt);
    void DropBomb();
    void ArmGunTimer();
};
