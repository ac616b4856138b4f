#include "level/chunk_saver.h"

#include "level/testing/chunk_bytes.h"
#include "level/testing/memory_files.h"
#include "foundation/registry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// An object with one member of every leaf kind and nested, repeated chunks,
// serialized by one routine in both directions.
struct sample_c {
    u8 raw[6] = {0, 0, 0, 0, 0, 0};
    std::string stdText = "std default";
    string_c text = "string default";
    u32 count = 0;
    i32 number = 0;
    f32 ratio = 0.0f;
    bool flag = false;
    u8 byte = 0;
    vec3_c position{0.0f, 0.0f, 0.0f};
    std::vector<i32> items;
    f32 deep = 0.0f;

    void Serialize(CChunkSaver& _saver)
    {
        if (_saver.Begin("smpl")) {
            _saver.LeafData("raw", raw, sizeof raw);
            _saver.LeafStdString("stdt", stdText);
            _saver.LeafString("text", text);
            _saver.LeafU32("cnt", count);
            _saver.LeafInt("numb", number);
            _saver.LeafFloat("rati", ratio);
            _saver.LeafBool("flag", flag);
            _saver.LeafByte("byte", byte);
            _saver.LeafVector("posi", position);
            if (_saver.Begin("list")) {
                u32 size = static_cast<u32>(items.size());
                _saver.LeafU32("nuit", size);
                items.resize(size);
                for (i32& item : items) {
                    if (_saver.Begin("item"))
                        _saver.LeafInt("valu", item);
                    _saver.End();
                }
            }
            _saver.End();
            if (_saver.Begin("lvl1")) {
                if (_saver.Begin("lvl2")) {
                    if (_saver.Begin("lvl3"))
                        _saver.LeafFloat("deep", deep);
                    _saver.End();
                }
                _saver.End();
            }
            _saver.End();
        }
        _saver.End();
    }
};

sample_c FilledSample()
{
    sample_c sample;
    const u8 raw[6] = {1, 2, 3, 250, 0, 7};
    std::memcpy(sample.raw, raw, sizeof raw);
    sample.stdText = "Hello chunk";
    sample.text = "data\\game\\planes\\fokker.op";
    sample.count = 0xDEADBEEFu;
    sample.number = -123456;
    sample.ratio = 0.375f;
    sample.flag = true;
    sample.byte = 0x81;
    sample.position = vec3_c(1.5f, -2.25f, 1000.0f);
    sample.items = {5, -6, 7};
    sample.deep = 42.5f;
    return sample;
}

void ExpectSame(const sample_c& _a, const sample_c& _b)
{
    EXPECT_EQ(0, std::memcmp(_a.raw, _b.raw, sizeof _a.raw));
    EXPECT_EQ(_a.stdText, _b.stdText);
    EXPECT_STREQ(_a.text.GetData(), _b.text.GetData());
    EXPECT_EQ(_a.count, _b.count);
    EXPECT_EQ(_a.number, _b.number);
    EXPECT_EQ(_a.ratio, _b.ratio);
    EXPECT_EQ(_a.flag, _b.flag);
    EXPECT_EQ(_a.byte, _b.byte);
    EXPECT_EQ(_a.position.x, _b.position.x);
    EXPECT_EQ(_a.position.y, _b.position.y);
    EXPECT_EQ(_a.position.z, _b.position.z);
    EXPECT_EQ(_a.items, _b.items);
    EXPECT_EQ(_a.deep, _b.deep);
}

// Expects the read of _bytes by _routine to throw file_error_c with _message
// and the file name "broken.sce".
void ExpectReadError(const bytes_t& _bytes, const std::function<void(CChunkSaver&)>& _routine, const char* _message)
{
    try {
        ReadBytes(_bytes, _routine, "broken.sce");
        ADD_FAILURE() << "no error; expected " << _message;
    } catch (const file_error_c& error) {
        EXPECT_STREQ(_message, error.what());
        EXPECT_STREQ("broken.sce", error.GetFileName().GetData());
    }
}

} // namespace

