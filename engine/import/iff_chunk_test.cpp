#include "engine/import/iff_chunk.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/import/testing/iff_writer.h"
#include "foundation/file_error.h"

namespace {

std::vector<u8> Bytes(std::initializer_list<int> _values)
{
    std::vector<u8> out;
    for (int v : _values)
        out.push_back(static_cast<u8>(v));
    return out;
}

void ExpectTruncated(const std::function<void()>& _read)
{
    try {
        _read();
        FAIL() << "no error";
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), "Unexpected end of file!");
        EXPECT_STREQ(e.GetFileName(), "obj.lwo");
    }
}

} // namespace

TEST(IffChunk, EmptyViewHasAllFieldsZero)
{
    iff_chunk_c chunk;
    EXPECT_EQ(chunk.name, nullptr);
    EXPECT_EQ(chunk.id, 0u);
    EXPECT_EQ(chunk.data, nullptr);
    EXPECT_EQ(chunk.size, 0u);
    EXPECT_EQ(chunk.cursor, nullptr);
    EXPECT_EQ(chunk.remaining, 0u);
}

TEST(IffChunk, OuterFormAndSubChunksWithPadding)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    w.Begin("TAGS", 4);
    w.String("ab"); // three bytes, padded
    w.End();
    w.Begin("SURF", 4);
    w.Begin("SIDE", 2);
    w.U8(3); // odd length, pad byte follows
    w.End();
    w.Begin("SMAN", 2);
    w.F32(0.5f);
    w.End();
    w.End();
    w.End();

    iff_chunk_c form("obj.lwo", w.bytes.data(), w.bytes.size());
    EXPECT_EQ(form.id, IffId("FORM"));
    EXPECT_EQ(form.size, w.bytes.size() - 8);
    EXPECT_EQ(form.ReadId(), IffId("LWO2"));
    iff_chunk_c tags = form.ReadChunk(4);
    EXPECT_EQ(tags.id, IffId("TAGS"));
    EXPECT_STREQ(tags.ReadString(), "ab");
    EXPECT_EQ(tags.remaining, 0u);
    iff_chunk_c surf = form.ReadChunk(4);
    ASSERT_EQ(surf.id, IffId("SURF"));
    EXPECT_STREQ(surf.name, "obj.lwo");
    iff_chunk_c side = surf.ReadChunk(2);
    EXPECT_EQ(side.size, 1u);
    EXPECT_EQ(side.Read(1)[0], 3);
    iff_chunk_c sman = surf.ReadChunk(2);
    EXPECT_EQ(sman.id, IffId("SMAN"));
    EXPECT_FLOAT_EQ(sman.ReadFloat(), 0.5f);
    EXPECT_TRUE(surf.ReadChunk(2).IsEmpty());
    EXPECT_TRUE(form.ReadChunk(4).IsEmpty());
    form.Rewind();
    EXPECT_EQ(form.remaining, form.size);
    EXPECT_EQ(form.cursor, form.data);
}

TEST(IffChunk, ConsumedCountsHeaderDataAndPad)
{
    const auto bytes = Bytes({'A', 'B', 'C', 'D', 0, 3, 1, 2, 3, 0, 'X'});
    u64 consumed = 99;
    iff_chunk_c chunk("obj.lwo", bytes.data(), bytes.size(), &consumed, 2);
    EXPECT_EQ(chunk.id, IffId("ABCD"));
    EXPECT_EQ(consumed, 10u);
    iff_chunk_c none("obj.lwo", bytes.data(), 5, &consumed, 2);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(consumed, 0u);
}

TEST(IffChunk, MissingPadByteOfLastSubChunkEndsTheWalk)
{
    // Parent data holds a sub-chunk of odd length without its pad byte.
    const auto bytes = Bytes({'P', 'A', 'R', 'T', 0, 0, 0, 7, 'S', 'U', 'B', ' ', 0, 1, 9});
    iff_chunk_c parent("obj.lwo", bytes.data(), bytes.size() + 1);
    ASSERT_EQ(parent.size, 7u);
    const u8* before = parent.cursor;
    iff_chunk_c sub = parent.ReadChunk(2);
    EXPECT_TRUE(sub.IsEmpty());
    EXPECT_EQ(sub.remaining, 0u);
    EXPECT_EQ(parent.cursor, before);
    EXPECT_EQ(parent.remaining, 7u);
}

TEST(IffChunk, HugeLengthDoesNotWrapIntoAFit)
{
    // n = 0xFFFFFFFF: n + pad + header wraps to 8 in 32 bits.
    const auto bytes = Bytes({'F', 'O', 'R', 'M', 0xFF, 0xFF, 0xFF, 0xFF, 'L', 'W', 'O', '2'});
    iff_chunk_c form("obj.lwo", bytes.data(), bytes.size());
    EXPECT_TRUE(form.IsEmpty());
}

