// Time per megapixel and PSNR of the texture compressor, libsquish (range fit
// and cluster fit) and stb_dxt (normal and high quality) on three generated
// 512x512 pictures, for DXT1 and DXT5. Every output is decoded by libsquish.
#include <cstring>
#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

#include "dxt/compress_dxt.h"

#include <benchmark/benchmark.h>
#include <squish.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 512;

// Pixels as bytes R, G, B, A.
using picture_c = std::vector<unsigned char>;

picture_c Gradient()
{
    picture_c p(kSide * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            unsigned char* q = &p[(y * kSide + x) * 4];
            const double u = x / double(kSide), v = y / double(kSide);
            q[0] = static_cast<unsigned char>(127.5 + 120 * std::sin(3.1 * u + 1.7 * v));
            q[1] = static_cast<unsigned char>(127.5 + 110 * std::cos(2.3 * v - 1.1 * u * u));
            q[2] = static_cast<unsigned char>(127.5 + 100 * std::sin(5.0 * u * v + 0.5));
            q[3] = static_cast<unsigned char>(255 * (0.5 + 0.5 * std::sin(4 * u) * std::cos(3 * v)));
        }
    return p;
}

picture_c Sprite()
{
    picture_c p(kSide * kSide * 4, 0);
    const unsigned char colours[4][3] = {{220, 40, 30}, {250, 210, 60}, {40, 90, 200}, {20, 20, 20}};
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            unsigned char* q = &p[(y * kSide + x) * 4];
            const int cx = x % 64 - 32, cy = y % 64 - 32, r2 = cx * cx + cy * cy;
            if (r2 > 26 * 26)
                continue;
            const int band = r2 < 8 * 8 ? 3 : (r2 < 16 * 16 ? ((x / 64 + y / 64) % 3) : (cx > 0 ? 1 : 0));
            std::memcpy(q, colours[band], 3);
            q[3] = 255;
        }
    return p;
}

picture_c Noise()
{
    picture_c p(kSide * kSide * 4);
    std::mt19937 rng(7);
    for (unsigned char& c : p)
        c = static_cast<unsigned char>(rng() & 0xff);
    return p;
}

const picture_c& Picture(const std::string& name)
{
    static std::map<std::string, picture_c> pictures = {
        {"gradient", Gradient()}, {"sprite", Sprite()}, {"noise", Noise()}};
    return pictures.at(name);
}

picture_c Opaque(picture_c p)
{
    for (size_t i = 3; i < p.size(); i += 4)
        p[i] = 255;
    return p;
}

// Ours takes 0xAARRGGBB words.
std::vector<unsigned char> ToBgra(const picture_c& p)
{
    std::vector<unsigned char> out(p.size());
    for (size_t i = 0; i < p.size(); i += 4) {
        out[i] = p[i + 2];
        out[i + 1] = p[i + 1];
        out[i + 2] = p[i];
        out[i + 3] = p[i + 3];
    }
    return out;
}

std::vector<unsigned char>* delivered = nullptr;
i32 Keep(const u8* data, i32, u32 n)
{
    delivered->assign(data, data + n);
    return 0;
}

using encoder_c = std::function<void(const picture_c& rgba, const std::vector<unsigned char>& bgra, bool dxt5,
                                     std::vector<unsigned char>& out)>;

encoder_c Ours(bool quick, bool uniform)
{
    return [=](const picture_c&, const std::vector<unsigned char>& bgra, bool dxt5, std::vector<unsigned char>& out) {
        dxt_options_c o;
        std::memset(&o, 0, sizeof o);
        o.mip_mode = 33;
        o.texture_kind = 80;
        o.output_format = dxt5 ? 13 : 10;
        o.force_four_colors = dxt5 ? 0 : 1;
        o.quick_fit = quick;
        o.uniform_weights = uniform;
        delivered = &out;
        if (CompressDxt(bgra.data(), kSide, kSide, kSide * 4, &o, 4, Keep) != 0)
            std::abort();
    };
}

