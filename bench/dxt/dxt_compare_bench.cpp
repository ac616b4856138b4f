// Wall-clock time per megapixel and PSNR of the texture compressor, libsquish
// (range fit, cluster fit with uniform and with the game's colour weights)
// and stb_dxt (normal and high quality) on four generated 512x512 pictures,
// for DXT1 and DXT5, every encoder on one thread: libsquish's OpenMP loop is
// held to one thread so that each encoder's figure is its own. Quality is
// measured alike for all: PSNR with uniform colour weights and PSNR with the
// game's weights. Every output is decoded by libsquish. Times and PSNR in the
// closing table are the medians of the repetitions. "ours-threads" is the
// full fitter sharing each level among all processors.
//
// Then a 2048x2048 photo-like texture with its full mip chain: ours (full and
// quick fitter) makes the chain itself (box filter) and encodes it on all
// processors; the peers encode the same chain made beforehand, on one thread.
#include <cstring>
#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

#include "bench/median_reporter.h"
#include "dxt/compress_dxt.h"
#include "dxt/level_encoder.h"

#include <benchmark/benchmark.h>
#include <squish.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <unistd.h>
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

// A photograph-like picture: several octaves of smooth value noise, shared in
// part between the channels as a scene's colours are, over a few soft-edged
// shapes, with a fine grain on top.
picture_c Photo(int side = kSide)
{
    std::mt19937 rng(11);
    auto lattice = [&](int cells) {
        std::vector<double> v((cells + 1) * (cells + 1));
        for (double& x : v)
            x = std::uniform_real_distribution<double>(-1.0, 1.0)(rng);
        return v;
    };
    struct octave_c {
        int cells;
        double amplitude;
        std::vector<double> shared, own[3];
    };
    std::vector<octave_c> octaves;
    for (const auto& [cells, amplitude] : {std::pair{4, 60.0}, {16, 30.0}, {64, 14.0}, {128, 6.0}}) {
        octave_c o{cells, amplitude, lattice(cells), {}};
        for (auto& c : o.own)
            c = lattice(cells);
        octaves.push_back(std::move(o));
    }
    auto sample = [](const std::vector<double>& v, int cells, double u, double w) {
        const double x = u * cells, y = w * cells;
        const int i = std::min(int(x), cells - 1), j = std::min(int(y), cells - 1);
        const double fx = x - i, fy = y - j;
        const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        const auto at = [&](int a, int b) { return v[b * (cells + 1) + a]; };
        return (at(i, j) * (1 - sx) + at(i + 1, j) * sx) * (1 - sy) +
               (at(i, j + 1) * (1 - sx) + at(i + 1, j + 1) * sx) * sy;
    };
    const double base[3] = {120, 110, 90};
    picture_c p(side * side * 4);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double u = x / double(side), w = y / double(side);
            const double dx = u - 0.62, dy = w - 0.4;
            const double disc = std::clamp((0.18 - std::sqrt(dx * dx + dy * dy)) * 60.0, 0.0, 1.0);
            const double band = std::clamp((w - 0.75 + 0.05 * std::sin(9 * u)) * 40.0, 0.0, 1.0);
            unsigned char* q = &p[(y * side + x) * 4];
            for (int c = 0; c < 3; ++c) {
                double v = base[c] + 70 * disc * (c == 0 ? 1.0 : -0.5) - 50 * band * (c == 2 ? -1.0 : 1.0);
                for (const octave_c& o : octaves)
                    v += o.amplitude * (0.7 * sample(o.shared, o.cells, u, w) + 0.3 * sample(o.own[c], o.cells, u, w));
                v += std::uniform_real_distribution<double>(-4.0, 4.0)(rng);
                q[c] = static_cast<unsigned char>(std::clamp(v, 0.0, 255.0));
            }
            q[3] = static_cast<unsigned char>(std::clamp(200 + 55 * sample(octaves[1].shared, 16, u, w), 0.0, 255.0));
        }
    return p;
}

