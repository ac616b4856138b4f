#include "audio/mpeg_source.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "foundation/file_error.h"

namespace {

// A frame header worth opening at: the sync of MPEG-1, 2 or 2.5 and valid fields.
bool IsFrameStart(const u8* data, u64 size, u64 at)
{
    if (at + 4 > size)
        return false;
    mpeg_header_c header;
    return header.Parse(MpegWord(data + at));
}

// A header that would be valid but for its bit-rate index 0: free format,
// whose frame lengths no header gives.
bool IsFreeFormatStart(const u8* data, u64 size, u64 at)
{
    if (at + 4 > size)
        return false;
    const u32 word = MpegWord(data + at);
    mpeg_header_c header;
    return ((word >> 12) & 15) == 0 && header.Parse(word | (1u << 12));
}

} // namespace

mpeg_source_c::mpeg_source_c(sound_system_c* system, const char* name, u32 flags)
    : sound_source_c(system, flags), memory_source_c(name)
{
    OpenMpeg();
}

mpeg_source_c::mpeg_source_c(const mpeg_source_c& other) : sound_source_c(other), memory_source_c(other)
{
    OpenMpeg();
}

mpeg_source_c::~mpeg_source_c()
{
    _decoder.reset();
    _window.reset();
}

sound_source_c* mpeg_source_c::Clone()
{
    return new mpeg_source_c(*this);
}

void mpeg_source_c::OpenMpeg()
{
    const u8* data = File().GetData();
    const u64 size = File().GetSize();
    u64 position = 0;
    u64 end = size;
    if (size >= 10 && std::memcmp(data, "ID3", 3) == 0) {
        const u64 tag = (u64(data[6]) << 21) + (u64(data[7]) << 14) + (u64(data[8]) << 7) + u64(data[9]);
        // Version 4 tags may carry a 10-byte footer after the tag.
        const u64 footer = (data[3] == 4 && (data[5] & 0x10)) ? 10 : 0;
        position = std::min(size, 10 + tag + footer);
    }
    // Junk or padding may precede the first frame; MPEG-2.5 syncs start 0xFFE.
    for (int step = 0; step < 1024 && position < size && !IsFrameStart(data, size, position); ++step) {
        // Searching on would lock onto a false header inside the frame's data.
        if (IsFreeFormatStart(data, size, position))
            throw file_error_c(File().GetPath().GetPath(), "Could not open audio MPEG!");
        ++position;
    }
    if (size >= 128 && size - 128 >= position && std::memcmp(data + size - 128, "TAG", 3) == 0)
        end = size - 128;
    _start = position;
    _length = end > position ? end - position : 0;

    _decoder.reset();
    _window.reset();
    _file_stream = std::make_unique<memory_stream_c>();
    _window = std::make_unique<range_stream_c>();
    _decoder = std::make_unique<mpeg_decoder_c>();
    bool stereo = false;
    if (_file_stream->Open(data, int(std::min<u64>(size, INT32_MAX))) != 0 ||
        _window->Open(_file_stream.get(), int(std::min<u64>(_start, INT32_MAX)),
                      int(std::min<u64>(_length, INT32_MAX))) != 0 ||
        _decoder->Open(_window.get(), &_rate, &stereo, 1, 0, 0) != 0)
        throw file_error_c(File().GetPath().GetPath(), "Could not open audio MPEG!");
    _channels = stereo ? 2 : 1;
}

u32 mpeg_source_c::RawRead(u8* buffer, u32 bytes)
{
    return bytes ? u32(std::max(_decoder->Read(buffer, int(std::min<u32>(bytes, INT32_MAX))), 0)) : 0;
}

bool mpeg_source_c::Seek(float seconds)
{
    const u64 frame = u64(i64(float(_rate) * std::max(seconds, 0.0f)));
    _decoder->Seek(int(std::min<u64>(frame * _channels * 2, INT32_MAX)));
    return true;
}

float mpeg_source_c::GetLength()
{
    const u64 per_second = u64(_channels) * _rate * 2;
    return per_second ? float(double(_decoder->GetSize()) / double(per_second)) : 0.0f;
}
