#include "image/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/memory_file.h"
#include "image/file_bytes.h"
#include "image/image.h"

namespace {

// What the libpng callbacks share with the glue. The error handler keeps the
// message and jumps back; nothing of ours with a destructor lives between the
// setjmp and the library frames it skips.
struct png_glue_s {
    const char* name;
    const u8* data;
    u64 remaining;
    output_file_c* output;
    char message[200];
};

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    png_glue_s* glue = static_cast<png_glue_s*>(png_get_error_ptr(png));
    std::snprintf(glue->message, sizeof glue->message, "%s", message ? message : "");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, png_size_t count)
{
    png_glue_s* glue = static_cast<png_glue_s*>(png_get_io_ptr(png));
    if (count == 0)
        return;
    if (count > glue->remaining)
        png_error(png, "Unexpected end of file!");
    std::memcpy(out, glue->data, count);
    glue->data += count;
    glue->remaining -= count;
}

void OnWrite(png_structp png, png_bytep bytes, png_size_t count)
{
    png_glue_s* glue = static_cast<png_glue_s*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        AppendBytes(*glue->output, bytes, count);
    } catch (...) {
        failed = true;
    }
    if (failed)
        png_error(png, "Out of memory!");
}

void OnFlush(png_structp) {}

class png_read_guard_c {
public:
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~png_read_guard_c() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

class png_write_guard_c {
public:
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~png_write_guard_c() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

// Everything that can end in the library's error handler runs here, behind
// one setjmp; returns false when the handler jumped back. The image and the
// row table belong to the caller, so no destructor is skipped.
bool ReadPngBody(png_structp png, png_infop info, image_c& image, std::vector<png_bytep>& rows, png_glue_s& glue)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    const int colour_type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    format_e format = format_none;
    const bool palette_alpha = colour_type == PNG_COLOR_TYPE_PALETTE && png_get_valid(png, info, PNG_INFO_tRNS);
    switch (colour_type) {
    case PNG_COLOR_TYPE_GRAY:
        // Expanding grey below 8 bits with transparency would add an alpha
        // byte per pixel that an l8 row has no room for.
        if (depth < 8 && png_get_valid(png, info, PNG_INFO_tRNS))
            break;
        if (depth < 8)
            png_set_expand(png);
        format = format_l8;
        break;
    case PNG_COLOR_TYPE_RGB:
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        format = format_x8r8g8b8;
        break;
    case PNG_COLOR_TYPE_PALETTE:
        png_set_expand(png);
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
        format = format_x8r8g8b8;
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        png_set_gray_to_rgb(png);
        format = format_a8r8g8b8;
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        png_set_bgr(png);
        format = format_a8r8g8b8;
        break;
    }
    if (depth == 16)
        png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const size_t pixel_bytes = format == format_l8 ? 1 : 4;
    if (png_get_bit_depth(png, info) != 8 || format == format_none ||
        png_get_rowbytes(png, info) != size_t(width) * pixel_bytes) {
        std::snprintf(glue.message, sizeof glue.message, "Unsupported color depth!");
        return false;
    }
    if (!IsImageSizeAllowed(width, height, format)) {
        std::snprintf(glue.message, sizeof glue.message, "Invalid image size!");
        return false;
    }
    image.Create(int(width), int(height), format);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = image.GetData() + size_t(y) * size_t(image.GetPitch());
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    // A palette with transparency expands to alpha in what are ignored bits here.
    if (palette_alpha)
        for (png_uint_32 y = 0; y < height; ++y)
            for (png_uint_32 x = 0; x < width; ++x)
                rows[y][4 * x + 3] = 0;
    return true;
}

bool WritePngBody(png_structp png, png_infop info, const image_c& image, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const format_e format = image.GetFormat();
    const int colour_type = format == format_l8         ? PNG_COLOR_TYPE_GRAY
                            : format == format_x8r8g8b8 ? PNG_COLOR_TYPE_RGB
                                                        : PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_IHDR(png, info, png_uint_32(image.GetWidth()), png_uint_32(image.GetHeight()), 8, colour_type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (format != format_l8)
        png_set_bgr(png);
    if (format == format_x8r8g8b8)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool IsPng(const input_file_c& file)
{
    const file_bytes_s bytes = RemainingBytes(file);
    if (bytes.size == 0)
        return false;
    return png_sig_cmp(bytes.data, 0, bytes.size < 8 ? size_t(bytes.size) : 8) == 0;
}

void ReadPng(image_c& image, input_file_c& file)
{
    image.Destroy();
    const file_bytes_s bytes = RemainingBytes(file);
    png_glue_s glue{bytes.name, bytes.data, bytes.size, nullptr, {}};
    std::vector<png_bytep> rows;
    bool done;
    {
        png_read_guard_c guard;
        guard.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &glue, OnError, OnWarning);
        if (guard.png == nullptr)
            ThrowFileError(bytes.name, "Out of memory!");
        guard.info = png_create_info_struct(guard.png);
        if (guard.info == nullptr)
            ThrowFileError(bytes.name, "Out of memory!");
        png_set_read_fn(guard.png, &glue, OnRead);
        try {
            done = ReadPngBody(guard.png, guard.info, image, rows, glue);
        } catch (...) {
            image.Destroy();
            throw;
        }
    }
    if (!done) {
        image.Destroy();
        ThrowFileError(bytes.name, glue.message);
    }
}

void WritePng(const image_c& source, output_file_c& file)
{
    if (!source.IsValid())
        return;
    const format_e format = source.GetFormat();
    if (format != format_l8 && format != format_x8r8g8b8 && format != format_a8r8g8b8) {
        const image_c converted(source, source.HasAlpha() ? format_a8r8g8b8 : format_x8r8g8b8);
        WritePng(converted, file);
        return;
    }
    png_glue_s glue{file.GetName(), nullptr, 0, &file, {}};
    std::vector<png_bytep> rows(size_t(source.GetHeight()));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(source.GetData()) + y * size_t(source.GetPitch());
    bool done;
    {
        png_write_guard_c guard;
        guard.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &glue, OnError, OnWarning);
        if (guard.png == nullptr)
            ThrowFileError(glue.name, "Out of memory!");
        guard.info = png_create_info_struct(guard.png);
        if (guard.info == nullptr)
            ThrowFileError(glue.name, "Out of memory!");
        png_set_write_fn(guard.png, &glue, OnWrite, OnFlush);
        done = WritePngBody(guard.png, guard.info, source, rows);
    }
    if (!done)
        ThrowFileError(glue.name, glue.message);
}
