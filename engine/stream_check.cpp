#include "engine/stream_check.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "foundation/text_string.h"

#include <bit>
#include <cstring>

u64 BytesLeft(const input_file_c& _file)
{
    const u64 size = _file.GetSize();
    const u64 position = _file.GetPosition();
    return position < size ? size - position : 0;
}

void ThrowDataError(const input_file_c& _file, const char* _message)
{
    throw file_error_c(_file.GetName(), _message);
}

namespace {

template <class T>
T ReadChecked(input_file_c& _file, void (input_file_c::*_read)(T&))
{
    const u32 before = _file.GetPosition();
    T value = 0;
    (_file.*_read)(value);
    if (_file.GetPosition() == before)
        ThrowDataError(_file, "Unexpected end of file!");
    return value;
}

} // namespace

u8 ReadCheckedU8(input_file_c& _file)
{
    return ReadChecked<u8>(_file, &input_file_c::ReadU8);
}

u32 ReadCheckedU32(input_file_c& _file)
{
    return ReadChecked<u32>(_file, &input_file_c::ReadU32);
}

f32 ReadCheckedF32(input_file_c& _file)
{
    return std::bit_cast<f32>(ReadCheckedU32(_file));
}

void ReadCheckedString(input_file_c& _file, string_c& _text)
{
    const u8* here = _file.GetPointer();
    const u8* aligned = _file.GetAlignedPointer32();
    if (!here || !aligned)
        ThrowDataError(_file, "Unexpected end of file!");
    u32 length = 0;
    std::memcpy(&length, aligned, 4);
    const u64 text_start = static_cast<u64>(_file.GetPosition()) + static_cast<u64>(aligned - here) + 4;
    if (length != 0 && text_start + length + 1 > _file.GetSize())
        ThrowDataError(_file, "Unexpected end of file!");
    _file.ReadString(_text);
}

void ReadCheckedBlock(input_file_c& _file, input_file_c& _block)
{
    const u32 length = ReadCheckedU32(_file);
    if (length > BytesLeft(_file))
        ThrowDataError(_file, "Unexpected end of file!");
    _file.Seek(-4, 1);
    _file.ReadBlock(_block);
}

void CheckRecordCount(const input_file_c& _file, u64 _count, u64 _record_bytes, const char* _message)
{
    if (_count * _record_bytes > BytesLeft(_file))
        ThrowDataError(_file, _message);
}
