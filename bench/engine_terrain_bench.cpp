// The landscape's per-frame work: culling and refining a 1025 x 1025 terrain
// from a moving camera, precise ray tests against it, and the view-dependent
// forest pass. "per_frame" and "per_ray" counters give the time of one frame
// or one ray.
#include "engine/forest.h"
#include "engine/terrain.h"
#include "engine/terrain_builder.h"

#include <benchmark/benchmark.h>

#include <cfloat>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

// The recording renderer and the test camera are test code outside the
// engine library.
#include "engine/testing/landscape_fixtures.cpp"
#include "engine/testing/recording_renderer.cpp"

namespace {

constexpr u32 side = 1025;
constexpr f32 spacing = 4.0f;
constexpr int frames = 64;

f32 Height(u32 _row, u32 _column)
{
    return 40.0f * std::sin(_row * 0.013f) * std::cos(_column * 0.021f) + 8.0f * std::sin((_row + _column) * 0.11f);
}

class landscape_c {
public:
    recording_renderer_c renderer{1024, 768};
    std::unique_ptr<terrain_c> terrain;

    landscape_c()
    {
        std::vector<f32> heights(size_t(side) * side);
        for (u32 r = 0; r < side; ++r)
            for (u32 c = 0; c < side; ++c)
                heights[size_t(r) * side + c] = Height(r, c);
        terrain.reset(BuildTerrain("Land", &renderer, heights.data(), side, spacing, 16));
        terrain->SetAccuracy(1.0f);
        terrain->UpdateTransform(nullptr);
    }

    // Frame _frame of a flight across the land, turning as it goes.
    void Place(camera_c& _camera, int _frame) const
    {
        const f32 t = static_cast<f32>(_frame) / frames;
        _camera.position = vec3_c(200.0f + 3600.0f * t, 120.0f, -200.0f - 3000.0f * t);
        _camera.rotation = vec3_c(2.4f + t, 0.2f, 0.0f);
        _camera.UpdateTransform(nullptr);
    }
};

landscape_c& Land()
{
    static landscape_c land;
    return land;
}

void PerItem(benchmark::State& _state, const char* _name, double _items)
{
    _state.counters[_name] =
        benchmark::Counter(_items, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_TerrainCull(benchmark::State& _state)
{
    landscape_c& land = Land();
    test_camera_c camera(land.renderer, vec3_c());
    object_list_t pass0, pass1;
    size_t patches = 0;
    for (auto _ : _state)
        for (int frame = 0; frame < frames; ++frame) {
            land.Place(camera, frame);
            pass0.clear();
            land.terrain->Cull(pass0, pass1, nullptr, &camera, 0, 0);
            patches += pass0.size();
        }
    PerItem(_state, "per_frame", frames);
    _state.counters["patches"] = static_cast<double>(patches) / (static_cast<double>(_state.iterations()) * frames);
}
BENCHMARK(BM_TerrainCull)->Unit(benchmark::kMicrosecond);

void BM_TerrainRays(benchmark::State& _state)
{
    landscape_c& land = Land();
    constexpr int rays = 256;
    std::vector<ray_c> downward;
    u32 seed = 99;
    for (int i = 0; i < rays; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const f32 x = static_cast<f32>(seed >> 8) / 16777216.0f * (side - 1) * spacing;
        seed = seed * 1664525u + 1013904223u;
        const f32 z = -static_cast<f32>(seed >> 8) / 16777216.0f * (side - 1) * spacing;
        downward.emplace_back(vec3_c(x, 500.0f, z), vec3_c(30.0f, -1000.0f, 20.0f));
    }
    u32 hits = 0;
    for (auto _ : _state)
        for (const ray_c& ray : downward) {
            f32 fraction;
            vec3_c normal;
            hits += land.terrain->RayTest(fraction, normal, ray, true, true, FLT_MAX);
        }
    benchmark::DoNotOptimize(hits);
    PerItem(_state, "per_ray", rays);
}
BENCHMARK(BM_TerrainRays)->Unit(benchmark::kMicrosecond);

void BM_ForestViewPass(benchmark::State& _state)
{
    recording_renderer_c renderer(1024, 768);
    forest_c forest("Wood", &renderer);
    forest.SetExtent(2048.0f);
    forest.SetTreeDensity(0.02f);
    forest.SetVisibilityRange(400.0f);
    forest.SetTreeHeight(6.0f, 12.0f);
    forest.SetTreeWidth(3.0f, 5.0f);
    image_c density;
    density.Create(64, 64, format_l8);
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c)
            density.GetData()[r * density.GetPitch() + c] = static_cast<u8>((r * 7 + c * 13) % 256);
    forest.SetDensityMap(density);
    forest.UpdateTransform(nullptr);
    forest.Generate(nullptr);
    test_camera_c camera(renderer, vec3_c());
    object_list_t pass0, pass1;
    int frame = 0;
    size_t queued = 0, placed = 0;
    for (auto _ : _state) {
        const f32 t = static_cast<f32>(frame++ % 600) / 600.0f;
        camera.position = vec3_c(-600.0f + 1200.0f * t, 60.0f, -300.0f);
        camera.rotation = vec3_c(0.3f * t, 0.1f, 0.0f);
        camera.UpdateTransform(nullptr);
        pass0.clear();
        queued += forest.Cull(pass0, pass1, nullptr, &camera, 0, 0);
        for (const auto& batch : forest.GetViewPass().batches)
            placed = std::max<size_t>(placed, batch->GetVertexCount() / 8);
    }
    PerItem(_state, "per_frame", 1);
    _state.counters["drawn"] = static_cast<double>(queued) / static_cast<double>(_state.iterations());
    _state.counters["placed"] = static_cast<double>(placed);
    _state.counters["trees"] = forest.GetViewPass().capacity;
}
BENCHMARK(BM_ForestViewPass)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
