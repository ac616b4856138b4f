#pragma once
// Thin handles over low-level file descriptors. Every failure throws
// file_error_c with the name given to the operation:
//   open   "File does not exist!", "Access denied!", "Too many open files!",
//          "Could not open file!"
//   create "Invalid path!", "Access denied!", "Too many open files!",
//          "Could not create file!"
//   read   "Invalid file handle!" (the call failed), "Could not read file!"
//          (fewer bytes than asked)
//   write  "Invalid file handle!", "Disk full!", "Could not write file!"
//   seek   "Invalid file handle!", "Invalid function arguments!",
//          "Could not seek file!"
//   close  "Invalid file handle!"
// An Open that fails leaves the handle closed; other failing calls leave it
// as it was. Operations on a closed handle return 0.
#include "foundation/text_string.h"

class file_handle_c {
public:
    file_handle_c();
    explicit file_handle_c(const char* name);
    file_handle_c(const file_handle_c&) = delete;
    file_handle_c& operator=(const file_handle_c&) = delete;
    // Closes; a failing close cannot be reported from here and is ignored.
    ~file_handle_c();

    // Read-only, binary, sequential.
    void Open(const char* name);
    // Takes over an open descriptor; "Could not reassign file handle!" when
    // this handle is open already.
    void Attach(const char* name, int fd);
    // Reads exactly n bytes; returns n.
    int Read(void* buffer, unsigned n);
    // origin 0 start, 1 current, 2 end; returns the new position. Seeking to
    // the end with offset 0 gives the size.
    long Seek(long offset, int origin);
    void Close();

    bool IsOpen() const { return fd >= 0; }
    const string_c& GetName() const { return name; }
    int GetDescriptor() const { return fd; }

protected:
    string_c name;
    int fd;
};

// A file created (or truncated) for writing by its constructor, readable
// and writable by its owner.
class output_file_handle_c : public file_handle_c {
public:
    explicit output_file_handle_c(const char* name);

    void Create(const char* name);
    // Writes exactly n bytes; returns n.
    int Write(const void* buffer, unsigned n);
    // Flushes the written bytes to the device ("Could not write file!").
    void Flush();
};
