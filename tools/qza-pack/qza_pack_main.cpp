// qza-pack FOLDER ARCHIVE     packs every file below FOLDER into ARCHIVE
// qza-pack --level N FOLDER ARCHIVE   zlib level 0 (all raw) to 9 (default)
// qza-pack --list ARCHIVE     lists name, size, stored size and form
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/file_error.h"
#include "tools/qza-pack/folder_packer.h"

namespace {
int Usage()
{
    std::fprintf(stderr, "usage: qza-pack [--level N] FOLDER ARCHIVE\n"
                         "       qza-pack --list ARCHIVE\n");
    return 2;
}
}

int main(int argc, char** argv)
{
    try {
        if (argc == 3 && std::string(argv[1]) == "--list") {
            ListArchive(argv[2], stdout);
            return 0;
        }
        int level = 9;
        int first = 1;
        if (argc == 5 && std::string(argv[1]) == "--level") {
            char* end = nullptr;
            const long value = std::strtol(argv[2], &end, 10);
            if (!*argv[2] || *end || value < 0 || value > 9)
                return Usage();
            level = static_cast<int>(value);
            first = 3;
        } else if (argc != 3) {
            return Usage();
        }
        const auto packed = PackFolder(argv[first], argv[first + 1], level);
        unsigned long long unpacked = 0, stored = 0;
        for (const packed_entry_t& entry : packed) {
            unpacked += entry.unpackedSize;
            stored += entry.storedSize;
        }
        std::printf("%zu files, %llu bytes packed into %llu\n", packed.size(), unpacked, stored);
        return 0;
    } catch (const file_error_c& error) {
        std::fprintf(stderr, "qza-pack: %s: %s\n", error.GetFileName().GetData(), error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qza-pack: %s\n", error.what());
    }
    return 1;
}
