// Decodes a 3-minute 192 kbit/s stereo layer III stream, made with lame when
// the run starts, with our decoder and with libmpg123 side by side, then
// prints their speed ratio and how many times faster than real time each is.
#include <benchmark/benchmark.h>
#include <mpg123.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/mpeg_decoder.h"
#include "bench/median_reporter.h"

namespace {

constexpr double seconds_of_audio = 180.0;
std::vector<u8> g_stream;

bool MakeStream()
{
    char folder[] = "/tmp/skyvarn-bench-XXXXXX";
    if (!mkdtemp(folder))
        return false;
    const std::string wave = std::string(folder) + "/in.wav", mp3 = std::string(folder) + "/out.mp3";
    const u32 rate = 44100, frames = u32(seconds_of_audio * rate);
    std::ofstream out(wave, std::ios::binary);
    auto u32le = [&](u32 v) { out.put(char(v)).put(char(v >> 8)).put(char(v >> 16)).put(char(v >> 24)); };
    auto u16le = [&](u32 v) { out.put(char(v)).put(char(v >> 8)); };
    out.write("RIFF", 4);
    u32le(36 + frames * 4);
    out.write("WAVEfmt ", 8);
    u32le(16);
    u16le(1);
    u16le(2);
    u32le(rate);
    u32le(rate * 4);
    u16le(4);
    u16le(16);
    out.write("data", 4);
    u32le(frames * 4);
    u32 noise = 1;
    for (u32 i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        noise = noise * 1664525u + 1013904223u;
        const double n = (double(noise >> 16) / 32768.0 - 1.0) * 0.05;
        const double left = 0.3 * std::sin(2 * M_PI * (220.0 + 30.0 * std::sin(t)) * t) + n;
        const double right = 0.3 * std::sin(2 * M_PI * (330.0 + 900.0 * (t / seconds_of_audio)) * t) - n;
        u16le(u32(i32(std::lround(left * 32767))) & 0xFFFF);
        u16le(u32(i32(std::lround(right * 32767))) & 0xFFFF);
    }
    out.close();
    const std::string command = "lame --quiet -t -b 192 " + wave + " " + mp3 + " >/dev/null 2>&1";
    const bool ok = std::system(command.c_str()) == 0;
    if (ok) {
        std::ifstream in(mp3, std::ios::binary);
        g_stream.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::system(("rm -rf " + std::string(folder)).c_str());
    return ok && !g_stream.empty();
}

void BM_ours(benchmark::State& state)
{
    std::vector<u8> pcm(1 << 16);
    u64 total = 0;
    for (auto _ : state) {
        memory_stream_c input;
        input.Open(g_stream.data(), int(g_stream.size()));
        mpeg_decoder_c decoder;
        u32 rate;
        bool stereo;
        if (decoder.Open(&input, &rate, &stereo, 1, 0, 0) != 0) {
            state.SkipWithError("the decoder refused the stream");
            return;
        }
        total = 0;
        while (const u32 got = decoder.Read(pcm.data(), u32(pcm.size())))
            total += got;
        benchmark::DoNotOptimize(pcm.data());
    }
    state.counters["pcm_bytes"] = double(total);
}

void BM_libmpg123(benchmark::State& state)
{
    std::vector<u8> pcm(1 << 16);
    u64 total = 0;
    for (auto _ : state) {
        mpg123_handle* handle = mpg123_new(nullptr, nullptr);
        mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET, 0.0);
        mpg123_open_feed(handle);
        size_t done = 0;
        total = 0;
        int status = mpg123_decode(handle, g_stream.data(), g_stream.size(), pcm.data(), pcm.size(), &done);
        for (;;) {
            total += done;
            if (status != MPG123_OK && status != MPG123_NEW_FORMAT)
                break;
            status = mpg123_decode(handle, nullptr, 0, pcm.data(), pcm.size(), &done);
        }
        mpg123_delete(handle);
        benchmark::DoNotOptimize(pcm.data());
    }
    state.counters["pcm_bytes"] = double(total);
}

} // namespace

BENCHMARK(BM_ours)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_libmpg123)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!MakeStream()) {
        std::printf("lame is not available: no stream to decode\n");
        return 0;
    }
    median_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Median seconds per decode; the benchmarks report milliseconds.
    const double ours = reporter.Median("BM_ours") / 1000.0, reference = reporter.Median("BM_libmpg123") / 1000.0;
    if (ours > 0.0 && reference > 0.0) {
        std::printf("\n3-minute 192 kbit/s stereo layer III stream (%zu bytes)\n", g_stream.size());
        std::printf("ours:      %8.1f ms, %6.1fx real time\n", ours * 1000.0, seconds_of_audio / ours);
        std::printf("libmpg123: %8.1f ms, %6.1fx real time\n", reference * 1000.0, seconds_of_audio / reference);
        std::printf("speed relative to libmpg123: %.2f (goal at least 0.70)\n", reference / ours);
    }
    benchmark::Shutdown();
    return 0;
}