TEST(ChunkSaver, ChunkWithOneLeafHasTheBytesWorkedOutByHand)
{
    const bytes_t bytes = WriteBytes([](CChunkSaver& saver) {
        EXPECT_TRUE(saver.Begin("abcd"));
        u8 data[4] = {0x11, 0x22, 0x33, 0x44};
        saver.LeafData("wxyz", data, 4);
        saver.End();
    });
    const bytes_t expected = {'a', 'b', 'c', 'd', 12, 0, 0, 0, 'w', 'x', 'y', 'z', 4, 0, 0, 0, 0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(expected, bytes);
}

TEST(ChunkSaver, StringLeafKeepsItsZeroByteAndShortTagsArePadded)
{
    const bytes_t bytes = WriteBytes([](CChunkSaver& saver) {
        std::string text = "abc";
        saver.LeafStdString("obj", text);
        string_c empty;
        saver.LeafString("env", empty);
    });
    const bytes_t expected = {'o', 'b', 'j', 0, 4, 0, 0, 0, 'a', 'b', 'c', 0, 'e', 'n', 'v', 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(expected, bytes);
}

TEST(ChunkSaver, TypedLeavesAreLittleEndianWithoutPadding)
{
    const bytes_t bytes = WriteBytes([](CChunkSaver& saver) {
        bool flag = true;
        saver.LeafBool("flag", flag);
        f32 value = 1.0f;
        saver.LeafFloat("valu", value);
        vec3_c v(1.0f, 2.0f, -1.0f);
        saver.LeafVector("vect", v);
    });
    const bytes_t expected = Cat({Item("flag", {1}), Item("valu", FloatBytes(1.0f)),
                                  Item("vect", Cat({FloatBytes(1.0f), FloatBytes(2.0f), FloatBytes(-1.0f)}))});
    EXPECT_EQ(expected, bytes);
}

TEST(ChunkSaver, OneRoutineWritesAndReadsBackEveryLeafKindAndNestedChunks)
{
    sample_c written = FilledSample();
    const bytes_t bytes = WriteBytes([&](CChunkSaver& saver) { written.Serialize(saver); });

    sample_c read;
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        read.Serialize(saver);
        EXPECT_EQ(-1, saver.GetDepth());
        EXPECT_EQ(bytes.size(), saver.Tell());
    });
    ExpectSame(written, read);
}

TEST(ChunkSaver, ChildrenInAnotherOrderReadTheSame)
{
    const bytes_t bytes =
        Cat({Item("root", Cat({Item("bbbb", U32Bytes(2)), Item("cccc", {}), Item("aaaa", U32Bytes(1))}))});
    u32 a = 0, b = 0;
    bool emptyFound = false;
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        ASSERT_TRUE(saver.Begin("root"));
        saver.LeafU32("aaaa", a);
        emptyFound = saver.Begin("cccc");
        saver.End();
        saver.LeafU32("bbbb", b);
        saver.End();
    });
    EXPECT_EQ(1u, a);
    EXPECT_EQ(2u, b);
    EXPECT_TRUE(emptyFound);
}

TEST(ChunkSaver, ItemsNotAskedForAreSkippedAndAbsentOnesKeepDefaults)
{
    const bytes_t bytes = Cat({Item("smpl", Cat({Item("xtra", Cat({Item("in", U32Bytes(9))})),
                                                 Item("numb", U32Bytes(77)), Item("junk", {1, 2, 3})}))});
    sample_c read;
    ReadBytes(bytes, [&](CChunkSaver& saver) { read.Serialize(saver); });
    EXPECT_EQ(77, read.number);
    EXPECT_EQ("std default", read.stdText);
    EXPECT_STREQ("string default", read.text.GetData());
    EXPECT_EQ(0u, read.count);
    EXPECT_TRUE(read.items.empty());
}

TEST(ChunkSaver, LongerStoredLeafFillsOnlyTheCallersBytesAndTheNextLeafIsFound)
{
    const bytes_t bytes = Cat({Item("long", Cat({U32Bytes(0x01020304), U32Bytes(0xAAAAAAAA), U32Bytes(0xBBBBBBBB)})),
                               Item("next", U32Bytes(5))});
    u32 first = 0, next = 0;
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        saver.LeafData("long", &first, 4);
        saver.LeafData("next", &next, 4);
    });
    EXPECT_EQ(0x01020304u, first);
    EXPECT_EQ(5u, next);
}

