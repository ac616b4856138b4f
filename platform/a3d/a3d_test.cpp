#include "platform/a3d/a3d.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

namespace {

constexpr u32 rate = 44100;

a3d_wave_format_c Format(u16 channels, u16 bits, u32 samples_per_second = rate)
{
    a3d_wave_format_c format;
    format.channels = channels;
    format.bits_per_sample = bits;
    format.samples_per_second = samples_per_second;
    format.block_align = static_cast<u16>(channels * bits / 8);
    format.average_bytes_per_second = format.block_align * samples_per_second;
    return format;
}

class A3dLoopback : public ::testing::Test {
protected:
    void SetUp() override
    {
        a3d_c::UseLoopback(rate);
        ASSERT_EQ(a3d_c::Create(&_a3d), A3D_OK);
        ASSERT_EQ(_a3d->Init(0, 128, 0, nullptr, 3), A3D_OK);
    }
    void TearDown() override
    {
        _a3d.reset();
        a3d_c::UseSystemDevice();
    }

    std::unique_ptr<a3d_source_c> Source(u32 flags, const a3d_wave_format_c& format, const std::vector<u8>& bytes)
    {
        std::unique_ptr<a3d_source_c> source;
        EXPECT_EQ(_a3d->NewSource(flags, &source), A3D_OK);
        EXPECT_EQ(source->SetWaveFormat(format), A3D_OK);
        EXPECT_EQ(source->AllocateAudioData(static_cast<u32>(bytes.size())), A3D_OK);
        Write(source.get(), 0, bytes);
        return source;
    }

    static void Write(a3d_source_c* source, u32 offset, const std::vector<u8>& bytes)
    {
        void* part1 = nullptr;
        void* part2 = nullptr;
        u32 size1 = 0, size2 = 0;
        ASSERT_EQ(source->Lock(offset, static_cast<u32>(bytes.size()), &part1, &size1, &part2, &size2), A3D_OK);
        ASSERT_EQ(size1, bytes.size());
        std::memcpy(part1, bytes.data(), size1);
        ASSERT_EQ(source->Unlock(part1, size1, part2, size2), A3D_OK);
    }

    std::vector<f32> Render(u32 frames)
    {
        std::vector<f32> out(static_cast<size_t>(frames) * 2);
        EXPECT_EQ(_a3d->RenderLoopback(out.data(), frames), A3D_OK);
        return out;
    }

    std::unique_ptr<a3d_c> _a3d;
};

std::vector<u8> Pcm16(const std::vector<i16>& samples)
{
    std::vector<u8> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

// A stereo ramp whose channels differ, so a swap or mix shows.
std::vector<i16> StereoRamp(u32 frames)
{
    std::vector<i16> samples;
    for (u32 i = 0; i < frames; ++i) {
        samples.push_back(static_cast<i16>((i * 37) % 20000 - 10000));
        samples.push_back(static_cast<i16>(8000 - (i * 53) % 16000));
    }
    return samples;
}

std::vector<i16> MonoSine(u32 frames, f64 hertz = 441.0)
{
    std::vector<i16> samples;
    for (u32 i = 0; i < frames; ++i)
        samples.push_back(static_cast<i16>(std::lround(16000 * std::sin(2 * M_PI * hertz * i / rate))));
    return samples;
}

f64 Rms(const std::vector<f32>& out, size_t channel, size_t from_frame)
{
    f64 sum = 0;
    size_t count = 0;
    for (size_t i = from_frame * 2 + channel; i < out.size(); i += 2, ++count)
        sum += f64(out[i]) * out[i];
    return std::sqrt(sum / static_cast<f64>(count));
}

TEST_F(A3dLoopback, TwoDimensionalStereoPlaysItsSamplesExactly)
{
    const std::vector<i16> samples = StereoRamp(4000);
    auto source = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(samples));
    ASSERT_EQ(source->Play(A3D_SINGLE), A3D_OK);
    ASSERT_EQ(_a3d->Flush(), A3D_OK);
    std::vector<f32> out = Render(4500);
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_FLOAT_EQ(out[i], samples[i] / 32768.0f) << "sample " << i;
    for (size_t i = samples.size(); i < out.size(); ++i)
        ASSERT_EQ(out[i], 0.0f);
    u32 status = 1;
    ASSERT_EQ(source->GetStatus(&status), A3D_OK);
    EXPECT_EQ(status, 0u);
}

TEST_F(A3dLoopback, GainAndPanValuesScaleEachOutput)
{
    const std::vector<i16> samples = StereoRamp(2000);
    auto source = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(samples));
    ASSERT_EQ(source->SetGain(0.5f), A3D_OK);
    ASSERT_EQ(source->SetPanValues(1.0f, 0.25f), A3D_OK);
    ASSERT_EQ(source->Play(A3D_SINGLE), A3D_OK);
    ASSERT_EQ(_a3d->Flush(), A3D_OK);
    std::vector<f32> out = Render(2000);
    for (size_t i = 0; i < samples.size(); i += 2) {
        ASSERT_NEAR(out[i], 0.5f * samples[i] / 32768.0f, 1e-6) << i;
        ASSERT_NEAR(out[i + 1], 0.125f * samples[i + 1] / 32768.0f, 1e-6) << i;
    }
}

