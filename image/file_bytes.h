#pragma once
// What the image codecs share over memory files: the unread bytes of an
// input file, appending raw bytes to an output file, and throwing
// file_error_c with the file's name.
#include "foundation/types.h"

class input_file_c;
class output_file_c;

// The bytes from the input file's position to its end.
struct file_bytes_s {
    const u8* data;
    u64 size;
    const char* name;
};

file_bytes_s RemainingBytes(const input_file_c& file);

// Writes count bytes at the output file's position, growing it, and leaves
// the position behind them.
void AppendBytes(output_file_c& file, const void* bytes, u64 count);

[[noreturn]] void ThrowFileError(const char* name, const char* message);

// Little-endian fields of file headers.
inline u16 ReadLe16(const u8* p)
{
    return u16(p[0] | (p[1] << 8));
}
inline u32 ReadLe32(const u8* p)
{
    return u32(p[0]) | (u32(p[1]) << 8) | (u32(p[2]) << 16) | (u32(p[3]) << 24);
}
inline void WriteLe16(u8* p, u32 v)
{
    p[0] = u8(v);
    p[1] = u8(v >> 8);
}
inline void WriteLe32(u8* p, u32 v)
{
    p[0] = u8(v);
    p[1] = u8(v >> 8);
    p[2] = u8(v >> 16);
    p[3] = u8(v >> 24);
}