TEST(ChunkSaver, ShorterStoredLeafFillsOnlyItsOwnBytes)
{
    const bytes_t bytes = Item("shrt", {0x11, 0x22});
    u32 value = 0xFFFFFFFFu;
    ReadBytes(bytes, [&](CChunkSaver& saver) { saver.LeafData("shrt", &value, 4); });
    EXPECT_EQ(0xFFFF2211u, value);
}

TEST(ChunkSaver, AbsentChunkIsNotEnteredAndEndLeavesThePosition)
{
    const bytes_t bytes = Cat({Item("aaaa", U32Bytes(1)), Item("bbbb", U32Bytes(2))});
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        u32 a = 0;
        saver.LeafU32("aaaa", a);
        const u32 before = saver.Tell();
        EXPECT_FALSE(saver.Begin("none"));
        // Nothing below a missing chunk is found, even what exists elsewhere.
        EXPECT_FALSE(saver.Begin("bbbb"));
        u32 b = 0;
        saver.LeafU32("bbbb", b);
        EXPECT_EQ(0u, b);
        saver.End();
        saver.End();
        EXPECT_EQ(before, saver.Tell());
        EXPECT_EQ(-1, saver.GetDepth());
        saver.LeafU32("bbbb", b);
        EXPECT_EQ(2u, b);
    });
}

TEST(ChunkSaver, EmptyChunkIsFoundAndEndLeavesThePositionAfterItsHeader)
{
    const bytes_t bytes = Cat({Item("empt", {}), Item("more", U32Bytes(3))});
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        EXPECT_TRUE(saver.Begin("empt"));
        EXPECT_EQ(0u, saver.GetFoundSize());
        saver.End();
        EXPECT_EQ(8u, saver.Tell());
    });
}

TEST(ChunkSaver, RepeatedChunksAreReadInOrder)
{
    bytes_t list;
    for (u32 i = 10; i < 14; ++i)
        list = Cat({list, Item("objt", Item("valu", U32Bytes(i)))});
    std::vector<u32> values(4, 0);
    ReadBytes(Item("objs", list), [&](CChunkSaver& saver) {
        ASSERT_TRUE(saver.Begin("objs"));
        for (u32& value : values) {
            if (saver.Begin("objt"))
                saver.LeafU32("valu", value);
            saver.End();
        }
        saver.End();
    });
    EXPECT_EQ((std::vector<u32>{10, 11, 12, 13}), values);
}

TEST(ChunkSaver, SearchStaysInsideTheInnermostChunk)
{
    // After the last child of "objs" the next item in the data is a sibling of
    // "objs"; asked for inside "objs" it must not be taken.
    const bytes_t bytes =
        Cat({Item("objs", Item("objt", Item("valu", U32Bytes(1)))), Item("objx", Item("valu", U32Bytes(2)))});
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        ASSERT_TRUE(saver.Begin("objs"));
        EXPECT_TRUE(saver.Begin("objt"));
        saver.End();
        EXPECT_FALSE(saver.Begin("objx"));
        saver.End();
        saver.End();
        u32 value = 0;
        EXPECT_TRUE(saver.Begin("objx"));
        saver.LeafU32("valu", value);
        saver.End();
        EXPECT_EQ(2u, value);
    });
}

TEST(ChunkSaver, SearchFromTheChunkStartFindsTheFirstOfRepeatedItemsAgain)
{
    const bytes_t bytes =
        Item("objs", Cat({Item("objt", Item("valu", U32Bytes(1))), Item("objt", Item("valu", U32Bytes(2)))}));
    std::vector<u32> values(3, 0);
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        ASSERT_TRUE(saver.Begin("objs"));
        EXPECT_EQ(2u, saver.CountItems("objt"));
        EXPECT_EQ(0u, saver.CountItems("valu"));
        for (u32& value : values) {
            if (saver.Begin("objt"))
                saver.LeafU32("valu", value);
            saver.End();
        }
        saver.End();
        EXPECT_EQ(1u, saver.CountItems("objs"));
        EXPECT_FALSE(saver.Begin("none"));
        EXPECT_EQ(0u, saver.CountItems("objs"));
        saver.End();
    });
    EXPECT_EQ((std::vector<u32>{1, 2, 1}), values);
}

