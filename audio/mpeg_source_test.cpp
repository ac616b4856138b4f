#include "audio/mpeg_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "audio/testing/audio_fixtures.h"
#include "audio/testing/memory_file_system.h"
#include "foundation/file_error.h"

using namespace audio_testing;

namespace {

std::vector<u8> Id3v2(u32 size, u8 version = 3, u8 flags = 0)
{
    std::vector<u8> tag = {'I',
                           'D',
                           '3',
                           version,
                           0,
                           flags,
                           u8((size >> 21) & 0x7F),
                           u8((size >> 14) & 0x7F),
                           u8((size >> 7) & 0x7F),
                           u8(size & 0x7F)};
    tag.resize(10 + size, 0x20);
    return tag;
}

std::vector<u8> Id3v1()
{
    std::vector<u8> tag(128, 0xFF); // 0xFF bytes would look like syncs to a decoder
    std::memcpy(tag.data(), "TAG", 3);
    return tag;
}

std::vector<u8> Join(std::initializer_list<std::vector<u8>> parts)
{
    std::vector<u8> out;
    for (const std::vector<u8>& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::string OpenFailure(const std::vector<u8>& file)
{
    return SourceFailure<mpeg_source_c>("music.mp3", file);
}

TEST(mpeg_source, finds_the_audio_window)
{
    const std::vector<u8> audio = MakeLayer1({0, 1, 12, 0, 30, 3});
    const u64 n = audio.size();
    const struct {
        const char* what;
        std::vector<u8> file;
        u64 start, length;
    } cases[] = {
        {"plain", audio, 0, n},
        {"ID3v2 of 1000 bytes", Join({Id3v2(1000), audio}), 1010, n},
        {"ID3v2.4 with footer", Join({Id3v2(100, 4, 0x10), std::vector<u8>(10, 0), audio}), 120, n},
        {"padding after ID3v2", Join({Id3v2(50), std::vector<u8>(300, 0), audio}), 360, n},
        {"junk of 1024 bytes", Join({std::vector<u8>(1024, 0x41), audio}), 1024, n},
        {"trailing TAG", Join({audio, Id3v1()}), 0, n},
        {"ID3v2 and trailing TAG", Join({Id3v2(30), audio, Id3v1()}), 40, n},
    };
    for (const auto& c : cases) {
        memory_file_system_c files;
        files.Add("music.mp3", c.file);
        sound_system_c system(0);
        mpeg_source_c source(&system, "music.mp3", 0);
        EXPECT_EQ(source.GetAudioStart(), c.start) << c.what;
        EXPECT_EQ(source.GetAudioLength(), c.length) << c.what;
        EXPECT_EQ(source.GetSampleRate(), 48000u) << c.what;
        EXPECT_EQ(source.GetChannels(), 2u) << c.what;
        EXPECT_EQ(source.GetBitsPerSample(), 16u) << c.what;
        // Ten units of 1152 samples.
        EXPECT_FLOAT_EQ(source.GetLength(), 11520.0f / 48000.0f) << c.what;
    }
}

TEST(mpeg_source, refuses_what_does_not_open)
{
    const std::vector<u8> audio = MakeLayer1({});
    EXPECT_EQ(OpenFailure(Join({std::vector<u8>(1025, 0x41), audio})), "music.mp3|Could not open audio MPEG!");
    EXPECT_EQ(OpenFailure(std::vector<u8>(5000, 0)), "music.mp3|Could not open audio MPEG!");
    EXPECT_EQ(OpenFailure({}), "music.mp3|Could not open audio MPEG!");
    EXPECT_EQ(OpenFailure(Id3v2(200)), "music.mp3|Could not open audio MPEG!");
}

// Free format is not played: its first header refuses the file, rather than
// a search on into the frame's data that finds a false header there.
TEST(mpeg_source, refuses_free_format)
{
    const std::vector<u8> audio = MakeLayer1({});
    std::vector<u8> free_format = {audio[0], audio[1], u8(audio[2] & 0x0F), audio[3]};
    free_format.resize(300, 0x11);
    // A header of a supported stream inside the free-format frame's data.
    free_format.insert(free_format.end(), audio.begin(), audio.end());
    EXPECT_EQ(OpenFailure(free_format), "music.mp3|Could not open audio MPEG!");
    if (HaveProgram("lame")) {
        const std::vector<u8> lame = EncodeLame(44100, 2, 1.0, "--freeformat -b 400");
        ASSERT_FALSE(lame.empty());
        EXPECT_EQ(OpenFailure(lame), "music.mp3|Could not open audio MPEG!");
    }
}

TEST(mpeg_source, mpeg25_without_a_tag_opens)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    memory_file_system_c files;
    files.Add("low.mp3", EncodeLame(8000, 1, 1.0, "-b 16"));
    sound_system_c system(0);
    mpeg_source_c source(&system, "low.mp3", 0);
    EXPECT_EQ(source.GetSampleRate(), 8000u);
    EXPECT_EQ(source.GetChannels(), 1u);
    EXPECT_NEAR(source.GetLength(), 1.0, 0.2);
}

TEST(mpeg_source, reads_loops_and_seeks)
{
    const std::vector<u8> audio = MakeLayer1({0, 1, 12, 0, 60, 5});
    memory_file_system_c files;
    files.Add("loop.mp2", audio);
    sound_system_c system(0);
    mpeg_source_c source(&system, "loop.mp2", 0);
    const u32 total = 20 * 1152 * 4;
    std::vector<u8> whole(total + 100);
    ASSERT_EQ(source.Read(whole.data(), u32(whole.size())), total);
    whole.resize(total);

    // Not looping: the end gives short reads.
    std::vector<u8> out(4000);
    EXPECT_EQ(source.Read(out.data(), 4000), 0u);

    // Looping from 0.1 s: the read runs on with the sample at 0.1 s.
    EXPECT_TRUE(source.SetLoopStart(0.1f));
    EXPECT_TRUE(source.SetLooping(true));
    EXPECT_EQ(source.Read(out.data(), 4000), 4000u);
    const u32 loop_byte = 4800 * 4;
    EXPECT_EQ(0, std::memcmp(out.data(), whole.data() + loop_byte, 4000));
    // Across the end: the tail, then the loop start again.
    EXPECT_TRUE(source.Seek(0.45f));
    const u32 at = 21600 * 4;
    std::vector<u8> across(total - at + 1000);
    EXPECT_EQ(source.Read(across.data(), u32(across.size())), across.size());
    EXPECT_EQ(0, std::memcmp(across.data(), whole.data() + at, total - at));
    EXPECT_EQ(0, std::memcmp(across.data() + (total - at), whole.data() + loop_byte, 1000));

    // A negative loop start counts as 0; a loop start past the end gives a short read.
    EXPECT_TRUE(source.SetLoopStart(-3.0f));
    EXPECT_TRUE(source.SetLoopStart(99.0f));
    EXPECT_TRUE(source.Seek(0.47f));
    std::vector<u8> tail(100000);
    EXPECT_EQ(source.Read(tail.data(), u32(tail.size())), total - 22560u * 4);

    // Only looping and seeking are supported.
    EXPECT_FALSE(source.SetPitch(1.0f));
    EXPECT_FALSE(source.SetVolume(0.0f));
    EXPECT_FALSE(source.Play());
}

TEST(mpeg_source, clone_decodes_on_its_own)
{
    memory_file_system_c files;
    files.Add("a.mp2", MakeLayer1({0, 1, 12, 3, 30, 6}));
    sound_system_c system(0);
    mpeg_source_c source(&system, "a.mp2", 0);
    EXPECT_TRUE(CloneReadsTheSame(source, 5000));
    EXPECT_EQ(system.GetSourceCount(), 1u);
}

} // namespace
