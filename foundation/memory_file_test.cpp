#include "foundation/memory_file.h"

#include <cstring>
#include <map>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/archive_file_system.h"
#include "foundation/archive_writer.h"
#include "foundation/file_writer.h"
#include "foundation/testing/failure_text.h"
#include "foundation/testing/scratch_folder.h"

namespace {
// Keeps stored files in memory; can be told to refuse.
class memory_writer_c : public file_writer_c {
public:
    int Write(const char* name, const void* data, u32 size) override
    {
        if (refuse)
            throw file_error_c(name, "Disk full!");
        const u8* bytes = static_cast<const u8*>(data);
        stored[name] = std::vector<u8>(bytes, bytes + size);
        ++writes;
        return static_cast<int>(size);
    }
    std::map<std::string, std::vector<u8>> stored;
    int writes = 0;
    bool refuse = false;
};

std::vector<u8> Bytes(const output_file_c& out)
{
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

const u8 six[6] = {1, 2, 3, 4, 5, 6};
}

TEST(InputFileTest, ReadU32KeepsAlignmentAndBounds)
{
    input_file_c file(six, 6);
    u32 value = 0xdead;
    file.Seek(1, 0);
    file.ReadU32(value);
    EXPECT_EQ(value, 0xdeadu);
    EXPECT_EQ(file.GetPosition(), 1u);
    file.Seek(0, 0);
    file.ReadU32(value);
    EXPECT_EQ(value, 0x04030201u);
    EXPECT_EQ(file.GetPosition(), 4u);
    file.ReadU32(value);
    EXPECT_EQ(value, 0x04030201u);
    EXPECT_EQ(file.GetPosition(), 4u);
}

TEST(InputFileTest, ReadU8ToTheLastByte)
{
    input_file_c file(six, 6);
    u8 value = 0;
    file.Seek(5, 0);
    file.ReadU8(value);
    EXPECT_EQ(value, 6);
    EXPECT_EQ(file.GetPosition(), 6u);
    value = 99;
    file.ReadU8(value);
    EXPECT_EQ(value, 99);
    EXPECT_TRUE(file.IsAtEnd());
    EXPECT_EQ(file.GetPointer(), nullptr);
}

TEST(InputFileTest, SeekClamps)
{
    struct Case {
        long offset;
        int origin;
        u32 start;
        u32 expected;
    } cases[] = {{-5, 0, 3, 0}, {10, 2, 0, 6}, {-2, 2, 0, 4}, {2, 1, 3, 5},
                 {-9, 1, 3, 0}, {4, 7, 1, 4},  {100, 1, 3, 6}};
    for (const Case& c : cases) {
        input_file_c file(six, 6);
        file.Seek(c.start, 0);
        file.Seek(c.offset, c.origin);
        EXPECT_EQ(file.GetPosition(), c.expected) << c.offset << " from " << c.origin;
    }
}

TEST(InputFileTest, AlignedPeeks)
{
    input_file_c file(six, 6);
    file.Seek(1, 0);
    EXPECT_EQ(file.GetAlignedPointer16(), six + 2);
    EXPECT_EQ(file.GetAlignedPointer32(), nullptr);
    EXPECT_EQ(file.GetPosition(), 1u);
    file.Seek(0, 0);
    EXPECT_EQ(file.GetAlignedPointer32(), six);
    file.Seek(5, 0);
    EXPECT_EQ(file.GetAlignedPointer16(), nullptr);
    EXPECT_EQ(file.GetPointer(), six + 5);
}

TEST(InputFileTest, EmptyViews)
{
    input_file_c none(nullptr, 6);
    EXPECT_EQ(none.GetSize(), 0u);
    input_file_c zero(six, 0);
    EXPECT_EQ(zero.GetData(), nullptr);
    u32 value = 3;
    zero.ReadU32(value);
    EXPECT_EQ(value, 3u);
}

TEST(MemoryFileTest, StringLayoutAndRoundTrip)
{
    output_file_c out;
    out.Seek(2, 0);
    out.WriteString("abc", 3);
    out.WriteU32(9);
    const std::vector<u8> bytes = Bytes(out);
    ASSERT_EQ(bytes.size(), 16u);
    const std::vector<u8> expected = {0, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 0, 9, 0, 0, 0};
    EXPECT_EQ(bytes, expected);

    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    in.Seek(2, 0);
    string_c s;
    in.ReadString(s);
    EXPECT_TRUE(s == "abc");
    EXPECT_EQ(in.GetPosition(), 12u);
    u32 value = 0;
    in.ReadU32(value);
    EXPECT_EQ(value, 9u);
}

TEST(MemoryFileTest, EmptyStringIsOnlyALength)
{
    output_file_c out;
    out.WriteString("", 0);
    out.WriteString(nullptr, 5);
    EXPECT_EQ(out.GetSize(), 8u);
    input_file_c in(out.GetData(), out.GetSize());
    string_c s("before");
    in.ReadString(s);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(in.GetPosition(), 4u);
    out.WriteString(string_c("xy"));
    EXPECT_EQ(out.GetSize(), 15u);
}

TEST(MemoryFileTest, WritesAreZeroPaddedLittleEndian)
{
    output_file_c out;
    out.WriteU8(1);
    out.WriteU32(7);
    EXPECT_EQ(Bytes(out), (std::vector<u8>{1, 0, 0, 0, 7, 0, 0, 0}));
    out.WriteF32(1.0f);
    input_file_c in(out.GetData(), out.GetSize());
    in.Seek(8, 0);
    f32 f = 0;
    in.ReadF32(f);
    EXPECT_EQ(f, 1.0f);
}

TEST(MemoryFileTest, StringAndBlockLengthsPastTheEndAreRefused)
{
    struct Case {
        const char* what;
        u32 length;
    } cases[] = {
        {"one too long", 5}, {"terminator missing", 4}, {"wraps a 32-bit sum", 0xfffffffcu}, {"huge", 0xffffffffu}};
    for (const Case& c : cases) {
        u8 bytes[12] = {0};
        std::memcpy(bytes, &c.length, 4);
        std::memcpy(bytes + 4, "abcd", 4);
        input_file_c in(bytes, 8);
        string_c s("kept");
        in.ReadString(s);
        EXPECT_TRUE(s == "kept") << c.what;
        EXPECT_EQ(in.GetPosition(), 4u) << c.what;
    }
    for (const Case& c : cases) {
        if (c.length == 4)
            continue;
        u8 bytes[8] = {0};
        std::memcpy(bytes, &c.length, 4);
        input_file_c in(bytes, 8);
        input_file_c target(six, 6);
        in.ReadBlock(target);
        EXPECT_EQ(target.GetData(), six) << c.what;
        EXPECT_EQ(target.GetSize(), 6u) << c.what;
        EXPECT_EQ(in.GetPosition(), 4u) << c.what;
    }
}

TEST(MemoryFileTest, BlocksAreViews)
{
    output_file_c body;
    body.WriteU32(0xabcd);
    output_file_c out;
    out.WriteU8(5);
    out.WriteBlock(body);
    out.WriteBlock(nullptr, 3);
    out.WriteBlock("xyz", 3);
    input_file_c in(out.GetData(), out.GetSize());
    u8 b = 0;
    in.ReadU8(b);
    input_file_c view;
    in.ReadBlock(view);
    EXPECT_EQ(view.GetSize(), 4u);
    EXPECT_EQ(view.GetData(), out.GetData() + 8);
    u32 value = 0;
    view.ReadU32(value);
    EXPECT_EQ(value, 0xabcdu);
    in.ReadBlock(view);
    EXPECT_EQ(view.GetSize(), 0u);
    EXPECT_EQ(view.GetData(), nullptr);
    in.ReadBlock(view);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.GetData()), 3), "xyz");
    EXPECT_TRUE(in.IsAtEnd());
}

