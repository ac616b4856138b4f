#pragma once
// Low-level file descriptors in the shape of the C runtime's _open family.
// Names are the game's: backslashes separate folders and are turned into '/'
// before the disk sees them. Failures return -1 and leave the reason in errno
// (ENOENT, EACCES, EMFILE, EBADF, EINVAL, ENOSPC keep their usual numbers).
#include <cerrno>
#include <string>

constexpr int _O_RDONLY = 0x0000;
constexpr int _O_WRONLY = 0x0001;
constexpr int _O_RDWR = 0x0002;
constexpr int _O_CREAT = 0x0100;
constexpr int _O_TRUNC = 0x0200;
constexpr int _O_EXCL = 0x0400;
constexpr int _O_BINARY = 0x8000;
// Hints that the file is read front to back.
constexpr int _O_SEQUENTIAL = 0x0020;

constexpr int _S_IREAD = 0x0100;
constexpr int _S_IWRITE = 0x0080;

// The name as the disk knows it: every '\' becomes '/'.
std::string DiskPathFromName(const char* name);

int _open(const char* name, int flags, int permission = 0);
// Reads up to count bytes; fewer only at the end of the file. -1 on failure.
int _read(int fd, void* buffer, unsigned count);
// Writes count bytes; fewer only when the device refuses more. -1 on failure.
int _write(int fd, const void* buffer, unsigned count);
// origin 0 start, 1 current, 2 end. Returns the new position or -1.
long _lseek(int fd, long offset, int origin);
int _close(int fd);
// Flushes the file's data to the device; 0 on success.
int _commit(int fd);
int _unlink(const char* name);

// Renames from to to, replacing an existing to in one step; false on failure
// (errno tells why).
bool MoveFileReplace(const char* from, const char* to);
