#include <cstring>

#include "foundation/memory_file.h"
#include "image/bmp_file.h"
#include "image/file_bytes.h"
#include "image/image.h"
#include "image/png_file.h"

image_c::image_c(const char* name)
{
    input_file_c file(name);
    Load(file);
}

int image_c::Load(input_file_c& file)
{
    const file_bytes_s bytes = RemainingBytes(file);
    const u32 skip = file.GetPosition() & 1;
    if (bytes.size >= 14 && ReadLe16(bytes.data + skip) == 0x4D42) {
        ReadBmp(*this, file);
        return image_file_bmp;
    }
    if (IsPng(file)) {
        ReadPng(*this, file);
        return image_file_png;
    }
    if (bytes.size >= 2 && bytes.data[0] == 0xFF && bytes.data[1] == 0xD8) {
        ReadJpeg(*this, file);
        return image_file_jpeg;
    }
    // Named here: the JPEG library's own complaint would mislead about files
    // that were never meant to be JPEG.
    Destroy();
    const bool cut_header = (bytes.size >= 2u + skip && std::memcmp(bytes.data + skip, "BM", 2) == 0) ||
                            (bytes.size >= 4 && std::memcmp(bytes.data, "DDS ", 4) == 0);
    ThrowFileError(bytes.name, cut_header ? "Unexpected end of file!" : "Unknown file format!");
}

void image_c::Save(output_file_c& file, int type) const
{
    switch (type) {
    case image_file_bmp: WriteBmp(*this, file); break;
    case image_file_png: WritePng(*this, file); break;
    case image_file_jpeg: WriteJpeg(*this, file); break;
    default: break;
    }
}
