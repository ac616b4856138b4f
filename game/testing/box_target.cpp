#include "game/testing/box_target.h"

box_target_c::box_target_c(renderer_c* _renderer, const vec3_c& _position, int _type, int _side, float _half,
                           int _hits_to_destroy)
    : marker("target", 0.0f, _renderer, vec3_c(-_half, -_half, -_half), vec3_c(_half, _half, _half)), type(_type),
      hitsToDestroy(_hits_to_destroy)
{
    entity = &marker;
    side = _side;
    marker.position = _position;
    marker.SetVisibility(true, true);
    marker.UpdateTransform(nullptr);
}

void box_target_c::TakeDamage(const vec3_c&, const vec3_c&, float, game_object_c*, int)
{
    ++hits;
    if (hitsToDestroy > 0 && hits >= hitsToDestroy)
        destroyed = 1;
}
