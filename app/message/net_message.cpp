#include "app/message/net_message.h"

#include <algorithm>
#include <bit>
#include <cstring>

void net_message_c::Clear()
{
    write_bit = 0;
    read_bit = 0;
    read_pos = 0;
    length = 0;
    time = -2.0f;
    overflowed = false;
    write_refused = false;
}

void net_message_c::Rewind()
{
    read_bit = 0;
    read_pos = 0;
    overflowed = false;
}

bool net_message_c::Fits(u32 n)
{
    if (n > kPayloadSize - length) {
        write_refused = true;
        return false;
    }
    return true;
}

void net_message_c::PutU32(u32 _value)
{
    for (int i = 0; i < 4; ++i)
        payload[length++] = static_cast<u8>(_value >> (8 * i));
}

net_message_c& net_message_c::WriteU16(u16 _value)
{
    if (!Fits(2))
        return *this;
    payload[length++] = static_cast<u8>(_value);
    payload[length++] = static_cast<u8>(_value >> 8);
    write_bit = 0;
    return *this;
}

net_message_c& net_message_c::WriteU32(u32 _value)
{
    if (!Fits(4))
        return *this;
    PutU32(_value);
    write_bit = 0;
    return *this;
}

net_message_c& net_message_c::WriteF32(f32 _value)
{
    return WriteU32(std::bit_cast<u32>(_value));
}

net_message_c& net_message_c::WriteBit(bool _bit)
{
    if (write_bit == 0) {
        if (!Fits(1))
            return *this;
        payload[length++] = 0;
    }
    if (_bit)
        payload[length - 1] |= static_cast<u8>(0x80 >> write_bit);
    write_bit = static_cast<u8>((write_bit + 1) % 8);
    return *this;
}

net_message_c& net_message_c::WriteString(const string_c& _text)
{
    return WriteCString(_text.GetData());
}

net_message_c& net_message_c::WriteString(const std::string& _text)
{
    // A text with an inner NUL would read back shorter; it goes up to there.
    return WriteCString(_text.c_str());
}

net_message_c& net_message_c::WriteCString(const char* _text)
{
    if (!_text)
        return *this;
    const size_t n = std::strlen(_text) + 1;
    if (!Fits(static_cast<u32>(std::min<size_t>(n, kPayloadSize + 1))))
        return *this;
    std::memcpy(payload + length, _text, n);
    length += static_cast<u32>(n);
    write_bit = 0;
    return *this;
}

net_message_c& net_message_c::WriteVec3(const vec3_c& _v)
{
    if (!Fits(12))
        return *this;
    PutU32(std::bit_cast<u32>(_v.x));
    PutU32(std::bit_cast<u32>(_v.y));
    PutU32(std::bit_cast<u32>(_v.z));
    write_bit = 0;
    return *this;
}

net_message_c& net_message_c::WriteEuler(const euler_c& _e)
{
    return WriteVec3(vec3_c(_e.pitch, _e.heading, _e.bank));
}

bool net_message_c::Readable(u32 n)
{
    if (overflowed || n > length - read_pos) {
        overflowed = true;
        return false;
    }
    return true;
}

u16 net_message_c::ReadU16()
{
    if (!Readable(2))
        return 0;
    const u16 v = static_cast<u16>(payload[read_pos] | payload[read_pos + 1] << 8);
    read_pos = static_cast<u16>(read_pos + 2);
    read_bit = 0;
    return v;
}

u32 net_message_c::ReadU32()
{
    if (!Readable(4))
        return 0;
    u32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<u32>(payload[read_pos + i]) << (8 * i);
    read_pos = static_cast<u16>(read_pos + 4);
    read_bit = 0;
    return v;
}

f32 net_message_c::ReadF32()
{
    return std::bit_cast<f32>(ReadU32());
}

bool net_message_c::ReadBit()
{
    if (overflowed)
        return false;
    if (read_bit == 0) {
        if (!Readable(1))
            return false;
        ++read_pos;
    }
    const bool bit = (payload[read_pos - 1] & (0x80 >> read_bit)) != 0;
    read_bit = static_cast<u8>((read_bit + 1) % 8);
    return bit;
}

string_c net_message_c::ReadString()
{
    string_c text;
    if (overflowed)
        return text;
    const u8* start = payload + read_pos;
    const void* nul = std::memchr(start, 0, length - read_pos);
    if (!nul) {
        overflowed = true;
        return text;
    }
    const u32 n = static_cast<u32>(static_cast<const u8*>(nul) - start);
    text.Assign(reinterpret_cast<const char*>(start), n);
    read_pos = static_cast<u16>(read_pos + n + 1);
    read_bit = 0;
    return text;
}

vec3_c net_message_c::ReadVec3()
{
    if (!Readable(12))
        return vec3_c();
    const f32 x = ReadF32();
    const f32 y = ReadF32();
    const f32 z = ReadF32();
    return vec3_c(x, y, z);
}

euler_c net_message_c::ReadEuler()
{
    const vec3_c v = ReadVec3();
    return euler_c(v.y, v.x, v.z);
}

void net_message_c::SetReadPos(u32 _pos)
{
    if (_pos > length) {
        overflowed = true;
        return;
    }
    read_pos = static_cast<u16>(_pos);
    read_bit = 0;
}

u32 net_message_c::PeekFirstWord() const
{
    if (length < 4)
        return 0;
    return static_cast<u32>(payload[0] | payload[1] << 8 | payload[2] << 16) | static_cast<u32>(payload[3]) << 24;
}

bool net_message_c::Assign(const u8* _bytes, size_t _size)
{
    if (_size > kPayloadSize)
        return false;
    if (_size)
        std::memcpy(payload, _bytes, _size);
    length = static_cast<u32>(_size);
    write_bit = 0;
    write_refused = false;
    Rewind();
    return true;
}