TEST(IffChunk, ZeroLengthSubChunkEndsTheWalk)
{
    const auto bytes = Bytes({'P', 'A', 'R', 'T', 0, 0, 0, 6, 'E', 'M', 'P', 'T', 0, 0});
    iff_chunk_c parent("obj.lwo", bytes.data(), bytes.size());
    iff_chunk_c sub = parent.ReadChunk(2);
    EXPECT_EQ(sub.id, IffId("EMPT"));
    EXPECT_EQ(sub.remaining, 0u);
}

TEST(IffChunk, VariableLengthIndex)
{
    struct case_c {
        std::vector<u8> bytes;
        u32 index;
        u32 used;
    };
    const case_c cases[] = {
        {Bytes({0xFE, 0xFF}), 0xFEFF, 2},
        {Bytes({0x00, 0x07}), 7, 2},
        {Bytes({0xFF, 0x00, 0x00, 0x05}), 5, 4},
        {Bytes({0xFF, 0x01, 0x02, 0x03}), 0x010203, 4},
    };
    for (const case_c& c : cases) {
        std::vector<u8> bytes = Bytes({'V', 'X', 'V', 'X', 0, 0, 0, static_cast<int>(c.bytes.size())});
        bytes.insert(bytes.end(), c.bytes.begin(), c.bytes.end());
        iff_chunk_c chunk("obj.lwo", bytes.data(), bytes.size());
        EXPECT_EQ(chunk.ReadIndex(), c.index);
        EXPECT_EQ(chunk.size - chunk.remaining, c.used);
    }
}

TEST(IffChunk, TypedReadsAreBigEndian)
{
    iff_writer_c w;
    w.Begin("DATA", 4);
    w.U16(0x1234);
    w.U32(0x89ABCDEF);
    w.Vec3(1.0f, -2.5f, 3.0f);
    w.End();
    iff_chunk_c chunk("obj.lwo", w.bytes.data(), w.bytes.size());
    EXPECT_EQ(chunk.ReadU16(), 0x1234);
    EXPECT_EQ(chunk.ReadU32(), 0x89ABCDEFu);
    const vec3_c v = chunk.ReadVec3();
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, -2.5f);
    EXPECT_EQ(v.z, 3.0f);
    EXPECT_EQ(iff_chunk_c::SwapU16(0x1234), 0x3412);
    EXPECT_EQ(iff_chunk_c::SwapU32(0x12345678), 0x78563412u);
}

TEST(IffChunk, ShortReadsThrowAndLeaveTheViewUnchanged)
{
    const auto bytes = Bytes({'D', 'A', 'T', 'A', 0, 0, 0, 3, 1, 2, 3, 0});
    iff_chunk_c chunk("obj.lwo", bytes.data(), bytes.size());
    ExpectTruncated([&] { chunk.ReadU32(); });
    ExpectTruncated([&] { chunk.ReadVec3(); });
    ExpectTruncated([&] { chunk.Read(4); });
    EXPECT_EQ(chunk.remaining, 3u);
    EXPECT_EQ(chunk.ReadU16(), 0x0102);
    ExpectTruncated([&] { chunk.ReadIndex(); });
    EXPECT_EQ(chunk.remaining, 1u);
}

TEST(IffChunk, LongIndexCutShortThrows)
{
    const auto bytes = Bytes({'D', 'A', 'T', 'A', 0, 0, 0, 2, 0xFF, 0x00});
    iff_chunk_c chunk("obj.lwo", bytes.data(), bytes.size());
    ExpectTruncated([&] { chunk.ReadIndex(); });
}

TEST(IffChunk, StringWithoutTerminatorInsideTheChunkIsRefused)
{
    // The NUL stands right behind the chunk, where an unbounded scan finds it.
    const auto bytes = Bytes({'T', 'A', 'G', 'S', 0, 0, 0, 2, 'a', 'b', 0, 0});
    iff_chunk_c chunk("obj.lwo", bytes.data(), bytes.size());
    ExpectTruncated([&] { chunk.ReadString(); });
    EXPECT_EQ(chunk.remaining, 2u);
}

TEST(IffChunk, FileNamesLoseTheVolumeAndTakeBackslashes)
{
    struct case_c {
        const char* stored;
        const char* expected;
    };
    const case_c cases[] = {
        {"Textures:images/sky.tga", "images\\sky.tga"},
        {"images/sub/sky.tga", "images\\sub\\sky.tga"},
        {"a:b:c/d", "b:c\\d"},
        {"plain.tga", "plain.tga"},
    };
    for (const case_c& c : cases) {
        iff_writer_c w;
        w.Begin("STIL", 4);
        w.String(c.stored);
        w.End();
        iff_chunk_c chunk("obj.lwo", w.bytes.data(), w.bytes.size());
        string_c name;
        chunk.ReadFileName(name);
        EXPECT_STREQ(name, c.expected);
        EXPECT_EQ(chunk.remaining, 0u);
    }
}
