#include "engine/import/iff_chunk.h"

#include <cstring>

#include "foundation/file_error.h"

iff_chunk_c::iff_chunk_c() : name(nullptr), id(0), data(nullptr), size(0), cursor(nullptr), remaining(0) {}

iff_chunk_c::iff_chunk_c(const char* _name, const u8* _data, u64 _available, u64* _consumed, u32 _sizeWidth)
    : iff_chunk_c()
{
    name = _name;
    if (_consumed)
        *_consumed = 0;
    if (_data == nullptr || (_sizeWidth != 2 && _sizeWidth != 4))
        return;
    const u64 header = 4 + static_cast<u64>(_sizeWidth);
    if (_available < header)
        return;
    u64 n = 0;
    for (u32 i = 0; i < _sizeWidth; ++i)
        n = (n << 8) | _data[4 + i];
    const u64 total = n + (n & 1) + header;
    if (_available < total)
        return;
    std::memcpy(&id, _data, 4);
    size = remaining = static_cast<u32>(n);
    data = cursor = _data + header;
    if (_consumed)
        *_consumed = total;
}

iff_chunk_c::iff_chunk_c(const char* _name, const u8* _data, u64 _size) : iff_chunk_c(_name, _data, _size, nullptr, 4)
{}

void iff_chunk_c::Rewind()
{
    cursor = data;
    remaining = size;
}

iff_chunk_c iff_chunk_c::ReadChunk(u32 _sizeWidth)
{
    u64 consumed = 0;
    iff_chunk_c chunk(name, cursor, remaining, &consumed, _sizeWidth);
    cursor += consumed;
    remaining -= static_cast<u32>(consumed);
    return chunk;
}

void iff_chunk_c::ThrowTruncated() const
{
    throw file_error_c(name, "Unexpected end of file!");
}

const u8* iff_chunk_c::Read(u32 _n)
{
    if (_n > remaining)
        ThrowTruncated();
    const u8* at = cursor;
    cursor += _n;
    remaining -= _n;
    return at;
}

u16 iff_chunk_c::ReadU16()
{
    const u8* b = Read(2);
    return static_cast<u16>(b[0] << 8 | b[1]);
}

u32 iff_chunk_c::ReadU32()
{
    const u8* b = Read(4);
    return static_cast<u32>(b[0]) << 24 | static_cast<u32>(b[1]) << 16 | static_cast<u32>(b[2]) << 8 | b[3];
}

u32 iff_chunk_c::ReadId()
{
    u32 value;
    std::memcpy(&value, Read(4), 4);
    return value;
}

f32 iff_chunk_c::ReadFloat()
{
    const u32 bits = ReadU32();
    f32 value;
    std::memcpy(&value, &bits, 4);
    return value;
}

vec3_c iff_chunk_c::ReadVec3()
{
    if (remaining < 12)
        ThrowTruncated();
    const f32 x = ReadFloat();
    const f32 y = ReadFloat();
    return vec3_c(x, y, ReadFloat());
}

u32 iff_chunk_c::ReadIndex()
{
    if (remaining < 2)
        ThrowTruncated();
    if (cursor[0] != 0xFF)
        return ReadU16();
    if (remaining < 4)
        ThrowTruncated();
    return ReadU32() & 0x00FFFFFFu;
}

const char* iff_chunk_c::ReadString()
{
    const void* end = std::memchr(cursor, 0, remaining);
    if (end == nullptr)
        ThrowTruncated();
    const u32 length = static_cast<u32>(static_cast<const u8*>(end) - cursor) + 1;
    const char* text = reinterpret_cast<const char*>(cursor);
    // The pad byte of an odd count may be absent at the very end of the chunk.
    Read(length + (length & 1) <= remaining ? length + (length & 1) : length);
    return text;
}

void iff_chunk_c::ReadFileName(string_c& _out)
{
    const char* text = ReadString();
    const char* colon = std::strchr(text, ':');
    _out = colon ? colon + 1 : text;
    for (u32 i = 0; i < _out.GetLength(); ++i)
        if (_out[i] == '/')
            _out.SetChar(i, '\\');
}

u16 iff_chunk_c::SwapU16(u16 _value)
{
    return static_cast<u16>(_value << 8 | _value >> 8);
}

u32 iff_chunk_c::SwapU32(u32 _value)
{
    return _value << 24 | (_value & 0xFF00u) << 8 | (_value >> 8 & 0xFF00u) | _value >> 24;
}
