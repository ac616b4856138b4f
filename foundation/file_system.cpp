#include "foundation/file_system.h"

#include "foundation/file_error.h"
#include "foundation/file_handle.h"

namespace {
u32 SizeOf(file_handle_c& file)
{
    const long size = file.Seek(0, 2);
    if (static_cast<unsigned long>(size) > 0xffffffffu)
        throw file_error_c(file.GetName(), "File too large!");
    return static_cast<u32>(size);
}
}

u32 disk_file_system_c::GetSize(const char* name)
{
    file_handle_c file(name);
    return SizeOf(file);
}

u32 disk_file_system_c::Load(const char* name, void* buffer, u32 bufferSize)
{
    file_handle_c file(name);
    const u32 size = SizeOf(file);
    if (bufferSize < size)
        throw file_error_c(name, "Out of buffer!");
    file.Seek(0, 0);
    file.Read(buffer, size);
    file.Close();
    return size;
}

// Made on first use rather than at static construction: a static instance in
// a library member that nothing else references would never be linked in.
file_system_c* file_system_c::GetDefault()
{
    static disk_file_system_c diskFileSystem;
    return &diskFileSystem;
}
