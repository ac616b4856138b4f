#include "audio/sound_writers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "audio/ogg_source.h"
#include "audio/sound_data.h"
#include "audio/testing/memory_file_system.h"

namespace {

i16 SampleAt(const std::vector<u8>& _wave, const wave_layout_c& _layout, u32 _index)
{
    i16 value = 0;
    std::memcpy(&value, _wave.data() + _layout.data_offset + 2 * _index, 2);
    return value;
}

TEST(sound_writers, WaveReadsBackWithItsFormatAndClippedSamples)
{
    const double values[] = {0.0, 0.5, -0.5, 2.0, -3.0};
    const std::vector<u8> wave = MakeWave(11025, 1, 5, [&](u32 _frame, u32) { return values[_frame]; });
    const wave_layout_c layout = ParseWave(wave.data(), static_cast<u32>(wave.size()), "tone.wav");
    EXPECT_EQ(layout.format.channels, 1u);
    EXPECT_EQ(layout.format.samples_per_second, 11025u);
    EXPECT_EQ(layout.format.bits_per_sample, 16u);
    ASSERT_EQ(layout.data_size, 10u);
    const i16 expected[] = {0, 16384, -16384, 32767, -32767};
    for (u32 i = 0; i < 5; ++i)
        EXPECT_EQ(SampleAt(wave, layout, i), expected[i]) << i;
}

TEST(sound_writers, OggVorbisDecodesToItsLengthAndIsTheSameEachRun)
{
    auto tone = [](u32 _frame, u32 _channel) { return 0.3 * std::sin(0.05 * _frame + _channel); };
    const std::vector<u8> first = MakeOggVorbis(22050, 2, 22050, tone, 0.0f);
    EXPECT_EQ(MakeOggVorbis(22050, 2, 22050, tone, 0.0f), first);
    audio_testing::memory_file_system_c files;
    files.Add("music.ogg", first);
    sound_system_c system(0);
    ogg_source_c source(&system, "music.ogg", 0);
    EXPECT_EQ(source.GetChannels(), 2u);
    EXPECT_EQ(source.GetSampleRate(), 22050u);
    EXPECT_NEAR(source.GetLength(), 1.0f, 0.01f);
}

TEST(sound_writers, OggVorbisRefusesWhatTheEncoderCannotMake)
{
    EXPECT_THROW(MakeOggVorbis(22050, 0, 100, [](u32, u32) { return 0.0; }), std::runtime_error);
}

} // namespace
