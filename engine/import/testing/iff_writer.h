#pragma once
// Builds big-endian IFF files for importer tests: nested chunks with 4-byte
// or 2-byte lengths and pad bytes, variable-length indices, padded texts.
#include <cstring>
#include <vector>

#include "foundation/types.h"

class iff_writer_c {
public:
    // Opens a chunk; its length is patched by End, which also pads odd data.
    void Begin(const char* _id, u32 _sizeWidth);
    void End();
    // FORM with a 4-byte length and its type.
    void BeginForm(const char* _type);

    void Id(const char* _id) { Raw(_id, 4); }
    void U8(u8 _value) { bytes.push_back(_value); }
    void U16(u32 _value);
    void U32(u32 _value);
    void F32(f32 _value);
    void Vec3(f32 _x, f32 _y, f32 _z);
    void Index(u32 _value);
    // Text, NUL and a pad byte when the count is odd.
    void String(const char* _text);
    void Raw(const void* _data, u32 _n);

    std::vector<u8> bytes;

private:
    struct open_c {
        size_t at;
        u32 width;
    };
    std::vector<open_c> open;
};
