#include "foundation/file_writer.h"

#include <cerrno>

#include "foundation/file_error.h"
#include "foundation/file_handle.h"
#include "platform/win32/low_level_file.h"

int disk_file_writer_c::Write(const char* name, const void* data, u32 size)
{
    return WriteDiskFileWhole(name, data, size);
}

int WriteDiskFileWhole(const char* name, const void* data, u32 size)
{
    const string_c target(name);
    const string_c temporary = target + ".tmp";
    try {
        output_file_handle_c file(temporary);
        // Large buffers go in pieces the descriptor layer accepts.
        const u8* bytes = static_cast<const u8*>(data);
        for (u32 done = 0; done < size;) {
            const u32 piece = size - done < 0x40000000u ? size - done : 0x40000000u;
            file.Write(bytes + done, piece);
            done += piece;
        }
        file.Flush();
        file.Close();
    } catch (const file_error_c& error) {
        _unlink(temporary);
        throw file_error_c(target, error.what());
    }
    if (!MoveFileReplace(temporary, target)) {
        const int reason = errno;
        _unlink(temporary);
        throw file_error_c(target, reason == EACCES || reason == EPERM ? "Access denied!" : "Could not write file!");
    }
    return static_cast<int>(size);
}

// Output goes to disk unless something else is stacked on top; made on first
// use so that it exists however the library is linked.
file_writer_c* file_writer_c::GetDefault()
{
    static disk_file_writer_c diskFileWriter;
    return &diskFileWriter;
}
