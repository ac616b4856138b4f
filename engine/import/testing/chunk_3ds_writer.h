#pragma once
// Builds little-endian 3DS chunk trees for importer tests: u16 id, u32
// length including the 6-byte header, data and nested chunks.
#include <cstring>
#include <vector>

#include "foundation/types.h"

class chunk_3ds_writer_c {
public:
    void Begin(u32 _id)
    {
        U16(_id);
        open.push_back(bytes.size());
        U32(0);
    }
    void End()
    {
        const size_t at = open.back();
        open.pop_back();
        const u32 length = static_cast<u32>(bytes.size() - at + 2);
        std::memcpy(&bytes[at], &length, 4);
    }
    void U8(u32 _v) { bytes.push_back(static_cast<u8>(_v)); }
    void U16(u32 _v)
    {
        U8(_v);
        U8(_v >> 8);
    }
    void U32(u32 _v)
    {
        U16(_v & 0xFFFF);
        U16(_v >> 16);
    }
    void F32(f32 _v)
    {
        u32 bits;
        std::memcpy(&bits, &_v, 4);
        U32(bits);
    }
    void Vec3(f32 _x, f32 _y, f32 _z)
    {
        F32(_x);
        F32(_y);
        F32(_z);
    }
    void Raw(const char* _data, u32 _n) { bytes.insert(bytes.end(), _data, _data + _n); }
    void String(const char* _text) { bytes.insert(bytes.end(), _text, _text + std::strlen(_text) + 1); }
    // A chunk holding one i16 percentage sub-chunk.
    void Percent(u32 _id, i32 _value)
    {
        Begin(_id);
        Begin(0x0030);
        U16(static_cast<u32>(_value));
        End();
        End();
    }
    // A colour chunk with a byte colour.
    void Color(u32 _id, u32 _r, u32 _g, u32 _b)
    {
        Begin(_id);
        Begin(0x0011);
        U8(_r);
        U8(_g);
        U8(_b);
        End();
        End();
    }

    std::vector<u8> bytes;

private:
    std::vector<size_t> open;
};
