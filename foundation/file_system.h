#pragma once
// file_system_c: where every data file of the game is read from, whole. The
// file systems form a stack: the newest one is current and serves every
// load until it is destroyed. A disk file system exists from static
// construction on, so there is always a current one; the application puts
// the archive file system on top of it.
//
// Names are full paths as built by path_c. Failures throw file_error_c.
#include "foundation/current_stack.h"
#include "foundation/types.h"

class file_system_c : public current_stack_c<file_system_c> {
public:
    // Construction makes it current (GetCurrent); destruction makes the one
    // before current again.
    virtual ~file_system_c() = default;

    // The loose-file system that serves while no other is stacked.
    static file_system_c* GetDefault();

    // Length of the named file in bytes.
    virtual u32 GetSize(const char* name) = 0;
    // Reads the whole named file into buffer; returns the bytes placed there.
    // A buffer smaller than the file throws "Out of buffer!".
    virtual u32 Load(const char* name, void* buffer, u32 bufferSize) = 0;
};

// Loose files on disk; backslashes in names stand for '/'. A file too long
// for a 32-bit size throws "File too large!".
class disk_file_system_c : public file_system_c {
public:
    u32 GetSize(const char* name) override;
    u32 Load(const char* name, void* buffer, u32 bufferSize) override;
};
