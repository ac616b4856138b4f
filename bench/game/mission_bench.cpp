// The builder's small mission (environment, control points, one gun, the
// player's plane): loading it with empty caches (a new renderer each time)
// and with warm ones (the same renderer again), in ms, through the recording
// renderer that loads every picture; and one frame of the running mission
// without drawing, through a renderer without a device, in µs.
#include "engine/null_renderer.h"
#include "game/state_game.h"
#include "game/testing/mission_doubles.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

namespace {

using game_testing::test_mission_c;

std::unique_ptr<test_mission_c> MakeMission()
{
    auto mission = std::make_unique<test_mission_c>();
    mission->app.game_type = 1;
    mission->app.mission_number = 1;
    // A mission that never ends by itself.
    mission->builder.missionScript = "function mission_process() end\n";
    mission->Build();
    return mission;
}

void Load(test_mission_c& _mission)
{
    state_game_c state;
    state.SetObjectFactory(&_mission.factory);
    state.Enter(&_mission.app);
    if (!state.GetFailure().empty())
        throw std::runtime_error(state.GetFailure());
    state.Leave();
}

void MissionLoadCold(benchmark::State& _state)
{
    for (auto _ : _state) {
        _state.PauseTiming();
        auto mission = MakeMission();
        _state.ResumeTiming();
        Load(*mission);
        _state.PauseTiming();
        mission.reset();
        _state.ResumeTiming();
    }
}
BENCHMARK(MissionLoadCold)->Unit(benchmark::kMillisecond);

void MissionLoadWarm(benchmark::State& _state)
{
    auto mission = MakeMission();
    Load(*mission);
    for (auto _ : _state)
        Load(*mission);
}
BENCHMARK(MissionLoadWarm)->Unit(benchmark::kMillisecond);

void MissionFrame(benchmark::State& _state)
{
    auto mission = MakeMission();
    // A renderer that keeps no record of the frames.
    mission->app.renderer = std::make_unique<null_renderer_c>();
    state_game_c state;
    state.SetObjectFactory(&mission->factory);
    state.Enter(&mission->app);
    double t = 0.0;
    state.Update(t);
    for (auto _ : _state) {
        t += 1.0 / 60.0;
        if (state.Update(t) != state_stay)
            throw std::runtime_error("the mission ended");
    }
    state.Leave();
}
BENCHMARK(MissionFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
