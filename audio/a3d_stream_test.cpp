#include "audio/a3d_stream.h"

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "audio/testing/a3d_fixtures.h"
#include "audio/testing/audio_fixtures.h"
#include "audio/testing/memory_file_system.h"

namespace {

using namespace std::chrono_literals;

constexpr u32 rate = 44100;
constexpr u32 refill_thread = 0x10000;

enum class kind_e { ogg, mpeg };

class A3dStream : public ::testing::TestWithParam<kind_e> {
protected:
    void SetUp() override
    {
        a3d_c::UseLoopback(rate);
        _path = GetParam() == kind_e::ogg ? "music.ogg" : "music.mp3";
        const double seconds = 1.5;
        std::vector<u8> bytes;
        if (GetParam() == kind_e::ogg)
            bytes = MakeOggVorbis(rate, 2, static_cast<u32>(seconds * rate),
                                  [](u32 f, u32 c) { return audio_testing::TestSignal(f, c, rate); });
        else
            bytes = audio_testing::EncodeLame(rate, 2, seconds, "-b 128");
        ASSERT_FALSE(bytes.empty());
        _files.Add(_path, bytes);
        _device = std::make_unique<a3d_device_c>(nullptr, -1, -1, 8);
    }
    void TearDown() override
    {
        _device.reset();
        a3d_c::UseSystemDevice();
    }

    sound_source_c* Create(float seconds, u32 flags)
    {
        return GetParam() == kind_e::ogg ? _device->CreateOggSource(_path.c_str(), seconds, flags)
                                         : _device->CreateMpegSource(_path.c_str(), seconds, flags);
    }

    // The same file decoded by the data source alone, as the device would
    // sound it.
    std::vector<f32> Direct(u32 frames, bool looping = false, float loop_start = 0)
    {
        sound_system_c library(0);
        std::unique_ptr<sound_source_c> source(GetParam() == kind_e::ogg
                                                   ? library.CreateOggSource(_path.c_str(), 0, 0)
                                                   : library.CreateMpegSource(_path.c_str(), 0, 0));
        source->SetLoopStart(loop_start);
        source->SetLooping(looping);
        return a3d_testing::DecodeAsOutput(*source, frames);
    }

    // Plays without a refill thread: render a little, refill, and so on.
    std::vector<f32> Polled(sound_source_c& stream, u32 frames)
    {
        std::vector<f32> out;
        for (u32 done = 0; done < frames;) {
            const u32 now = std::min<u32>(256, frames - done);
            std::vector<f32> part = a3d_testing::Render(*_device, now);
            out.insert(out.end(), part.begin(), part.end());
            done += now;
            stream.Update();
        }
        return out;
    }

    // Renders half a ring at a time, as fast as the stream's thread refills
    // it: however the machine schedules that thread, the device never plays
    // a segment before it has been refilled.
    std::vector<f32> Paced(sound_source_c& stream, u32 frames)
    {
        auto& ring = dynamic_cast<a3d_stream_c&>(stream);
        const u32 frame_bytes = stream.GetChannels() * stream.GetBitsPerSample() / 8;
        const u32 chunk = static_cast<u32>(ring.GetSegmentSize()) / frame_bytes * (ring.GetSegmentCount() / 2);
        std::vector<f32> out;
        for (u32 done = 0; done < frames;) {
            const u32 now = std::min(chunk, frames - done);
            std::vector<f32> part = a3d_testing::Render(*_device, now);
            out.insert(out.end(), part.begin(), part.end());
            done += now;
            const u32 seen = ring.GetRefillPasses();
            const auto deadline = std::chrono::steady_clock::now() + 60s;
            while (stream.IsPlaying() && ring.GetRefillPasses() < seen + 2) {
                if (std::chrono::steady_clock::now() > deadline) {
                    ADD_FAILURE() << "the refill thread stalled";
                    return out;
                }
                std::this_thread::sleep_for(1ms);
            }
        }
        return out;
    }

    static void ExpectSame(const std::vector<f32>& heard, const std::vector<f32>& expected, size_t from = 0)
    {
        ASSERT_EQ(heard.size(), expected.size());
        for (size_t i = from; i < heard.size(); ++i)
            ASSERT_EQ(heard[i], expected[i]) << "frame " << i / 2 << " channel " << i % 2;
    }

