#include "audio/ogg_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "audio/sound_writers.h"
#include "audio/testing/memory_file_system.h"
#include "foundation/file_error.h"

using namespace audio_testing;

namespace {

double Tone(u32 frame, u32 channel, u32 rate)
{
    return 0.4 * std::sin(2 * M_PI * (channel ? 660.0 : 440.0) * frame / rate);
}

std::vector<u8> DecodeWhole(sound_source_c& source)
{
    std::vector<u8> out;
    std::vector<u8> block(65536);
    for (;;) {
        const u32 got = source.Read(block.data(), u32(block.size()));
        out.insert(out.end(), block.begin(), block.begin() + got);
        if (got < block.size())
            return out;
    }
}

TEST(ogg_source, reports_format_and_the_full_length)
{
    memory_file_system_c files;
    files.Add("music.ogg", MakeOggVorbis(44100, 2, 441000, [](u32 f, u32 c) { return Tone(f, c, 44100); }));
    sound_system_c system(0);
    ogg_source_c source(&system, "music.ogg", 0);
    EXPECT_EQ(source.GetChannels(), 2u);
    EXPECT_EQ(source.GetSampleRate(), 44100u);
    EXPECT_EQ(source.GetBitsPerSample(), 16u);
    // vorbisfile finds the length by seeking to the very end of the file.
    EXPECT_NEAR(source.GetLength(), 10.0, 0.001);
    EXPECT_EQ(DecodeWhole(source).size(), 441000u * 4);
}

TEST(ogg_source, loops_from_the_loop_start)
{
    memory_file_system_c files;
    files.Add("loop.ogg", MakeOggVorbis(22050, 1, 22050 * 3, [](u32 f, u32 c) { return Tone(f, c, 22050); }));
    sound_system_c system(0);
    ogg_source_c source(&system, "loop.ogg", 0);
    const std::vector<u8> whole = DecodeWhole(source);
    ASSERT_EQ(whole.size(), 22050u * 3 * 2);
    EXPECT_TRUE(source.SetLoopStart(1.5f));
    EXPECT_TRUE(source.SetLooping(true));
    // At the end: the read goes on with the sample at 1.5 s.
    std::vector<u8> out(8000);
    EXPECT_EQ(source.Read(out.data(), 8000), 8000u);
    const size_t loop_byte = 33075 * 2;
    EXPECT_EQ(0, std::memcmp(out.data(), whole.data() + loop_byte, 8000));
    // Seeking is exact too.
    EXPECT_TRUE(source.Seek(0.5f));
    EXPECT_EQ(source.Read(out.data(), 8000), 8000u);
    EXPECT_EQ(0, std::memcmp(out.data(), whole.data() + 11025 * 2, 8000));
    // A loop start beyond the end gives a short read, not an endless loop.
    EXPECT_TRUE(source.SetLoopStart(5.0f));
    EXPECT_TRUE(source.Seek(2.9f));
    std::vector<u8> tail(100000);
    EXPECT_EQ(source.Read(tail.data(), u32(tail.size())), whole.size() - 63945u * 2);
    EXPECT_FALSE(source.Seek(10.0f));
}

TEST(ogg_source, clone_and_refusal)
{
    memory_file_system_c files;
    files.Add("a.ogg", MakeOggVorbis(8000, 1, 8000, [](u32 f, u32 c) { return Tone(f, c, 8000); }));
    files.Add("bad.ogg", std::vector<u8>(3000, 0x4F));
    sound_system_c system(0);
    ogg_source_c source(&system, "a.ogg", 0);
    EXPECT_TRUE(CloneReadsTheSame(source, 4000));
    try {
        ogg_source_c bad(&system, "bad.ogg", 0);
        FAIL() << "no exception";
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), "File is not an OGG bitstream!");
        EXPECT_STREQ(e.GetFileName().GetData(), "bad.ogg");
    }
    EXPECT_EQ(system.GetSourceCount(), 1u);
}

} // namespace
