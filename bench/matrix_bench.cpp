// The plain and SSE bodies of every matrix product and of the 4x4 inverse,
// side by side, over arrays of operands; prints how much faster SSE is.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "foundation/matrix_bodies.h"
#include "foundation/processor_features.h"
#include "foundation/random_numbers.h"

namespace {

constexpr int kCount = 256;

template <typename T>
std::vector<T> RandomArray(u32 seed)
{
    random_c random;
    random.SetSeed(seed);
    std::vector<T> values(kCount);
    for (T& value : values) {
        float* f = reinterpret_cast<float*>(&value);
        for (size_t i = 0; i < sizeof(T) / sizeof(float); ++i)
            f[i] = random.Float(-2.0f, 2.0f);
    }
    return values;
}

std::vector<mat4_c> InvertibleArray()
{
    std::vector<mat4_c> values = RandomArray<mat4_c>(77);
    for (mat4_c& m : values)
        for (int i = 0; i < 4; ++i)
            m.m[i][i] += 10.0f; // diagonally dominant
    return values;
}

template <typename Out, typename A, typename B>
void RunProduct(benchmark::State& state, void (*body)(Out&, const A&, const B&), u32 seed)
{
    const std::vector<A> a = RandomArray<A>(seed);
    const std::vector<B> b = RandomArray<B>(seed + 1);
    std::vector<Out> out(kCount);
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i)
            body(out[i], a[i], b[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void RunInverse(benchmark::State& state, void (*body)(mat4_c&, const mat4_c&))
{
    const std::vector<mat4_c> in = InvertibleArray();
    std::vector<mat4_c> out(kCount);
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i)
            body(out[i], in[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void Register(const char* form, const matrix_bodies_c& bodies)
{
    const std::string prefix = std::string(form) + "/";
    benchmark::RegisterBenchmark((prefix + "vec3*mat3").c_str(),
                                 [&](benchmark::State& s) { RunProduct(s, bodies.vec3Mat3, 1); });
    benchmark::RegisterBenchmark((prefix + "vec3*mat4x3").c_str(),
                                 [&](benchmark::State& s) { RunProduct(s, bodies.vec3Mat4x3, 3); });
    benchmark::RegisterBenchmark((prefix + "mat3*mat3").c_str(),
                                 [&](benchmark::State& s) { RunProduct(s, bodies.mat3Mat3, 5); });
    benchmark::RegisterBenchmark((prefix + "vec4*mat4").c_str(),
                                 [&](benchmark::State& s) { RunProduct(s, bodies.vec4Mat4, 7); });
    benchmark::RegisterBenchmark((prefix + "mat4x3*mat4x3").c_str(),
                                 [&](benchmark::State& s) { RunProduct(s, bodies.mat4x3Mat4x3, 9); });
    benchmark::RegisterBenchmark((prefix + "mat4*mat4").c_str(),
                                 [&](benchmark::State& s) { RunProduct(s, bodies.mat4Mat4, 11); });
    benchmark::RegisterBenchmark((prefix + "mat4 inverse").c_str(),
                                 [&](benchmark::State& s) { RunInverse(s, bodies.mat4Inverse); });
}

// Speed-up of the SSE bodies over the plain ones, from the medians.
void PrintRatios(const median_reporter_c& _reporter)
{
    std::printf("\nSSE speed-up (plain time / SSE time):\n");
    for (const std::string& name : _reporter.Names()) {
        if (name.rfind("plain/", 0) != 0)
            continue;
        const std::string operation = name.substr(6);
        const double speed = _reporter.Speed("sse/" + operation, name);
        if (speed > 0)
            std::printf("  %-14s %5.2fx\n", operation.c_str(), speed);
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Register("plain", PlainMatrixBodies());
    if (HasSse())
        Register("sse", SseMatrixBodies());
    median_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
