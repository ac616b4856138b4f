// The object importers against Assimp (no post-processing steps) on the same
// generated file, in one run: a 50,000-triangle LightWave object with a UV
// map and a smoothed, textured surface. Goal: at least twice Assimp's speed.
// The ratios are printed after the table.
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/import/lwo2_reader.h"

namespace {

class bytes_c {
public:
  void Id(const char* _id) { data.insert(data.end(), _id, _id + 4); }
  void U16(u32 _v)
  {
    data.push_back(static_cast<u8>(_v >> 8));
    data.push_back(static_cast<u8>(_v));
  }
  void U32(u32 _v)
  {
    U16(_v >> 16);
    U16(_v & 0xFFFF);
  }
  void F32(f32 _v)
  {
    u32 bits;
    std::memcpy(&bits, &_v, 4);
    U32(bits);
  }
  void Text(const char* _text)
  {
    const size_t n = std::strlen(_text) + 1;
    data.insert(data.end(), _text, _text + n);
    if (n & 1)
      data.push_back(0);
  }
  // Opens a chunk with a 4- or 2-byte length; Close patches it.
  size_t Open(const char* _id, u32 _width)
  {
    Id(_id);
    const size_t at = data.size();
    data.resize(at + _width);
    return at;
  }
  void Close(size_t _at, u32 _width)
  {
    const size_t n = data.size() - _at - _width;
    for (u32 i = 0; i < _width; ++i)
      data[_at + i] = static_cast<u8>(n >> (8 * (_width - 1 - i)));
    if (n & 1)
      data.push_back(0);
  }
  std::vector<u8> data;
};

// A wavy grid of side x side quads, two triangles each.
std::vector<u8> GridObject(u32 _side)
{
  bytes_c b;
  const size_t form = b.Open("FORM", 4);
  b.Id("LWO2");
  size_t c = b.Open("TAGS", 4);
  b.Text("Ground");
  b.Close(c, 4);
  c = b.Open("LAYR", 4);
  b.U16(0);
  b.U16(0);
  for (int i = 0; i < 3; ++i)
    b.F32(0.0f);
  b.Text("Grid");
  b.Close(c, 4);
  auto index = [&](u32 _p) {
    if (_p < 0xFF00)
      b.U16(_p);
    else
      b.U32(_p | 0xFF000000u);
  };
  const u32 n = _side + 1;
  c = b.Open("PNTS", 4);
  for (u32 y = 0; y < n; ++y)
    for (u32 x = 0; x < n; ++x) {
      b.F32(static_cast<f32>(x));
      b.F32(std::sin(x * 0.3f) * std::cos(y * 0.2f));
      b.F32(static_cast<f32>(y));
    }
  b.Close(c, 4);
  c = b.Open("VMAP", 4);
  b.Id("TXUV");
  b.U16(2);
  b.Text("uv");
  for (u32 p = 0; p < n * n; ++p) {
    index(p);
    b.F32(static_cast<f32>(p % n) / _side);
    b.F32(static_cast<f32>(p / n) / _side);
  }
  b.Close(c, 4);
  c = b.Open("POLS", 4);
  b.Id("FACE");
  for (u32 y = 0; y < _side; ++y)
    for (u32 x = 0; x < _side; ++x) {
      const u32 p = y * n + x;
      b.U16(3);
      index(p);
      index(p + n);
      index(p + 1);
      b.U16(3);
      index(p + 1);
      index(p + n);
      index(p + n + 1);
    }
  b.Close(c, 4);
  c = b.Open("PTAG", 4);
  b.Id("SURF");
  for (u32 i = 0; i < 2 * _side * _side; ++i) {
    index(i);
    b.U16(0);
  }
  b.Close(c, 4);
  c = b.Open("CLIP", 4);
  b.U32(1);
  size_t s = b.Open("STIL", 2);
  b.Text("Images:ground.tga");
  b.Close(s, 2);
  b.Close(c, 4);
  c = b.Open("SURF", 4);
  b.Text("Ground");
  b.Text("");
  s = b.Open("COLR", 2);
  b.F32(0.5f);
  b.F32(0.6f);
  b.F32(0.3f);
  b.U16(0);
  b.Close(s, 2);
  s = b.Open("SMAN", 2);
  b.F32(1.2f);
  b.Close(s, 2);
  const size_t blok = b.Open("BLOK", 2);
  const size_t imap = b.Open("IMAP", 2);
  b.Text("\x80");
  s = b.Open("CHAN", 2);
  b.Id("COLR");
  b.Close(s, 2);
  b.Close(imap, 2);
  s = b.Open("PROJ", 2);
  b.U16(5);
  b.Close(s, 2);
  s = b.Open("IMAG", 2);
  b.U16(1);
  b.Close(s, 2);
  s = b.Open("VMAP", 2);
  b.Text("uv");
  b.Close(s, 2);
  b.Close(blok, 2);
  b.Close(c, 4);
  b.Close(form, 4);
  return b.data;
}

const std::vector<u8>& Object()
{
  static const std::vector<u8> bytes = GridObject(158);  // 49,928 triangles
  return bytes;
}

void BM_Lwo2Ours(benchmark::State& _state)
{
  const std::vector<u8>& bytes = Object();
  for (auto _ : _state) {
    input_file_c file(bytes.data(), static_cast<u32>(bytes.size()));
    lwo2_reader_c reader(file);
    lwo2_layer_c layer;
    reader.ReadLayerRecords(0, layer);
    lwo2_geometry_c geometry;
    lwo2_reader_c::BuildGeometry(layer, "grid", geometry);
    benchmark::DoNotOptimize(geometry.base->primitiveSets.data());
  }
}
BENCHMARK(BM_Lwo2Ours)->Unit(benchmark::kMillisecond);

void BM_Lwo2Assimp(benchmark::State& _state)
{
  const std::vector<u8>& bytes = Object();
  for (auto _ : _state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(), 0, "lwo");
    if (scene == nullptr || scene->mNumMeshes == 0) {
      _state.SkipWithError(importer.GetErrorString());
      break;
    }
    benchmark::DoNotOptimize(scene->mMeshes[0]->mVertices);
  }
}
BENCHMARK(BM_Lwo2Assimp)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios.
class ratio_reporter_c : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& _runs) override
  {
    for (const Run& run : _runs)
      if (run.run_type == Run::RT_Iteration)
        times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(_runs);
  }
  void PrintRatios() const
  {
    const auto ours = times.find("BM_Lwo2Ours");
    const auto theirs = times.find("BM_Lwo2Assimp");
    if (ours != times.end() && theirs != times.end() && ours->second > 0.0)
      std::printf("LWO2 50,000 triangles: %.2fx Assimp's speed (goal 2x)\n", theirs->second / ours->second);
  }

private:
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  ratio_reporter_c reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
