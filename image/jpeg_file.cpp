#include <cstdio>
// libjpeg's header needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "foundation/memory_file.h"
#include "image/file_bytes.h"
#include "image/image.h"
#include "image/pixel.h"
#include "image/png_file.h"

namespace {

// The library's error manager with the jump back into the glue. Nothing of
// ours with a destructor lives between the setjmp and the frames it skips.
struct jpeg_glue_s {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    output_file_c* output;
    JOCTET* buffer;
};

constexpr size_t output_buffer_size = 4096;

// More scans than any encoder writes; corrupt progressive data can otherwise
// keep the decoder busy for a very long time.
constexpr int max_scans = 1000;

[[noreturn]] void OnError(j_common_ptr info)
{
    jpeg_glue_s* glue = reinterpret_cast<jpeg_glue_s*>(info->err);
    (*info->err->format_message)(info, glue->message);
    std::longjmp(glue->jump, 1);
}

void OnMessage(j_common_ptr, int) {}

void OnProgress(j_common_ptr info)
{
    j_decompress_ptr decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > max_scans) {
        jpeg_glue_s* glue = reinterpret_cast<jpeg_glue_s*>(info->err);
        std::snprintf(glue->message, sizeof glue->message, "Too many scans!");
        std::longjmp(glue->jump, 1);
    }
}

void SourceNothing(j_decompress_ptr) {}

boolean SourceFill(j_decompress_ptr info)
{
    ERREXIT(info, JERR_INPUT_EOF);
    return FALSE;
}

void SourceSkip(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* source = info->src;
    const size_t skip = size_t(count) < source->bytes_in_buffer ? size_t(count) : source->bytes_in_buffer;
    source->next_input_byte += skip;
    source->bytes_in_buffer -= skip;
}

void DestinationInit(j_compress_ptr info)
{
    jpeg_glue_s* glue = reinterpret_cast<jpeg_glue_s*>(info->err);
    info->dest->next_output_byte = glue->buffer;
    info->dest->free_in_buffer = output_buffer_size;
}

// Moves the buffered bytes into the output file; a failure there becomes the
// library's own error so that it unwinds through the jump.
void Flush(j_compress_ptr info, size_t count)
{
    jpeg_glue_s* glue = reinterpret_cast<jpeg_glue_s*>(info->err);
    bool failed = false;
    try {
        AppendBytes(*glue->output, glue->buffer, count);
    } catch (...) {
        failed = true;
    }
    if (failed)
        ERREXIT(info, JERR_OUT_OF_MEMORY);
}

boolean DestinationEmpty(j_compress_ptr info)
{
    jpeg_glue_s* glue = reinterpret_cast<jpeg_glue_s*>(info->err);
    Flush(info, output_buffer_size);
    info->dest->next_output_byte = glue->buffer;
    info->dest->free_in_buffer = output_buffer_size;
    return TRUE;
}

void DestinationTerm(j_compress_ptr info)
{
    Flush(info, output_buffer_size - info->dest->free_in_buffer);
}

void InstallErrors(jpeg_glue_s& glue)
{
    jpeg_std_error(&glue.manager);
    glue.manager.error_exit = OnError;
    glue.manager.emit_message = OnMessage;
    glue.message[0] = 0;
}

// The source never suspends, so a read that returns no line means the data ended.
bool Stalled(jpeg_glue_s& glue)
{
    std::snprintf(glue.message, sizeof glue.message, "Unexpected end of file!");
    return false;
}

