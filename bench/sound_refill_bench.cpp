// CPU time of refilling a streamed sound, per second of 44.1 kHz stereo
// music, as a share of one core (goal: under 1%):
// - BM_StreamRefill makes the refill thread's Update calls itself, one per
//   1/16 s of music, timed with the calling thread's CPU clock while a
//   loopback device plays the ring as fast as it can;
// - BM_RefillThread lets a stream's own refill thread work in real time on
//   the system output (the null output unless ALSOFT_DRIVERS says
//   otherwise) and reads that thread's run time from the kernel.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <time.h>

#include <cmath>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "audio/a3d_device.h"
#include "foundation/file_system.h"

namespace {

constexpr unsigned rate = 44100;

// OpenAL reads its backend choice at its first use.
const bool null_output_chosen = setenv("ALSOFT_DRIVERS", "null", 0) == 0;

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

void PutWord(std::ofstream& out, unsigned value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Twenty seconds of music-like stereo signal, encoded to MPEG layer III
// at 192 kbit/s by lame; an empty name when lame is missing.
std::string MakeMusic()
{
    char pattern[] = "/tmp/skyvarn-refill-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return "";
    const std::string dir = pattern, wave = dir + "/music.wav", music = dir + "/music.mp3";
    const unsigned frames = 20 * rate;
    std::ofstream out(wave, std::ios::binary);
    out.write("RIFF", 4);
    PutWord(out, 36 + frames * 4, 4);
    out.write("WAVEfmt ", 8);
    PutWord(out, 16, 4);
    PutWord(out, 1, 2);
    PutWord(out, 2, 2);
    PutWord(out, rate, 4);
    PutWord(out, rate * 4, 4);
    PutWord(out, 4, 2);
    PutWord(out, 16, 2);
    out.write("data", 4);
    PutWord(out, frames * 4, 4);
    for (unsigned f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / rate;
        const double chord = 0.2 * std::sin(2 * M_PI * 220 * t) + 0.15 * std::sin(2 * M_PI * 277.2 * t) +
                             0.1 * std::sin(2 * M_PI * 329.6 * t * (1 + 0.01 * std::sin(t)));
        PutWord(out, static_cast<unsigned>(static_cast<int>(chord * 32767)) & 0xFFFF, 2);
        PutWord(out, static_cast<unsigned>(static_cast<int>(chord * 0.8 * 32767)) & 0xFFFF, 2);
    }
    out.close();
    const std::string command = "lame --quiet -b 192 " + wave + " " + music + " >/dev/null 2>&1";
    const bool made = std::system(command.c_str()) == 0;
    std::filesystem::remove(wave);
    return made ? music : "";
}

// The music file, made once and removed when the program ends.
class music_file_c {
public:
    music_file_c() : _path(MakeMusic()) {}
    ~music_file_c()
    {
        if (!_path.empty())
            std::filesystem::remove_all(std::filesystem::path(_path).parent_path());
    }
    const std::string& Path() const { return _path; }

private:
    std::string _path;
};

const std::string& Music()
{
    static const music_file_c music;
    return music.Path();
}

void BM_StreamRefill(benchmark::State& state)
{
    const std::string& music = Music();
    if (music.empty()) {
        state.SkipWithError("lame could not make the music file");
        return;
    }
    disk_file_system_c disk;
    a3d_c::UseLoopback(rate);
    a3d_device_c device(nullptr, -1, -1, 8);
    // No thread of its own: the loop below makes the refill thread's calls.
    std::unique_ptr<sound_source_c> stream(device.CreateMpegSource(music.c_str(), 2.0f, 0));
    stream->SetLooping(true);
    stream->Play();
    const unsigned pass = rate / 16;
    std::vector<float> output(pass * 2);
    double refill = 0;
    double audio = 0;
    for (auto _ : state) {
        device.GetA3d()->RenderLoopback(output.data(), pass);
        const double start = ThreadSeconds();
        benchmark::DoNotOptimize(stream->Update());
        const double spent = ThreadSeconds() - start;
        state.SetIterationTime(spent);
        refill += spent;
        audio += 1.0 / 16;
    }
    state.counters["core_percent"] = audio > 0 ? 100.0 * refill / audio : 0.0;
    state.counters["audio_seconds"] = audio;
    a3d_c::UseSystemDevice();
}
BENCHMARK(BM_StreamRefill)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(2.0);

std::set<int> ThreadsOfProcess()
{
    std::set<int> threads;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks))
            if (entry->d_name[0] != '.')
                threads.insert(std::atoi(entry->d_name));
        closedir(tasks);
    }
    return threads;
}

// Nanoseconds the thread has run, from the kernel's scheduler statistics.
double RunSeconds(int thread)
{
    std::ifstream in("/proc/self/task/" + std::to_string(thread) + "/schedstat");
    double nanoseconds = -1;
    in >> nanoseconds;
    return nanoseconds * 1e-9;
}

void BM_RefillThread(benchmark::State& state)
{
    const std::string& music = Music();
    if (music.empty()) {
        state.SkipWithError("lame could not make the music file");
        return;
    }
    disk_file_system_c disk;
    a3d_c::UseSystemDevice();
    std::unique_ptr<a3d_device_c> device;
    try {
        device = std::make_unique<a3d_device_c>(nullptr, -1, -1, 8);
    } catch (const a3d_error_c& error) {
        state.SkipWithError(error.what());
        return;
    }
    const std::set<int> before = ThreadsOfProcess();
    std::unique_ptr<sound_source_c> stream(device->CreateMpegSource(music.c_str(), 2.0f, 0x10000));
    std::set<int> made = ThreadsOfProcess();
    for (int thread : before)
        made.erase(thread);
    if (made.size() != 1) {
        state.SkipWithError("the refill thread cannot be told apart");
        return;
    }
    const int refill = *made.begin();
    stream->SetLooping(true);
    stream->Play();
    double refill_seconds = 0, wall_seconds = 0;
    for (auto _ : state) {
        const double run = RunSeconds(refill);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double spent = RunSeconds(refill) - run;
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(spent);
        refill_seconds += spent;
        wall_seconds += wall.count();
    }
    state.counters["core_percent"] = wall_seconds > 0 ? 100.0 * refill_seconds / wall_seconds : 0.0;
    state.counters["playing"] = stream->IsPlaying() ? 1 : 0;
}
BENCHMARK(BM_RefillThread)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
