#include "foundation/file_handle.h"

#include <cerrno>

#include "foundation/file_error.h"
#include "platform/win32/low_level_file.h"

file_handle_c::file_handle_c() : fd(-1) {}

file_handle_c::file_handle_c(const char* fileName) : fd(-1)
{
    Open(fileName);
}

file_handle_c::~file_handle_c()
{
    if (fd >= 0)
        _close(fd);
}

void file_handle_c::Open(const char* fileName)
{
    Close();
    const int opened = _open(fileName, _O_RDONLY | _O_BINARY | _O_SEQUENTIAL);
    if (opened < 0) {
        switch (errno) {
        case ENOENT: throw file_error_c(fileName, "File does not exist!");
        case EACCES: throw file_error_c(fileName, "Access denied!");
        case EMFILE: throw file_error_c(fileName, "Too many open files!");
        default: throw file_error_c(fileName, "Could not open file!");
        }
    }
    Attach(fileName, opened);
}

void file_handle_c::Attach(const char* fileName, int descriptor)
{
    if (fd >= 0)
        throw file_error_c(fileName, "Could not reassign file handle!");
    name = fileName;
    fd = descriptor;
}

int file_handle_c::Read(void* buffer, unsigned n)
{
    if (fd < 0)
        return 0;
    const int got = _read(fd, buffer, n);
    if (got < 0)
        throw file_error_c(name, "Invalid file handle!");
    if (static_cast<unsigned>(got) != n)
        throw file_error_c(name, "Could not read file!");
    return got;
}

long file_handle_c::Seek(long offset, int origin)
{
    if (fd < 0)
        return 0;
    const long position = _lseek(fd, offset, origin);
    if (position < 0) {
        switch (errno) {
        case EBADF: throw file_error_c(name, "Invalid file handle!");
        case EINVAL: throw file_error_c(name, "Invalid function arguments!");
        default: throw file_error_c(name, "Could not seek file!");
        }
    }
    return position;
}

void file_handle_c::Close()
{
    if (fd >= 0) {
        if (_close(fd) != 0)
            throw file_error_c(name, "Invalid file handle!");
        fd = -1;
    }
    name.Clear();
}

output_file_handle_c::output_file_handle_c(const char* fileName)
{
    Create(fileName);
}

void output_file_handle_c::Create(const char* fileName)
{
    Close();
    const int created = _open(fileName, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (created < 0) {
        switch (errno) {
        case ENOENT: throw file_error_c(fileName, "Invalid path!");
        case EACCES: throw file_error_c(fileName, "Access denied!");
        case EMFILE: throw file_error_c(fileName, "Too many open files!");
        default: throw file_error_c(fileName, "Could not create file!");
        }
    }
    Attach(fileName, created);
}

int output_file_handle_c::Write(const void* buffer, unsigned n)
{
    if (fd < 0)
        return 0;
    const int put = _write(fd, buffer, n);
    if (put < 0) {
        switch (errno) {
        case EBADF: throw file_error_c(name, "Invalid file handle!");
        case ENOSPC: throw file_error_c(name, "Disk full!");
        default: throw file_error_c(name, "Could not write file!");
        }
    }
    if (static_cast<unsigned>(put) != n)
        throw file_error_c(name, "Could not write file!");
    return put;
}

void output_file_handle_c::Flush()
{
    if (fd >= 0 && _commit(fd) != 0)
        throw file_error_c(name, "Could not write file!");
}
