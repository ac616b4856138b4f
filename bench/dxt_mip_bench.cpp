// The full mip chain of a 1024x1024 picture with each mip filter of the
// texture compressor (32-bit output, so the time is the chain's own).
#include "dxt/compress_dxt.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kSide = 1024;

const std::vector<u32>& Picture()
{
    static const std::vector<u32> pixels = [] {
        std::vector<u32> p(kSide * kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const u32 r = static_cast<u32>(127.5 + 120 * std::sin(x * 0.011 + y * 0.003));
                const u32 g = static_cast<u32>(127.5 + 120 * std::cos(y * 0.017));
                const u32 b = ((x / 32 + y / 32) % 2) ? 230 : 20;
                p[y * kSide + x] = 0xFF000000u | (r << 16) | (g << 8) | b;
            }
        return p;
    }();
    return pixels;
}

void MipChain(benchmark::State& state)
{
    dxt_options_c o;
    std::memset(&o, 0, sizeof o);
    o.mip_mode = 0;
    o.texture_kind = 80;
    o.output_format = 17;
    o.mip_filter = static_cast<i16>(state.range(0));
    o.filter_param_1 = 2.2f;
    o.filter_param_2 = 3.0f;
    o.filter_param_3 = 4;
    const std::vector<u32>& p = Picture();
    for (auto _ : state)
        if (CompressDxt(reinterpret_cast<const u8*>(p.data()), kSide, kSide, kSide * 4, &o, 4, nullptr) != 0)
            std::abort();
}

} // namespace

// 0 is the default box filter.
BENCHMARK(MipChain)->Arg(0)->Arg(134)->Arg(135)->Arg(136)->Arg(137)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
