#include "foundation/archive.h"

#include <cstring>
#include <zlib.h>

#include <gtest/gtest.h>

#include "foundation/archive_writer.h"
#include "foundation/testing/failure_text.h"
#include "foundation/testing/scratch_folder.h"

namespace {
std::vector<u8> Pattern(size_t size, u32 seed)
{
    std::vector<u8> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<u8>(seed >> 16);
    }
    return bytes;
}

void PutU32(std::vector<u8>& bytes, size_t at, u32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<u8>(value >> (8 * i));
}

std::vector<u8> Header(u32 archiveSize, u32 directorySize, u32 entryCount)
{
    std::vector<u8> bytes(16);
    std::memcpy(bytes.data(), "QZA4", 4);
    PutU32(bytes, 4, archiveSize);
    PutU32(bytes, 8, directorySize);
    PutU32(bytes, 12, entryCount);
    return bytes;
}

std::string Load(archive_c& archive, const char* name)
{
    const archive_entry_c& entry = archive.GetEntry(name);
    std::string out(entry.GetSize(), '\0');
    EXPECT_EQ(archive.ReadEntry(entry, out.data(), static_cast<u32>(out.size())), entry.GetSize());
    return out;
}
}

TEST(ArchiveTest, ReadsRawAndCompressedEntries)
{
    scratch_folder_c folder;
    archive_writer_c writer;
    const std::string text(5000, 'z');
    const std::vector<u8> noise = Pattern(3000, 7);
    writer.Add("data\\x.txt", text.data(), text.size());
    writer.Add("data\\noise.bin", noise.data(), noise.size());
    writer.Add("empty", "", 0);
    const std::string name = folder.Path("a.qza");
    writer.Write(name.c_str());

    archive_c archive(name.c_str());
    ASSERT_EQ(archive.GetEntries().size(), 3u);
    EXPECT_TRUE(archive.GetEntries()[0].IsCompressed());
    EXPECT_FALSE(archive.GetEntries()[1].IsCompressed());
    EXPECT_EQ(Load(archive, "DATA\\X.TXT"), text);
    EXPECT_EQ(Load(archive, "data\\noise.bin"), std::string(noise.begin(), noise.end()));
    EXPECT_EQ(archive.GetEntry("empty").GetSize(), 0u);
    EXPECT_EQ(archive.ReadEntry(archive.GetEntry("empty"), nullptr, 0), 0u);
    // Reads seek first, so any order works.
    EXPECT_EQ(Load(archive, "data\\x.txt"), text);
}

TEST(ArchiveTest, LookupFailuresAndSmallBuffers)
{
    scratch_folder_c folder;
    archive_writer_c writer;
    writer.Add("a\\b.txt", "hello", 5);
    const std::string name = folder.Path("a.qza");
    writer.Write(name.c_str());
    archive_c archive(name.c_str());
    EXPECT_EQ(archive.Find("a\\c.txt"), nullptr);
    EXPECT_EQ(archive.Find(nullptr), nullptr);
    EXPECT_EQ(FileFailure([&] { archive.GetEntry("a\\c.txt"); }), "a\\c.txt|File does not exist!");
    char buffer[5];
    EXPECT_EQ(FileFailure([&] { archive.ReadEntry(archive.GetEntry("A\\B.TXT"), buffer, 4); }),
              "a\\b.txt|Out of buffer!");
}

TEST(ArchiveTest, HeaderChecks)
{
    scratch_folder_c folder;
    struct Case {
        const char* what;
        std::vector<u8> bytes;
        const char* message;
    };
    std::vector<u8> notQza = Header(16, 1, 1);
    std::memcpy(notQza.data(), "QZA3", 4);
    std::vector<u8> claims1000 = Header(1000, 17, 1);
    claims1000.resize(999);
    std::vector<u8> hugeDirectory = Header(16, 0xfffffff0u, 1);
    hugeDirectory.resize(64);
    const Case cases[] = {
        {"ten bytes", std::vector<u8>(10, 'Q'), "Could not read file!"},
        {"wrong magic", notQza, "Not a QZA file!"},
        {"archive size past the end", claims1000, "Unexpected end of file!"},
        {"directory size 0", Header(16, 0, 1), "Empty archive!"},
        {"entry count 0", Header(16, 17, 0), "Empty archive!"},
        {"directory larger than the file", hugeDirectory, "Unexpected end of file!"},
    };
    for (const Case& c : cases) {
        const std::string name = folder.WriteFile("bad.qza", c.bytes);
        EXPECT_EQ(FileFailure([&] { archive_c a(name.c_str()); }), name + "|" + c.message) << c.what;
    }
    EXPECT_EQ(FileFailure([&] { archive_c a(folder.Path("none.qza").c_str()); }),
              folder.Path("none.qza") + "|File does not exist!");
}

TEST(ArchiveTest, TrailingBytesBeyondTheArchiveSizeAreAllowed)
{
    scratch_folder_c folder;
    archive_writer_c writer;
    writer.Add("x", "abc", 3);
    std::vector<u8> bytes = writer.Build();
    PutU32(bytes, 4, 1000);
    bytes.resize(2000, 0xee);
    const std::string name = folder.WriteFile("t.qza", bytes);
    archive_c archive(name.c_str());
    EXPECT_EQ(Load(archive, "x"), "abc");
}

