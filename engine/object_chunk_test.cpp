#include "engine/object_chunk.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

TEST(ObjectChunkTest, TagsSpellTheirCharactersLittleEndian)
{
    EXPECT_EQ(MakeTag("NULL"), 0x4C4C554Eu);
    EXPECT_EQ(MakeTag("prnt"), 0x746E7270u);
}

TEST(ObjectChunkTest, WriteAndReadAChunk)
{
    output_file_c body;
    body.WriteU32(7);
    output_file_c out;
    out.WriteU8(9);
    WriteChunk(out, MakeTag("TEST"), 2, body);
    EXPECT_EQ(out.GetSize(), 4u + 4 + 4 + 4 + 4);

    input_file_c in(out.GetData(), out.GetSize());
    u8 skip;
    in.ReadU8(skip);
    EXPECT_TRUE(PeekTag(in, MakeTag("TEST")));
    EXPECT_FALSE(PeekTag(in, MakeTag("TESU")));
    input_file_c read_body;
    EXPECT_FALSE(ReadChunk(in, MakeTag("OTHR"), 2, read_body));
    EXPECT_EQ(in.GetPosition(), 1u);
    ASSERT_TRUE(ReadChunk(in, MakeTag("TEST"), 2, read_body));
    EXPECT_EQ(in.GetPosition(), out.GetSize());
    u32 value = 0;
    read_body.ReadU32(value);
    EXPECT_EQ(value, 7u);
}

TEST(ObjectChunkTest, AnotherVersionIsConsumedWhole)
{
    output_file_c body;
    body.WriteU32(1);
    body.WriteU32(2);
    output_file_c out;
    WriteChunk(out, MakeTag("TEST"), 3, body);
    out.WriteU32(MakeTag("NEXT"));
    input_file_c in(out.GetData(), out.GetSize());
    input_file_c read_body;
    EXPECT_FALSE(ReadChunk(in, MakeTag("TEST"), 4, read_body));
    EXPECT_TRUE(PeekTag(in, MakeTag("NEXT")));
}

TEST(ObjectChunkTest, ABlockLongerThanTheDataIsRefused)
{
    output_file_c out;
    out.WriteU32(MakeTag("TEST"));
    out.WriteU32(1);
    out.WriteU32(100);
    out.WriteU32(0);
    input_file_c in(out.GetData(), out.GetSize());
    input_file_c body;
    try {
        ReadChunk(in, MakeTag("TEST"), 1, body);
        FAIL() << "no exception";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Unexpected end of file!");
    }
    input_file_c short_header(out.GetData(), 6);
    EXPECT_THROW(ReadChunk(short_header, MakeTag("TEST"), 1, body), file_error_c);
}
