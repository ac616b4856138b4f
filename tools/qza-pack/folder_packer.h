#pragma once
// Packs a folder into a QZA archive: every regular file below it becomes one
// entry named by its path relative to the folder with backslashes, stored as
// one zlib stream when that is smaller, else raw. Entries are added in the
// order of their names, so the same folder always gives the same archive.
// The archive is written to a temporary file and renamed, never left
// half-written.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/types.h"

// Reasons a folder cannot be packed, in words for the user.
class pack_error_c : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct packed_entry_t {
    std::string name;
    u32 unpackedSize;
    u32 storedSize;
};

// The entry names and disk paths a folder would give, sorted by name. Throws
// pack_error_c for a missing or unreadable folder, a file name holding a
// backslash, two names that differ only in letter case (the game could reach
// only one), or a file larger than 4 GB.
std::vector<std::pair<std::string, std::string>> ListFolder(const std::string& folder);

// Packs folder into archive with zlib level (0 to 9). Throws pack_error_c
// when the folder holds no files or a file cannot be read, and file_error_c
// when the archive cannot be written.
std::vector<packed_entry_t> PackFolder(const std::string& folder, const std::string& archive, int level);

// Writes one line per entry of an archive: name, unpacked size, stored size,
// "raw" or "zlib". file_error_c for an archive that does not open.
void ListArchive(const std::string& archive, std::FILE* out);
