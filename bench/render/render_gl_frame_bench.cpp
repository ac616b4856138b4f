// The benchmark scene (frame_scene.h) drawn by the renderer through the
// OpenGL backend at 800x600 and presented, on whatever OpenGL SDL gives
// (Mesa's software rasterizer when headless): frames per second, and the
// fixed-function and shader programs generated, compiled and linked on
// the first frames and on every later one (the goal: none after the
// first), with the time they took.
#include "frame_scene.h"
#include "platform/d3d9/gl_device.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

// Frames drawn before measuring: every state combination of the scene
// shows up within them.
constexpr u32 warm_up_frames = 3;

void BM_GlRenderFrame(benchmark::State& _state)
{
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    frame_scene_c scene(frame_backend_e::opengl, 800, 600);
    if (!scene.Ready()) {
        _state.SkipWithError(("no OpenGL device: " + scene.Failure()).c_str());
        return;
    }
    const auto* device = dynamic_cast<const gl_device_c*>(scene.Renderer().GetDevice());
    if (device == nullptr) {
        _state.SkipWithError("the renderer's device is not the OpenGL backend's");
        return;
    }
    for (u32 i = 0; i < warm_up_frames; ++i) {
        scene.Frame();
    }
    const u32 programs_first = device->ProgramsMade();
    const f64 seconds_first = device->ProgramSeconds();
    for (auto _ : _state) {
        scene.Frame();
    }
    _state.counters["fps"] = benchmark::Counter(static_cast<double>(_state.iterations()), benchmark::Counter::kIsRate);
    _state.counters["programs_first_frames"] = programs_first;
    _state.counters["program_ms_first_frames"] = seconds_first * 1000.0;
    _state.counters["programs_later"] = device->ProgramsMade() - programs_first;
    _state.counters["program_ms_later"] = (device->ProgramSeconds() - seconds_first) * 1000.0;
}
BENCHMARK(BM_GlRenderFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

}

BENCHMARK_MAIN();
