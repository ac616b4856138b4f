// State-cache throughput: a frame's worth of pass set-ups and state changes
// through the cache onto the recording device, in ns per state call. One
// benchmark repeats the same pass (every call filtered out), one alternates
// two passes (every state sent), one mixes them as a scene does.
#include "bench/record_bench_device.h"
#include "render_d3d9/state_cache.h"

#include <benchmark/benchmark.h>

namespace {

// The state calls of one pass, about as many as a material draw makes.
constexpr int calls_per_pass = 14;

void Pass(d3d_state_cache_c& _cache, bool _second)
{
    vertex_format_c format;
    format.hasPosition = 1;
    format.hasNormal = 1;
    format.texCoordSetCount = _second ? 2 : 1;
    _cache.SetupPass(0, format, {}, false, 0);
    _cache.SetCullMode(_second ? D3DCULL_NONE : D3DCULL_CCW);
    _cache.SetDepth(true, !_second, D3DCMP_LESSEQUAL);
    _cache.SetAlphaBlend(_second, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    _cache.SetAlphaTest(_second, 0.5f);
    _cache.SetGouraud(true);
    _cache.SetSpecular(_second);
    _cache.SetNormalizeNormals(_second);
    _cache.SetClipping(true);
    _cache.Lights().SetLighting(true);
    _cache.SetColorVertex(_second);
    _cache.SetMaterial({0.8f, 0.8f, 0.8f}, _second ? 0.5f : 1.0f, {}, 0.0f, {});
    const d3d_stage_op_s modulate{D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_DIFFUSE};
    const d3d_stage_op_s select{D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_DIFFUSE, D3DTA_CURRENT};
    _cache.SetStage(0, _second ? modulate : select, select, nullptr, -1, nullptr, 0.0f);
    _cache.SetSampler(0, true, true, _second);
}

struct bench_device_s : record_bench_device_s {
    d3d_state_cache_c cache;

    bench_device_s() { cache.Init(device, d3d_vp_hardware, 4, false, true, d3d_shader_set_s{}, 1); }
    ~bench_device_s() { cache.Reset(); }
};

void RunPasses(benchmark::State& _state, int _changing_every)
{
    bench_device_s bench;
    int pass = 0;
    for (auto _ : _state) {
        for (int draw = 0; draw < 256; ++draw, ++pass) {
            Pass(bench.cache, _changing_every > 0 && pass % _changing_every == 0);
        }
        _state.PauseTiming();
        bench.config.ClearLog();
        _state.ResumeTiming();
    }
    _state.SetItemsProcessed(_state.iterations() * 256 * calls_per_pass);
    _state.counters["ns_per_call"] = benchmark::Counter(static_cast<double>(_state.iterations() * 256 * calls_per_pass),
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_StateCacheRedundant(benchmark::State& _state)
{
    RunPasses(_state, 0);
}
BENCHMARK(BM_StateCacheRedundant);

void BM_StateCacheEveryChange(benchmark::State& _state)
{
    RunPasses(_state, 2);
}
BENCHMARK(BM_StateCacheEveryChange);

void BM_StateCacheSceneMix(benchmark::State& _state)
{
    RunPasses(_state, 4);
}
BENCHMARK(BM_StateCacheSceneMix);

}

BENCHMARK_MAIN();
