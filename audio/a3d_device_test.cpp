#include "audio/a3d_device.h"

#include <cfloat>
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "audio/a3d_sound.h"
#include "audio/testing/a3d_fixtures.h"
#include "audio/testing/audio_fixtures.h"
#include "audio/testing/memory_file_system.h"

namespace {

constexpr u32 rate = 44100;

class A3dDevice : public ::testing::Test {
protected:
    void SetUp() override { a3d_c::UseLoopback(rate); }
    void TearDown() override { a3d_c::UseSystemDevice(); }

    std::string Wave(const char* name, u32 channels, u32 frames, const std::function<double(u32, u32)>& sample)
    {
        _files.Add(name, MakeWave(rate, channels, frames, sample));
        return name;
    }
    std::string TestWave(u32 channels = 2, u32 frames = 4410)
    {
        return Wave("test.wav", channels, frames, [](u32 f, u32 c) { return audio_testing::TestSignal(f, c, rate); });
    }
    std::string SineWave()
    {
        return Wave("sine.wav", 1, 8820, [](u32 f, u32) { return 0.5 * std::sin(2 * M_PI * 441.0 * f / rate); });
    }

    audio_testing::memory_file_system_c _files;
};

i16 Sample(double value)
{
    return static_cast<i16>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
}

f64 Rms(const std::vector<f32>& out, size_t channel, size_t from_frame)
{
    f64 sum = 0;
    size_t count = 0;
    for (size_t i = from_frame * 2 + channel; i < out.size(); i += 2, ++count)
        sum += f64(out[i]) * out[i];
    return std::sqrt(sum / static_cast<f64>(count));
}

TEST_F(A3dDevice, WaveSoundComesOutWithItsSamplesGainAndPan)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    const std::string path = TestWave();
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(path.c_str(), 2 | 4));
    ASSERT_TRUE(sound->Play());
    std::vector<f32> out = a3d_testing::Render(device, 4410);
    for (u32 f = 0; f < 4410; ++f) {
        ASSERT_FLOAT_EQ(out[f * 2], Sample(audio_testing::TestSignal(f, 0, rate)) / 32768.0f) << f;
        ASSERT_FLOAT_EQ(out[f * 2 + 1], Sample(audio_testing::TestSignal(f, 1, rate)) / 32768.0f) << f;
    }

    ASSERT_TRUE(sound->SetVolume(-6.0f));
    ASSERT_TRUE(sound->SetPan(10.0f));
    ASSERT_TRUE(sound->Play());
    out = a3d_testing::Render(device, 4410);
    const float gain = DecibelToGain(-6.0f), left = DecibelToGain(-10.0f);
    for (u32 f = 0; f < 4410; ++f) {
        ASSERT_NEAR(out[f * 2], gain * left * Sample(audio_testing::TestSignal(f, 0, rate)) / 32768.0f, 1e-6) << f;
        ASSERT_NEAR(out[f * 2 + 1], gain * Sample(audio_testing::TestSignal(f, 1, rate)) / 32768.0f, 1e-6) << f;
    }
    EXPECT_FALSE(sound->IsPlaying());
}

// Min distance 2 with the start values (gain 0.1 at the maximum, rolloff 1)
// gives a maximum of 20.
TEST_F(A3dDevice, SoundMovedAwayGetsQuieterByTheInverseDistanceRule)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    ASSERT_TRUE(device.SetRolloffFactor(1.0f));
    ASSERT_TRUE(device.SetSoundGain(1.0f));
    mat4x3_c camera;
    camera.SetIdentity();
    const vec3_c origin(0, 0, 0);
    ASSERT_TRUE(device.SetListenerPosition(&origin));
    ASSERT_TRUE(device.SetListenerOrientation(&camera));
    const std::string path = SineWave();
    auto level_at = [&](float distance) {
        std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(path.c_str(), 8));
        EXPECT_TRUE(sound->SetMinDistance(2.0f));
        const vec3_c where(0, 0, distance);
        EXPECT_TRUE(sound->SetPosition(&where));
        EXPECT_TRUE(sound->Play());
        std::vector<f32> out = a3d_testing::Render(device, 8820);
        return Rms(out, 0, 1000);
    };
    const f64 near = level_at(2.0f);
    ASSERT_GT(near, 0.01);
    EXPECT_NEAR(level_at(6.0f) / near, 1.0 / 3.0, 0.005);
    EXPECT_NEAR(level_at(12.0f) / near, 1.0 / 6.0, 0.005);
    EXPECT_NEAR(level_at(20.0f) / near, 0.1, 0.002);
    EXPECT_NEAR(level_at(100.0f) / near, 0.1, 0.002);
}

