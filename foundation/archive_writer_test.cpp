#include "foundation/archive_writer.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "foundation/archive.h"

TEST(ArchiveWriterTest, StoresRawUnlessCompressionIsSmaller)
{
    archive_writer_c writer;
    const std::string repetitive(1000, 'a');
    writer.Add("packed", repetitive.data(), repetitive.size());
    writer.Add("tiny", "ab", 2);
    writer.Add("none", nullptr, 0);
    const auto& entries = writer.GetEntries();
    EXPECT_LT(entries[0].stored.size(), 1000u);
    EXPECT_EQ(entries[1].stored.size(), 2u);
    EXPECT_EQ(entries[2].stored.size(), 0u);

    archive_writer_c raw(0);
    raw.Add("packed", repetitive.data(), repetitive.size());
    EXPECT_EQ(raw.GetEntries()[0].stored.size(), 1000u);
}

TEST(ArchiveWriterTest, LayoutOfHeaderAndRecords)
{
    archive_writer_c writer;
    writer.Add("ab", "xyz", 3);
    const std::vector<u8> bytes = writer.Build();
    const std::vector<u8> expected = {'Q', 'Z', 'A', '4', 38, 0, 0, 0, 19, 0, 0, 0, 1,  0, 0, 0,              // header
                                      19,  0,   0,   0,   3,  0, 0, 0, 3,  0, 0, 0, 35, 0, 0, 0, 'a', 'b', 0, // record
                                      'x', 'y', 'z'};
    EXPECT_EQ(bytes, expected);
}

TEST(ArchiveWriterTest, RefusesBadNames)
{
    archive_writer_c writer;
    EXPECT_THROW(writer.Add("", "a", 1), std::invalid_argument);
    EXPECT_THROW(writer.Add(std::string("a\0b", 3), "a", 1), std::invalid_argument);
}
