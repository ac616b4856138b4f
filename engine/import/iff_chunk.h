#pragma once
// iff_chunk_c: a non-owning, bounded view of one chunk of a big-endian IFF
// container (LightWave objects) held whole in memory. The bytes belong to the
// input file, which must outlive every view made from it.
//
// Chunk layout: four identifier bytes, a 4-byte (top level, outer "FORM") or
// 2-byte (sub-chunk) big-endian data length n, n data bytes, one pad byte
// when n is odd. A header or padded body that does not fit in its parent is
// not an error: it yields an empty view (id 0), which ends a chunk walk just
// like the end of the parent. Typed reads that need more bytes than the chunk
// has left throw file_error_c(name, "Unexpected end of file!") and leave the
// view unchanged.
#include <bit>

#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

static_assert(std::endian::native == std::endian::little, "chunk identifiers assume a little-endian host");

// The identifier word of four ASCII characters as it stands in memory.
constexpr u32 IffId(const char (&text)[5])
{
    return static_cast<u32>(static_cast<u8>(text[0])) | static_cast<u32>(static_cast<u8>(text[1])) << 8 |
           static_cast<u32>(static_cast<u8>(text[2])) << 16 | static_cast<u32>(static_cast<u8>(text[3])) << 24;
}

class iff_chunk_c {
public:
    const char* name; // file name for messages, handed down to sub-chunks
    u32 id;           // identifier bytes as in the file; 0 marks an empty view
    const u8* data;   // first data byte behind the header
    u32 size;         // data length from the header (pad byte not counted)
    const u8* cursor; // next unread data byte
    u32 remaining;    // bytes from cursor to the end of the data

    iff_chunk_c();
    // Parses the header at _data with _available bytes behind it; _sizeWidth is
    // 4 or 2 (any other width parses nothing). _consumed, when given, receives
    // header + data + pad, or 0 when nothing was parsed. Sizes are summed in 64
    // bits, so a length near 2^32 never wraps into a chunk that seems to fit.
    iff_chunk_c(const char* _name, const u8* _data, u64 _available, u64* _consumed, u32 _sizeWidth);
    // The outer view over a whole file: the chunk at _data with a 4-byte size.
    iff_chunk_c(const char* _name, const u8* _data, u64 _size);

    bool IsEmpty() const { return id == 0; }

    void Rewind();
    // The next sub-chunk at the cursor; the cursor moves past it. At the end,
    // or when it does not fit, an empty view and the cursor stays. Walks stop
    // at the first view whose remaining is 0, so a chunk of length 0 ends its
    // parent's walk too.
    iff_chunk_c ReadChunk(u32 _sizeWidth);

    // The next _n bytes; the cursor moves past them.
    const u8* Read(u32 _n);
    void Skip(u32 _n) { Read(_n); }
    u16 ReadU16();
    u32 ReadU32();
    // Four identifier bytes as IffId gives them.
    u32 ReadId();
    f32 ReadFloat();
    vec3_c ReadVec3();
    // The variable-length index: two bytes below 0xFF00, else the low 24 bits
    // of four bytes.
    u32 ReadIndex();
    // A NUL-terminated text inside the chunk, padded to even length. A text
    // whose NUL lies past the chunk's end is refused as truncated.
    const char* ReadString();
    // A file name: the text after the first ':' (the volume) with every '/'
    // turned into '\'.
    void ReadFileName(string_c& _out);

    static u16 SwapU16(u16 _value);
    static u32 SwapU32(u32 _value);

private:
    [[noreturn]] void ThrowTruncated() const;
};
