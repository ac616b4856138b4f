#pragma once
// box_target_c: a target for tests and benchmarks, a box of half side
// _half around its position that bullets hit, of the type and side given.
// Every hit counts; _hits_to_destroy of them destroy it (0: never).
#include "engine/testing/marker_object.h"
#include "game/objects/game_object.h"

class box_target_c : public game_object_c {
public:
    box_target_c(renderer_c* _renderer, const vec3_c& _position, int _type, int _side, float _half = 6.0f,
                 int _hits_to_destroy = 4);

    int GetType() const override { return type; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
    void TakeDamage(const vec3_c& _point, const vec3_c& _direction, float _amount, game_object_c* _attacker,
                    int _kind) override;

    marker_object_c marker;
    int type;
    int hitsToDestroy;
    int hits = 0;
};
