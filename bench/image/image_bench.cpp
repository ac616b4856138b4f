// The image library against the libraries it is measured by, in one run:
//   loading a 2048x2048 PNG and JPEG through image_c against libpng's
//   simplified whole-image read and libjpeg's plain scanline decode (goal: at
//   least 0.9 of their speed);
//   the 32-bit to 16-bit conversions against a memcpy of the same bytes;
//   bicubic doubling of 512x512 against stb_image_resize's Catmull-Rom
//   filter (the same a = -0.5 kernel): an upscale, where both take 4 taps,
//   with all four channels resampled alike and none treated as alpha, so
//   that both do the same work (goal: at least as fast). How far the two
//   outputs differ is printed beside the ratio.
// The ratios, from the medians of the repetitions, are printed after the
// table.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/pixel.h"

namespace {

// A photograph-like picture: smooth gradients with some grain.
image_c Picture(int side)
{
    image_c image;
    image.Create(side, side, format_x8r8g8b8);
    u32 seed = 12345;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            seed = seed * 1664525 + 1013904223;
            const u32 grain = (seed >> 24) & 15;
            const u32 r = (x * 255 / side + grain) & 0xFF;
            const u32 g = (y * 255 / side + grain) & 0xFF;
            const u32 b = ((x + y) * 127 / side + grain) & 0xFF;
            StoreU32(image.GetData() + (size_t(y) * side + x) * 4, r << 16 | g << 8 | b);
        }
    return image;
}

const image_c& Large()
{
    static const image_c picture = Picture(2048);
    return picture;
}

std::vector<u8> Encoded(int type)
{
    output_file_c out;
    Large().Save(out, type);
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

const std::vector<u8>& PngFile()
{
    static const std::vector<u8> bytes = Encoded(image_file_png);
    return bytes;
}

const std::vector<u8>& JpegFile()
{
    static const std::vector<u8> bytes = Encoded(image_file_jpeg);
    return bytes;
}

void LoadThroughImage(benchmark::State& state, const std::vector<u8>& bytes)
{
    for (auto _ : state) {
        input_file_c file(bytes.data(), u32(bytes.size()));
        image_c image;
        image.Load(file);
        benchmark::DoNotOptimize(image.GetData());
    }
}

void BM_PngImage(benchmark::State& state)
{
    LoadThroughImage(state, PngFile());
}

void BM_PngLibpng(benchmark::State& state)
{
    const std::vector<u8>& bytes = PngFile();
    for (auto _ : state) {
        // Each decode yields a new picture, as image_c::Load does.
        const auto pixels = std::make_unique_for_overwrite<u8[]>(size_t(2048) * 2048 * 4);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&image, bytes.data(), bytes.size());
        image.format = PNG_FORMAT_BGRA;
        png_image_finish_read(&image, nullptr, pixels.get(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void BM_JpegImage(benchmark::State& state)
{
    LoadThroughImage(state, JpegFile());
}

void BM_JpegLibjpeg(benchmark::State& state)
{
    const std::vector<u8>& bytes = JpegFile();
    for (auto _ : state) {
        const auto pixels = std::make_unique_for_overwrite<u8[]>(size_t(2048) * 2048 * 3);
        jpeg_decompress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), bytes.size());
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels.get() + size_t(info.output_scanline) * info.output_width * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(pixels.get());
    }
}

void BM_Memcpy32(benchmark::State& state)
{
    const image_c& source = Large();
    std::vector<u8> copy(size_t(source.GetSize()));
    for (auto _ : state) {
        std::memcpy(copy.data(), source.GetData(), copy.size());
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_Convert(benchmark::State& state, format_e target)
{
    const image_c& source = Large();
    std::vector<u8> converted(size_t(GetSize(source.GetWidth(), source.GetHeight(), target)));
    for (auto _ : state) {
        ConvertPixels(converted.data(), 0, target, source.GetData(), 0, format_x8r8g8b8, source.GetWidth(),
                      source.GetHeight());
        benchmark::DoNotOptimize(converted.data());
    }
}

const image_c& Small()
{
    static const image_c picture = Picture(512);
    return picture;
}

constexpr int kScaled = 1024;

void BicubicImage(std::vector<u8>& scaled)
{
    image_c::BicubicScale(scaled.data(), kScaled, kScaled, 0, Small().GetData(), 512, 512, 0, format_a8r8g8b8);
}

void BicubicStb(std::vector<u8>& scaled)
{
    stbir_resize_uint8_generic(Small().GetData(), 512, 512, 0, scaled.data(), kScaled, kScaled, 0, 4,
                               STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_CATMULLROM,
                               STBIR_COLORSPACE_LINEAR, nullptr);
}

void BM_Bicubic(benchmark::State& state, void (*scale)(std::vector<u8>&))
{
    std::vector<u8> scaled(size_t(kScaled) * kScaled * 4);
    for (auto _ : state) {
        scale(scaled);
        benchmark::DoNotOptimize(scaled.data());
    }
}

// Mean and largest difference per channel value of the two bicubic outputs.
void PrintBicubicDifference()
{
    std::vector<u8> ours(size_t(kScaled) * kScaled * 4), theirs(ours.size());
    BicubicImage(ours);
    BicubicStb(theirs);
    double sum = 0.0;
    int largest = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        const int d = std::abs(int(ours[i]) - int(theirs[i]));
        sum += d;
        largest = std::max(largest, d);
    }
    std::printf("%-44s mean %.3f, largest %d (of 255)\n", "Bicubic output, image_c vs stb:", sum / ours.size(),
                largest);
}

BENCHMARK(BM_PngImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegLibjpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy32)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, r5g6b5, format_r5g6b5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, x1r5g5b5, format_x1r5g5b5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, a1r5g5b5, format_a1r5g5b5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, x4r4g4b4, format_x4r4g4b4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Convert, a4r4g4b4, format_a4r4g4b4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Bicubic, image, BicubicImage)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Bicubic, stb, BicubicStb)->Unit(benchmark::kMillisecond);

// Speed of the first relative to the second: above 1 means faster.
void PrintRatios(const median_reporter_c& reporter)
{
    auto speed = [&](const std::string& label, const std::string& ours, const std::string& theirs) {
        const double ratio = reporter.Speed(ours, theirs);
        if (ratio > 0)
            std::printf("%-44s %.2fx\n", label.c_str(), ratio);
    };
    speed("PNG load, image_c vs libpng:", "BM_PngImage", "BM_PngLibpng");
    speed("JPEG load, image_c vs libjpeg:", "BM_JpegImage", "BM_JpegLibjpeg");
    for (const char* target : {"r5g6b5", "x1r5g5b5", "a1r5g5b5", "x4r4g4b4", "a4r4g4b4"})
        speed("32 to " + std::string(target) + " vs memcpy of the source:", "BM_Convert/" + std::string(target),
              "BM_Memcpy32");
    speed("Bicubic 512 to 1024, image_c vs stb:", "BM_Bicubic/image", "BM_Bicubic/stb");
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    median_reporter_c reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    PrintBicubicDifference();
    benchmark::Shutdown();
    return 0;
}
