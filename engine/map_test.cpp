#include "engine/object_chunk.h"
#include "engine/sequent_map.h"
#include "engine/still_map.h"
#include "engine/testing/recording_renderer.h"

#include "foundation/file_error.h"
#include "foundation/file_writer.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

texture_def_c Flare(i32 side)
{
    texture_def_c def(flare_def_c(), side);
    def.mipmapping = false;
    return def;
}

std::vector<texture_def_c> Frames(int count)
{
    std::vector<texture_def_c> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back(Flare(1 << (i + 1)));
    return frames;
}

input_file_c ViewOf(const output_file_c& out)
{
    return input_file_c(out.GetData(), out.GetSize());
}

// Keeps what is stored, current while it lives.
class memory_file_writer_c : public file_writer_c {
public:
    std::map<std::string, std::vector<u8>> files;

    int Write(const char* name, const void* data, u32 size) override
    {
        const u8* bytes = static_cast<const u8*>(data);
        files[name].assign(bytes, bytes + size);
        return static_cast<int>(size);
    }
};

} // namespace

TEST(MapTest, StillMapHoldsOneUseOfItsTexture)
{
    recording_renderer_c renderer;
    texture_c* texture;
    {
        still_map_c map(Flare(8), &renderer);
        texture = map.GetTexture(0.0f);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->useCount, 1u);
        EXPECT_EQ(map.GetTexture(123.0f), texture);
        EXPECT_EQ(map.GetFrameCount(), 1u);
        std::unique_ptr<map_c> clone(map.Clone());
        EXPECT_EQ(clone->GetTexture(0.0f), texture);
        EXPECT_EQ(texture->useCount, 2u);
    }
    EXPECT_EQ(texture->useCount, 0u);
    EXPECT_EQ(renderer.texture_cache_c::GetCount(), 1u);
}

TEST(MapTest, SamplingDefaultsAndSetters)
{
    recording_renderer_c renderer;
    still_map_c map(Flare(8), &renderer);
    EXPECT_EQ(map.GetTexCoordSet(), 0u);
    EXPECT_EQ(map.GetRepeat(), 1);
    EXPECT_EQ(map.GetFiltering(), 1);
    EXPECT_EQ(map.GetBlendMode(), 0u);
    EXPECT_EQ(map.GetTransform(), nullptr);
    map.SetTexCoordSet(2);
    EXPECT_EQ(map.GetTexCoordSet(), 2u);
    map.SetTexCoordSet(5);
    EXPECT_EQ(map.GetTexCoordSet(), 0u);

    const f32 identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    map.SetTransform(identity);
    EXPECT_EQ(map.GetTransform(), nullptr);
    const f32 shifted[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0.5f, 0, 0};
    map.SetTransform(shifted);
    ASSERT_NE(map.GetTransform(), nullptr);
    EXPECT_EQ(map.GetTransform()->m[3][0], 0.5f);
    const f32 nearly[12] = {1, 0, 0, 0, 1, 1e-8f, 0, 0, 1, 0, 0, 0};
    map.SetTransform(nearly);
    EXPECT_EQ(map.GetTransform(), nullptr);
}

struct frame_case_t {
    f32 time;
    bool loop;
    bool bidirectional;
    u32 frame;
};

class SequentFrameTest : public testing::TestWithParam<frame_case_t> {};

TEST_P(SequentFrameTest, FrameIndex)
{
    const frame_case_t c = GetParam();
    recording_renderer_c renderer;
    sequent_map_c map(Frames(4), 0, 10.0f, c.loop, c.bidirectional, &renderer);
    EXPECT_EQ(map.GetFrameIndex(c.time), c.frame);
}

INSTANTIATE_TEST_SUITE_P(FourFramesAtTen, SequentFrameTest,
                         testing::Values(frame_case_t{0.35f, false, false, 3}, frame_case_t{0.45f, false, false, 3},
                                         frame_case_t{0.45f, true, false, 0}, frame_case_t{0.45f, true, true, 3},
                                         frame_case_t{0.55f, true, true, 2}, frame_case_t{0.85f, true, true, 0},
                                         frame_case_t{0.95f, true, true, 1}, frame_case_t{0.75f, true, false, 3},
                                         frame_case_t{-0.5f, true, false, 0}, frame_case_t{-1e30f, true, true, 0},
                                         frame_case_t{1e30f, false, false, 3}, frame_case_t{0.0f, false, false, 0}));

