#include "audio/sound_data.h"

#include <algorithm>
#include <cstring>

#include "foundation/file_error.h"
#include "foundation/path.h"

namespace {

u32 ReadU32LE(const u8* p)
{
    return u32(p[0]) | (u32(p[1]) << 8) | (u32(p[2]) << 16) | (u32(p[3]) << 24);
}

input_file_c LoadWhole(const string_c& path)
{
    directory_cache_c guard;
    return input_file_c(path);
}

} // namespace

pcm_format_c MakePcmFormat(u32 channels, u32 rate, u32 bits)
{
    pcm_format_c format{};
    format.format_tag = 1;
    format.channels = u16(channels);
    format.samples_per_second = rate;
    format.block_align = u16(bits / 8 * channels);
    format.average_bytes_per_second = u32(format.block_align) * rate;
    format.bits_per_sample = u16(bits);
    format.extra_size = 0;
    return format;
}

bool IsRiffWave(const u8* data, u32 size)
{
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
}

wave_layout_c ParseWave(const u8* data, u32 size, const string_c& path)
{
    // Offsets in 64 bits: no size from the file can wrap them.
    const u64 end = 8 + u64(ReadU32LE(data + 4));
    if (end > size)
        throw file_error_c(path, "Unexpected end of file!");
    wave_layout_c layout{};
    bool have_format = false;
    bool have_data = false; // a data chunk with samples
    for (u64 chunk = 12; chunk < end;) {
        if (chunk + 8 > end)
            throw file_error_c(path, "Unexpected end of file!");
        const u8* id = data + chunk;
        const u64 body = chunk + 8;
        const u64 length = ReadU32LE(data + chunk + 4);
        if (body + length > end)
            throw file_error_c(path, "Unexpected end of file!");
        if (std::memcmp(id, "fmt ", 4) == 0 && !have_format) {
            if (length < 14)
                throw file_error_c(path, "Unexpected end of file!");
            std::memcpy(&layout.format, data + body, size_t(std::min<u64>(length, sizeof(pcm_format_c))));
            have_format = true;
            if (have_data)
                return layout;
        } else if (std::memcmp(id, "data", 4) == 0 && !have_data) {
            layout.data_offset = u32(body);
            layout.data_size = u32(length);
            have_data = length != 0;
            if (have_format)
                return layout;
        }
        chunk = body + ((length + 1) & ~u64(1));
    }
    throw file_error_c(path, "File does not contain any sample!");
}

SoundFile::SoundFile(const char* name) : _path(MakeFullPath(name))
{
    const input_file_c file = LoadWhole(_path);
    if (!IsRiffWave(file.GetData(), file.GetSize()))
        throw file_error_c(_path, "Unknown file format!");
    const wave_layout_c layout = ParseWave(file.GetData(), file.GetSize(), _path);
    _size = layout.data_size;
    _format = layout.format;
}

std::unique_ptr<sound_data_c> SoundFile::Clone() const
{
    return std::make_unique<SoundFile>(*this);
}

u32 SoundFile::ReadData(u8* buffer, u32 bytes)
{
    try {
        const input_file_c file = LoadWhole(_path);
        if (!IsRiffWave(file.GetData(), file.GetSize()))
            return 0;
        const wave_layout_c layout = ParseWave(file.GetData(), file.GetSize(), _path);
        const u32 count = std::min(layout.data_size, bytes);
        std::memcpy(buffer, file.GetData() + layout.data_offset, count);
        return count;
    } catch (const file_error_c&) {
        // The file changed or vanished since construction; nothing throws after it.
        return 0;
    }
}