TEST_F(A3dLoopback, EightBitMonoGoesToBothOutputs)
{
    std::vector<u8> bytes;
    for (int i = 0; i < 1000; ++i)
        bytes.push_back(static_cast<u8>(i * 7));
    auto source = Source(A3DSOURCE_2D, Format(1, 8), bytes);
    ASSERT_EQ(source->Play(A3D_SINGLE), A3D_OK);
    ASSERT_EQ(_a3d->Flush(), A3D_OK);
    std::vector<f32> out = Render(1000);
    for (size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_FLOAT_EQ(out[i * 2], (bytes[i] - 128) / 128.0f);
        ASSERT_FLOAT_EQ(out[i * 2 + 1], (bytes[i] - 128) / 128.0f);
    }
}

TEST_F(A3dLoopback, StopKeepsThePlayPositionAndLoopedPlayWraps)
{
    const std::vector<i16> samples = StereoRamp(1000);
    auto source = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(samples));
    ASSERT_EQ(source->Play(A3D_LOOPED), A3D_OK);
    std::vector<f32> first = Render(384);
    ASSERT_EQ(source->Stop(), A3D_OK);
    std::vector<f32> paused = Render(256);
    for (f32 v : paused)
        ASSERT_EQ(v, 0.0f);
    ASSERT_EQ(source->Play(A3D_LOOPED), A3D_OK);
    std::vector<f32> rest = Render(2000);
    first.insert(first.end(), rest.begin(), rest.end());
    for (size_t i = 0; i < first.size(); ++i)
        ASSERT_FLOAT_EQ(first[i], samples[i % samples.size()] / 32768.0f) << i;
    u32 status = 0;
    ASSERT_EQ(source->GetStatus(&status), A3D_OK);
    EXPECT_EQ(status, A3D_STATUS_PLAYING);
}

TEST_F(A3dLoopback, PlayPositionStartsPlayLater)
{
    const std::vector<i16> samples = StereoRamp(44100);
    auto source = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(samples));
    ASSERT_EQ(source->SetPlayPosition(0.5f), A3D_OK);
    ASSERT_EQ(source->Play(A3D_SINGLE), A3D_OK);
    // Play that starts inside the data fades in over its first frames.
    std::vector<f32> out = Render(1000);
    for (size_t i = 2 * 128; i < out.size(); ++i)
        ASSERT_FLOAT_EQ(out[i], samples[44100 + i] / 32768.0f);
    EXPECT_EQ(source->SetPlayPosition(1.0f), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->SetPlayPosition(-1.0f), A3DERR_INVALID_PARAM);
}

TEST_F(A3dLoopback, DuplicateSharesTheDataOfItsOriginal)
{
    const std::vector<i16> samples = StereoRamp(1000);
    auto original = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(samples));
    ASSERT_EQ(original->Play(A3D_LOOPED), A3D_OK);
    std::unique_ptr<a3d_source_c> copy;
    ASSERT_EQ(_a3d->DuplicateSource(original.get(), &copy), A3D_OK);
    u32 size = 0;
    ASSERT_EQ(copy->GetAudioSize(&size), A3D_OK);
    EXPECT_EQ(size, samples.size() * 2);
    // Filling the duplicate with the same bytes while the original plays is fine.
    Write(copy.get(), 0, Pcm16(samples));
    ASSERT_EQ(original->Stop(), A3D_OK);
    original.reset();
    ASSERT_EQ(copy->Play(A3D_SINGLE), A3D_OK);
    std::vector<f32> out = Render(1000);
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_FLOAT_EQ(out[i], samples[i] / 32768.0f);
}

