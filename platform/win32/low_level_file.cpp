#include "platform/win32/low_level_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

std::string DiskPathFromName(const char* name)
{
    std::string path(name ? name : "");
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

int _open(const char* name, int flags, int permission)
{
    if (!name) {
        errno = EINVAL;
        return -1;
    }
    int posixFlags = O_CLOEXEC;
    switch (flags & (_O_WRONLY | _O_RDWR)) {
    case _O_WRONLY: posixFlags |= O_WRONLY; break;
    case _O_RDWR: posixFlags |= O_RDWR; break;
    default: posixFlags |= O_RDONLY; break;
    }
    if (flags & _O_CREAT)
        posixFlags |= O_CREAT;
    if (flags & _O_TRUNC)
        posixFlags |= O_TRUNC;
    if (flags & _O_EXCL)
        posixFlags |= O_EXCL;
    mode_t mode = 0;
    if (permission & _S_IREAD)
        mode |= S_IRUSR | S_IRGRP | S_IROTH;
    if (permission & _S_IWRITE)
        mode |= S_IWUSR | S_IWGRP | S_IWOTH;
    const std::string path = DiskPathFromName(name);
    int fd;
    do
        fd = ::open(path.c_str(), posixFlags, mode);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    // A folder opens on POSIX but can never be read as a file.
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        errno = EACCES;
        return -1;
    }
    if (flags & _O_SEQUENTIAL)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

namespace {
// Repeats a transfer until count bytes moved, the call moves none (the end of
// a file or a full device), or it fails.
template <typename Byte, typename Transfer>
int TransferAll(int fd, Byte* bytes, unsigned count, Transfer transfer)
{
    if (count > 0x7fffffffu) {
        errno = EINVAL;
        return -1;
    }
    unsigned done = 0;
    while (done < count) {
        const ssize_t n = transfer(fd, bytes + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<unsigned>(n);
    }
    return static_cast<int>(done);
}
}

int _read(int fd, void* buffer, unsigned count)
{
    return TransferAll(fd, static_cast<char*>(buffer), count, ::read);
}

int _write(int fd, const void* buffer, unsigned count)
{
    return TransferAll(fd, static_cast<const char*>(buffer), count, ::write);
}

long _lseek(int fd, long offset, int origin)
{
    int whence;
    switch (origin) {
    case 0: whence = SEEK_SET; break;
    case 1: whence = SEEK_CUR; break;
    case 2: whence = SEEK_END; break;
    default: errno = EINVAL; return -1;
    }
    const off_t position = ::lseek(fd, static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<long>(position);
}

int _close(int fd)
{
    // POSIX leaves the descriptor closed even when close reports EINTR.
    if (::close(fd) != 0 && errno != EINTR)
        return -1;
    return 0;
}

int _commit(int fd)
{
    return ::fsync(fd) == 0 ? 0 : -1;
}

int _unlink(const char* name)
{
    const std::string path = DiskPathFromName(name);
    return ::unlink(path.c_str()) == 0 ? 0 : -1;
}

bool MoveFileReplace(const char* from, const char* to)
{
    const std::string source = DiskPathFromName(from);
    const std::string target = DiskPathFromName(to);
    return ::rename(source.c_str(), target.c_str()) == 0;
}