TEST_F(A3dDevice, SourceOnTheRightOfTheCameraIsLouderOnTheRight)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    mat4x3_c camera;
    camera.SetIdentity();
    ASSERT_TRUE(device.SetListenerOrientation(&camera));
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(SineWave().c_str(), 8));
    const vec3_c right(5, 0, 1);
    ASSERT_TRUE(sound->SetPosition(&right));
    ASSERT_TRUE(sound->Play());
    std::vector<f32> out = a3d_testing::Render(device, 8820);
    EXPECT_GT(Rms(out, 1, 1000), 1.5 * Rms(out, 0, 1000));
}

TEST_F(A3dDevice, DeviceWithoutThreeDimensionsRefusesListenerAndDistanceSettings)
{
    a3d_device_c device(nullptr, -1, -1, 0);
    const vec3_c v(1, 2, 3);
    mat4x3_c m;
    m.SetIdentity();
    EXPECT_FALSE(device.SetListenerPosition(&v));
    EXPECT_FALSE(device.SetListenerVelocity(&v));
    EXPECT_FALSE(device.SetListenerOrientation(&m));
    EXPECT_FALSE(device.SetDistanceAttenuation(-20.0f));
    EXPECT_FALSE(device.SetRolloffFactor(1.0f));
    EXPECT_FALSE(device.SetSoundGain(1.0f));
    EXPECT_TRUE(device.Update());
}

TEST_F(A3dDevice, DistanceSettingsHoldOnlyBeforeTheFirstSound)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    EXPECT_FLOAT_EQ(device.MaxDistanceRatio(), 10.0f);
    ASSERT_TRUE(device.SetDistanceAttenuation(-40.0f));
    ASSERT_TRUE(device.SetRolloffFactor(2.0f));
    EXPECT_FLOAT_EQ(device.MaxDistanceRatio(), (99.0f + 2.0f) / 2.0f);
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(SineWave().c_str(), 8));
    EXPECT_FALSE(device.SetDistanceAttenuation(-20.0f));
    EXPECT_FALSE(device.SetRolloffFactor(1.0f));
    EXPECT_FLOAT_EQ(device.MaxDistanceRatio(), 50.5f);
    ASSERT_TRUE(sound->SetMinDistance(4.0f));
    f32 min = 0, max = 0;
    u32 mode = 0;
    ASSERT_EQ(static_cast<a3d_sound_c*>(dynamic_cast<a3d_static_sound_c*>(sound.get()))
                  ->GetDeviceSource()
                  ->GetMinMaxDistance(&min, &max, &mode),
              A3D_OK);
    EXPECT_FLOAT_EQ(min, 4.0f);
    EXPECT_FLOAT_EQ(max, 202.0f);
}

TEST_F(A3dDevice, AttenuationIsClampedToItsRange)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    ASSERT_TRUE(device.SetDistanceAttenuation(+20.0f));
    EXPECT_FLOAT_EQ(device.MaxDistanceRatio(), 1.0f);
    ASSERT_TRUE(device.SetDistanceAttenuation(-300.0f));
    EXPECT_NEAR(device.MaxDistanceRatio(), 100000.0f, 1.0f);
}

TEST_F(A3dDevice, NoRolloffMeansNoMaximumDistance)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    ASSERT_TRUE(device.SetRolloffFactor(-3.0f));
    EXPECT_EQ(device.MaxDistanceRatio(), FLT_MAX);
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(SineWave().c_str(), 8));
    ASSERT_TRUE(sound->SetMinDistance(5.0f));
    f32 min = 0, max = 0;
    u32 mode = 0;
    dynamic_cast<a3d_sound_c&>(*sound).GetDeviceSource()->GetMinMaxDistance(&min, &max, &mode);
    EXPECT_EQ(max, FLT_MAX);
}