TEST_F(A3dLoopback, ChangedDataOfAPlayingSharedBufferIsRefused)
{
    auto original = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(StereoRamp(1000)));
    ASSERT_EQ(original->Play(A3D_LOOPED), A3D_OK);
    std::unique_ptr<a3d_source_c> copy;
    ASSERT_EQ(_a3d->DuplicateSource(original.get(), &copy), A3D_OK);
    Write(copy.get(), 0, std::vector<u8>(400, 1));
    EXPECT_EQ(copy->Play(A3D_SINGLE), A3DERR_BUFFER_IN_USE);
    ASSERT_EQ(original->Stop(), A3D_OK);
    EXPECT_EQ(copy->Play(A3D_SINGLE), A3DERR_BUFFER_IN_USE);
    original.reset();
    EXPECT_EQ(copy->Play(A3D_SINGLE), A3D_OK);
    std::vector<f32> out = Render(16);
    EXPECT_FLOAT_EQ(out[0], 0x0101 / 32768.0f);
}

class A3dDistance : public A3dLoopback, public ::testing::WithParamInterface<std::pair<f32, f32>> {};

// The gain of a source straight ahead at distance d, relative to the one at
// the minimum distance m, is 1 / (1 + k (d / m - 1)) up to the maximum.
TEST_P(A3dDistance, FollowsTheInverseDistanceRule)
{
    const auto [rolloff, distance] = GetParam();
    const f32 min = 2.0f, max = 20.0f;
    ASSERT_EQ(_a3d->SetCoordinateSystem(A3D_LEFT_HANDED_CS), A3D_OK);
    ASSERT_EQ(_a3d->SetRolloffFactor(rolloff), A3D_OK);
    a3d_listener_c* listener = nullptr;
    ASSERT_EQ(_a3d->QueryListener(&listener), A3D_OK);
    ASSERT_EQ(listener->SetOrientation6f(0, 0, 1, 0, 1, 0), A3D_OK);
    auto measure = [&](f32 at) {
        auto source = Source(0, Format(1, 16), Pcm16(MonoSine(8820)));
        EXPECT_EQ(source->SetMinMaxDistance(min, max, A3D_HOLD_BEYOND_MAX), A3D_OK);
        EXPECT_EQ(source->SetPosition3f(0, 0, at), A3D_OK);
        EXPECT_EQ(source->Play(A3D_SINGLE), A3D_OK);
        EXPECT_EQ(_a3d->Flush(), A3D_OK);
        std::vector<f32> out = Render(8820);
        return std::make_pair(Rms(out, 0, 1000), Rms(out, 1, 1000));
    };
    const auto near = measure(min);
    const auto far = measure(distance);
    const f32 clamped = std::min(std::max(distance, min), max);
    const f64 expected = 1.0 / (1.0 + rolloff * (clamped / min - 1.0));
    ASSERT_GT(near.first, 0.01);
    EXPECT_NEAR(far.first / near.first, expected, 0.01 * expected + 1e-4);
    EXPECT_NEAR(far.second / near.second, expected, 0.01 * expected + 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Distances, A3dDistance,
                         ::testing::Values(std::make_pair(1.0f, 4.0f), std::make_pair(1.0f, 10.0f),
                                           std::make_pair(1.0f, 50.0f), std::make_pair(0.5f, 8.0f),
                                           std::make_pair(0.0f, 16.0f), std::make_pair(2.0f, 1.0f)));

TEST_F(A3dLoopback, LeftHandedSourceOnTheRightIsLouderOnTheRight)
{
    ASSERT_EQ(_a3d->SetCoordinateSystem(A3D_LEFT_HANDED_CS), A3D_OK);
    a3d_listener_c* listener = nullptr;
    ASSERT_EQ(_a3d->QueryListener(&listener), A3D_OK);
    ASSERT_EQ(listener->SetOrientation6f(0, 0, 1, 0, 1, 0), A3D_OK);
    auto source = Source(0, Format(1, 16), Pcm16(MonoSine(4410)));
    ASSERT_EQ(source->SetPosition3f(3, 0, 1), A3D_OK);
    ASSERT_EQ(source->Play(A3D_SINGLE), A3D_OK);
    ASSERT_EQ(_a3d->Flush(), A3D_OK);
    std::vector<f32> out = Render(4410);
    EXPECT_GT(Rms(out, 1, 500), 1.5 * Rms(out, 0, 500));
}

TEST_F(A3dLoopback, DeferredChangesWaitForFlush)
{
    auto source = Source(A3DSOURCE_2D, Format(1, 16), Pcm16(MonoSine(44100)));
    ASSERT_EQ(_a3d->DeferChanges(), A3D_OK);
    ASSERT_EQ(source->Play(A3D_LOOPED), A3D_OK);
    ASSERT_EQ(_a3d->Flush(), A3D_OK);
    ASSERT_EQ(_a3d->DeferChanges(), A3D_OK);
    ASSERT_EQ(source->SetGain(0.0f), A3D_OK);
    EXPECT_GT(Rms(Render(2048), 0, 1024), 0.1);
    ASSERT_EQ(_a3d->Flush(), A3D_OK);
    Render(1024);
    EXPECT_EQ(Rms(Render(1024), 0, 0), 0.0);
}

// Segments of a ring with notifications: each holds one constant value, so
// the output shows which segment and which version of it was heard.
TEST_F(A3dLoopback, RingPlaySignalsEachSegmentAndHearsRewrittenSegments)
{
    constexpr u32 segments = 4, frames = 512;
    std::vector<i16> ring;
    for (u32 s = 0; s < segments; ++s)
        ring.insert(ring.end(), frames * 2, static_cast<i16>(1000 * (s + 1)));
    auto source = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(ring));
    std::vector<std::unique_ptr<event_c>> events;
    std::vector<event_c*> event_list;
    std::vector<u32> positions;
    for (u32 s = 0; s < segments; ++s) {
        events.push_back(std::make_unique<event_c>());
        event_list.push_back(events.back().get());
        positions.push_back(((s + 1) % segments) * frames * 4);
    }
    ASSERT_EQ(source->SetNotifications(segments, positions.data(), event_list.data()), A3D_OK);
    ASSERT_EQ(source->SetPlayPosition(0.1f), A3DERR_UNSUPPORTED);
    ASSERT_EQ(source->Play(A3D_LOOPED), A3D_OK);
    std::vector<f32> heard;
    u32 next = 0, rewritten = 0;
    for (int step = 0; step < 64; ++step) {
        std::vector<f32> out = Render(128);
        heard.insert(heard.end(), out.begin(), out.end());
        for (u32 s = 0; s < segments; ++s) {
            if (!events[s]->Wait(0))
                continue;
            ASSERT_EQ(s, next) << "segments signalled out of order";
            next = (next + 1) % segments;
            ++rewritten;
            Write(source.get(), s * frames * 4,
                  Pcm16(std::vector<i16>(frames * 2, static_cast<i16>(1000 * (s + 1) + 100 * rewritten))));
        }
    }
    EXPECT_EQ(rewritten, 16u);
    // The first pass plays the ring as written; later passes hear each rewrite.
    u32 version[segments] = {0, 0, 0, 0};
    u32 count = 0;
    for (size_t frame = 0; frame + 1 < heard.size() / 2; frame += frames) {
        u32 s = static_cast<u32>(frame / frames) % segments;
        i16 expected = static_cast<i16>(1000 * (s + 1) + 100 * version[s]);
        ASSERT_FLOAT_EQ(heard[frame * 2], expected / 32768.0f) << "segment at frame " << frame;
        ASSERT_FLOAT_EQ(heard[(frame + frames - 1) * 2 + 1], expected / 32768.0f);
        version[s] = ++count;
    }
}

