#include "engine/testing/memory_file_system.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cstring>

void memory_file_system_c::Add(const std::string& _name, const output_file_c& _bytes)
{
    files[_name].assign(_bytes.GetData(), _bytes.GetData() + _bytes.GetSize());
}

u32 memory_file_system_c::GetSize(const char* _name)
{
    return static_cast<u32>(Find(_name).size());
}

u32 memory_file_system_c::Load(const char* _name, void* _buffer, u32 _buffer_size)
{
    const std::vector<u8>& bytes = Find(_name);
    if (bytes.size() > _buffer_size)
        throw file_error_c(_name, "Out of buffer!");
    std::memcpy(_buffer, bytes.data(), bytes.size());
    return static_cast<u32>(bytes.size());
}

const std::vector<u8>& memory_file_system_c::Find(const char* _name) const
{
    const auto found = files.find(_name);
    if (found == files.end())
        throw file_error_c(_name, "File does not exist!");
    return found->second;
}