TEST(ArchiveTest, DamagedDirectoriesAreRefused)
{
    scratch_folder_c folder;
    archive_writer_c writer;
    writer.Add("first", "abc", 3);
    writer.Add("second", "defg", 4);
    const std::vector<u8> good = writer.Build();
    // First record at 16, 16 + 6 bytes long; second at 38.
    struct Case {
        const char* what;
        size_t at;
        u32 value;
        const char* message;
    } cases[] = {
        {"record length 0", 16, 0, "Damaged archive!"},
        {"record shorter than its fixed part", 16, 16, "Damaged archive!"},
        {"record past the directory", 38, 100, "Damaged archive!"},
        {"more entries than fit", 12, 3, "Damaged archive!"},
        {"entry count beyond any directory", 12, 0xffffffffu, "Damaged archive!"},
        {"stored bytes past the end", 16 + 12, 0xfffffff0u, "Unexpected end of file!"},
        {"impossible inflate ratio", 16 + 4, 0x7fffffffu, "Damaged archive!"},
    };
    for (const Case& c : cases) {
        std::vector<u8> bytes = good;
        PutU32(bytes, c.at, c.value);
        const std::string name = folder.WriteFile("d.qza", bytes);
        EXPECT_EQ(FileFailure([&] { archive_c a(name.c_str()); }), name + "|" + c.message) << c.what;
    }
    // A name without its terminator inside the directory.
    std::vector<u8> bytes = good;
    const size_t lastTerminator = 16 + 22 + 16 + 6;
    ASSERT_EQ(bytes[lastTerminator], 0);
    bytes[lastTerminator] = 'x';
    const std::string name = folder.WriteFile("d.qza", bytes);
    EXPECT_EQ(FileFailure([&] { archive_c a(name.c_str()); }), name + "|Damaged archive!");
}

TEST(ArchiveTest, DamagedStreamsAreRefused)
{
    scratch_folder_c folder;
    const std::string text(4000, 'k');
    uLongf packedSize = compressBound(static_cast<uLong>(text.size()));
    std::vector<u8> packed(packedSize);
    ASSERT_EQ(compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text.data()), text.size(), 9), Z_OK);
    packed.resize(packedSize);

    struct Case {
        const char* what;
        std::vector<u8> stored;
        u32 unpacked;
    };
    std::vector<u8> garbage = packed;
    garbage[0] = 0xff;
    std::vector<u8> noChecksum(packed.begin(), packed.end() - 4);
    std::vector<u8> badChecksum = packed;
    badChecksum.back() ^= 1;
    std::vector<u8> trailing = packed;
    trailing.push_back(0);
    const Case cases[] = {
        {"inflates to fewer bytes than said", packed, 4001},
        {"inflates to more bytes than said", packed, 3999},
        {"not a zlib stream", garbage, 4000},
        {"stream cut before its checksum", noChecksum, 4000},
        {"checksum wrong", badChecksum, 4000},
        {"bytes after the stream", trailing, 4000},
    };
    for (const Case& c : cases) {
        archive_writer_c writer;
        writer.AddPacked("e", c.stored.data(), c.stored.size(), c.unpacked);
        const std::string name = folder.Path("s.qza");
        writer.Write(name.c_str());
        archive_c archive(name.c_str());
        std::vector<u8> out(c.unpacked + 16);
        EXPECT_EQ(FileFailure([&] { archive.ReadEntry(archive.GetEntry("e"), out.data(), c.unpacked); }),
                  name + "|Damaged archive!")
            << c.what;
    }
}

TEST(ArchiveTest, LargeEntriesInflateAcrossPieces)
{
    scratch_folder_c folder;
    // Mildly compressible bytes so the stored stream spans several pieces.
    std::vector<u8> bytes = Pattern(1 << 20, 3);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] &= 0x0f;
    archive_writer_c writer(6);
    writer.Add("big", bytes.data(), bytes.size());
    const std::string name = folder.Path("big.qza");
    writer.Write(name.c_str());
    archive_c archive(name.c_str());
    const archive_entry_c& entry = archive.GetEntry("big");
    ASSERT_TRUE(entry.IsCompressed());
    ASSERT_GT(entry.GetStoredSize(), 2 * archive_c::pieceSize);
    std::vector<u8> out(bytes.size());
    EXPECT_EQ(archive.ReadEntry(entry, out.data(), static_cast<u32>(out.size())), bytes.size());
    EXPECT_EQ(out, bytes);
}

TEST(ArchiveTest, StoredBytesMayEndExactlyAtTheFileEnd)
{
    scratch_folder_c folder;
    archive_writer_c writer;
    writer.Add("x", "abcdef", 6);
    std::vector<u8> bytes = writer.Build();
    // Move the stored bytes so they start one byte before the end.
    const u32 offset = static_cast<u32>(bytes.size() - 1);
    PutU32(bytes, 16 + 12, offset);
    PutU32(bytes, 16 + 8, 1);
    PutU32(bytes, 16 + 4, 1);
    const std::string name = folder.WriteFile("short.qza", bytes);
    archive_c archive(name.c_str());
    char c = 0;
    archive.ReadEntry(archive.GetEntry("x"), &c, 1);
    EXPECT_EQ(c, 'f');
}
