// Culling of bounding boxes and quad volumes against a view volume, and
// evaluation of animation envelopes: the per-frame work of the scene engine.
// The "per_item" counter is the time per box, quad or envelope.
#include "engine/bounding_box.h"
#include "engine/envelope.h"
#include "engine/quad_volume.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int item_count = 100000;

// clip = (x, y, z - 1, z): a pyramid in front of the origin.
mat4_c ViewProjection()
{
    mat4_c m;
    m.SetIdentity();
    m.m[2][3] = 1.0f;
    m.m[3][2] = -1.0f;
    m.m[3][3] = 0.0f;
    return m;
}

// Deterministic spread of positions around the view volume.
std::vector<mat4x3_c> Placements()
{
    std::vector<mat4x3_c> result(item_count);
    u32 seed = 12345;
    for (mat4x3_c& m : result) {
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(seed >> 8) / 16777216.0f;
        };
        m.SetEuler(euler_c(next() * 6.28f, next() * 6.28f, 0.0f));
        m.SetPosition(vec3_c(next() * 200 - 100, next() * 200 - 100, next() * 200 - 50));
    }
    return result;
}

void AddPerItem(benchmark::State& state)
{
    state.counters["per_item"] = benchmark::Counter(
        static_cast<double>(item_count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CullBoxes(benchmark::State& state)
{
    const std::vector<mat4x3_c> placements = Placements();
    std::vector<bounding_box_c> boxes(item_count, bounding_box_c(vec3_c(-1, -2, -3), vec3_c(1, 2, 3)));
    const mat4_c view_projection = ViewProjection();
    for (auto _ : state) {
        u32 visible = 0;
        for (int i = 0; i < item_count; ++i) {
            boxes[i].ToClipSpace(placements[i], view_projection);
            visible += boxes[i].Clip(0) != 0;
        }
        benchmark::DoNotOptimize(visible);
    }
    AddPerItem(state);
}
BENCHMARK(BM_CullBoxes)->Unit(benchmark::kMillisecond);

void BM_CullQuadVolumes(benchmark::State& state)
{
    const std::vector<mat4x3_c> placements = Placements();
    std::vector<quad_volume_c> quads(item_count);
    for (quad_volume_c& quad : quads)
        quad.Set(vec3_c(-1, -1, 0), vec3_c(1, 1, 0));
    const mat4_c view_projection = ViewProjection();
    for (auto _ : state) {
        u32 visible = 0;
        for (int i = 0; i < item_count; ++i) {
            quads[i].ToClipSpace(placements[i], view_projection);
            visible += quads[i].Clip(0) != 0;
        }
        benchmark::DoNotOptimize(visible);
    }
    AddPerItem(state);
}
BENCHMARK(BM_CullQuadVolumes)->Unit(benchmark::kMillisecond);

void BM_EvaluateEnvelopes(benchmark::State& state)
{
    // Five keys of mixed shapes, repeating after the last key.
    envelope_c envelope;
    const envelope_shape_e shapes[5] = {shape_tcb, shape_tcb, shape_bezier, shape_linear, shape_hermite};
    for (int k = 0; k < 5; ++k) {
        envelope_key_c key;
        key.time = static_cast<float>(k);
        key.value = static_cast<float>((k * 7) % 5);
        key.shape = shapes[k];
        key.param0 = -0.3f;
        key.param1 = 0.2f;
        key.param2 = 0.3f;
        key.param3 = -0.2f;
        envelope.keys.push_back(key);
    }
    envelope.post = behaviour_repeat;
    const std::vector<envelope_c> envelopes(item_count, envelope);
    for (auto _ : state) {
        float sum = 0.0f;
        for (int i = 0; i < item_count; ++i)
            sum += envelopes[i].Evaluate(static_cast<float>(i % 1000) * 0.0071f);
        benchmark::DoNotOptimize(sum);
    }
    AddPerItem(state);
}
BENCHMARK(BM_EvaluateEnvelopes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