struct gain_case_c {
    const char* name;
    u32 flags;
    float volume, pan;
    float gain, left, right;
    bool volume_taken, pan_taken;
};

class A3dSoundGains : public A3dDevice, public ::testing::WithParamInterface<gain_case_c> {};

TEST_P(A3dSoundGains, VolumeAndPanBecomeDeviceGains)
{
    const gain_case_c& c = GetParam();
    a3d_device_c device(nullptr, -1, -1, 8);
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(TestWave().c_str(), c.flags));
    EXPECT_EQ(sound->SetVolume(c.volume), c.volume_taken);
    EXPECT_EQ(sound->SetPan(c.pan), c.pan_taken);
    a3d_source_c* source = dynamic_cast<a3d_sound_c&>(*sound).GetDeviceSource();
    f32 gain = 0, left = 0, right = 0;
    ASSERT_EQ(source->GetGain(&gain), A3D_OK);
    ASSERT_EQ(source->GetPanValues(&left, &right), A3D_OK);
    EXPECT_NEAR(gain, c.gain, 1e-7);
    EXPECT_NEAR(left, c.left, 1e-7);
    EXPECT_NEAR(right, c.right, 1e-7);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, A3dSoundGains,
    ::testing::Values(gain_case_c{"loud", 2 | 4, +6.0f, 0.0f, 1.0f, 1.0f, 1.0f, true, true},
                      gain_case_c{"silent", 2 | 4, -200.0f, 0.0f, 1e-5f, 1.0f, 1.0f, true, true},
                      gain_case_c{"left_down", 2 | 4, 0.0f, 10.0f, 1.0f, 0.31622776f, 1.0f, true, true},
                      gain_case_c{"right_off", 2 | 4, 0.0f, -500.0f, 1.0f, 1.0f, 1e-5f, true, true},
                      gain_case_c{"no_volume_flag", 4, -20.0f, 10.0f, 1.0f, 0.31622776f, 1.0f, false, true},
                      gain_case_c{"no_pan_flag", 2, -20.0f, 10.0f, 0.1f, 1.0f, 1.0f, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(A3dDevice, OperationsWithoutTheirFlagAnswerFalse)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(TestWave().c_str(), 0));
    const vec3_c v(1, 2, 3);
    EXPECT_FALSE(sound->SetPitch(2.0f));
    EXPECT_FALSE(sound->SetMinDistance(2.0f));
    EXPECT_FALSE(sound->SetPosition(&v));
    EXPECT_FALSE(sound->SetVelocity(&v));
    EXPECT_FALSE(sound->SetLoopStart(1.0f));
    EXPECT_TRUE(sound->SetUnitParameter(3.0f));
    f32 priority = 0;
    dynamic_cast<a3d_sound_c&>(*sound).GetDeviceSource()->GetPriority(&priority);
    EXPECT_EQ(priority, 1.0f);
}

TEST_F(A3dDevice, SoundsOfOneFileShareTheirDeviceData)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    const std::string path = TestWave();
    std::unique_ptr<sound_source_c> first(device.CreatePcmSource(path.c_str(), 2));
    std::unique_ptr<sound_source_c> second(device.CreatePcmSource(path.c_str(), 2));
    std::unique_ptr<sound_source_c> other_flags(device.CreatePcmSource(path.c_str(), 8));
    ASSERT_TRUE(first->SetVolume(-20.0f));
    ASSERT_TRUE(first->Play());
    first.reset();
    ASSERT_TRUE(second->Play());
    std::vector<f32> out = a3d_testing::Render(device, 4410);
    for (u32 f = 0; f < 4410; ++f)
        ASSERT_FLOAT_EQ(out[f * 2], Sample(audio_testing::TestSignal(f, 0, rate)) / 32768.0f) << f;
    EXPECT_TRUE(other_flags->Play());
}

