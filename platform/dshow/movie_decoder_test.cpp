#include "platform/dshow/movie_decoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/dshow/testing/movie_clip.h"

namespace {

namespace fs = std::filesystem;

std::string ClipPath(const char* name)
{
    return movie_testing::ScratchPath(name);
}

struct decoded_s {
    std::vector<movie_picture_s> pictures;
    size_t sound_frames = 0;
};

decoded_s DecodeAll(movie_decoder_c& decoder)
{
    decoded_s out;
    movie_picture_s picture;
    movie_sound_s sound;
    while (decoder.Next(picture, sound)) {
        if (!picture.rgba.empty())
            out.pictures.push_back(picture);
        else
            out.sound_frames += sound.samples.size() / static_cast<size_t>(decoder.GetChannels());
    }
    return out;
}

TEST(MovieDecoder, PicturesAndSoundOfAClipInOrder)
{
    const std::string path = ClipPath("decoder.avi");
    movie_testing::WriteClip(path, {.frames = 6, .width = 64, .height = 48, .fps = 25, .sound = true});
    movie_decoder_c decoder(path);
    ASSERT_TRUE(decoder.HasVideo());
    ASSERT_TRUE(decoder.HasAudio());
    EXPECT_EQ(decoder.GetSampleRate(), 22050);
    EXPECT_EQ(decoder.GetChannels(), 1);

    const decoded_s all = DecodeAll(decoder);
    ASSERT_EQ(all.pictures.size(), 6u);
    for (size_t i = 0; i < all.pictures.size(); ++i) {
        const movie_picture_s& p = all.pictures[i];
        EXPECT_EQ(p.width, 64);
        EXPECT_EQ(p.height, 48);
        ASSERT_EQ(p.rgba.size(), 64u * 48 * 4);
        EXPECT_NEAR(p.time, static_cast<double>(i) / 25, 1e-6);
        // Each frame is a flat grey a step brighter than the last.
        const int grey = p.rgba[(24 * 64 + 32) * 4];
        const int expected = static_cast<int>(std::lround((40 + 30 * static_cast<int>(i) - 16) * 255.0 / 219));
        EXPECT_NEAR(grey, expected, 6) << "frame " << i;
        EXPECT_EQ(p.rgba[(24 * 64 + 32) * 4 + 3], 255);
    }
    EXPECT_EQ(all.sound_frames, 6u * (22050 / 25));
    movie_picture_s picture;
    movie_sound_s sound;
    EXPECT_FALSE(decoder.Next(picture, sound)) << "the end stays the end";
}

TEST(MovieDecoder, FilesThatAreNotClipsAreRefused)
{
    EXPECT_THROW(movie_decoder_c(ClipPath("missing.avi")), movie_error_c);
    const std::string junk = ClipPath("junk.avi");
    std::ofstream(junk, std::ios::binary) << std::string(4000, '\x5A');
    EXPECT_THROW(movie_decoder_c{junk}, movie_error_c);
}

TEST(MovieDecoder, ATruncatedClipEndsWhereItsDataEnds)
{
    const std::string path = ClipPath("whole.avi");
    movie_testing::WriteClip(path, {.frames = 8, .sound = true});
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    for (const size_t keep : {bytes.size() / 2, bytes.size() * 3 / 4, bytes.size() - 10}) {
        const std::string cut = ClipPath("cut.avi");
        std::ofstream(cut, std::ios::binary | std::ios::trunc) << bytes.substr(0, keep);
        try {
            movie_decoder_c decoder(cut);
            const decoded_s all = DecodeAll(decoder);
            EXPECT_LE(all.pictures.size(), 8u) << keep;
        } catch (const movie_error_c&) {
            // Refused at open is as good as ended early.
        }
    }
}

} // namespace
