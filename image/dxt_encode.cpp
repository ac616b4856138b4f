#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "dxt/compress_dxt.h"
#include "image/dxt_codec.h"
#include "image/pixel.h"

namespace {

// Where the level callback puts what the compressor hands back. The callback
// takes no context, so this is process-wide, and outputLock keeps a second
// encoding from redirecting it while the first is running.
struct dxt_output_s {
    u8* data = nullptr;
    u64 capacity = 0;
    u64 received = 0;
    int levels = 0;
};

dxt_output_s output;
std::mutex outputLock;

i32 TakeLevel(const u8* bytes, i32, u32 count)
{
    // Bounded by the destination: extra levels or bytes are counted, not copied.
    if (output.levels == 0 && count <= output.capacity)
        std::memcpy(output.data, bytes, count);
    output.received = count;
    ++output.levels;
    return 0;
}

} // namespace

void EncodeDxt(u8* dst, format_e dst_format, const u8* src, int src_padding, format_e src_format, int width, int height)
{
    const u64 size = u64(GetSize64(width, height, dst_format));
    const size_t pitch = size_t(width + src_padding) * 4;
    // The compressor takes the top byte as alpha: a picture without alpha is
    // handed over opaque.
    std::unique_ptr<u8[]> opaque;
    if (src_format == format_x8r8g8b8) {
        opaque = std::make_unique_for_overwrite<u8[]>(pitch * size_t(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t at = size_t(y) * pitch + size_t(x) * 4;
                StoreU32(opaque.get() + at, LoadU32(src + at) | 0xFF000000u);
            }
        src = opaque.get();
    }
    dxt_options_c options;
    std::memset(&options, 0, sizeof options);
    options.mip_mode = 33;
    options.texture_kind = 80;
    options.force_four_colors = src_format == format_x8r8g8b8 ? 1 : 0;
    switch (dst_format) {
    case format_dxt1: options.output_format = src_format == format_x8r8g8b8 ? 10 : 11; break;
    case format_dxt3: options.output_format = 12; break;
    default: options.output_format = 13; break;
    }
    const std::lock_guard<std::mutex> hold(outputLock);
    output = {dst, size, 0, 0};
    const i32 result = CompressDxt(src, u32(width), u32(height), u32(pitch), &options, 4, TakeLevel);
    const dxt_output_s done = output;
    output = {};
    if (result != 0)
        throw std::runtime_error("DXT compression failed");
    if (done.levels != 1 || done.received != size)
        throw std::runtime_error("DXT compression produced an unexpected level");
}