TEST(MemoryFileTest, OutputSeekGrowsWithZeros)
{
    output_file_c out;
    out.WriteBlock(six, 2);
    ASSERT_EQ(out.GetSize(), 6u);
    EXPECT_EQ(out.Seek(-5, 0), 0u);
    EXPECT_EQ(out.Seek(10, 2), 16u);
    EXPECT_EQ(out.GetSize(), 16u);
    EXPECT_EQ(out.GetPointer(), nullptr);
    for (u32 i = 6; i < 16; ++i)
        EXPECT_EQ(out.GetData()[i], 0);
    EXPECT_EQ(out.Seek(-16, 1), 0u);
    EXPECT_EQ(out.GetPointer(), out.GetData());
}

TEST(MemoryFileTest, CapacityDoublesOrJumpsToTheNeed)
{
    output_file_c out;
    out.WriteU8(1);
    EXPECT_EQ(out.GetCapacity(), 1u);
    out.WriteU8(2);
    EXPECT_EQ(out.GetCapacity(), 2u);
    out.WriteU32(3);
    EXPECT_EQ(out.GetCapacity(), 8u);
    out.Seek(100, 0);
    EXPECT_EQ(out.GetCapacity(), 100u);
}

// Spare capacity is left as the allocator gave it; whatever part of it the
// file later reaches, by a seek or by padding, must read as zeros.
TEST(MemoryFileTest, GapsInSpareCapacityReadAsZeros)
{
    output_file_c out;
    std::vector<u8> ones(3000, 0xFF);
    out.WriteRaw(ones.data(), 3000);
    out.WriteRaw(ones.data(), 1);
    ASSERT_GT(out.GetCapacity(), out.GetSize());
    EXPECT_EQ(out.Seek(49, 1), 3050u);
    out.WriteU8(7);
    out.WriteU32(9); // padded to 3052
    ASSERT_EQ(out.GetSize(), 3056u);
    for (u32 i = 3001; i < 3050; ++i)
        ASSERT_EQ(out.GetData()[i], 0) << i;
    EXPECT_EQ(out.GetData()[3050], 7);
    EXPECT_EQ(out.GetData()[3051], 0);
    EXPECT_EQ(out.GetData()[3052], 9);
}