const picture_c& Picture(const std::string& name)
{
    static std::map<std::string, picture_c> pictures = {
        {"gradient", Gradient()}, {"sprite", Sprite()}, {"noise", Noise()}, {"photo", Photo()}};
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

// Options for DXT1 (four colours forced) or DXT5 output of one level
// (mip mode 33) or the full chain (0).
dxt_options_c Options(bool dxt5, i16 mip_mode, bool quick, bool uniform)
{
    dxt_options_c o;
    std::memset(&o, 0, sizeof o);
    o.mip_mode = mip_mode;
    o.texture_kind = 80;
    o.output_format = dxt5 ? 13 : 10;
    o.force_four_colors = dxt5 ? 0 : 1;
    o.quick_fit = quick;
    o.uniform_weights = uniform;
    return o;
}

encoder_c Ours(bool quick, bool uniform, u32 threads = 1)
{
    return [=](const picture_c&, const std::vector<unsigned char>& bgra, bool dxt5, std::vector<unsigned char>& out) {
        SetDxtLevelThreads(threads);
        const dxt_options_c o = Options(dxt5, 33, quick, uniform);
        delivered = &out;
        if (CompressDxt(bgra.data(), kSide, kSide, kSide * 4, &o, 4, Keep) != 0)
            std::abort();
    };
}

// The game's red, green and blue error weights; their sum is 1.
constexpr float kGameWeights[3] = {0.309f, 0.609f, 0.082f};

encoder_c Squish(int fit, bool game_weights)
{
    return [=](const picture_c& rgba, const std::vector<unsigned char>&, bool dxt5, std::vector<unsigned char>& out) {
        float metric[3] = {kGameWeights[0], kGameWeights[1], kGameWeights[2]};
        out.resize(squish::GetStorageRequirements(kSide, kSide, dxt5 ? squish::kDxt5 : squish::kDxt1));
        squish::CompressImage(rgba.data(), kSide, kSide, out.data(), (dxt5 ? squish::kDxt5 : squish::kDxt1) | fit,
                              game_weights ? metric : nullptr);
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

// PSNR with red, green and blue errors weighted by `weights` (sum 1); with
// DXT5 alpha counts as a fourth channel of weight 1/4 beside the colour's 3/4.
// Weights of 1/3 each give the plain mean over the channels.
double Psnr(const picture_c& source, const std::vector<unsigned char>& blocks, bool dxt5, const float weights[3])
{
    picture_c decoded(source.size());
    squish::DecompressImage(decoded.data(), kSide, kSide, blocks.data(), dxt5 ? squish::kDxt5 : squish::kDxt1);
    double colour = 0.0, alpha = 0.0;
    for (size_t i = 0; i < source.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            const double e = double(source[i + c]) - decoded[i + c];
            colour += weights[c] * e * e;
        }
        const double e = double(source[i + 3]) - decoded[i + 3];
        alpha += e * e;
    }
    const double pixels = double(source.size() / 4);
    const double mse = dxt5 ? (3.0 * colour + alpha) / (4.0 * pixels) : colour / pixels;
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
    const float uniform[3] = {1.0f / 3, 1.0f / 3, 1.0f / 3};
    state.counters["PSNR"] = Psnr(rgba, out, dxt5, uniform);
    state.counters["PSNR_game"] = Psnr(rgba, out, dxt5, kGameWeights);
}

constexpr const char* kPictures[] = {"gradient", "sprite", "noise", "photo"};

// The full fitter against libsquish's cluster fit with the same weights.
void PrintRatios(const median_reporter_c& reporter)
{
    std::printf("\nFull fitter against libsquish's cluster fit, one thread each (speed, PSNR difference in dB):\n");
    for (const bool dxt5 : {false, true})
        for (const char* picture : kPictures)
            for (const auto& [ours, theirs, counter] :
                 {std::tuple{"ours-uniform", "squish-cluster", "PSNR"}, {"ours", "squish-cluster-game", "PSNR_game"}}) {
                const std::string tail = std::string("/") + picture + (dxt5 ? "/DXT5" : "/DXT1");
                const double speed = reporter.Speed(ours + tail, theirs + tail);
                if (speed < 0)
                    continue;
                std::printf(
                    "%-32s vs %-34s %5.2fx  %+6.2f dB (%s)\n", (ours + tail).c_str(), (theirs + tail).c_str(), speed,
                    reporter.MedianCounter(ours + tail, counter) - reporter.MedianCounter(theirs + tail, counter),
                    counter);
            }
}

constexpr int kLargeSide = 2048;

// The 2048x2048 picture's levels down to 1x1, each the box average of the one
// above, as bytes R, G, B, A.
const std::vector<picture_c>& LargeChain()
{
    static const std::vector<picture_c> chain = [] {
        std::vector<picture_c> levels = {Opaque(Photo(kLargeSide))};
        for (int side = kLargeSide / 2; side >= 1; side /= 2) {
            const picture_c& above = levels.back();
            picture_c level(static_cast<size_t>(side) * side * 4);
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    for (int c = 0; c < 4; ++c) {
                        int sum = 2;
                        for (int k = 0; k < 4; ++k)
                            sum += above[((2 * y + k / 2) * side * 2 + 2 * x + k % 2) * 4 + c];
                        level[(y * side + x) * 4 + c] = static_cast<unsigned char>(sum / 4);
                    }
            levels.push_back(std::move(level));
        }
        return levels;
    }();
    return chain;
}

// One peer's encoding of a level of the chain.
using level_encoder_c = std::function<void(const picture_c& rgba, int side, std::vector<unsigned char>& out)>;

void RunChain(benchmark::State& state, const level_encoder_c& encoder)
{
    const std::vector<picture_c>& chain = LargeChain();
    std::vector<unsigned char> out;
    for (auto _ : state) {
        int side = kLargeSide;
        for (const picture_c& level : chain) {
            encoder(level, side, out);
            benchmark::DoNotOptimize(out.data());
            side /= 2;
        }
    }
}

void RunOursChain(benchmark::State& state, bool dxt5, bool quick)
{
    const std::vector<unsigned char> bgra = ToBgra(LargeChain()[0]);
    SetDxtLevelThreads(0);
    const dxt_options_c o = Options(dxt5, 0, quick, false);
    for (auto _ : state)
        if (CompressDxt(bgra.data(), kLargeSide, kLargeSide, kLargeSide * 4, &o, 4, nullptr) != 0)
            std::abort();
}

void RegisterChains()
{
    for (const bool dxt5 : {false, true}) {
        const std::string format = dxt5 ? "/DXT5" : "/DXT1";
        const int flags = dxt5 ? squish::kDxt5 : squish::kDxt1;
        for (const bool quick : {false, true})
            benchmark::RegisterBenchmark(
                ("mips2048/ours" + std::string(quick ? "-quick" : "") + "-threads" + format).c_str(),
                [dxt5, quick](benchmark::State& s) { RunOursChain(s, dxt5, quick); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        const std::vector<std::pair<std::string, level_encoder_c>> peers = {
            {"squish-range",
             [flags](const picture_c& rgba, int side, std::vector<unsigned char>& out) {
                 out.resize(squish::GetStorageRequirements(side, side, flags));
                 squish::CompressImage(rgba.data(), side, side, out.data(), flags | squish::kColourRangeFit);
             }},
            {"squish-cluster",
             [flags](const picture_c& rgba, int side, std::vector<unsigned char>& out) {
                 out.resize(squish::GetStorageRequirements(side, side, flags));
                 squish::CompressImage(rgba.data(), side, side, out.data(), flags | squish::kColourClusterFit);
             }},
            {"stb-hq",
             [dxt5](const picture_c& rgba, int side, std::vector<unsigned char>& out) {
                 const int block = dxt5 ? 16 : 8, blocks = std::max(1, side / 4);
                 out.resize(static_cast<size_t>(blocks) * blocks * block);
                 unsigned char texels[64];
                 unsigned char* dst = out.data();
                 for (int y = 0; y < side; y += 4)
                     for (int x = 0; x < side; x += 4) {
                         for (int t = 0; t < 16; ++t) {
                             const int px = std::min(side - 1, x + t % 4), py = std::min(side - 1, y + t / 4);
                             std::memcpy(texels + t * 4, &rgba[(static_cast<size_t>(py) * side + px) * 4], 4);
                         }
                         stb_compress_dxt_block(dst, texels, dxt5 ? 1 : 0, STB_DXT_HIGHQUAL);
                         dst += block;
                     }
             }},
        };
        for (const auto& [name, encoder] : peers)
            benchmark::RegisterBenchmark(("mips2048/" + name + format).c_str(),
                                         [encoder = encoder](benchmark::State& s) { RunChain(s, encoder); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    }
}

void PrintChainRatios(const median_reporter_c& reporter)
{
    std::printf("\n2048x2048 with mip levels, ours on all processors against each peer on one thread:\n");
    for (const char* ours : {"ours-threads", "ours-quick-threads"})
        for (const char* format : {"/DXT1", "/DXT5"})
            for (const char* peer : {"squish-range", "squish-cluster", "stb-hq"}) {
                const double speed =
                    reporter.Speed(std::string("mips2048/") + ours + format, std::string("mips2048/") + peer + format);
                if (speed > 0)
                    std::printf("  %-18s vs %-20s %5.2fx\n", ours, (std::string(peer) + format).c_str(), speed);
            }
}

} // namespace

int main(int argc, char** argv)
{
    // libgomp reads its thread count when it is loaded, before main runs: to
    // hold libsquish to one thread the program starts itself again.
    if (const char* threads = std::getenv("OMP_NUM_THREADS"); threads == nullptr || std::strcmp(threads, "1") != 0) {
        setenv("OMP_NUM_THREADS", "1", 1);
        execv("/proc/self/exe", argv);
        std::perror("dxt_compare_bench: restarting with OMP_NUM_THREADS=1");
        return 1;
    }
    const std::vector<std::pair<std::string, encoder_c>> encoders = {
        {"ours", Ours(false, false)},
        {"ours-uniform", Ours(false, true)},
        {"ours-quick", Ours(true, false)},
        {"ours-threads", Ours(false, false, 0)},
        {"squish-range", Squish(squish::kColourRangeFit, false)},
        {"squish-cluster", Squish(squish::kColourClusterFit, false)},
        {"squish-cluster-game", Squish(squish::kColourClusterFit, true)},
        {"stb", Stb(STB_DXT_NORMAL)},
        {"stb-hq", Stb(STB_DXT_HIGHQUAL)},
    };
    for (const bool dxt5 : {false, true})
        for (const std::string picture : kPictures)
            for (const auto& [name, encoder] : encoders)
                benchmark::RegisterBenchmark(
                    (name + "/" + picture + (dxt5 ? "/DXT5" : "/DXT1")).c_str(),
                    [encoder = encoder, picture, dxt5](benchmark::State& s) { Run(s, encoder, picture, dxt5); })
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime();
    RegisterChains();
    benchmark::Initialize(&argc, argv);
    median_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double mp = kSide * kSide / 1e6;
    std::printf("\n%-40s %12s %10s %10s\n", "encoder/picture/format", "wall ms/MP", "PSNR dB", "PSNR game");
    for (const std::string& name : reporter.Names())
        if (reporter.MedianCounter(name, "PSNR") >= 0)
            std::printf("%-40s %12.2f %10.2f %10.2f\n", name.c_str(), reporter.Median(name) / mp,
                        reporter.MedianCounter(name, "PSNR"), reporter.MedianCounter(name, "PSNR_game"));
    PrintRatios(reporter);
    PrintChainRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