TEST(ChunkSaver, CountItemsChecksTheItemsItWalks)
{
    ExpectReadError(
        Cat({Item("objt", {}), {'o', 'b'}}), [](CChunkSaver& saver) { saver.CountItems("objt"); },
        "Truncated chunk header!");
}

TEST(ChunkSaver, UnreadPartOfAChunkIsSteppedOverByEnd)
{
    const bytes_t bytes =
        Cat({Item("outr", Cat({Item("aaaa", U32Bytes(1)), Item("bbbb", U32Bytes(2))})), Item("aftr", U32Bytes(3))});
    u32 after = 0;
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        EXPECT_TRUE(saver.Begin("outr"));
        saver.End();
        EXPECT_EQ(32u, saver.Tell());
        saver.LeafU32("aftr", after);
    });
    EXPECT_EQ(3u, after);
}

TEST(ChunkSaver, PayloadPassesEngineStreamsThroughUnchanged)
{
    std::vector<u8> stream = {9, 8, 7, 6, 5};
    const bytes_t bytes = WriteBytes([&](CChunkSaver& saver) {
        if (saver.Begin("obje"))
            saver.Payload(stream);
        saver.End();
        u32 tail = 4;
        saver.LeafU32("tail", tail);
    });
    EXPECT_EQ(Cat({Item("obje", stream), Item("tail", U32Bytes(4))}), bytes);

    std::vector<u8> copy;
    u32 tail = 0;
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        if (saver.Begin("obje"))
            saver.Payload(copy);
        saver.End();
        saver.LeafU32("tail", tail);
    });
    EXPECT_EQ(stream, copy);
    EXPECT_EQ(4u, tail);
}

TEST(ChunkSaver, PayloadViewGivesAnEngineReaderTheChunkAlone)
{
    const bytes_t bytes = Cat({Item("obje", {1, 2, 3}), Item("next", U32Bytes(6))});
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        input_file_c view;
        EXPECT_FALSE(saver.PayloadView(view));
        ASSERT_TRUE(saver.Begin("obje"));
        ASSERT_TRUE(saver.PayloadView(view));
        EXPECT_EQ(3u, view.GetSize());
        u8 byte = 0;
        view.ReadU8(byte);
        EXPECT_EQ(1, byte);
        saver.End();
        u32 next = 0;
        saver.LeafU32("next", next);
        EXPECT_EQ(6u, next);
        EXPECT_FALSE(saver.Begin("none"));
        EXPECT_FALSE(saver.PayloadView(view));
        saver.End();
    });
}

TEST(ChunkSaver, MemoryBufferRoundTripsForStoresKeptOutsideFiles)
{
    sample_c written = FilledSample();
    CChunkSaver writer;
    u8 unused = 0;
    ASSERT_TRUE(writer.OpenBuffer(CChunkSaver::mode_write, &unused, 1));
    written.Serialize(writer);
    bytes_t stored = writer.GetWrittenBytes();
    writer.Close();
    EXPECT_TRUE(writer.GetWrittenBytes().empty());

    CChunkSaver reader;
    ASSERT_TRUE(reader.OpenBuffer(CChunkSaver::mode_read, stored.data(), static_cast<u32>(stored.size())));
    sample_c read;
    read.Serialize(reader);
    reader.Close();
    ExpectSame(written, read);
}