TEST(MemoryFileTest, RawBytesGoWithoutLengthOrAlignment)
{
    output_file_c out;
    out.WriteU8(1);
    const u8 bytes[3] = {2, 3, 4};
    out.WriteRaw(bytes, 3);
    out.WriteRaw(nullptr, 0);
    ASSERT_EQ(out.GetSize(), 4u);
    EXPECT_EQ(out.GetPosition(), 4u);
    EXPECT_EQ(std::vector<u8>(out.GetData(), out.GetData() + 4), (std::vector<u8>{1, 2, 3, 4}));
    out.Seek(1, 0);
    out.WriteRaw(bytes + 2, 1);
    EXPECT_EQ(out.GetData()[1], 4);
    EXPECT_EQ(out.GetSize(), 4u);
    EXPECT_THROW(out.WriteRaw(nullptr, 2), std::invalid_argument);
}

TEST(MemoryFileTest, WritingBlockOfItself)
{
    output_file_c out;
    out.WriteU32(1);
    out.WriteBlock(out);
    EXPECT_EQ(Bytes(out), (std::vector<u8>{1, 0, 0, 0, 4, 0, 0, 0, 1, 0, 0, 0}));
}

TEST(MemoryFileTest, NamedFilesAreStoredOnceThroughTheCurrentWriter)
{
    memory_writer_c writer;
    {
        output_file_c out("out\\a.bin");
        out.WriteU32(5);
    }
    ASSERT_EQ(writer.stored.count("out\\a.bin"), 1u);
    EXPECT_EQ(writer.stored["out\\a.bin"], (std::vector<u8>{5, 0, 0, 0}));
    {
        output_file_c unnamed;
        unnamed.WriteU32(5);
    }
    EXPECT_EQ(writer.writes, 1);
}

TEST(MemoryFileTest, CommitReportsFailuresAndIsNotRepeated)
{
    memory_writer_c writer;
    {
        output_file_c out("c.bin");
        out.WriteU8(1);
        writer.refuse = true;
        EXPECT_EQ(FileFailure([&] { out.Commit(); }), "c.bin|Disk full!");
        writer.refuse = false;
        out.Commit();
        EXPECT_EQ(writer.writes, 1);
    }
    EXPECT_EQ(writer.writes, 1);
    {
        output_file_c out("d.bin");
        out.Commit();
        out.WriteU8(9);
    }
    EXPECT_EQ(writer.writes, 3);
    EXPECT_EQ(writer.stored["d.bin"], (std::vector<u8>{9}));
}

