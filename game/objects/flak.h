#pragma once
// game_object_flak_c: a flak cannon, a ground target (type 7, the "cannons"
// section) with one fixed shell gun that bursts its shells 30 to 300 units
// out. A timer event every 1 to 2 s picks a target; every frame it aims and
// fires. Hits wear it down (amount x 0.1 x 5, or x 1 for a pilot whose
// profile asks for steady aim); at 1.0 it shows its "destroyed" model, is
// counted, and calls "flaks_on_destroyed", "<template>_on_destroyed" and
// "<name>_on_destroyed". Destruction runs once: later hits change nothing.
//
// The model is the placed object's template and node (Init); without a
// template it has no models or effects but still fights. Its shot sound,
// played while a burst lasts, comes from "MainGroup"'s "fx_onAT" with
// "fx_onAT_file", "fx_onAT_distance" (10.0) and "fx_onAT_looped" (false).
// Bullets and sight lines test its "mask" group (CollisionNode of
// game/objects/target_events.h).
#include "game/objects/gun_shooter.h"

class object_template_c;
class sound_system_c;

class game_object_flak_c : public gun_shooter_c {
public:
    // Gives the fixed gun, the side ("iff" of "MainGroup"), the shot sound
    // (none with a null _sound) and the models.
    void Init(object_template_c* _template, null_object_c* _node, sound_system_c* _sound = nullptr);

    int GetType() const override { return object_flak; }
    void Update(float _time) override;
    vec3_c GetRotation() const override { return turretAngles; }
    void SetRotation(const vec3_c& _rotation) override { turretAngles = _rotation; }
    bool IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                      float _maximum) override;
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    void HandleEvent(const game_event_c* _event) override;
    void OnMissionStart(float _time) override;
    void OnProjectileImpact(const vec3_c& _point, const vec3_c& _normal, const projectile_c* _projectile) override;
    void OnShot(int _gun) override;

    vec3_c turretAngles;
};
