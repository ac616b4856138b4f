#include "image/file_bytes.h"

#include <cstring>
#include <limits>

#include "foundation/file_error.h"
#include "foundation/memory_file.h"

file_bytes_s RemainingBytes(const input_file_c& file)
{
    const u32 position = file.GetPosition();
    const u32 size = file.GetSize();
    if (file.GetData() == nullptr || position >= size)
        return {nullptr, 0, file.GetName()};
    return {file.GetData() + position, u64(size - position), file.GetName()};
}

void AppendBytes(output_file_c& file, const void* bytes, u64 count)
{
    if (count == 0)
        return;
    const u64 start = file.GetPosition();
    const u64 end = start + count;
    if (end > u64(std::numeric_limits<u32>::max()) || end > u64(std::numeric_limits<long>::max()))
        ThrowFileError(file.GetName(), "File too large!");
    file.Seek(long(end), 0);
    file.Seek(long(start), 0);
    std::memcpy(file.GetPointer(), bytes, count);
    file.Seek(long(end), 0);
}

void ThrowFileError(const char* name, const char* message)
{
    throw file_error_c(name, message);
}