TEST(MemoryFileTest, FileCutShortByAnExceptionIsNotStored)
{
    memory_writer_c writer;
    try {
        output_file_c out("half.bin");
        out.WriteU8(1);
        throw std::runtime_error("building failed");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(writer.writes, 0);
}

TEST(MemoryFileTest, FailedStoreAtDestructionDoesNotThrow)
{
    memory_writer_c writer;
    writer.refuse = true;
    EXPECT_NO_THROW({
        output_file_c out("e.bin");
        out.WriteU8(1);
    });
}

TEST(MemoryFileTest, LoadsByNameThroughTheCurrentFileSystem)
{
    scratch_folder_c folder;
    archive_writer_c archive;
    archive.Add("models\\m.bin", "\x07\0\0\0xyz", 7);
    archive.Add("models\\empty", "", 0);
    archive.Write(folder.Path("data.qza").c_str());
    archive_file_system_c archives(folder.Path("data.qza").c_str(), nullptr);
    directory_cache_c model(string_c("models\\m.bin"));
    input_file_c in("m.bin");
    EXPECT_STREQ(in.GetName(), "models\\m.bin");
    EXPECT_EQ(in.GetSize(), 7u);
    u32 value = 0;
    in.ReadU32(value);
    EXPECT_EQ(value, 7u);
    input_file_c empty("empty");
    EXPECT_EQ(empty.GetSize(), 0u);
    EXPECT_EQ(empty.GetData(), nullptr);
    EXPECT_EQ(FileFailure([] { input_file_c f("none"); }), "models\\none|File does not exist!");

    input_file_c copy(in);
    EXPECT_NE(copy.GetData(), in.GetData());
    EXPECT_EQ(copy.GetPosition(), 4u);
    EXPECT_EQ(std::memcmp(copy.GetData(), in.GetData(), 7), 0);
    input_file_c view;
    in.Seek(0, 0);
    in.ReadBlock(view);
    EXPECT_STREQ(view.GetName(), "models\\m.bin");
    input_file_c moved(std::move(in));
    EXPECT_EQ(moved.GetSize(), 7u);
    EXPECT_EQ(in.GetSize(), 0u);
}

TEST(FileWriterTest, DiskWriterReplacesFilesWhole)
{
    scratch_folder_c folder;
    const std::string name = folder.WriteFile("saved.bin", "old");
    disk_file_writer_c writer;
    EXPECT_EQ(writer.Write(name.c_str(), "new bytes", 9), 9);
    EXPECT_EQ(folder.ReadFile("saved.bin"), "new bytes");
    EXPECT_THROW(folder.ReadFile("saved.bin.tmp"), std::runtime_error);
    const std::string bad = folder.Path("no/such/folder.bin");
    EXPECT_EQ(FileFailure([&] { writer.Write(bad.c_str(), "x", 1); }), bad + "|Invalid path!");
}

TEST(FileWriterTest, WritersNest)
{
    file_writer_c* before = file_writer_c::GetCurrent();
    ASSERT_NE(before, nullptr);
    {
        memory_writer_c inner;
        EXPECT_EQ(file_writer_c::GetCurrent(), &inner);
    }
    EXPECT_EQ(file_writer_c::GetCurrent(), before);
}

TEST(FileWriterTest, OutputFileReachesDiskThroughBackslashes)
{
    scratch_folder_c folder;
    folder.WriteFile("sub/keep", "");
    const std::string name = folder.Path("sub\\o.bin");
    {
        output_file_c out(name.c_str());
        out.WriteString("hi", 2);
        out.Commit();
    }
    EXPECT_EQ(folder.ReadFile("sub/o.bin"), std::string("\x02\0\0\0hi\0", 7));
}

TEST(MemoryFileTest, OutputPastFourGigabytesIsRefused)
{
    memory_writer_c writer;
    output_file_c out("big.bin");
    EXPECT_EQ(FileFailure([&] { out.Seek(0x100000000l, 0); }), "big.bin|File too large!");
    EXPECT_EQ(out.GetSize(), 0u);
    EXPECT_EQ(out.GetPosition(), 0u);
    out.Commit();
}
