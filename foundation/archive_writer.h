#pragma once
// archive_writer_c: builds a QZA archive (layout in foundation/archive.h).
// Each entry is stored as one zlib stream when that is smaller than the
// bytes themselves, else raw; equal sizes always mean raw to the reader.
// Records are packed without padding, the stored bytes follow the directory
// in the order the entries were added.
#include <string>
#include <vector>

#include "foundation/types.h"

class archive_writer_c {
public:
    // zlib level 0 to 9 for compressed entries (0 stores everything raw).
    explicit archive_writer_c(int level = 9);

    // name is the backslash path the game will ask for. Throws
    // std::invalid_argument for an empty name or one holding a NUL, and
    // std::length_error when the archive would pass 4 GB.
    void Add(const std::string& name, const void* bytes, u64 size);
    // Adds bytes already packed as one zlib stream (stored size must differ
    // from the unpacked size, or the reader takes them raw).
    void AddPacked(const std::string& name, const void* packed, u64 packedSize, u64 unpackedSize);

    // The whole archive.
    std::vector<u8> Build() const;
    // Writes the archive under name (a disk path), whole or not at all.
    // Failures throw file_error_c with the name.
    void Write(const char* name) const;

    struct entry_t {
        std::string name;
        u32 unpackedSize;
        std::vector<u8> stored;
    };
    const std::vector<entry_t>& GetEntries() const { return entries; }

private:
    int level;
    std::vector<entry_t> entries;
};
