#include "image/image.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "image/pixel.h"

image_c::image_c() = default;

image_c::image_c(const image_c& source)
{
    CopyFrom(source, source.format);
}

image_c::image_c(const image_c& source, format_e target)
{
    CopyFrom(source, target == format_none ? source.format : target);
}

image_c::image_c(image_c&& other) noexcept
    : width(std::exchange(other.width, 0)), height(std::exchange(other.height, 0)),
      padding(std::exchange(other.padding, 0)), format(std::exchange(other.format, format_none)),
      data(std::move(other.data))
{}

image_c& image_c::operator=(image_c&& other) noexcept
{
    if (this != &other) {
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
        padding = std::exchange(other.padding, 0);
        format = std::exchange(other.format, format_none);
        data = std::move(other.data);
    }
    return *this;
}

image_c::~image_c() = default;

void image_c::CopyFrom(const image_c& source, format_e target)
{
    if (source.IsValid() && target != format_none && !IsImageSizeAllowed(source.width, source.height, target))
        throw std::invalid_argument("image_c::image_c(const image_c& source, format_e format)");
    width = source.width;
    height = source.height;
    padding = 0;
    format = target;
    if (!source.IsValid())
        return;
    data = std::make_unique_for_overwrite<u8[]>(GetSize());
    if (target == source.format || FormatsShareLayout(target, source.format)) {
        CopyPixels(data.get(), 0, source.data.get(), source.padding, width, height, target);
    } else {
        try {
            ConvertPixels(data.get(), 0, target, source.data.get(), source.padding, source.format, width, height);
        } catch (...) {
            data.reset();
            throw;
        }
    }
}

image_c& image_c::operator=(const image_c& other)
{
    if (this == &other)
        return *this;
    if (data && width == other.width && height == other.height && padding == 0 && format == other.format) {
        CopyPixels(data.get(), 0, other.data.get(), other.padding, width, height, format);
        return *this;
    }
    data.reset();
    CopyFrom(other, other.format);
    return *this;
}

void image_c::Create(int _width, int _height, format_e _format)
{
    if (data && width == _width && height == _height && format == _format && padding == 0)
        return;
    Destroy();
    if (_width <= 0 || _height <= 0 || _format <= format_none || _format >= format_count)
        return;
    if ((FormatIsCompressed(_format) && (!IsPow2(_width) || !IsPow2(_height))) ||
        !IsImageSizeAllowed(_width, _height, _format))
        throw std::invalid_argument("void image_c::Create(int _width, int _height, format_e _format)");
    width = _width;
    height = _height;
    format = _format;
    data = std::make_unique_for_overwrite<u8[]>(GetSize());
}

void image_c::Destroy()
{
    data.reset();
    width = height = padding = 0;
    format = format_none;
}

bool image_c::IsValid() const
{
    return IsValidImage(width, height, padding, format, data.get());
}

int image_c::GetPitch() const
{
    return ::GetPitch(width, padding, format);
}

int image_c::GetSize() const
{
    return ::GetSize(width, height, format);
}

void image_c::Fill(u32 _bgra)
{
    if (!IsValid())
        return;
    if (IsCompressed())
        throw std::invalid_argument("void image_c::Fill(dword _bgra)");
    const u32 value = PackPixel(format, UnpackPixel(format_a8r8g8b8, _bgra));
    const int bytes_per_pixel = GetBitsPerPixel() / 8;
    const size_t row_bytes = size_t(width) * bytes_per_pixel;
    const size_t pitch = size_t(width + padding) * bytes_per_pixel;
    u8* row = data.get();
    for (int y = 0; y < height; ++y, row += pitch) {
        switch (bytes_per_pixel) {
        case 1: std::memset(row, int(value), row_bytes); break;
        case 2:
            for (int x = 0; x < width; ++x)
                StoreU16(row + 2 * x, u16(value));
            break;
        default:
            for (int x = 0; x < width; ++x)
                StoreU32(row + 4 * x, value);
            break;
        }
    }
}

void CopyPixels(u8* dst, int dst_padding, const u8* src, int src_padding, int width, int height, format_e format)
{
    if (!IsValidImage(width, height, dst_padding, format, dst) ||
        !IsValidImage(width, height, src_padding, format, src) || dst == src)
        return;
    if (dst_padding == 0 && src_padding == 0) {
        std::memcpy(dst, src, size_t(GetSize64(width, height, format)));
        return;
    }
    const int bits = FormatBitsPerPixel(format);
    const size_t row_bytes = (size_t(width) * bits) >> 3;
    const size_t dst_pitch = (size_t(width + dst_padding) * bits) >> 3;
    const size_t src_pitch = (size_t(width + src_padding) * bits) >> 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(dst + y * dst_pitch, src + y * src_pitch, row_bytes);
}
