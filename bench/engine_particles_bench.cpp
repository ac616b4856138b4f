// The per-frame work of the particle effects on the processor: an emitter of
// 10,000 particles refilling its pool, the same pool burst all at once, and
// a trail of 512 segments laying a boundary every frame once full. The
// "per_particle" and "per_segment" counters are the time per particle and
// per segment of one frame.
#include "engine/camera.h"
#include "engine/emitter.h"
#include "engine/null_renderer.h"
#include "engine/trail.h"

#include <benchmark/benchmark.h>

namespace {

constexpr u32 particle_count = 10000;
constexpr u32 segment_count = 512;
constexpr float frame_time = 1.0f / 60.0f;

void PerItem(benchmark::State& _state, const char* _name, u32 _count)
{
    _state.counters[_name] = benchmark::Counter(
        static_cast<double>(_count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::unique_ptr<camera_c> BenchCamera()
{
    auto camera = std::make_unique<camera_c>("bench");
    camera->position = vec3_c(0, 0, -100);
    camera->SetProjection(1.0f, 10000.0f);
    camera->UpdateTransform(nullptr);
    return camera;
}

void Tick(null_object_c& _object, camera_c& _camera, float _time)
{
    object_list_t pass0;
    object_list_t pass1;
    _object.Animate(_time);
    _object.UpdateTransform(nullptr);
    _object.Cull(pass0, pass1, nullptr, &_camera, 0, 0);
}

void RunEmitter(benchmark::State& _state, bool _explosion)
{
    null_renderer_c renderer;
    auto camera = BenchCamera();
    emitter_c emitter("smoke", &renderer);
    emitter.SetParticleCount(particle_count);
    emitter.SetRadius(2.0f);
    emitter.SetAngle(0.2f, 0.8f);
    emitter.SetSpeed(1.0f, 4.0f);
    if (_explosion) {
        // Every frame is a new burst of the whole pool.
        emitter.SetEmissionMode(emitter_explosion);
        emitter.SetLifetime(0.0f, 0.0f);
    } else {
        emitter.SetFrequency(30.0f);
        emitter.SetLifetime(0.5f, 2.0f);
    }
    float time = 0.0f;
    for (auto _ : _state) {
        Tick(emitter, *camera, time);
        time += frame_time;
    }
    PerItem(_state, "per_particle", particle_count);
}

void BM_EmitterEruptionTick(benchmark::State& _state)
{
    RunEmitter(_state, false);
}
BENCHMARK(BM_EmitterEruptionTick);

void BM_EmitterBurstTick(benchmark::State& _state)
{
    RunEmitter(_state, true);
}
BENCHMARK(BM_EmitterBurstTick);

void BM_TrailTick(benchmark::State& _state)
{
    null_renderer_c renderer;
    auto camera = BenchCamera();
    trail_c trail("vapour", &renderer);
    trail.SetSegments(segment_count);
    trail.SetLifetime(1000.0f);
    trail.SetMeasure(0.5f);
    float time = 0.0f;
    float x = 0.0f;
    // Fill the ribbon first, so every measured frame shifts a full one.
    for (u32 i = 0; i < segment_count + 2; ++i) {
        trail.position = vec3_c(x += 1.0f, 0, 0);
        Tick(trail, *camera, time += frame_time);
    }
    for (auto _ : _state) {
        trail.position = vec3_c(x += 1.0f, 0, 0);
        Tick(trail, *camera, time += frame_time);
    }
    PerItem(_state, "per_segment", segment_count);
}
BENCHMARK(BM_TrailTick);

} // namespace

BENCHMARK_MAIN();
