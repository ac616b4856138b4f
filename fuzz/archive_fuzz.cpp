// Opens the input as a QZA archive and reads every entry. Any failure must be
// a file_error_c; crashes, hangs and oversized allocations are faults.
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "foundation/archive.h"
#include "foundation/file_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = memfd_create("archive", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    const std::string name = "/proc/self/fd/" + std::to_string(fd);
    try {
        archive_c archive(name.c_str());
        std::vector<u8> buffer;
        for (const archive_entry_c& entry : archive.GetEntries()) {
            // Lookup by name must find an entry with that name.
            if (!archive.Find(entry.GetName()))
                __builtin_trap();
            buffer.resize(entry.GetSize());
            try {
                archive.ReadEntry(entry, buffer.data(), entry.GetSize());
            } catch (const file_error_c&) {}
        }
    } catch (const file_error_c&) {}
    close(fd);
    return 0;
}