bool ReadJpegBody(jpeg_decompress_struct& info, jpeg_glue_s& glue, image_c& image, const file_bytes_s& bytes,
                  jpeg_progress_mgr& progress)
{
    if (setjmp(glue.jump))
        return false;
    jpeg_create_decompress(&info);
    progress.progress_monitor = OnProgress;
    info.progress = &progress;
    jpeg_source_mgr* source = static_cast<jpeg_source_mgr*>(
        (*info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    source->init_source = SourceNothing;
    source->fill_input_buffer = SourceFill;
    source->skip_input_data = SourceSkip;
    source->resync_to_restart = jpeg_resync_to_restart;
    source->term_source = SourceNothing;
    source->next_input_byte = bytes.data;
    source->bytes_in_buffer = size_t(bytes.size);
    info.src = source;

    jpeg_read_header(&info, TRUE);
    if (!IsImageSizeAllowed(info.image_width, info.image_height, format_x8r8g8b8)) {
        std::snprintf(glue.message, sizeof glue.message, "Invalid image size!");
        return false;
    }
    format_e format = format_none;
    if (info.out_color_space == JCS_GRAYSCALE && info.num_components == 1)
        format = format_l8;
    if (info.out_color_space == JCS_RGB && info.num_components == 3)
        format = format_x8r8g8b8;
    if (format == format_none) {
        std::snprintf(glue.message, sizeof glue.message, "Unsupported color depth!");
        return false;
    }
    // Colour decodes straight into the picture's rows as blue, green, red, X.
    if (format == format_x8r8g8b8)
        info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    const int components = format == format_l8 ? 1 : 4;
    if (info.output_components != components) {
        std::snprintf(glue.message, sizeof glue.message, "Unsupported color depth!");
        return false;
    }
    image.Create(int(info.output_width), int(info.output_height), format);
    const size_t pitch = size_t(image.GetPitch());
    JSAMPROW rows[16];
    while (info.output_scanline < info.output_height) {
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(16, info.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = image.GetData() + size_t(first + i) * pitch;
        const JDIMENSION read = jpeg_read_scanlines(&info, rows, count);
        if (read == 0)
            return Stalled(glue);
        // The decoder fills X with 255; the ignored bits are stored as 0.
        if (format == format_x8r8g8b8) {
            const size_t width = info.output_width;
            for (JDIMENSION i = 0; i < read; ++i) {
                u8* row = rows[i];
                size_t x = 0;
                for (; x + 2 <= width; x += 2) {
                    u64 pair;
                    std::memcpy(&pair, row + 4 * x, 8);
                    pair &= 0x00FFFFFF00FFFFFFull;
                    std::memcpy(row + 4 * x, &pair, 8);
                }
                if (x < width)
                    StoreU32(row + 4 * x, LoadU32(row + 4 * x) & 0x00FFFFFFu);
            }
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool WriteJpegBody(jpeg_compress_struct& info, jpeg_glue_s& glue, const image_c& image,
                   jpeg_destination_mgr& destination)
{
    if (setjmp(glue.jump))
        return false;
    jpeg_create_compress(&info);
    glue.buffer = static_cast<JOCTET*>(
        (*info.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&info), JPOOL_PERMANENT, output_buffer_size));
    destination.init_destination = DestinationInit;
    destination.empty_output_buffer = DestinationEmpty;
    destination.term_destination = DestinationTerm;
    info.dest = &destination;
    const bool grey = image.GetFormat() == format_l8;
    info.image_width = JDIMENSION(image.GetWidth());
    info.image_height = JDIMENSION(image.GetHeight());
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    const size_t pitch = size_t(image.GetPitch());
    if (grey) {
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(image.GetData() + size_t(info.next_scanline) * pitch);
            jpeg_write_scanlines(&info, &row, 1);
        }
    } else {
        JSAMPARRAY line =
            (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.image_width * 3, 1);
        while (info.next_scanline < info.image_height) {
            const u8* src = image.GetData() + size_t(info.next_scanline) * pitch;
            JSAMPLE* dst = line[0];
            for (JDIMENSION x = 0; x < info.image_width; ++x, src += 4, dst += 3) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
            }
            jpeg_write_scanlines(&info, line, 1);
        }
    }
    jpeg_finish_compress(&info);
    return true;
}

} // namespace

void ReadJpeg(image_c& image, input_file_c& file)
{
    image.Destroy();
    const file_bytes_s bytes = RemainingBytes(file);
    jpeg_glue_s glue{};
    InstallErrors(glue);
    jpeg_decompress_struct info{};
    info.err = &glue.manager;
    jpeg_progress_mgr progress{};
    bool done;
    try {
        done = ReadJpegBody(info, glue, image, bytes, progress);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        image.Destroy();
        throw;
    }
    jpeg_destroy_decompress(&info);
    if (!done) {
        image.Destroy();
        ThrowFileError(bytes.name, glue.message);
    }
}

void WriteJpeg(const image_c& source, output_file_c& file)
{
    if (!source.IsValid())
        return;
    const format_e format = source.GetFormat();
    if (format != format_l8 && format != format_x8r8g8b8) {
        const image_c converted(source, format_x8r8g8b8);
        WriteJpeg(converted, file);
        return;
    }
    jpeg_glue_s glue{};
    InstallErrors(glue);
    glue.output = &file;
    jpeg_compress_struct info{};
    info.err = &glue.manager;
    jpeg_destination_mgr destination{};
    bool done;
    try {
        done = WriteJpegBody(info, glue, source, destination);
    } catch (...) {
        jpeg_destroy_compress(&info);
        throw;
    }
    jpeg_destroy_compress(&info);
    if (!done)
        ThrowFileError(file.GetName(), glue.message);
}
