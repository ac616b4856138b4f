#pragma once
// archive_c: one open QZA archive. The file stays open and its directory in
// memory; entries are read on demand, each time whole, raw or inflated
// straight into the caller's buffer.
//
// Layout (little-endian 32-bit words):
//   header at 0: "QZA4", archive size (at most the file's length), directory
//                size, entry count (neither 0)
//   directory at 16: entry count records, each: record length (the step to
//                the next, counting itself and the name's terminator),
//                unpacked size, stored size, absolute offset of the stored
//                bytes, then the NUL-terminated name (backslash path)
//   stored bytes: raw when stored size equals unpacked size, else one zlib
//                stream inflating to exactly the unpacked size
//
// The whole directory is checked when the archive opens: a record shorter
// than its fixed part, running past the directory or with its name
// unterminated, a directory larger than the file, or stored bytes outside the
// file throw file_error_c "Damaged archive!" (or "Unexpected end of file!"),
// so later lookups and reads trust it. Messages: "Not a QZA file!",
// "Unexpected end of file!", "Empty archive!", "Damaged archive!",
// "File does not exist!", "Out of buffer!", "Out of memory!", and those of
// file_handle_c.
//
// One file position is shared by all reads: not for several threads.
#include <vector>

#include "foundation/file_handle.h"
#include "foundation/types.h"

class archive_entry_c {
public:
    archive_entry_c(const char* name, u32 unpackedSize, u32 storedSize, u32 offset)
        : name(name), unpackedSize(unpackedSize), storedSize(storedSize), offset(offset)
    {}

    // The unpacked size.
    u32 GetSize() const { return unpackedSize; }
    u32 GetStoredSize() const { return storedSize; }
    u32 GetOffset() const { return offset; }
    bool IsCompressed() const { return storedSize != unpackedSize; }
    const char* GetName() const { return name; }

private:
    const char* name;
    u32 unpackedSize;
    u32 storedSize;
    u32 offset;
};

class archive_c {
public:
    static constexpr u32 headerSize = 16;
    static constexpr u32 recordFixedSize = 16;
    static constexpr u32 magic = 0x34415a51; // "QZA4"
    // Input is inflated in pieces of at most this many bytes.
    static constexpr u32 pieceSize = 0x20000;

    explicit archive_c(const char* name);
    archive_c(const archive_c&) = delete;
    archive_c& operator=(const archive_c&) = delete;

    // The first entry whose name matches under ASCII case folding, or null.
    const archive_entry_c* Find(const char* name) const;
    // As Find; throws file_error_c(name, "File does not exist!") when absent.
    const archive_entry_c& GetEntry(const char* name) const;
    // Reads the entry into buffer; returns its unpacked size.
    u32 ReadEntry(const archive_entry_c& entry, void* buffer, u32 bufferSize);
    // Inflates storedSize bytes from the file's position into buffer; returns
    // the bytes produced, which are exactly unpackedSize.
    u32 Inflate(void* buffer, u32 unpackedSize, u32 storedSize);

    const std::vector<archive_entry_c>& GetEntries() const { return entries; }
    const string_c& GetName() const { return archiveName; }
    u64 GetFileSize() const { return fileSize; }

private:
    void ReadDirectory(u32 directorySize, u32 entryCount);

    string_c archiveName;
    file_handle_c file;
    u64 fileSize;
    std::vector<char> directory;
    std::vector<archive_entry_c> entries;
};