TEST_F(A3dLoopback, SingleRingPlayEndsAfterTheLastSegment)
{
    std::vector<i16> ring(2048 * 2, 500);
    auto source = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(ring));
    event_c event;
    event_c* list[] = {&event};
    const u32 positions[] = {0};
    ASSERT_EQ(source->SetNotifications(1, positions, list), A3D_OK);
    ASSERT_EQ(source->Play(A3D_SINGLE), A3D_OK);
    std::vector<f32> out = Render(4096);
    EXPECT_FLOAT_EQ(out[2047 * 2], 500 / 32768.0f);
    EXPECT_EQ(out[2048 * 2], 0.0f);
    EXPECT_TRUE(event.Wait(0));
    u32 status = 1;
    ASSERT_EQ(source->GetStatus(&status), A3D_OK);
    EXPECT_EQ(status, 0u);
}

TEST_F(A3dLoopback, LockSplitsAtTheEndOfTheData)
{
    auto source = Source(A3DSOURCE_2D, Format(2, 16), std::vector<u8>(400, 0));
    void *part1 = nullptr, *part2 = nullptr;
    u32 size1 = 0, size2 = 0;
    ASSERT_EQ(source->Lock(300, 200, &part1, &size1, &part2, &size2), A3D_OK);
    EXPECT_EQ(size1, 100u);
    EXPECT_EQ(size2, 100u);
    EXPECT_NE(part2, nullptr);
    ASSERT_EQ(source->Unlock(part1, size1, part2, size2), A3D_OK);
    EXPECT_EQ(source->Lock(400, 4, &part1, &size1, &part2, &size2), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->Lock(0, 401, &part1, &size1, &part2, &size2), A3DERR_INVALID_PARAM);
}

