#include "engine/import/testing/iff_writer.h"

void iff_writer_c::Begin(const char* _id, u32 _sizeWidth)
{
    Id(_id);
    open.push_back({bytes.size(), _sizeWidth});
    bytes.resize(bytes.size() + _sizeWidth);
}

void iff_writer_c::End()
{
    const open_c chunk = open.back();
    open.pop_back();
    const size_t n = bytes.size() - chunk.at - chunk.width;
    for (u32 i = 0; i < chunk.width; ++i)
        bytes[chunk.at + i] = static_cast<u8>(n >> (8 * (chunk.width - 1 - i)));
    if (n & 1)
        bytes.push_back(0);
}

void iff_writer_c::BeginForm(const char* _type)
{
    Begin("FORM", 4);
    Id(_type);
}

void iff_writer_c::U16(u32 _value)
{
    U8(static_cast<u8>(_value >> 8));
    U8(static_cast<u8>(_value));
}

void iff_writer_c::U32(u32 _value)
{
    U16(_value >> 16);
    U16(_value & 0xFFFF);
}

void iff_writer_c::F32(f32 _value)
{
    u32 bits;
    std::memcpy(&bits, &_value, 4);
    U32(bits);
}

void iff_writer_c::Vec3(f32 _x, f32 _y, f32 _z)
{
    F32(_x);
    F32(_y);
    F32(_z);
}

void iff_writer_c::Index(u32 _value)
{
    if (_value < 0xFF00)
        U16(_value);
    else
        U32(_value | 0xFF000000u);
}

void iff_writer_c::String(const char* _text)
{
    const u32 n = static_cast<u32>(std::strlen(_text)) + 1;
    Raw(_text, n);
    if (n & 1)
        U8(0);
}

void iff_writer_c::Raw(const void* _data, u32 _n)
{
    const u8* p = static_cast<const u8*>(_data);
    bytes.insert(bytes.end(), p, p + _n);
}
