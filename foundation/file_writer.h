#pragma once
// file_writer_c: where finished output_file_c buffers are stored. Writers
// nest like file systems: the newest is current; with none stacked, a disk
// writer serves.
#include "foundation/current_stack.h"
#include "foundation/types.h"

class file_writer_c : public current_stack_c<file_writer_c> {
public:
    // Construction makes it current (GetCurrent).
    virtual ~file_writer_c() = default;

    // The disk writer that serves while no other is stacked.
    static file_writer_c* GetDefault();

    // Stores size bytes under name; returns the count. Failures throw
    // file_error_c.
    virtual int Write(const char* name, const void* data, u32 size) = 0;
};

// Files on disk, written whole or not at all: the bytes go to a temporary
// file beside the target, are flushed to the device, and replace the target
// in one rename. Failures carry the target's name and file_handle_c's
// messages.
class disk_file_writer_c : public file_writer_c {
public:
    int Write(const char* name, const void* data, u32 size) override;
};

// What disk_file_writer_c does, for tools that store a file without making a
// writer current.
int WriteDiskFileWhole(const char* name, const void* data, u32 size);
