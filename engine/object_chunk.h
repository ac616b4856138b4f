#pragma once
// Framing of the engine's object format: a chunk is a u32 tag (four ASCII
// characters, little-endian), a u32 version and a block holding the body.
// Sub-chunks inside a body are a u32 tag and a block.
#include "foundation/types.h"

class input_file_c;
class output_file_c;

constexpr u32 MakeTag(const char (&_text)[5])
{
    return static_cast<u32>(static_cast<u8>(_text[0])) | static_cast<u32>(static_cast<u8>(_text[1])) << 8 |
           static_cast<u32>(static_cast<u8>(_text[2])) << 16 | static_cast<u32>(static_cast<u8>(_text[3])) << 24;
}

// True when the next aligned u32 is _tag; consumes nothing.
bool PeekTag(const input_file_c& _file, u32 _tag);

// When the next tag is _tag and the version is _version: reads the block into
// _body (a view into _file) and returns true. Another tag: false, nothing
// consumed. The right tag with another version: the whole chunk is skipped,
// so a reader that loops over chunks stays in step, and the result is false.
// A block longer than the data left throws file_error_c.
bool ReadChunk(input_file_c& _file, u32 _tag, u32 _version, input_file_c& _body);

// Tag, version and the body's bytes as a block.
void WriteChunk(output_file_c& _file, u32 _tag, u32 _version, const output_file_c& _body);