encoder_c Squish(int fit)
{
    return [=](const picture_c& rgba, const std::vector<unsigned char>&, bool dxt5, std::vector<unsigned char>& out) {
        out.resize(squish::GetStorageRequirements(kSide, kSide, dxt5 ? squish::kDxt5 : squish::kDxt1));
        squish::CompressImage(rgba.data(), kSide, kSide, out.data(), (dxt5 ? squish::kDxt5 : squish::kDxt1) | fit);
    };
}

encoder_c Stb(int mode)
{
    return [=](const picture_c& rgba, const std::vector<unsigned char>&, bool dxt5, std::vector<unsigned char>& out) {
        const int block = dxt5 ? 16 : 8;
        out.resize((kSide / 4) * (kSide / 4) * block);
        unsigned char texels[64];
        unsigned char* dst = out.data();
        for (int y = 0; y < kSide; y += 4)
            for (int x = 0; x < kSide; x += 4) {
                for (int r = 0; r < 4; ++r)
                    std::memcpy(texels + r * 16, &rgba[((y + r) * kSide + x) * 4], 16);
                stb_compress_dxt_block(dst, texels, dxt5 ? 1 : 0, mode);
                dst += block;
            }
    };
}

double Psnr(const picture_c& source, const std::vector<unsigned char>& blocks, bool dxt5)
{
    picture_c decoded(source.size());
    squish::DecompressImage(decoded.data(), kSide, kSide, blocks.data(), dxt5 ? squish::kDxt5 : squish::kDxt1);
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        if (i % 4 == 3 && !dxt5)
            continue;
        const double e = double(source[i]) - decoded[i];
        sum += e * e;
        ++count;
    }
    const double mse = sum / count;
    return mse > 0.0 ? 10.0 * std::log10(255.0 * 255.0 / mse) : 99.0;
}

void Run(benchmark::State& state, encoder_c encoder, const std::string& picture, bool dxt5)
{
    const picture_c rgba = dxt5 ? Picture(picture) : Opaque(Picture(picture));
    const std::vector<unsigned char> bgra = ToBgra(rgba);
    std::vector<unsigned char> out;
    for (auto _ : state) {
        encoder(rgba, bgra, dxt5, out);
        benchmark::DoNotOptimize(out.data());
    }
    const double mp = kSide * kSide / 1e6;
    state.counters["s_per_MP"] =
        benchmark::Counter(mp, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["PSNR"] = Psnr(rgba, out, dxt5);
}

struct row_c {
    std::string name;
    double ms_per_mp, psnr;
};

// Keeps each run's figures for the closing table.
class table_reporter_c : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            auto t = r.counters.find("s_per_MP"), q = r.counters.find("PSNR");
            if (t != r.counters.end() && q != r.counters.end())
                rows.push_back({r.benchmark_name(), 1000.0 * t->second.value, q->second.value});
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::vector<row_c> rows;
};

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::pair<std::string, encoder_c>> encoders = {
        {"ours", Ours(false, false)},
        {"ours-uniform", Ours(false, true)},
        {"ours-quick", Ours(true, false)},
        {"squish-range", Squish(squish::kColourRangeFit)},
        {"squish-cluster", Squish(squish::kColourClusterFit)},
        {"stb", Stb(STB_DXT_NORMAL)},
        {"stb-hq", Stb(STB_DXT_HIGHQUAL)},
    };
    for (const bool dxt5 : {false, true})
        for (const std::string picture : {"gradient", "sprite", "noise"})
            for (const auto& [name, encoder] : encoders)
                benchmark::RegisterBenchmark(
                    (name + "/" + picture + (dxt5 ? "/DXT5" : "/DXT1")).c_str(),
                    [encoder = encoder, picture, dxt5](benchmark::State& s) { Run(s, encoder, picture, dxt5); })
                    ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    table_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-40s %12s %8s\n", "encoder/picture/format", "ms/MP", "PSNR dB");
    for (const row_c& r : reporter.rows)
        std::printf("%-40s %12.2f %8.2f\n", r.name.c_str(), r.ms_per_mp, r.psnr);
    benchmark::Shutdown();
    return 0;
}
