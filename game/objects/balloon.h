#pragma once
// game_object_balloon_c: an observation balloon (type 5, the "balloons"
// section). It floats on a slowly varying height above its ground height,
// sinks when damaged above 0.2 (faster the more), and once destroyed burns
// and falls 10 units a second until it lands, where it shows its
// "destroyed" model and its effects end. Hits count x 0.15; destruction
// runs once: it is counted and calls "balloons_on_destroyed",
// "<template>_on_destroyed" and "<name>_on_destroyed".
//
// Without an entity it has no place (the base reads zeros) and nothing moves.
// Bullets and sight lines test its "mask" group (CollisionNode of
// game/objects/target_events.h).
#include "game/objects/game_object.h"

class object_template_c;

class game_object_balloon_c : public game_object_c {
public:
    // The height offset is the node's height above _ground_height now.
    void Init(float _ground_height, object_template_c* _template, null_object_c* _node);

    int GetType() const override { return object_balloon; }
    void Update(float _time) override;
    bool IntersectRay(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                      float _maximum) override;
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;
    void OnMissionStart(float _time) override;

    object_template_c* tmpl = nullptr;
    f32 heightOffset = 0.0f;
    f32 groundHeight = 0.0f;
    f32 lastUpdateTime = 0.0f;
    u8 fallen = 0;

private:
    void Destroy(game_object_c* _attacker);
    void ShowModels(bool _normal, bool _burned, bool _destroyed);
};
