#include "level/testing/memory_files.h"

#include "foundation/file_error.h"

#include <cstring>

u32 memory_file_system_c::GetSize(const char* _name)
{
    const auto found = files.find(_name);
    if (found == files.end())
        throw file_error_c(_name, "File does not exist!");
    return static_cast<u32>(found->second.size());
}

u32 memory_file_system_c::Load(const char* _name, void* _buffer, u32 _size)
{
    const u32 size = GetSize(_name);
    if (size > _size)
        throw file_error_c(_name, "Out of buffer!");
    std::memcpy(_buffer, files[_name].data(), size);
    return size;
}

int memory_file_writer_c::Write(const char* _name, const void* _data, u32 _size)
{
    const u8* bytes = static_cast<const u8*>(_data);
    files[_name] = std::vector<u8>(bytes, bytes + _size);
    return static_cast<int>(_size);
}
