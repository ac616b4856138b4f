#pragma once
// game_object_aagun_c: an anti-aircraft machine gun with its gunner (type 6,
// the "aaguns" section). Its one gun sits at the model's "gun" group and
// points where that group points; the level's gun parameters then replace
// the random ones Init gives. A timer event every 2 to 4 s picks a target;
// every frame it aims, fires bullets and turns the "man" group to face
// along the gun. GetRotation is always zero, so the muzzle offset is used
// unrotated when firing.
//
// Hits add up; at 1.0 it shows its "destroyed" model and calls
// "aaguns_on_destroyed", "<template>_on_destroyed" and
// "<name>_on_destroyed". Destruction runs once: later hits change nothing.
// Models and groups that are missing are skipped.
//
// Its shot sound, played while a burst lasts, is described in "MainGroup" by
// "fx_onSH" with "fx_onSH_file", "fx_onSH_distance" (10.0) and
// "fx_onSH_looped" (false); without "fx_onSH" it shoots silently. Bullets
// and sight lines test its "mask" group (CollisionNode of
// game/objects/target_events.h).
#include "game/objects/gun_shooter.h"

class object_template_c;
class sound_system_c;
class template_group_c;

class game_object_aagun_c : public gun_shooter_c {
public:
    // _sound may be null (no shot sound).
    void Init(object_template_c* _template, null_object_c* _node, sound_system_c* _sound = nullptr);
    void SetGunParameters(float _agility, float _burst_delay, int _burst_length, float _shooting_delay,
                          float _max_yaw_dot);

    int GetType() const override { return object_aagun; }
    void Update(float _time) override;
    vec3_c GetRotation() const override { return turretAngles; }
    // Turns the gunner: heading + pi, pitch negated, no bank.
    void SetRotation(const vec3_c& _rotation) override;
    bool IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                      float _maximum) override;
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    void HandleEvent(const game_event_c* _event) override;
    void OnMissionStart(float _time) override;

    null_object_c* manNode = nullptr;
    vec3_c turretAngles;
};
