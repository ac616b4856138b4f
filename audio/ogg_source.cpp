#include "audio/ogg_source.h"

#include <algorithm>
#include <cstring>

#include "foundation/file_error.h"

ogg_source_c::ogg_source_c(sound_system_c* system, const char* name, u32 flags)
    : sound_source_c(system, flags), memory_source_c(name)
{
    OpenOgg();
}

ogg_source_c::ogg_source_c(const ogg_source_c& other) : sound_source_c(other), memory_source_c(other)
{
    OpenOgg();
}

ogg_source_c::~ogg_source_c()
{
    if (_open)
        ov_clear(&_file);
}

sound_source_c* ogg_source_c::Clone()
{
    return new ogg_source_c(*this);
}

size_t ogg_source_c::ReadCallback(void* buffer, size_t size, size_t count, void* source)
{
    ogg_source_c* self = static_cast<ogg_source_c*>(source);
    if (size == 0 || count == 0)
        return 0;
    const u64 file_size = self->File().GetSize();
    const u64 left = file_size - std::min(self->_position, file_size);
    const u64 items = std::min<u64>(count, left / size);
    std::memcpy(buffer, self->File().GetData() + self->_position, size_t(items * size));
    self->_position += items * size;
    return size_t(items);
}

int ogg_source_c::SeekCallback(void* source, ogg_int64_t offset, int whence)
{
    ogg_source_c* self = static_cast<ogg_source_c*>(source);
    const i64 file_size = i64(self->File().GetSize());
    i64 target;
    switch (whence) {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = i64(self->_position) + offset; break;
    case SEEK_END: target = file_size + offset; break;
    default: return -1;
    }
    // The end itself is a valid place: vorbisfile seeks there to find the
    // stream's length.
    if (target < 0 || target > file_size)
        return -1;
    self->_position = u64(target);
    return 0;
}

int ogg_source_c::CloseCallback(void*)
{
    return 0;
}

long ogg_source_c::TellCallback(void* source)
{
    return long(static_cast<ogg_source_c*>(source)->_position);
}

void ogg_source_c::OpenOgg()
{
    _position = 0;
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(this, &_file, nullptr, 0, callbacks) < 0)
        throw file_error_c(File().GetPath().GetPath(), "File is not an OGG bitstream!");
    _open = true;
    _bitstream = 0;
}

u32 ogg_source_c::RawRead(u8* buffer, u32 bytes)
{
    u32 done = 0;
    int holes = 0;
    while (done < bytes) {
        const long got = ov_read(&_file, reinterpret_cast<char*>(buffer + done),
                                 int(std::min<u32>(bytes - done, 1 << 30)), 0, 2, 1, &_bitstream);
        // A hole is a damaged or missing page; decoding goes on after it.
        if (got == OV_HOLE && ++holes < 64)
            continue;
        if (got < 1)
            break;
        done += u32(got);
    }
    return done;
}

bool ogg_source_c::Seek(float seconds)
{
    if (ov_pcm_seek(&_file, 0) != 0)
        return false;
    const u64 skip = u64(i64(float(GetSampleRate()) * std::max(seconds, 0.0f))) * GetChannels() * 2;
    char scrap[4096];
    int holes = 0;
    for (u64 done = 0; done < skip;) {
        const long got = ov_read(&_file, scrap, int(std::min<u64>(skip - done, sizeof(scrap))), 0, 2, 1, &_bitstream);
        if (got == OV_HOLE && ++holes < 64)
            continue;
        if (got < 1)
            return false;
        done += u64(got);
    }
    return true;
}

u32 ogg_source_c::GetChannels()
{
    const vorbis_info* info = ov_info(&_file, _bitstream);
    return info ? u32(info->channels) : 0;
}

u32 ogg_source_c::GetSampleRate()
{
    const vorbis_info* info = ov_info(&_file, _bitstream);
    return info ? u32(info->rate) : 0;
}

float ogg_source_c::GetLength()
{
    const double total = ov_time_total(&_file, -1);
    return total < 0.0 ? 0.0f : float(total);
}
