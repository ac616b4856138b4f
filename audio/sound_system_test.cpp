#include "audio/sound_system.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "audio/pcm_source.h"
#include "foundation/file_error.h"
#include "audio/testing/audio_fixtures.h"
#include "audio/testing/memory_file_system.h"

using namespace audio_testing;

namespace {

TEST(decibels, gain_to_decibel)
{
    const struct {
        float gain, dB;
    } cases[] = {{1.0f, 0.0f},    {0.5f, -6.0206f},    {0.1f, -20.0f},   {2.0f, 6.0206f},
                 {0.0f, -100.0f}, {0.00001f, -100.0f}, {-1.0f, -100.0f}, {0.0000101f, -99.9136f}};
    for (const auto& c : cases)
        EXPECT_NEAR(GainToDecibel(c.gain), c.dB, 0.001) << c.gain;
}

TEST(decibels, decibel_to_gain)
{
    const struct {
        float dB, gain;
    } cases[] = {{0.0f, 1.0f}, {-20.0f, 0.1f}, {20.0f, 10.0f}, {-6.0206f, 0.5f}, {-100.0f, 0.00001f}};
    for (const auto& c : cases)
        EXPECT_NEAR(DecibelToGain(c.dB), c.gain, c.gain * 1e-4) << c.dB;
}

// A source that counts its deaths.
class counted_source_c : public virtual sound_source_c {
public:
    counted_source_c(sound_system_c* system, int* deaths) : sound_source_c(system, 0), _deaths(deaths) {}
    ~counted_source_c() override { ++*_deaths; }
    sound_source_c* Clone() override { return new counted_source_c(*this); }
    u32 Read(u8*, u32) override { return 0; }
    u32 GetChannels() override { return 1; }
    u32 GetSampleRate() override { return 8000; }
    u32 GetBitsPerSample() override { return 8; }
    float GetLength() override { return 0.0f; }

private:
    int* _deaths;
};

TEST(sound_system, deleting_the_system_deletes_the_sources_left)
{
    int deaths = 0;
    auto* system = new sound_system_c(0);
    sound_source_c* kept = new counted_source_c(system, &deaths);
    new counted_source_c(system, &deaths);
    sound_source_c* third = new counted_source_c(system, &deaths);
    sound_source_c* copy = third->Clone();
    EXPECT_EQ(system->GetSourceCount(), 4u);
    DeleteObject(kept);
    EXPECT_EQ(kept, nullptr);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(system->GetSourceCount(), 3u);
    (void)copy;
    delete system;
    EXPECT_EQ(deaths, 4);
    sound_source_c* none = nullptr;
    DeleteObject(none);
}

TEST(sound_system, registering_a_source_twice_throws)
{
    int deaths = 0;
    sound_system_c system(8);
    EXPECT_EQ(system.GetFlags(), 8u);
    counted_source_c source(&system, &deaths);
    try {
        system.AcquireSoundSource(&source);
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "void sound_system_c::AcquireSoundSource(sound_source_c* _source)");
    }
    EXPECT_EQ(system.GetSourceCount(), 1u);
    system.ReleaseSoundSource(&source);
    EXPECT_EQ(system.GetSourceCount(), 0u);
}

TEST(sound_system, library_system_answers_false_to_device_operations)
{
    sound_system_c system(0);
    const vec3_c position{};
    const mat4x3_c orientation{};
    EXPECT_FALSE(system.SetDistanceAttenuation(1.0f));
    EXPECT_FALSE(system.SetRolloffFactor(1.0f));
    EXPECT_FALSE(system.SetSoundGain(1.0f));
    EXPECT_FALSE(system.SetListenerPosition(&position));
    EXPECT_FALSE(system.SetListenerVelocity(&position));
    EXPECT_FALSE(system.SetListenerOrientation(&orientation));
    EXPECT_FALSE(system.Reserved(1));
    EXPECT_FALSE(system.Update());
}

TEST(sound_system, wave_source_on_the_library_has_no_optional_operations)
{
    memory_file_system_c files;
    files.Add("beep.wav", MakeWave(8000, 1, 8000, [](u32 f, u32) { return std::sin(f * 0.3) * 0.5; }));
    sound_system_c system(0);
    sound_source_c* source = system.CreatePcmSource("beep.wav", 0xFFFFFFFF);
    const vec3_c position{};
    EXPECT_FALSE(source->SetPitch(1.0f));
    EXPECT_FALSE(source->SetVolume(0.0f));
    EXPECT_FALSE(source->SetPan(0.0f));
    EXPECT_FALSE(source->SetMinDistance(1.0f));
    EXPECT_FALSE(source->SetPosition(&position));
    EXPECT_FALSE(source->SetVelocity(&position));
    EXPECT_FALSE(source->SetUnitParameter(0.5f));
    EXPECT_FALSE(source->SetLoopStart(0.5f));
    EXPECT_FALSE(source->SetLooping(true));
    EXPECT_FALSE(source->Seek(0.5f));
    EXPECT_FALSE(source->IsPlaying());
    EXPECT_FALSE(source->Play());
    EXPECT_FALSE(source->Stop());
    EXPECT_FALSE(source->Update());
    EXPECT_EQ(source->GetChannels(), 1u);
    EXPECT_EQ(source->GetSampleRate(), 8000u);
    EXPECT_EQ(source->GetBitsPerSample(), 16u);
    EXPECT_FLOAT_EQ(source->GetLength(), 1.0f);
    EXPECT_EQ(system.GetSourceCount(), 1u);
}

TEST(sound_system, failed_construction_registers_nothing)
{
    memory_file_system_c files;
    files.Add("bad.wav", std::vector<u8>(100, 7));
    sound_system_c system(0);
    EXPECT_THROW(system.CreatePcmSource("bad.wav", 0), file_error_c);
    EXPECT_THROW(system.CreatePcmSource("missing.wav", 0), file_error_c);
    EXPECT_THROW(system.CreateMpegSource("bad.wav", 1.0f, 0), file_error_c);
    EXPECT_THROW(system.CreateOggSource("bad.wav", 1.0f, 0), file_error_c);
    EXPECT_EQ(system.GetSourceCount(), 0u);
}

} // namespace
