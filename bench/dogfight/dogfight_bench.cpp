// One world step of a dogfight: computer planes of two sides, as many on
// each, fighting over their own anti-aircraft guns and flak cannons (one of
// each for every four planes of a side). The argument is the number of
// planes of a side, 4 to 32 (8 to 64 planes in all); the fight goes on
// while the benchmark runs, so later steps see planes chasing, firing and
// falling. The step should grow close to linearly with the planes.
#include "game/objects/aagun.h"
#include "game/objects/flak.h"
#include "game/testing/box_target.h"
#include "game/testing/computer_planes.h"

#include <benchmark/benchmark.h>

namespace {

void AddGuns(plane_world_c& _setting, int _side, int _count)
{
    for (int i = 0; i < _count; ++i) {
        const vec3_c position(static_cast<f32>(_side) * 800.0f, 2.0f, static_cast<f32>(i) * 60.0f - 300.0f);
        // The box stands for the gun's model: the guns aim from it and
        // bullets hit it.
        auto* stand = static_cast<box_target_c*>(_setting.world.AddObject(
            std::make_unique<box_target_c>(&_setting.renderer, position, object_car, _side, 3.0f, 0)));
        auto flak = std::make_unique<game_object_flak_c>();
        flak->Init(nullptr, &stand->marker);
        flak->side = _side;
        _setting.world.AddObject(std::move(flak));
        auto gun = std::make_unique<game_object_aagun_c>();
        gun->Init(nullptr, &stand->marker);
        gun->side = _side;
        _setting.world.AddObject(std::move(gun));
    }
}

void Dogfight(benchmark::State& _state)
{
    const int perSide = static_cast<int>(_state.range(0));
    plane_world_c setting;
    for (int side : {1, -1}) {
        for (int i = 0; i < perSide; ++i) {
            computer_plane_options_c options;
            options.file.iff = side;
            options.seed = static_cast<u32>(i * 2 + (side > 0 ? 1 : 2));
            options.position = vec3_c(static_cast<f32>(side) * 700.0f + static_cast<f32>(i % 4) * 40.0f,
                                      250.0f + static_cast<f32>(i) * 8.0f, static_cast<f32>(i / 4) * 80.0f - 300.0f);
            options.rotation = vec3_c(side > 0 ? -1.57f : 1.57f, 0.0f, 0.0f);
            MakeComputerPlane(setting, options);
        }
        AddGuns(setting, side, perSide / 4 > 0 ? perSide / 4 : 1);
    }
    float time = 0.0f;
    setting.world.StartMission(time);
    for (auto _ : _state) {
        time += 1.0f / 60.0f;
        setting.world.Process(time);
    }
    _state.counters["planes"] = static_cast<double>(2 * perSide);
    _state.counters["flying"] =
        static_cast<double>(setting.world.CountAlivePlanes(1) + setting.world.CountAlivePlanes(-1));
    _state.counters["seconds"] = static_cast<double>(time);
}
BENCHMARK(Dogfight)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
