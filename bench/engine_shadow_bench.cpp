// Building the shadow volume and the welded geometry of a generated mesh of
// 5,000 to 80,000 triangles (a rippled grid, corners shared through
// indices), in milliseconds, measured warm over repeated builds. After the
// benchmarks the growth between sizes is printed from the medians: a linear
// build grows as the triangles do.
#include "bench/median_reporter.h"
#include "engine/geom_object.h"
#include "engine/testing/recording_renderer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

// The recording renderer is a test helper outside the engine library.
#include "engine/testing/recording_renderer.cpp"

namespace {

// A grid of cells, two triangles each, about _triangles in all. With
// _shared false every triangle has corners of its own (as an importer
// hands them over before welding).
geometry_def_c Grid(u32 _triangles, bool _shared)
{
    const u32 side = static_cast<u32>(std::sqrt(static_cast<double>(_triangles) / 2.0));
    geometry_def_c def("grid");
    def.format.hasPosition = 1;
    def.format.hasNormal = 1;
    auto* set = def.AddPrimitiveSet(new triangle_set_c());
    auto corner = [&](u32 _x, u32 _z) {
        vertex_c v;
        v.position =
            vec3_c(static_cast<f32>(_x), std::sin(static_cast<f32>(_x * 7 + _z * 3)) * 0.5f, static_cast<f32>(_z));
        v.normal = vec3_c(0, 1, 0);
        return v;
    };
    if (_shared)
        for (u32 z = 0; z <= side; ++z)
            for (u32 x = 0; x <= side; ++x)
                set->vertices.push_back(corner(x, z));
    for (u32 z = 0; z < side; ++z)
        for (u32 x = 0; x < side; ++x) {
            const u32 quad[4][2] = {{x, z}, {x + 1, z}, {x, z + 1}, {x + 1, z + 1}};
            for (const u32 triangle : {0u, 1u}) {
                const u32 corners[2][3] = {{0, 2, 1}, {1, 2, 3}};
                for (u32 k : corners[triangle]) {
                    if (_shared) {
                        set->indices.push_back(quad[k][1] * (side + 1) + quad[k][0]);
                    } else {
                        set->indices.push_back(static_cast<u32>(set->vertices.size()));
                        set->vertices.push_back(corner(quad[k][0], quad[k][1]));
                    }
                }
            }
        }
    return def;
}

class bench_renderer_c : public recording_renderer_c {
public:
    bench_renderer_c()
    {
        maxPrimitiveCount = 1u << 24;
        maxVertexCount = 1u << 24;
    }
};

void BM_ShadowVolume(benchmark::State& _state)
{
    bench_renderer_c renderer;
    geom_object_c object("grid", &renderer);
    object.CreateMesh("grid", Grid(static_cast<u32>(_state.range(0)), true));
    object.SetFlags(object_shadow_casting);
    for (auto _ : _state) {
        object.BuildShadowVolume();
        benchmark::DoNotOptimize(object.GetShadowMesh());
        // Each build makes a new cached geometry of the same key; drop the
        // released one.
        _state.PauseTiming();
        static_cast<geometry_cache_c&>(renderer).Purge();
        _state.ResumeTiming();
    }
}

void BM_WeldedGeometry(benchmark::State& _state)
{
    const geometry_def_c source = Grid(static_cast<u32>(_state.range(0)), false);
    for (auto _ : _state) {
        _state.PauseTiming();
        geometry_def_c def("grid");
        def.format = source.format;
        def.AddPrimitiveSet(source.primitiveSets[0]->Clone());
        def.weld = 1;
        _state.ResumeTiming();
        def.WeldVertices();
        benchmark::DoNotOptimize(def.GetVertexCount());
    }
}

constexpr int kSizes[] = {5000, 10000, 20000, 40000, 80000};

// Growth of the median time from one size to the next and over the whole range.
void PrintGrowth(const median_reporter_c& _reporter, const char* _what, const std::string& _name)
{
    std::printf("%s:", _what);
    const int last = static_cast<int>(std::size(kSizes)) - 1;
    for (int i = 0; i < last; ++i) {
        const double a = _reporter.Median(_name + "/" + std::to_string(kSizes[i]));
        const double b = _reporter.Median(_name + "/" + std::to_string(kSizes[i + 1]));
        if (a > 0 && b > 0)
            std::printf(" %d->%d x%.2f", kSizes[i], kSizes[i + 1], b / a);
    }
    const double first = _reporter.Median(_name + "/" + std::to_string(kSizes[0]));
    const double end = _reporter.Median(_name + "/" + std::to_string(kSizes[last]));
    if (first > 0 && end > 0)
        std::printf("; %d->%d x%.1f (linear: x%d)", kSizes[0], kSizes[last], end / first, kSizes[last] / kSizes[0]);
    std::printf("\n");
}

} // namespace

BENCHMARK(BM_ShadowVolume)
    ->Apply([](benchmark::internal::Benchmark* _b) {
        for (const int n : kSizes)
            _b->Arg(n);
    })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WeldedGeometry)
    ->Apply([](benchmark::internal::Benchmark* _b) {
        for (const int n : kSizes)
            _b->Arg(n);
    })
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    median_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintGrowth(reporter, "shadow volume", "BM_ShadowVolume");
    PrintGrowth(reporter, "welded geometry", "BM_WeldedGeometry");
    benchmark::Shutdown();
    return 0;
}