TEST_F(A3dDevice, CloneSoundsLikeItsOriginal)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(TestWave().c_str(), 2 | 4));
    ASSERT_TRUE(sound->SetVolume(-6.0f));
    ASSERT_TRUE(sound->SetPan(-10.0f));
    ASSERT_TRUE(sound->Play());
    std::unique_ptr<sound_source_c> copy(sound->Clone());
    sound.reset();
    ASSERT_TRUE(copy->Play());
    std::vector<f32> out = a3d_testing::Render(device, 4410);
    const float gain = DecibelToGain(-6.0f), right = DecibelToGain(-10.0f);
    for (u32 f = 0; f < 4410; f += 7) {
        ASSERT_NEAR(out[f * 2], gain * Sample(audio_testing::TestSignal(f, 0, rate)) / 32768.0f, 1e-6);
        ASSERT_NEAR(out[f * 2 + 1], gain * right * Sample(audio_testing::TestSignal(f, 1, rate)) / 32768.0f, 1e-6);
    }
}

TEST_F(A3dDevice, LoopingWaveSoundRestartsInTheNewMode)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(TestWave(2, 1000).c_str(), 0));
    ASSERT_TRUE(sound->Play());
    EXPECT_TRUE(sound->SetLooping(false));
    ASSERT_TRUE(sound->SetLooping(true));
    a3d_testing::Render(device, 3000);
    EXPECT_TRUE(sound->IsPlaying());
    ASSERT_TRUE(sound->SetLooping(false));
    a3d_testing::Render(device, 1200);
    EXPECT_FALSE(sound->IsPlaying());
}

TEST_F(A3dDevice, SeekMovesThePlayPosition)
{
    a3d_device_c device(nullptr, -1, -1, 8);
    std::unique_ptr<sound_source_c> sound(device.CreatePcmSource(TestWave(2, 44100).c_str(), 0));
    ASSERT_TRUE(sound->Seek(0.5f));
    ASSERT_TRUE(sound->Play());
    std::vector<f32> out = a3d_testing::Render(device, 1000);
    for (u32 f = 256; f < 1000; ++f)
        ASSERT_FLOAT_EQ(out[f * 2], Sample(audio_testing::TestSignal(22050 + f, 0, rate)) / 32768.0f) << f;
    EXPECT_FALSE(sound->Seek(2.0f));
}

TEST_F(A3dDevice, DeletingTheDeviceDeletesItsSounds)
{
    auto device = std::make_unique<a3d_device_c>(nullptr, -1, -1, 8);
    const std::string path = TestWave();
    device->CreatePcmSource(path.c_str(), 0);
    sound_source_c* playing = device->CreatePcmSource(path.c_str(), 2);
    ASSERT_TRUE(playing->Play());
    const int open = a3d_c::OpenDevices();
    device.reset();
    EXPECT_EQ(a3d_c::OpenDevices(), open - 1);
}

TEST_F(A3dDevice, DeviceThatCannotOpenThrowsAndLeavesNothingOpen)
{
    a3d_c::UseSystemDevice("no such output");
    const int open = a3d_c::OpenDevices();
    try {
        a3d_device_c device(nullptr, -1, -1, 8);
        FAIL() << "no exception";
    } catch (const a3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Could not initialize sound device!");
    }
    EXPECT_EQ(a3d_c::OpenDevices(), open);
}

TEST_F(A3dDevice, TooFewSourcesIsCouldNotCreateSoundBuffer)
{
    a3d_device_c device(nullptr, 1, 0, 8);
    const std::string path = TestWave();
    std::unique_ptr<sound_source_c> first(device.CreatePcmSource(path.c_str(), 0));
    try {
        std::unique_ptr<sound_source_c> second(device.CreatePcmSource(path.c_str(), 8));
        FAIL() << "no exception";
    } catch (const a3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Could not create sound buffer!");
    }
    first.reset();
    std::unique_ptr<sound_source_c> again(device.CreatePcmSource(path.c_str(), 8));
    EXPECT_TRUE(again->Play());
}

} // namespace