TEST(MapTest, SequenceTexturesAndOffset)
{
    recording_renderer_c renderer;
    sequent_map_c map(Frames(3), 2, 1.0f, false, false, &renderer);
    EXPECT_EQ(map.GetFrameCount(), 3u);
    EXPECT_EQ(map.GetFrameIndex(1.5f), 0u); // 1 - 2 < 0
    EXPECT_EQ(map.GetFrameIndex(3.0f), 1u);
    EXPECT_EQ(map.GetFrameIndex(9.0f), 2u); // past the end: the last frame
    texture_c* first = map.GetTexture(0.0f);
    EXPECT_EQ(first->useCount, 1u);
    EXPECT_NE(map.GetTexture(3.0f), first);
}

TEST(MapTest, SequenceWithoutFramesHasNoTexture)
{
    recording_renderer_c renderer;
    sequent_map_c map({}, 0, 10.0f, true, true, &renderer);
    EXPECT_EQ(map.GetFrameIndex(5.0f), 0u);
    EXPECT_EQ(map.GetTexture(5.0f), nullptr);
}

TEST(MapTest, FailedFrameGivesBackTheUsesTaken)
{
    recording_renderer_c renderer;
    std::vector<texture_def_c> frames = Frames(2);
    frames.push_back(texture_def_c()); // no picture: the factory throws
    EXPECT_THROW(sequent_map_c(frames, 0, 1.0f, false, false, &renderer), std::runtime_error);
    for (texture_c* t = renderer.texture_cache_c::GetFirst(); t; t = t->GetNext())
        EXPECT_EQ(t->useCount, 0u);
}

// Without a texture cache there is nothing to hold a picture: refused, not a
// crash at the first texture.
TEST(MapTest, MapsWithoutACacheAreRefused)
{
    EXPECT_THROW(still_map_c(texture_def_c("a.bmp", true, false), nullptr), std::invalid_argument);
    EXPECT_THROW(sequent_map_c({texture_def_c("a.bmp", true, false)}, 0, 10.0f, true, false, nullptr),
                 std::invalid_argument);
}

TEST(MapTest, StillMapChunkRoundTrip)
{
    recording_renderer_c renderer;
    still_map_c map(Flare(16), &renderer);
    map.SetTexCoordSet(2);
    const f32 scaled[12] = {2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0};
    map.SetTransform(scaled);
    map.SetRepeat(0);
    map.SetFiltering(0);
    map.SetBlendMode(0x103);
    output_file_c out;
    map.Write(out);
    u32 tag, version;
    std::memcpy(&tag, out.GetData(), 4);
    std::memcpy(&version, out.GetData() + 4, 4);
    EXPECT_EQ(tag, MakeTag("STIL"));
    EXPECT_EQ(version, 4u);

    input_file_c in = ViewOf(out);
    std::unique_ptr<map_c> back(ReadMap(in, &renderer));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(in.GetPosition(), out.GetSize());
    EXPECT_EQ(back->GetTexture(0.0f), map.GetTexture(0.0f));
    EXPECT_EQ(back->GetTexture(0.0f)->useCount, 2u);
    EXPECT_EQ(back->GetTexCoordSet(), 2u);
    ASSERT_NE(back->GetTransform(), nullptr);
    EXPECT_EQ(back->GetTransform()->m[0][0], 2.0f);
    EXPECT_EQ(back->GetRepeat(), 0);
    EXPECT_EQ(back->GetFiltering(), 0);
    EXPECT_EQ(back->GetBlendMode(), 3u); // streams carry the low byte
}

TEST(MapTest, SequentMapChunkRoundTrip)
{
    recording_renderer_c renderer;
    sequent_map_c map(Frames(3), -2, 12.5f, true, true, &renderer);
    output_file_c out;
    map.Write(out);
    input_file_c in = ViewOf(out);
    std::unique_ptr<map_c> back(ReadMap(in, &renderer));
    ASSERT_NE(back, nullptr);
    auto* sequence = dynamic_cast<sequent_map_c*>(back.get());
    ASSERT_NE(sequence, nullptr);
    EXPECT_EQ(sequence->GetFrameCount(), 3u);
    EXPECT_EQ(sequence->GetFrameOffset(), -2);
    EXPECT_EQ(sequence->GetFrameRate(), 12.5f);
    EXPECT_TRUE(sequence->IsLooping());
    EXPECT_TRUE(sequence->IsBidirectional());
    EXPECT_EQ(sequence->GetTexture(0.0f), map.GetTexture(0.0f));
}

