// One world step of 500 game objects with 200 control points and 50 timers
// pending: the objects wander on noise, the control points test every object
// and the timers re-arm themselves, as a busy mission would.
#include "engine/null_object.h"
#include "game/game_world.h"
#include "game/objects/noise.h"
#include "game/script_host.h"
#include "level/control_point_object.h"
#include "level/level_scene.h"

#include <benchmark/benchmark.h>

namespace {

class wanderer_c : public game_object_c {
public:
    wanderer_c(int _index, int _type) : node("wanderer"), index(_index), type(_type)
    {
        entity = &node;
        activationPoints = {_index % 200, (_index * 7) % 200};
    }
    int GetType() const override { return type; }
    void Update(float _time) override
    {
        const f32 p[3] = {static_cast<f32>(index) * 0.37f, _time * 0.1f, 0.5f};
        node.position = vec3_c(static_cast<f32>(index % 50) * 20.0f + FractalNoise3(p, 3) * 30.0f, 0.0f,
                               static_cast<f32>(index / 50) * 20.0f);
    }
    void OnMissionStart(float) override {}
    void HandleEvent(const game_event_c* _event) override { world->AddTimer(this, 0.5f, _event->argument); }

    null_object_c node;
    int index;
    int type;
};

void WorldStep(benchmark::State& _state)
{
    game_log_c log(false);
    script_host_c script(&log);
    script.RunBuffer("count = 0\nfunction mission_process() count = count + 1 end\n"
                     "function control_point_on_enter() count = count + 1 end\n",
                     false, "bench.lua");
    level_scene_c level;
    for (int i = 0; i < 200; ++i) {
        auto point = std::make_unique<control_point_object_c>();
        point->name = string_c("point_%d", i);
        point->id = i;
        point->activationCounter = -1;
        point->shape = i % 2;
        point->size = 15.0f;
        point->position = vec3_c(static_cast<f32>(i % 50) * 20.0f, 0.0f, static_cast<f32>(i / 50) * 40.0f);
        level.levelObjects.push_back(std::move(point));
    }
    game_world_c world;
    game_world_context_c context;
    context.script = &script;
    context.levelScenes.push_back(&level);
    world.Init(context);
    world.SetControlPointScene(0);
    const int types[4] = {object_plane_ai, object_car, object_zeppelin, object_aagun};
    for (int i = 0; i < 500; ++i) {
        auto object = std::make_unique<wanderer_c>(i, types[i % 4]);
        game_object_c* added =
            types[i % 4] == object_plane_ai ? world.AddPlane(std::move(object)) : world.AddObject(std::move(object));
        if (i < 50)
            world.AddTimer(added, 0.01f * static_cast<f32>(i), static_cast<u32>(i));
    }
    world.StartMission(0.0f);
    float time = 0.0f;
    for (auto _ : _state) {
        time += 1.0f / 60.0f;
        world.Process(time);
    }
    _state.counters["timers"] = static_cast<double>(world.GetTimerCount());
}

} // namespace

BENCHMARK(WorldStep)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