TEST_F(A3dLoopback, BadArgumentsAreRefused)
{
    std::unique_ptr<a3d_source_c> source;
    ASSERT_EQ(_a3d->NewSource(0, &source), A3D_OK);
    EXPECT_EQ(source->AllocateAudioData(100), A3DERR_NO_FORMAT);
    a3d_wave_format_c wrong = Format(2, 16);
    wrong.block_align = 3;
    EXPECT_EQ(source->SetWaveFormat(wrong), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->SetWaveFormat(Format(3, 16)), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->SetWaveFormat(Format(1, 24)), A3DERR_INVALID_PARAM);
    ASSERT_EQ(source->SetWaveFormat(Format(1, 16)), A3D_OK);
    EXPECT_EQ(source->AllocateAudioData(1), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->Play(A3D_SINGLE), A3DERR_NO_DATA);
    ASSERT_EQ(source->AllocateAudioData(101), A3D_OK);
    u32 size = 0;
    ASSERT_EQ(source->GetAudioSize(&size), A3D_OK);
    EXPECT_EQ(size, 100u);
    EXPECT_EQ(source->SetPitch(-1), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->SetGain(-0.5f), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->SetPanValues(1, 1), A3DERR_UNSUPPORTED);
    EXPECT_EQ(source->SetMinMaxDistance(5, 1, A3D_HOLD_BEYOND_MAX), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->SetMinMaxDistance(1, 5, 0), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->SetPriority(1.5f), A3DERR_INVALID_PARAM);
    EXPECT_EQ(source->Play(7), A3DERR_INVALID_PARAM);
    event_c event;
    event_c* list[] = {&event};
    const u32 odd[] = {3};
    EXPECT_EQ(source->SetNotifications(1, odd, list), A3DERR_INVALID_PARAM);
    const u32 beyond[] = {100};
    EXPECT_EQ(source->SetNotifications(1, beyond, list), A3DERR_INVALID_PARAM);
    EXPECT_EQ(_a3d->SetRolloffFactor(-1), A3DERR_INVALID_PARAM);
    EXPECT_EQ(_a3d->SetCoordinateSystem(2), A3DERR_INVALID_PARAM);
    EXPECT_EQ(_a3d->NewSource(4, &source), A3DERR_INVALID_PARAM);
    std::unique_ptr<a3d_source_c> two_d;
    ASSERT_EQ(_a3d->NewSource(A3DSOURCE_2D, &two_d), A3D_OK);
    EXPECT_EQ(two_d->SetPosition3f(1, 2, 3), A3DERR_UNSUPPORTED);
}