TEST(ChunkSaver, InvalidBufferIsRefused)
{
    CChunkSaver saver;
    u8 byte = 0;
    for (int mode : {CChunkSaver::mode_write, CChunkSaver::mode_read}) {
        for (auto [buffer, size] : {std::pair<void*, u32>{nullptr, 4}, {&byte, 0}}) {
            try {
                saver.OpenBuffer(mode, buffer, size);
                ADD_FAILURE() << "accepted an invalid buffer";
            } catch (const file_error_c& error) {
                EXPECT_STREQ("Invalid buffer.", error.what());
                EXPECT_STREQ("CChunkSaver", error.GetFileName().GetData());
            }
        }
    }
    EXPECT_EQ(CChunkSaver::mode_closed, saver.GetMode());
}

TEST(ChunkSaver, ClosedSaverDoesNothing)
{
    CChunkSaver saver;
    EXPECT_EQ(CChunkSaver::mode_closed, saver.GetMode());
    EXPECT_FALSE(saver.Begin("abcd"));
    u32 value = 7;
    saver.LeafU32("abcd", value);
    saver.End();
    EXPECT_EQ(7u, value);
    EXPECT_EQ(-1, saver.GetDepth());
}

TEST(ChunkSaver, UnknownModeIsRefused)
{
    CChunkSaver saver;
    u8 byte = 0;
    EXPECT_THROW(saver.Open(2, "x.sce"), std::invalid_argument);
    EXPECT_THROW(saver.OpenBuffer(-1, &byte, 1), std::invalid_argument);
}

TEST(ChunkSaver, EndWithoutBeginIsAMisuse)
{
    EXPECT_THROW(WriteBytes([](CChunkSaver& saver) { saver.End(); }), std::logic_error);
    EXPECT_THROW(ReadBytes(Item("abcd", {}), [](CChunkSaver& saver) { saver.End(); }), std::logic_error);
}

TEST(ChunkSaver, SixtyThreeLevelsNestAndOneMoreIsRefused)
{
    const auto nest = [](CChunkSaver& saver, int levels) {
        for (int i = 0; i < levels; ++i)
            saver.Begin("nest");
        for (int i = 0; i < levels; ++i)
            saver.End();
    };
    const bytes_t bytes = WriteBytes([&](CChunkSaver& saver) { nest(saver, 63); });
    EXPECT_EQ(63u * 8u, bytes.size());
    ReadBytes(bytes, [&](CChunkSaver& saver) {
        for (int i = 0; i < 63; ++i)
            EXPECT_TRUE(saver.Begin("nest"));
        EXPECT_EQ(62, saver.GetDepth());
        for (int i = 0; i < 63; ++i)
            saver.End();
    });
    ExpectReadError(
        bytes, [&](CChunkSaver& saver) { nest(saver, 64); }, "Chunks nested deeper than 63 levels!");
    EXPECT_THROW(WriteBytes([&](CChunkSaver& saver) { nest(saver, 64); }), file_error_c);
}

