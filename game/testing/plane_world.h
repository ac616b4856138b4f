#pragma once
// A world for plane tests: a recording renderer and scene, the plane files
// in memory, a flat ground at height 0, an effects manager and a recording
// sound system that knows every sound file of the test plane.
#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "game/fx_manager.h"
#include "game/game_world.h"
#include "game/testing/flat_ground.h"
#include "game/testing/plane_fixtures.h"
#include "game/testing/recording_sound.h"
#include "game/testing/test_plane.h"
#include "level/testing/memory_files.h"

#include <memory>

class level_scene_c;

// Scenery to crash into: a tower 300 high on the origin, 4 wide, and a lake
// of extent 200 around (1000, 0, 0).
void AddTowerAndLake(level_scene_c& _level, renderer_c* _renderer);

class plane_world_c {
public:
    plane_world_c();
    ~plane_world_c();

    // Writes _file as "planes\testbird.op" and loads a plane of _type from
    // it, with or without sounds, into the world.
    test_plane_c* MakePlane(const test_plane_file_c& _file = test_plane_file_c(), int _type = object_plane_user,
                            bool _sounds = true);
    // Init again with the context (after changing it).
    void Restart() { world.Init(context); }

    recording_renderer_c renderer;
    scene_c scene{"scene", &renderer};
    memory_file_system_c files;
    std::unique_ptr<terrain_c> ground;
    recording_sound_system_c sound;
    fx_manager_c effects;
    game_world_context_c context;
    game_world_c world;
};
