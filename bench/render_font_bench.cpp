// The cost of drawing text with the D3DX font on the recording device, in
// ns per glyph: a 40-character line drawn again and again (glyphs already
// in the texture), and the same line only measured.
#include "bench/record_bench_device.h"
#include "platform/d3d9/record_device.h"
#include "platform/d3dx9/d3dx9_font.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr const char* line = "Squadron 3 returns: 12 kills, 2 losses!!";

struct font_bench_s : record_bench_device_s {
    ID3DXFont* font = nullptr;

    font_bench_s()
    {
        D3DXFONT_DESCA desc;
        desc.Height = -16;
        std::strcpy(desc.FaceName, "DejaVu Sans");
        D3DXCreateFontIndirect(device, &desc, &font);
    }
    ~font_bench_s() { font->Release(); }
};

void Run(benchmark::State& _state, DWORD _format)
{
    font_bench_s bench;
    const i64 glyphs = static_cast<i64>(std::strlen(line));
    bench.device->BeginScene();
    for (auto _ : _state) {
        RECT rect{10, 10, 600, 40};
        benchmark::DoNotOptimize(bench.font->DrawTextA(nullptr, line, -1, &rect, _format, 0xFFFFFFFFu));
        _state.PauseTiming();
        bench.config.ClearLog();
        _state.ResumeTiming();
    }
    bench.device->EndScene();
    _state.counters["ns_per_glyph"] = benchmark::Counter(static_cast<double>(_state.iterations() * glyphs),
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DrawTextPerGlyph(benchmark::State& _state)
{
    Run(_state, DT_NOPREFIX | DT_NOCLIP);
}
BENCHMARK(BM_DrawTextPerGlyph);

void BM_MeasureTextPerGlyph(benchmark::State& _state)
{
    Run(_state, DT_NOPREFIX | DT_NOCLIP | DT_CALCRECT);
}
BENCHMARK(BM_MeasureTextPerGlyph);

}

BENCHMARK_MAIN();