TEST(MapTest, ReadMapLeavesOtherChunksAlone)
{
    recording_renderer_c renderer;
    output_file_c out;
    out.WriteU32(MakeTag("NULL"));
    out.WriteU32(3);
    input_file_c in = ViewOf(out);
    EXPECT_EQ(ReadMap(in, &renderer), nullptr);
    EXPECT_EQ(in.GetPosition(), 0u);
    input_file_c empty;
    EXPECT_EQ(ReadMap(empty, &renderer), nullptr);
}

TEST(MapTest, AnotherVersionIsSkippedWhole)
{
    recording_renderer_c renderer;
    still_map_c map(Flare(16), &renderer);
    output_file_c out;
    map.Write(out);
    const u32 other_version = 5;
    std::memcpy(const_cast<u8*>(out.GetData()) + 4, &other_version, 4);
    out.Seek(0, 2);
    out.WriteU32(0xC0FFEE);
    input_file_c in = ViewOf(out);
    EXPECT_EQ(ReadMap(in, &renderer), nullptr);
    u32 next = 0;
    in.ReadU32(next);
    EXPECT_EQ(next, 0xC0FFEEu);
}

TEST(MapTest, StoredTexCoordSetsOutOfRangeBecomeZero)
{
    recording_renderer_c renderer;
    still_map_c map(Flare(16), &renderer);
    map.SetTexCoordSet(1);
    output_file_c out;
    map.Write(out);
    // The set is the first word after the texture definition.
    // Chunk header and block length, type byte, empty path, flare words, sides,
    // two flag bytes and alignment.
    const u32 set_offset = 12 + 4 + 4 + 38 * 4 + 8 + 4;
    u32 stored;
    std::memcpy(&stored, out.GetData() + set_offset, 4);
    ASSERT_EQ(stored, 1u);
    const u32 bad = 7;
    std::memcpy(const_cast<u8*>(out.GetData()) + set_offset, &bad, 4);
    input_file_c in = ViewOf(out);
    std::unique_ptr<map_c> back(ReadMap(in, &renderer));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetTexCoordSet(), 0u);
}

TEST(MapTest, BrokenChunksAreRefused)
{
    recording_renderer_c renderer;
    output_file_c body;
    body.WriteU32(0x7FFFFFFF);
    output_file_c out;
    WriteChunk(out, MakeTag("SQNT"), 3, body);
    input_file_c in = ViewOf(out);
    try {
        ReadMap(in, &renderer);
        FAIL() << "no exception";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Invalid frame count!");
    }

    still_map_c map(Flare(16), &renderer);
    output_file_c whole;
    map.Write(whole);
    for (u32 cut : {8u, 13u, 40u, whole.GetSize() - 1}) {
        input_file_c part(whole.GetData(), cut);
        EXPECT_THROW(ReadMap(part, &renderer), file_error_c) << cut;
    }
}

TEST(MapTest, PreloadRebuildsEveryTexture)
{
    recording_renderer_c renderer;
    sequent_map_c map(Frames(2), 0, 1.0f, false, false, &renderer);
    map.Preload();
    for (u32 i = 0; i < 2; ++i)
        EXPECT_EQ(static_cast<recording_texture_c*>(map.GetTexture(static_cast<f32>(i)))->takeOverCount, 1u);
    still_map_c still(Flare(64), &renderer);
    still.Preload();
    EXPECT_EQ(static_cast<recording_texture_c*>(still.GetTexture(0))->takeOverCount, 1u);
}

TEST(MapTest, SaveStoresTheChunkUnderTheName)
{
    memory_file_writer_c writer;
    recording_renderer_c renderer;
    still_map_c map(Flare(8), &renderer);
    map.Save("maps\\sky.map");
    ASSERT_EQ(writer.files.count("maps\\sky.map"), 1u);
    const std::vector<u8>& bytes = writer.files["maps\\sky.map"];
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<map_c> back(ReadMap(in, &renderer));
    EXPECT_NE(back, nullptr);
}