TEST_F(A3dLoopback, SourceCountIsLimitedByHardwareAndFallbackCounts)
{
    std::unique_ptr<a3d_c> limited;
    ASSERT_EQ(a3d_c::Create(&limited), A3D_OK);
    ASSERT_EQ(limited->SetMaxHardwareSources(2), A3D_OK);
    ASSERT_EQ(limited->Init(0, 128, 0, nullptr, 3), A3D_OK);
    EXPECT_EQ(limited->SetMaxHardwareSources(4), A3DERR_ALREADY_INITIALIZED);
    ASSERT_EQ(limited->SetNumFallbackSources(1), A3D_OK);
    std::unique_ptr<a3d_source_c> a, b, c, d;
    EXPECT_EQ(limited->NewSource(0, &a), A3D_OK);
    EXPECT_EQ(limited->NewSource(0, &b), A3D_OK);
    EXPECT_EQ(limited->NewSource(0, &c), A3D_OK);
    EXPECT_EQ(limited->NewSource(0, &d), A3DERR_OUT_OF_SOURCES);
    a.reset();
    EXPECT_EQ(limited->NewSource(0, &d), A3D_OK);
}

TEST_F(A3dLoopback, ShutdownLeavesLiveSourcesAsEmptyShells)
{
    const int open = a3d_c::OpenDevices();
    auto source = Source(A3DSOURCE_2D, Format(2, 16), Pcm16(StereoRamp(100)));
    ASSERT_EQ(_a3d->Shutdown(), A3D_OK);
    EXPECT_EQ(a3d_c::OpenDevices(), open - 1);
    EXPECT_EQ(source->Play(A3D_SINGLE), A3DERR_NOT_INITIALIZED);
    u32 status = 0;
    EXPECT_EQ(source->GetStatus(&status), A3DERR_NOT_INITIALIZED);
    a3d_listener_c* listener = nullptr;
    EXPECT_EQ(_a3d->QueryListener(&listener), A3DERR_NOT_INITIALIZED);
    EXPECT_EQ(_a3d->Shutdown(), A3DERR_NOT_INITIALIZED);
    source.reset();
}

TEST(A3dSystemDevice, UnknownDeviceNameFailsInitAndLeavesNothingOpen)
{
    a3d_c::UseSystemDevice("no such output");
    std::unique_ptr<a3d_c> a3d;
    ASSERT_EQ(a3d_c::Create(&a3d), A3D_OK);
    const int open = a3d_c::OpenDevices();
    EXPECT_EQ(a3d->Init(0, 128, 0, nullptr, 3), A3DERR_NO_DEVICE);
    EXPECT_EQ(a3d_c::OpenDevices(), open);
    a3d_listener_c* listener = nullptr;
    EXPECT_EQ(a3d->QueryListener(&listener), A3DERR_NOT_INITIALIZED);
    std::unique_ptr<a3d_source_c> source;
    EXPECT_EQ(a3d->NewSource(0, &source), A3DERR_NOT_INITIALIZED);
    a3d_c::UseSystemDevice();
}

// On the system output (the null backend in tests) ring play moves on by
// itself, in real time.
TEST(A3dSystemDevice, RingEventsArriveInRealTime)
{
    a3d_c::UseSystemDevice();
    std::unique_ptr<a3d_c> a3d;
    ASSERT_EQ(a3d_c::Create(&a3d), A3D_OK);
    ASSERT_EQ(a3d->Init(0, 128, 0, nullptr, 3), A3D_OK);
    std::unique_ptr<a3d_source_c> source;
    ASSERT_EQ(a3d->NewSource(A3DSOURCE_2D, &source), A3D_OK);
    ASSERT_EQ(source->SetWaveFormat(Format(2, 16)), A3D_OK);
    ASSERT_EQ(source->AllocateAudioData(4 * 2205 * 4), A3D_OK);
    std::vector<std::unique_ptr<event_c>> events;
    std::vector<event_c*> list;
    std::vector<u32> positions;
    for (u32 s = 0; s < 4; ++s) {
        events.push_back(std::make_unique<event_c>());
        list.push_back(events.back().get());
        positions.push_back(((s + 1) % 4) * 2205 * 4);
    }
    ASSERT_EQ(source->SetNotifications(4, positions.data(), list.data()), A3D_OK);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(source->Play(A3D_LOOPED), A3D_OK);
    for (u32 round = 0; round < 6; ++round)
        ASSERT_TRUE(events[round % 4]->Wait(2000)) << round;
    // Six segments of 50 ms cannot have played much sooner.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    ASSERT_EQ(source->Stop(), A3D_OK);
}

} // namespace
