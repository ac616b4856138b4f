#pragma once
// Strict reading of the engine's binary records. The memory-file reads leave
// value and position alone when data runs out; the engine's readers need to
// know, so these throw file_error_c with the file's name instead of handing
// back a silent partial result. Counts read from a file are checked against
// the bytes left before anything is allocated for them.
#include "foundation/types.h"

class input_file_c;
class output_file_c;
class string_c;

// Bytes between the read position and the end of the file.
u64 BytesLeft(const input_file_c& _file);

// Throws file_error_c(the file's name, _message).
[[noreturn]] void ThrowDataError(const input_file_c& _file, const char* _message);

// Each throws "Unexpected end of file!" when the value does not fit.
u8 ReadCheckedU8(input_file_c& _file);
u32 ReadCheckedU32(input_file_c& _file);
f32 ReadCheckedF32(input_file_c& _file);
void ReadCheckedString(input_file_c& _file, string_c& _text);
// _block becomes a view of the next block; throws when it is cut short.
void ReadCheckedBlock(input_file_c& _file, input_file_c& _block);

// Throws _message when _count records of at least _record_bytes each cannot
// fit in the bytes left (computed in 64 bits).
void CheckRecordCount(const input_file_c& _file, u64 _count, u64 _record_bytes, const char* _message);
