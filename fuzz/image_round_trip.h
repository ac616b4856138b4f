#pragma once
// The check shared by the picture-file fuzz targets: arbitrary bytes either
// fail with file_error_c and leave no picture behind, or read into a picture
// that writes and reads back the same (exact pixels for lossless formats).
#include <cstring>

#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "image/image.h"

// Large pictures from tiny inputs (RLE, headers alone) are read, but writing
// them back would only spend the fuzzing time.
constexpr int round_trip_limit = 1 << 22;

template <typename Read, typename Write>
int FuzzImageRoundTrip(const u8* data, size_t size, Read read, Write write, bool lossless)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    input_file_c file(data, u32(size));
    image_c image;
    try {
        read(image, file);
    } catch (const file_error_c&) {
        if (image.GetData() != nullptr)
            __builtin_trap();
        return 0;
    }
    if (image.GetSize() > round_trip_limit)
        return 0;
    output_file_c out;
    write(image, out);
    input_file_c again(out.GetData(), out.GetSize());
    image_c back;
    read(back, again);
    if (back.GetWidth() != image.GetWidth() || back.GetHeight() != image.GetHeight() ||
        back.GetFormat() != image.GetFormat())
        __builtin_trap();
    if (lossless && std::memcmp(back.GetData(), image.GetData(), image.GetSize()) != 0)
        __builtin_trap();
    return 0;
}
