#pragma once
// test_plane_c: a plane flown by set controls, for tests and benchmarks. Its
// frame runs the shared plane operations in the order the player's plane
// runs them; a collision with an object or water destroys it (sinking for
// water), one with the terrain crashes it.
#include "game/objects/plane.h"

class test_plane_c : public game_object_plane_c {
public:
    explicit test_plane_c(int _type = object_plane_user) : type(_type) {}

    int GetType() const override { return type; }
    void Update(float _time) override;
    // Like the player's plane: the attitude follows a rotation set from
    // outside.
    void SetRotation(const vec3_c& _rotation) override;

    int type;
    float roll = 0.0f;
    float pitch = 0.0f;
    float yaw = 0.0f;
    bool trigger = false;
    int crashes = 0;
    float lastUpdate = -1.0f;
};