TEST(ChunkSaver, BrokenFilesFailWithAClearError)
{
    const auto readRoot = [](CChunkSaver& saver) {
        if (saver.Begin("root")) {
            u32 value = 0;
            saver.LeafU32("valu", value);
            std::string text;
            saver.LeafStdString("text", text);
        }
        saver.End();
    };
    struct {
        const char* what;
        bytes_t bytes;
        const char* message;
    } cases[] = {
        {"chunk size past the end of the data",
         Cat({U32Bytes('r' | 'o' << 8 | 'o' << 16 | 't' << 24), U32Bytes(100), U32Bytes(0)}),
         "Chunk size runs past its parent!"},
        {"child size past its parent",
         Item("root", Cat({U32Bytes('v' | 'a' << 8 | 'l' << 16 | 'u' << 24), U32Bytes(8), U32Bytes(1)})),
         "Chunk size runs past its parent!"},
        {"size that wraps 32 bits",
         Cat({Item("skip", {}), U32Bytes('s' | 'k' << 8 | 'i' << 16 | 'p' << 24), U32Bytes(0xFFFFFFF8u),
              Item("root", {})}),
         "Chunk size runs past its parent!"},
        {"truncated header", Cat({Item("othr", {}), {'r', 'o', 'o'}}), "Truncated chunk header!"},
        {"string without its zero byte", Item("root", Item("text", {'a', 'b'})), "String leaf without its zero byte!"},
        {"empty string leaf", Item("root", Item("text", {})), "String leaf without its zero byte!"},
        {"typed leaf of the wrong size", Item("root", Item("valu", {1, 2})), "Leaf of the wrong size for its type!"},
        {"typed leaf too long", Item("root", Item("valu", Cat({U32Bytes(1), U32Bytes(2)}))),
         "Leaf of the wrong size for its type!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectReadError(c.bytes, readRoot, c.message);
    }
}

TEST(ChunkSaver, ReadErrorsOfAMemoryBufferNameItsOwner)
{
    u8 broken[] = {'a', 'c', 'a', 'c', 99, 0, 0, 0};
    for (auto [name, expected] :
         {std::pair<const char*, const char*>{"controllers", "controllers"}, {nullptr, "CChunkSaver"}}) {
        CChunkSaver saver;
        saver.OpenBuffer(CChunkSaver::mode_read, broken, sizeof broken, name);
        try {
            saver.Begin("acac");
            ADD_FAILURE() << "broken buffer accepted";
        } catch (const file_error_c& error) {
            EXPECT_STREQ(expected, error.GetFileName().GetData());
        }
    }
}

TEST(ChunkSaver, OpenOfAMissingFileFails)
{
    CChunkSaver saver;
    EXPECT_FALSE(saver.Open(CChunkSaver::mode_read, "no such directory\\no such file.sce"));
    EXPECT_EQ(CChunkSaver::mode_closed, saver.GetMode());
    EXPECT_EQ(nullptr, saver.GetReader());
}

TEST(ChunkSaver, NamedFileIsStoredOnCloseAndReadThroughTheFileSystem)
{
    memory_file_writer_c files;
    sample_c written = FilledSample();
    {
        CChunkSaver saver;
        ASSERT_TRUE(saver.Open(CChunkSaver::mode_write, "levels\\test.sce"));
        EXPECT_TRUE(saver.IsWriting());
        written.Serialize(saver);
        EXPECT_TRUE(files.files.empty());
        saver.Close();
    }
    ASSERT_EQ(1u, files.files.count("levels\\test.sce"));

    memory_file_system_c system;
    system.files = files.files;
    CChunkSaver saver;
    ASSERT_TRUE(saver.Open(CChunkSaver::mode_read, "levels\\test.sce"));
    EXPECT_STREQ("levels\\test.sce", saver.GetFileName().GetData());
    sample_c read;
    read.Serialize(saver);
    ExpectSame(written, read);
}

TEST(ChunkSaver, FileCutShortByAnExceptionIsNotStored)
{
    memory_file_writer_c files;
    try {
        CChunkSaver saver;
        saver.Open(CChunkSaver::mode_write, "half.sce");
        saver.Begin("scne");
        throw std::runtime_error("interrupted");
    } catch (const std::runtime_error&) {}
    EXPECT_TRUE(files.files.empty());
}

TEST(ChunkSaver, ChunkStreamKeptInARegistryValueReadsBack)
{
    const std::string key = RegistryKeyPath(kRegistryCompany, kRegistryProduct) + "\\level_test";
    sample_c written = FilledSample();
    {
        CChunkSaver saver;
        u8 unused = 0;
        saver.OpenBuffer(CChunkSaver::mode_write, &unused, 1);
        if (saver.Begin("acac"))
            written.Serialize(saver);
        saver.End();
        const output_file_c& stream = *saver.GetWriter();
        registry_writer_c registry(HKEY_CURRENT_USER, key.c_str());
        ASSERT_TRUE(registry.SetBinary("controllers", stream.GetData(), stream.GetSize()));
        ASSERT_TRUE(registry.SetDword("controllers_size", stream.GetSize()));
    }
    registry_reader_c registry(HKEY_CURRENT_USER, key.c_str());
    u32 size = 0;
    ASSERT_TRUE(registry.GetDword("controllers_size", &size));
    std::vector<u8> stored(size);
    ASSERT_TRUE(registry.GetBinary("controllers", stored.data(), size));
    CChunkSaver saver;
    saver.OpenBuffer(CChunkSaver::mode_read, stored.data(), size, "controllers");
    sample_c read;
    if (saver.Begin("acac"))
        read.Serialize(saver);
    saver.End();
    ExpectSame(written, read);
}

TEST(ChunkSaver, NullTagIsAMisuse)
{
    EXPECT_THROW(WriteBytes([](CChunkSaver& saver) { saver.Begin(nullptr); }), std::invalid_argument);
    EXPECT_THROW(ReadBytes(Item("abcd", {}),
                           [](CChunkSaver& saver) {
                               u32 value = 0;
                               saver.LeafU32(nullptr, value);
                           }),
                 std::invalid_argument);
}

TEST(ChunkSaver, StreamWrittenStraightIntoAChunkIsSizedByEnd)
{
    // Engine streams align their words to the start of the whole file; the
    // chunk header before them is 8 bytes, so the word needs no padding.
    const bytes_t bytes = WriteBytes([](CChunkSaver& saver) {
        if (saver.Begin("env")) {
            EXPECT_EQ(8u, saver.Tell());
            saver.GetWriter()->WriteU32(0x01020304u);
            saver.GetWriter()->WriteU8(9);
        }
        saver.End();
    });
    EXPECT_EQ(Item("env", {4, 3, 2, 1, 9}), bytes);
    ReadBytes(bytes, [](CChunkSaver& saver) {
        ASSERT_TRUE(saver.Begin("env"));
        u32 word = 0;
        saver.GetReader()->ReadU32(word);
        EXPECT_EQ(0x01020304u, word);
        EXPECT_EQ(12u, saver.Tell());
        saver.End();
        EXPECT_EQ(13u, saver.Tell());
    });
}

TEST(ChunkSaver, SeekMovesInBothModesWithTheThreeOrigins)
{
    WriteBytes([](CChunkSaver& saver) {
        u32 value = 0;
        saver.LeafU32("abcd", value);
        EXPECT_EQ(4u, saver.Seek(4, 0));
        EXPECT_EQ(6u, saver.Seek(2, 1));
        EXPECT_EQ(10u, saver.Seek(-2, 2));
    });
    ReadBytes(Item("abcd", U32Bytes(1)), [](CChunkSaver& saver) {
        EXPECT_EQ(4u, saver.Seek(4, 0));
        EXPECT_EQ(6u, saver.Seek(2, 1));
        EXPECT_EQ(10u, saver.Seek(-2, 2));
        EXPECT_EQ(0u, saver.Seek(-100, 1));
    });
    CChunkSaver closed;
    EXPECT_EQ(0u, closed.Seek(5, 0));
    EXPECT_EQ(0u, closed.Tell());
}

namespace {

class failing_file_writer_c : public file_writer_c {
public:
    int Write(const char* _name, const void*, u32) override { throw file_error_c(_name, "Disk full!"); }
};

} // namespace

TEST(ChunkSaver, CloseReportsAFileThatCouldNotBeStored)
{
    failing_file_writer_c files;
    CChunkSaver saver;
    ASSERT_TRUE(saver.Open(CChunkSaver::mode_write, "full.sce"));
    saver.Begin("scne");
    saver.End();
    try {
        saver.Close();
        ADD_FAILURE() << "failure not reported";
    } catch (const file_error_c& error) {
        EXPECT_STREQ("Disk full!", error.what());
        EXPECT_STREQ("full.sce", error.GetFileName().GetData());
    }
    EXPECT_EQ(CChunkSaver::mode_closed, saver.GetMode());
}

TEST(ChunkSaver, OpeningAgainClosesTheFileBefore)
{
    memory_file_writer_c files;
    CChunkSaver saver;
    saver.Open(CChunkSaver::mode_write, "first.sce");
    u32 value = 1;
    saver.LeafU32("valu", value);
    u8 buffer[8] = {'v', 'a', 'l', 'u', 0, 0, 0, 0};
    saver.OpenBuffer(CChunkSaver::mode_read, buffer, sizeof buffer);
    EXPECT_EQ(1u, files.files.count("first.sce"));
    EXPECT_TRUE(saver.IsReading());
    EXPECT_EQ(-1, saver.GetDepth());
}
