#pragma once
// Computer planes for tests and benchmarks: the test plane file flown by a
// computer pilot in a plane world (flat ground at 0).
#include "game/objects/computer_plane.h"
#include "game/testing/plane_world.h"

struct computer_plane_options_c {
    vec3_c position{0.0f, 300.0f, 0.0f};
    vec3_c rotation;
    float skill = 0.7f;
    float gain = 0.5f;
    u32 seed = 1;
    test_plane_file_c file;
    bool sounds = false;
};

// The fixed files of a plane's effect objects (smoke, cases, muzzle flash).
void AddPlaneEffectFiles(file_set_t& _files);

// Loads the plane with its pilot into the world, at 30 units a second.
game_object_plane_ai_c* MakeComputerPlane(plane_world_c& _setting, const computer_plane_options_c& _options);
