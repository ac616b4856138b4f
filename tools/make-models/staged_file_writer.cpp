#include "tools/make-models/staged_file_writer.h"

#include "foundation/file_error.h"

#include <filesystem>
#include <system_error>

std::string staged_file_writer_c::DiskPath(const char* _name) const
{
    std::string relative = _name;
    for (char& c : relative)
        if (c == '\\')
            c = '/';
    return root + "/" + relative;
}

int staged_file_writer_c::Write(const char* _name, const void* _data, u32 _size)
{
    const std::string path = DiskPath(_name);
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error)
        throw file_error_c(_name, "Cannot make the folder!");
    return WriteDiskFileWhole(path.c_str(), _data, _size);
}