    audio_testing::memory_file_system_c _files;
    std::string _path;
    std::unique_ptr<a3d_device_c> _device;
};

TEST_P(A3dStream, PolledStreamSoundsLikeTheFileAcrossRingWraps)
{
    std::unique_ptr<sound_source_c> stream(Create(0.25f, 0));
    ASSERT_TRUE(stream->Play());
    // 1.5 s through a ring of 0.25 s wraps six times.
    const u32 frames = static_cast<u32>(1.4 * rate);
    ExpectSame(Polled(*stream, frames), Direct(frames));
}

TEST_P(A3dStream, LoopingStreamContinuesAtTheLoopStart)
{
    std::unique_ptr<sound_source_c> stream(Create(0.25f, 0));
    ASSERT_TRUE(stream->SetLoopStart(0.5f));
    ASSERT_TRUE(stream->SetLooping(true));
    ASSERT_TRUE(stream->Play());
    const u32 frames = static_cast<u32>(3.5 * rate);
    ExpectSame(Polled(*stream, frames), Direct(frames, true, 0.5f));
    EXPECT_TRUE(stream->IsPlaying());
}

TEST_P(A3dStream, StreamStopsAfterItsDataAndPlaysAgainFromTheStart)
{
    std::unique_ptr<sound_source_c> stream(Create(0.25f, 0));
    ASSERT_TRUE(stream->Play());
    const u32 frames = 2 * rate;
    std::vector<f32> heard = Polled(*stream, frames);
    ExpectSame(heard, Direct(frames));
    EXPECT_FALSE(stream->IsPlaying());
    ASSERT_TRUE(stream->Play());
    const u32 again = rate / 2;
    ExpectSame(Polled(*stream, again), Direct(again));
}

TEST_P(A3dStream, DataShorterThanTheRingStopsAfterItsEnd)
{
    std::unique_ptr<sound_source_c> stream(Create(2.0f, 0));
    ASSERT_TRUE(stream->Play());
    const u32 frames = static_cast<u32>(1.6 * rate);
    ExpectSame(Polled(*stream, frames), Direct(frames));
    EXPECT_FALSE(stream->IsPlaying());
}

TEST_P(A3dStream, ThreadedStreamEndsByItselfAndPlaysAgain)
{
    std::unique_ptr<sound_source_c> stream(Create(0.5f, refill_thread));
    ASSERT_TRUE(stream->Play());
    const u32 frames = 2 * rate;
    ExpectSame(Paced(*stream, frames), Direct(frames));
    EXPECT_FALSE(stream->IsPlaying());
    ASSERT_TRUE(stream->Play());
    EXPECT_TRUE(stream->IsPlaying());
    ExpectSame(Paced(*stream, rate / 2), Direct(rate / 2));
}

TEST_P(A3dStream, ThreadedStreamSoundsLikeTheFile)
{
    std::unique_ptr<sound_source_c> stream(Create(0.5f, refill_thread));
    ASSERT_TRUE(stream->SetLooping(true));
    ASSERT_TRUE(stream->Play());
    const u32 frames = static_cast<u32>(2.0 * rate);
    ExpectSame(Paced(*stream, frames), Direct(frames, true));
}

TEST_P(A3dStream, StopAndPlayContinueWithoutAGap)
{
    std::unique_ptr<sound_source_c> stream(Create(0.5f, refill_thread));
    ASSERT_TRUE(stream->SetLooping(true));
    ASSERT_TRUE(stream->Play());
    std::vector<f32> heard = Paced(*stream, rate / 2);
    ASSERT_TRUE(stream->Stop());
    EXPECT_FALSE(stream->IsPlaying());
    std::vector<f32> silent = a3d_testing::Render(*_device, 4096);
    for (f32 v : silent)
        ASSERT_EQ(v, 0.0f);
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(stream->Play());
    EXPECT_TRUE(stream->IsPlaying());
    std::vector<f32> rest = Paced(*stream, rate);
    heard.insert(heard.end(), rest.begin(), rest.end());
    ExpectSame(heard, Direct(rate + rate / 2, true));
}

TEST_P(A3dStream, DestroyedWhileItsThreadRuns)
{
    for (int round = 0; round < 3; ++round) {
        std::unique_ptr<sound_source_c> stream(Create(0.5f, refill_thread));
        ASSERT_TRUE(stream->SetLooping(true));
        ASSERT_TRUE(stream->Play());
        Paced(*stream, rate / 4);
        const vec3_c here(1, 2, 3);
        stream->SetVolume(-3.0f);
        stream->SetPosition(&here);
        stream.reset();
    }
}

TEST_P(A3dStream, DestroyedWithoutEverPlaying)
{
    std::unique_ptr<sound_source_c> stream(Create(0.5f, refill_thread));
    EXPECT_FALSE(stream->IsPlaying());
}

TEST_P(A3dStream, DeviceDeletedWhileAThreadedStreamPlays)
{
    sound_source_c* stream = Create(0.5f, refill_thread);
    ASSERT_TRUE(stream->Play());
    Paced(*stream, rate / 8);
    _device.reset();
}

TEST_P(A3dStream, CloneStartsTheSameFileWithTheSameRing)
{
    std::unique_ptr<sound_source_c> stream(Create(0.25f, 0));
    ASSERT_TRUE(stream->Play());
    Polled(*stream, rate / 4);
    std::unique_ptr<sound_source_c> copy(stream->Clone());
    stream.reset();
    EXPECT_EQ(dynamic_cast<a3d_stream_c&>(*copy).GetSegmentCount(), 32);
    ASSERT_TRUE(copy->Play());
    const u32 frames = rate / 2;
    ExpectSame(Polled(*copy, frames), Direct(frames));
}

INSTANTIATE_TEST_SUITE_P(Kinds, A3dStream, ::testing::Values(kind_e::ogg, kind_e::mpeg),
                         [](const auto& info) { return info.param == kind_e::ogg ? "Ogg" : "Mpeg"; });

struct ring_case_c {
    float seconds;
    u32 flags;
    int segments;
    int segment_size;
    u32 period;
};

TEST(A3dStreamRing, SegmentsFollowTheRingLength)
{
    a3d_c::UseLoopback(rate);
    audio_testing::memory_file_system_c files;
    const char* path = "tone.ogg";
    files.Add(path,
              MakeOggVorbis(rate, 2, rate / 2, [](u32 f, u32 c) { return audio_testing::TestSignal(f, c, rate); }));
    {
        a3d_device_c device(nullptr, -1, -1, 8);
        const ring_case_c cases[] = {
            {2.0f, refill_thread, 32, 11024, 62},
            {0.5f, 0, 64, 1376, 7},
            // Rings shorter than two segments get two.
            {0.0f, refill_thread, 2, 2756 * 4, 62},
            {-1.0f, 0, 2, 344 * 4, 7},
            {0.01f, 0, 2, 344 * 4, 7},
        };
        for (const ring_case_c& c : cases) {
            std::unique_ptr<sound_source_c> stream(device.CreateOggSource(path, c.seconds, c.flags));
            auto& ring = dynamic_cast<a3d_stream_c&>(*stream);
            EXPECT_EQ(ring.GetSegmentCount(), c.segments) << c.seconds;
            EXPECT_EQ(ring.GetSegmentSize(), c.segment_size) << c.seconds;
            EXPECT_EQ(ring.GetRefillPeriod(), c.period) << c.seconds;
            EXPECT_EQ(ring.HasRefillThread(), c.flags != 0);
        }
    }
    a3d_c::UseSystemDevice();
}

TEST(A3dStreamRing, UnreadableFileFailsBeforeAnyBufferIsMade)
{
    a3d_c::UseLoopback(rate);
    audio_testing::memory_file_system_c files;
    files.Add("not.ogg", std::vector<u8>(100, 7));
    {
        a3d_device_c device(nullptr, -1, -1, 8);
        try {
            device.CreateOggSource("not.ogg", 1.0f, refill_thread);
            ADD_FAILURE() << "no exception";
        } catch (const file_error_c& error) {
            EXPECT_STREQ(error.what(), "File is not an OGG bitstream!");
        }
        EXPECT_EQ(device.GetSourceCount(), 0u);
        EXPECT_TRUE(device.SetRolloffFactor(1.0f));
    }
    a3d_c::UseSystemDevice();
}

} // namespace
