#include "image/format.h"

#include <climits>

namespace {

struct format_info_s {
    int bits;
    bool alpha;
    bool compressed;
};

constexpr format_info_s format_table[format_count] = {
    {0, false, false},  {8, false, false},  {32, false, false}, {32, true, false},
    {16, false, false}, {16, false, false}, {16, true, false},  {16, false, false},
    {16, true, false},  {4, false, true},   {8, true, true},    {8, true, true},
};

const format_info_s& Info(format_e format)
{
    int index = static_cast<int>(format);
    if (index < 0 || index >= format_count)
        index = 0;
    return format_table[index];
}

} // namespace

bool FormatHasAlpha(format_e format)
{
    return Info(format).alpha;
}

bool FormatIsCompressed(format_e format)
{
    return Info(format).compressed;
}

int FormatBitsPerPixel(format_e format)
{
    return Info(format).bits;
}

int GetPitch(int width, int padding, format_e format)
{
    i64 bits = FormatBitsPerPixel(format);
    i64 pitch;
    if (FormatIsCompressed(format)) {
        if (padding != 0)
            return 0;
        pitch = ((bits * ((i64(width) + 3) & ~i64(3))) >> 3) * 4;
    } else {
        pitch = (bits * (i64(width) + padding)) >> 3;
    }
    if (pitch < 0)
        return 0;
    return pitch > INT_MAX ? INT_MAX : static_cast<int>(pitch);
}

i64 GetSize64(int width, int height, format_e format)
{
    i64 w = width < 0 ? 0 : width;
    i64 h = height < 0 ? 0 : height;
    i64 bits = FormatBitsPerPixel(format);
    if (FormatIsCompressed(format))
        return (bits * ((w + 3) & ~i64(3)) * ((h + 3) & ~i64(3))) >> 3;
    return (bits * w * h) >> 3;
}

int GetSize(int width, int height, format_e format)
{
    i64 size = GetSize64(width, height, format);
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

bool IsImageSizeAllowed(i64 width, i64 height, format_e format)
{
    if (width < 1 || height < 1 || width > max_image_side || height > max_image_side)
        return false;
    return GetSize64(static_cast<int>(width), static_cast<int>(height), format) <= max_image_bytes;
}

bool IsValidImage(int width, int height, int padding, format_e format, const void* data)
{
    if (width < 1 || height < 1 || padding < 0 || data == nullptr)
        return false;
    if (format <= format_none || format >= format_count)
        return false;
    if (FormatIsCompressed(format))
        return IsPow2(width) && IsPow2(height) && padding == 0;
    return true;
}
