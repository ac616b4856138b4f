// One frame of the benchmark scene (frame_scene.h) through the renderer
// into the record backend, in µs per frame, with the render states the
// state cache kept from the device per frame.
#include "frame_scene.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RenderFrame(benchmark::State& _state)
{
    frame_scene_c scene(frame_backend_e::record, 640, 480);
    if (!scene.Ready()) {
        _state.SkipWithError(scene.Failure().c_str());
        return;
    }
    scene.Frame();
    const u64 filtered_before = scene.Renderer().GetStateCache().GetFilteredStateCount();
    for (auto _ : _state) {
        scene.Frame();
    }
    _state.counters["filtered_states_per_frame"] =
        static_cast<double>(scene.Renderer().GetStateCache().GetFilteredStateCount() - filtered_before) /
        static_cast<double>(_state.iterations());
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
