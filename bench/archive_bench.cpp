// Reading every entry of a generated archive of about 64 MB (half stored raw,
// half deflated), side by side with reading the raw half as loose files and
// with zlib's own uncompress of the deflated streams from memory. Prints the
// ratios: raw entries should reach 0.9x the loose files, deflated entries
// 0.95x zlib's uncompress.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "foundation/archive.h"
#include "foundation/archive_writer.h"
#include "foundation/file_writer.h"

namespace {
constexpr u32 kEntrySize = 1 << 20;
constexpr int kEntriesEach = 32;

// The generated data, made once for all benchmarks.
class fixture_c {
public:
    fixture_c()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/skyvarn-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("could not make a folder for the benchmark data");
        folder = pattern;
        archive_writer_c writer(6);
        u32 seed = 12345;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed;
        };
        std::vector<u8> bytes(kEntrySize);
        for (int i = 0; i < kEntriesEach; ++i) {
            // Noise: deflate cannot shrink it, so it is stored raw.
            for (u8& b : bytes)
                b = static_cast<u8>(next() >> 24);
            const std::string name = "raw" + std::to_string(i);
            writer.Add("noise\\" + name, bytes.data(), bytes.size());
            const std::string loose = folder + "/" + name;
            WriteDiskFileWhole(loose.c_str(), bytes.data(), kEntrySize);
            looseFiles.push_back(loose);
        }
        for (int i = 0; i < kEntriesEach; ++i) {
            // Words from a small vocabulary, as text data compresses.
            static const char* const words[] = {"plane ", "zeppelin ", "balloon ", "flak ",
                                                "x=",     "12.5 ",     "\n",       "camel "};
            size_t at = 0;
            while (at < kEntrySize) {
                const char* word = words[(next() >> 20) % 8];
                for (; *word && at < kEntrySize; ++word)
                    bytes[at++] = static_cast<u8>(*word);
                if ((next() >> 28) == 0 && at < kEntrySize)
                    bytes[at++] = static_cast<u8>(next() >> 24);
            }
            writer.Add("text\\deflated" + std::to_string(i), bytes.data(), bytes.size());
        }
        for (const archive_writer_c::entry_t& entry : writer.GetEntries())
            if (entry.stored.size() != entry.unpackedSize)
                streams.push_back(entry.stored);
        archiveName = folder + "/data.qza";
        writer.Write(archiveName.c_str());
        archive = std::make_unique<archive_c>(archiveName.c_str());
        for (const archive_entry_c& entry : archive->GetEntries())
            (entry.IsCompressed() ? deflated : raw).push_back(&entry);
        if (raw.size() != kEntriesEach || deflated.size() != kEntriesEach)
            throw std::runtime_error("benchmark data did not split into raw and deflated halves");
        buffer.resize(kEntrySize);
    }
    ~fixture_c()
    {
        archive.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string folder;
    std::string archiveName;
    std::vector<std::string> looseFiles;
    std::vector<std::vector<u8>> streams;
    std::unique_ptr<archive_c> archive;
    std::vector<const archive_entry_c*> raw;
    std::vector<const archive_entry_c*> deflated;
    std::vector<u8> buffer;
};

fixture_c& Fixture()
{
    static fixture_c fixture;
    return fixture;
}

void ReadEntries(benchmark::State& state, const std::vector<const archive_entry_c*>& entries)
{
    fixture_c& f = Fixture();
    for (auto _ : state)
        for (const archive_entry_c* entry : entries)
            benchmark::DoNotOptimize(f.archive->ReadEntry(*entry, f.buffer.data(), kEntrySize));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(entries.size()) * kEntrySize);
}

void ArchiveRawEntries(benchmark::State& state)
{
    ReadEntries(state, Fixture().raw);
}

void LooseFiles(benchmark::State& state)
{
    fixture_c& f = Fixture();
    for (auto _ : state)
        for (const std::string& name : f.looseFiles) {
            const int fd = open(name.c_str(), O_RDONLY);
            struct stat info;
            fstat(fd, &info);
            size_t done = 0;
            while (done < static_cast<size_t>(info.st_size)) {
                const ssize_t n = read(fd, f.buffer.data() + done, info.st_size - done);
                if (n <= 0)
                    break;
                done += static_cast<size_t>(n);
            }
            close(fd);
            benchmark::DoNotOptimize(done);
        }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.looseFiles.size()) * kEntrySize);
}

void ArchiveDeflatedEntries(benchmark::State& state)
{
    ReadEntries(state, Fixture().deflated);
}

void ZlibUncompress(benchmark::State& state)
{
    fixture_c& f = Fixture();
    for (auto _ : state)
        for (const std::vector<u8>& stream : f.streams) {
            uLongf size = kEntrySize;
            if (uncompress(f.buffer.data(), &size, stream.data(), stream.size()) != Z_OK)
                state.SkipWithError("zlib could not uncompress the benchmark data");
            benchmark::DoNotOptimize(size);
        }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.streams.size()) * kEntrySize);
}

// Medians of several runs keep the ratios steady on a busy machine.
BENCHMARK(ArchiveRawEntries)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(LooseFiles)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(ArchiveDeflatedEntries)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(ZlibUncompress)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void PrintRatio(const median_reporter_c& reporter, const char* ours, const char* theirs, const char* what, double goal)
{
    const double ratio = reporter.Speed(ours, theirs);
    if (ratio < 0)
        return;
    std::printf("%s: %.2fx (goal at least %.2fx) %s\n", what, ratio, goal, ratio >= goal ? "met" : "NOT MET");
}
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    median_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatio(reporter, "ArchiveRawEntries", "LooseFiles", "raw entries vs loose files", 0.9);
    PrintRatio(reporter, "ArchiveDeflatedEntries", "ZlibUncompress", "deflated entries vs zlib uncompress", 0.95);
    benchmark::Shutdown();
    return 0;
}
