// Writing and reading parameter lists through the chunk serializer. A list
// read in the order it was written is found item by item at the reading
// position, so the time grows linearly with the list; reading the leaves of
// every parameter in reverse order makes each lookup walk its chunk instead.
#include "level/chunk_saver.h"
#include "level/parameter_list.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

parameter_list_c MakeList(int _count)
{
    parameter_list_c list;
    for (int i = 0; i < _count; ++i) {
        const string_c name("param_%d", i);
        f32 value = static_cast<f32>(i);
        list.GetSetFloat(name, &value, false, -1.0f, 1000.0f);
        string_c file("data\\game\\file_%d.wav", i);
        list.GetSetString(string_c("file_%d", i), &file, false);
    }
    return list;
}

std::vector<u8> Write(parameter_list_c& _list)
{
    CChunkSaver saver;
    u8 unused = 0;
    saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
    _list.Serialize(saver);
    return saver.GetWrittenBytes();
}

void BM_WriteParameterList(benchmark::State& _state)
{
    parameter_list_c list = MakeList(static_cast<int>(_state.range(0)));
    for (auto _ : _state)
        benchmark::DoNotOptimize(Write(list));
    _state.SetComplexityN(_state.range(0));
}

void BM_ReadParameterList(benchmark::State& _state)
{
    parameter_list_c list = MakeList(static_cast<int>(_state.range(0)));
    std::vector<u8> bytes = Write(list);
    for (auto _ : _state) {
        CChunkSaver saver;
        saver.OpenBuffer(CChunkSaver::mode_read, bytes.data(), static_cast<u32>(bytes.size()));
        parameter_list_c read;
        read.Serialize(saver);
        benchmark::DoNotOptimize(read.Count());
    }
    _state.SetBytesProcessed(static_cast<int64_t>(_state.iterations()) * static_cast<int64_t>(bytes.size()));
    _state.SetComplexityN(_state.range(0));
}

void BM_ReadLeavesOutOfOrder(benchmark::State& _state)
{
    parameter_list_c list = MakeList(static_cast<int>(_state.range(0)));
    std::vector<u8> bytes = Write(list);
    for (auto _ : _state) {
        CChunkSaver saver;
        saver.OpenBuffer(CChunkSaver::mode_read, bytes.data(), static_cast<u32>(bytes.size()));
        f32 sum = 0.0f;
        for (int i = 0; i < static_cast<int>(_state.range(0)) * 2; ++i) {
            if (saver.Begin("parm")) {
                f32 values[3] = {0.0f, 0.0f, 0.0f};
                saver.LeafData("rMax", &values[2], 4);
                saver.LeafData("rMin", &values[1], 4);
                saver.LeafData("vale", &values[0], 4);
                sum += values[0];
            }
            saver.End();
        }
        benchmark::DoNotOptimize(sum);
    }
    _state.SetComplexityN(_state.range(0));
}

} // namespace

BENCHMARK(BM_WriteParameterList)->RangeMultiplier(4)->Range(16, 4096)->Complexity();
BENCHMARK(BM_ReadParameterList)->RangeMultiplier(4)->Range(16, 4096)->Complexity();
BENCHMARK(BM_ReadLeavesOutOfOrder)->RangeMultiplier(4)->Range(16, 4096)->Complexity();

BENCHMARK_MAIN();
