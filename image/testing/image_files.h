#pragma once
// Test helpers for the image codecs: files on disk with a known name, byte
// builders, and turning a thrown file_error_c into "name|message".
#include <string>
#include <vector>

#include "foundation/file_error.h"
#include "foundation/file_system.h"
#include "foundation/types.h"

// A file in the system's temporary folder, removed when the object dies.
// While it lives, names load from disk (its own disk file system is current).
class scratch_file_c {
public:
    explicit scratch_file_c(const std::vector<u8>& bytes);
    ~scratch_file_c();
    scratch_file_c(const scratch_file_c&) = delete;
    scratch_file_c& operator=(const scratch_file_c&) = delete;

    const char* GetName() const { return name.c_str(); }

private:
    disk_file_system_c disk;
    std::string name;
};

// Runs f, which should throw file_error_c; returns "<file name>|<message>",
// or "no error".
template <typename F>
std::string FileFailure(F f)
{
    try {
        f();
    } catch (const file_error_c& e) {
        return std::string(static_cast<const char*>(e.GetFileName())) + "|" + e.what();
    }
    return "no error";
}

// Only the message of a thrown file_error_c, or "no error".
template <typename F>
std::string FailureMessage(F f)
{
    try {
        f();
    } catch (const file_error_c& e) {
        return e.what();
    }
    return "no error";
}

// Little-endian appenders for building file fixtures.
inline void Put16(std::vector<u8>& out, u32 v)
{
    out.push_back(u8(v));
    out.push_back(u8(v >> 8));
}
inline void Put32(std::vector<u8>& out, u32 v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
