#include <array>
#include <stdexcept>
#include <utility>

#include "image/dxt_codec.h"
#include "image/image.h"
#include "image/pixel.h"

namespace {

using converter_f = void (*)(u8* dst, size_t dst_pitch, const u8* src, size_t src_pitch, int width, int height);

template <format_e S, format_e D>
void ConvertRows(u8* dst, size_t dst_pitch, const u8* src, size_t src_pitch, int width, int height)
{
    for (int y = 0; y < height; ++y, dst += dst_pitch, src += src_pitch) {
        for (int x = 0; x < width; ++x)
            StorePixel(D, dst, x, PackPixel(D, UnpackPixel(S, LoadPixel(S, src, x))));
    }
}

// The pairs converted pixel by pixel; the others are relabelled or routed
// through 32 bits by ChangeFormat.
constexpr bool IsDirectPair(int s, int d)
{
    if (s == d || s < format_l8 || s > format_a4r4g4b4 || d < format_l8 || d > format_a4r4g4b4)
        return false;
    if (FormatsShareLayout(format_e(s), format_e(d)))
        return false;
    return true;
}

template <int S, int D>
constexpr converter_f Pick()
{
    if constexpr (IsDirectPair(S, D))
        return &ConvertRows<format_e(S), format_e(D)>;
    else
        return nullptr;
}

template <int S, size_t... D>
constexpr std::array<converter_f, format_count> ConverterRow(std::index_sequence<D...>)
{
    return {Pick<S, int(D)>()...};
}

template <size_t... S>
constexpr std::array<std::array<converter_f, format_count>, format_count> ConverterTable(std::index_sequence<S...>)
{
    return {ConverterRow<int(S)>(std::make_index_sequence<format_count>())...};
}

constexpr auto converters = ConverterTable(std::make_index_sequence<format_count>());

bool Is32Bit(format_e f)
{
    return f == format_x8r8g8b8 || f == format_a8r8g8b8;
}

[[noreturn]] void Unsupported()
{
    throw std::invalid_argument("void image_c::ChangeFormat(...)");
}

// Error-diffusion masks by target format: the bits of 0xAARRGGBB the target keeps.
constexpr u32 diffusion_mask[format_count] = {
    0,          0,          0xFFFFFFFF, 0xFFFFFFFF, 0xFFF8FCF8, 0xFFF8F8F8,
    0x80F8F8F8, 0xFFF0F0F0, 0xF0F0F0F0, 0x80F8FCF8, 0xF0F8FCF8, 0xFFF8FCF8,
};

} // namespace

void ConvertPixels(u8* dst, int dst_padding, format_e dst_format, const u8* src, int src_padding, format_e src_format,
                   int width, int height)
{
    if (!IsValidImage(width, height, src_padding, src_format, src) ||
        !IsValidImage(width, height, dst_padding, dst_format, dst))
        return;
    if (FormatIsCompressed(src_format)) {
        if (!Is32Bit(dst_format))
            Unsupported();
        DecodeDxt(dst, dst_padding, dst_format, src, src_format, width, height);
        return;
    }
    if (FormatIsCompressed(dst_format)) {
        if (!Is32Bit(src_format))
            Unsupported();
        EncodeDxt(dst, dst_format, src, src_padding, src_format, width, height);
        return;
    }
    converter_f converter = converters[src_format][dst_format];
    if (converter == nullptr)
        Unsupported();
    converter(dst, size_t(width + dst_padding) * PixelBytes(dst_format), src,
              size_t(width + src_padding) * PixelBytes(src_format), width, height);
}

void image_c::ChangeFormat(format_e target)
{
    if (!IsValid() || target == format)
        return;
    if (target < format_none || target >= format_count)
        Unsupported();
    if (target == format_none) {
        data.reset();
        padding = 0;
        format = format_none;
        return;
    }
    if (FormatsShareLayout(format, target)) {
        format = target;
        return;
    }
    // Refused before anything changes: the compressor cannot take these sides,
    // and a picture may not grow past the size every reader allows.
    if ((FormatIsCompressed(target) && (!IsPow2(width) || !IsPow2(height))) ||
        !IsImageSizeAllowed(width, height, target))
        throw std::invalid_argument("void image_c::ChangeFormat(format_e target)");
    if (FormatIsCompressed(target) && !Is32Bit(format)) {
        // The source's alpha picks the intermediate, so DXT3 or DXT5 to DXT1
        // keeps one-bit alpha and DXT1 to DXT3 or DXT5 is encoded opaque.
        ChangeFormat(HasAlpha() ? format_a8r8g8b8 : format_x8r8g8b8);
    }
    format_e step = target;
    if (IsCompressed() && !Is32Bit(target))
        step = FormatHasAlpha(target) ? format_a8r8g8b8 : format_x8r8g8b8;

    const bool in_place = FormatBitsPerPixel(step) == GetBitsPerPixel() && FormatIsCompressed(step) == IsCompressed();
    if (in_place) {
        ConvertPixels(data.get(), padding, step, data.get(), padding, format, width, height);
    } else {
        if (!IsImageSizeAllowed(width, height, step))
            throw std::invalid_argument("void image_c::ChangeFormat(format_e target)");
        auto converted = std::make_unique_for_overwrite<u8[]>(::GetSize(width, height, step));
        ConvertPixels(converted.get(), 0, step, data.get(), padding, format, width, height);
        data = std::move(converted);
        padding = 0;
    }
    format = step;
    if (step != target)
        ChangeFormat(target);
}

void image_c::DiffuseError(format_e _format)
{
    if (!IsValid())
        return;
    const int index = int(_format);
    u32 mask = (index >= 0 && index < format_count) ? diffusion_mask[index] : 0;
    if (mask == 0 || !Is32Bit(format))
        throw std::invalid_argument("void image_c::DiffuseError(format_e _format)");
    const bool colour_only = format == format_x8r8g8b8;
    const int channels = colour_only ? 3 : 4;
    if (colour_only)
        mask &= 0x00FFFFFF;
    if (mask == (colour_only ? 0x00FFFFFFu : 0xFFFFFFFFu))
        return;

    const size_t pitch = size_t(width + padding) * 4;
    const u32 keep = colour_only ? 0x00FFFFFFu : 0xFFFFFFFFu;
    // Adds a share of the error to one neighbour, channel by channel, clamped.
    auto spread = [&](u8* pixel, const u32 error[4], u32 k) {
        u32 v = LoadU32(pixel);
        u32 out = 0;
        for (int c = 0; c < channels; ++c) {
            u32 channel = ((v >> (8 * c)) & 0xFF) + ((error[c] * k) >> 4);
            out |= (channel > 255 ? 255u : channel) << (8 * c);
        }
        StoreU32(pixel, out);
    };
    for (int y = 0; y < height; ++y) {
        u8* row = data.get() + y * pitch;
        u8* below = y + 1 < height ? row + pitch : nullptr;
        for (int x = 0; x < width; ++x) {
            const u32 old_value = LoadU32(row + 4 * x) & keep;
            const u32 new_value = old_value & mask;
            StoreU32(row + 4 * x, new_value);
            u32 error[4];
            for (int c = 0; c < 4; ++c)
                error[c] = ((old_value >> (8 * c)) & 0xFF) - ((new_value >> (8 * c)) & 0xFF);
            const bool right = x + 1 < width;
            if (right)
                spread(row + 4 * (x + 1), error, 7);
            if (below) {
                if (x > 0)
                    spread(below + 4 * (x - 1), error, 3);
                spread(below + 4 * x, error, 5);
                if (right)
                    spread(below + 4 * (x + 1), error, 1);
            }
        }
    }
}
