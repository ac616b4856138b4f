#include "audio/mpeg_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "audio/testing/audio_fixtures.h"
#include "foundation/byte_stream.h"

using namespace audio_testing;

namespace {

// The standard's full-accuracy bounds for float output.
const double rms_bound = std::pow(2.0, -15) / std::sqrt(12.0);
const double peak_bound = std::pow(2.0, -14);

// Variable-bit-rate sizes are estimates, so only constant rates check the length.
void ExpectMatchesReference(const std::vector<u8>& mpeg, const std::string& what, bool constant_rate = true)
{
    ASSERT_FALSE(mpeg.empty()) << what << ": no stream";
    const decoded_c reference = ReferenceDecode(mpeg, true);
    const decoded_c ours = OurDecode(mpeg, true);
    ASSERT_EQ(ours.rate, reference.rate) << what;
    ASSERT_EQ(ours.channels, reference.channels) << what;
    ASSERT_FALSE(reference.floats.empty()) << what;
    // Our size is the stream's estimated unit count; allow one unit either way.
    const size_t unit = 1152 * ours.channels;
    const size_t a = ours.floats.size(), b = reference.floats.size();
    if (constant_rate) {
        EXPECT_LE(a > b ? a - b : b - a, unit) << what;
    }
    const size_t n = std::min(a, b);
    double sum = 0.0, peak = 0.0;
    size_t worst = 0;
    for (size_t i = 0; i < n; ++i) {
        const double d = std::fabs(double(ours.floats[i]) - double(reference.floats[i]));
        sum += d * d;
        if (d > peak) {
            peak = d;
            worst = i;
        }
    }
    const double rms = std::sqrt(sum / double(n));
    EXPECT_LT(rms, rms_bound) << what;
    EXPECT_LT(peak, peak_bound) << what << " at sample " << worst << " of " << n << " (ours " << ours.floats[worst]
                                << ", reference " << reference.floats[worst] << ")";

    const decoded_c reference16 = ReferenceDecode(mpeg, false);
    const decoded_c ours16 = OurDecode(mpeg, false);
    const size_t n16 = std::min(ours16.shorts.size(), reference16.shorts.size());
    int worst16 = 0;
    for (size_t i = 0; i < n16; ++i)
        worst16 = std::max(worst16, std::abs(ours16.shorts[i] - reference16.shorts[i]));
    EXPECT_LE(worst16, 1) << what;
}

struct encoded_case_c {
    const char* name;
    const char* encoder; // "lame" (layer III) or "twolame" (layer II)
    u32 rate;
    u32 channels;
    const char* options;
};

class encoded_streams : public ::testing::TestWithParam<encoded_case_c> {};

TEST_P(encoded_streams, match_the_reference_decoder)
{
    const encoded_case_c& c = GetParam();
    if (!HaveProgram(c.encoder))
        GTEST_SKIP() << c.encoder << " is not installed";
    const bool lame = std::string(c.encoder) == "lame";
    const std::vector<u8> mpeg =
        lame ? EncodeLame(c.rate, c.channels, 2.0, c.options) : EncodeTwolame(c.rate, c.channels, 2.0, c.options);
    ExpectMatchesReference(mpeg, c.name, std::string(c.options).find("-V") == std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    layers, encoded_streams,
    ::testing::Values(encoded_case_c{"l3_mpeg1_44k_joint_cbr", "lame", 44100, 2, "-b 128"},
                      encoded_case_c{"l3_mpeg1_48k_stereo_cbr", "lame", 48000, 2, "-m s -b 192"},
                      encoded_case_c{"l3_mpeg1_32k_mono_cbr", "lame", 32000, 1, "-b 64"},
                      encoded_case_c{"l3_mpeg1_44k_joint_vbr", "lame", 44100, 2, "-V 2"},
                      encoded_case_c{"l3_mpeg1_44k_mono_vbr", "lame", 44100, 1, "-V 5"},
                      encoded_case_c{"l3_mpeg1_44k_320", "lame", 44100, 2, "-b 320"},
                      encoded_case_c{"l3_mpeg2_22k_joint_cbr", "lame", 22050, 2, "-b 64"},
                      encoded_case_c{"l3_mpeg2_24k_stereo_vbr", "lame", 24000, 2, "-m s -V 4"},
                      encoded_case_c{"l3_mpeg2_16k_mono_cbr", "lame", 16000, 1, "-b 32"},
                      encoded_case_c{"l3_mpeg25_11k_joint_cbr", "lame", 11025, 2, "-b 32"},
                      encoded_case_c{"l3_mpeg25_12k_mono_vbr", "lame", 12000, 1, "-V 6"},
                      encoded_case_c{"l3_mpeg25_8k_mono_cbr", "lame", 8000, 1, "-b 16"},
                      encoded_case_c{"l3_mpeg25_8k_stereo_cbr", "lame", 8000, 2, "-m s -b 24"},
                      encoded_case_c{"l2_mpeg1_48k_stereo_192", "twolame", 48000, 2, "-m s -b 192"},
                      encoded_case_c{"l2_mpeg1_44k_joint_128", "twolame", 44100, 2, "-m j -b 128"},
                      encoded_case_c{"l2_mpeg1_44k_stereo_384", "twolame", 44100, 2, "-m s -b 384"},
                      encoded_case_c{"l2_mpeg1_32k_mono_56", "twolame", 32000, 1, "-m m -b 56"},
                      encoded_case_c{"l2_mpeg1_48k_mono_32", "twolame", 48000, 1, "-m m -b 32"},
                      encoded_case_c{"l2_mpeg1_32k_stereo_64", "twolame", 32000, 2, "-m s -b 64"},
                      encoded_case_c{"l2_mpeg2_24k_stereo_96", "twolame", 24000, 2, "-m s -b 96"},
                      encoded_case_c{"l2_mpeg2_16k_mono_32", "twolame", 16000, 1, "-m m -b 32"}),
    [](const ::testing::TestParamInfo<encoded_case_c>& info) { return std::string(info.param.name); });

TEST(layer3_streams, written_frames_match_the_reference_decoder)
{
    // Intensity, mid/side, both and neither, with every block type. Intensity
    // at the lower rates is left out: there the reference and this decoder part
    // on frames with start and stop windows, and the reference is no judge.
    for (u32 extension = 0; extension < 4; ++extension)
        for (u32 seed = 1; seed <= 3; ++seed)
            for (bool lower_rate : {false, true})
                if (!(lower_rate && (extension & 1)))
                    ExpectMatchesReference(MakeLayer3({24, seed * 10 + extension, extension, lower_rate}),
                                           std::string(lower_rate ? "MPEG-2" : "MPEG-1") + " mode extension " +
                                               std::to_string(extension) + " seed " + std::to_string(seed));
}

// Start and stop blocks may carry the mixed-block flag: their two lowest
// subbands then take the normal window.
TEST(layer3_streams, mixed_start_and_stop_blocks_match_the_reference_decoder)
{
    for (u32 extension : {0u, 2u})
        for (u32 seed = 1; seed <= 3; ++seed)
            for (bool lower_rate : {false, true})
                ExpectMatchesReference(MakeLayer3({24, seed * 10 + extension, extension, lower_rate, true}),
                                       std::string(lower_rate ? "MPEG-2" : "MPEG-1") + " mode extension " +
                                           std::to_string(extension) + " seed " + std::to_string(seed));
}

TEST(layer1_streams, match_the_reference_decoder)
{
    struct case_c {
        const char* name;
        layer1_options_c options;
    };
    const case_c cases[] = {
        {"mpeg1_stereo", {0, 1, 12, 0, 30, 1}},    {"mpeg1_joint", {0, 1, 14, 1, 30, 2}},
        {"mpeg1_mono_44k", {0, 0, 6, 3, 30, 3}},   {"mpeg2_stereo_24k", {1, 1, 12, 0, 30, 4}},
        {"mpeg2_joint_16k", {1, 2, 10, 1, 30, 5}},
    };
    for (const case_c& c : cases)
        ExpectMatchesReference(MakeLayer1(c.options), c.name);
}

// Three layer I frames make a unit; a last unit of one or two frames is played.
TEST(layer1_streams, a_last_short_unit_is_played)
{
    for (u32 frames : {30u, 31u, 32u, 1u, 2u}) {
        const decoded_c ours = OurDecode(MakeLayer1({0, 1, 12, 0, frames, frames}), true);
        EXPECT_EQ(ours.floats.size(), size_t(frames) * 384 * 2) << frames;
    }
}

// The size is estimated from the first frames; a stream whose rate drops
// later is longer than that, and is played to its last frame.
TEST(layer3_streams, a_later_change_of_bit_rate_loses_nothing)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const u32 rate = 44100;
    const std::vector<u8> wave =
        MakeWave(rate, 1, rate * 8, [&](u32 f, u32 c) { return f < 2 * rate ? TestSignal(f, c, rate) : 0.0; });
    const std::vector<u8> mpeg = EncodeLameWave(wave, "-V 0");
    ASSERT_FALSE(mpeg.empty());
    memory_stream_c input;
    input.Open(mpeg.data(), int(mpeg.size()));
    mpeg_decoder_c decoder;
    ASSERT_EQ(decoder.Open(&input, nullptr, nullptr, 0, 0, 0), 0);
    const decoded_c reference = ReferenceDecode(mpeg, true);
    ASSERT_LT(size_t(decoder.GetSize()) / 4, reference.floats.size()) << "the estimate should fall short";
    const decoded_c ours = OurDecode(mpeg, true);
    EXPECT_EQ(ours.floats.size(), reference.floats.size());
    ExpectMatchesReference(mpeg, "rate drops after two seconds");
}

// A decoder opened on bytes in memory.
struct opened_c {
    memory_stream_c input;
    mpeg_decoder_c decoder;
    u32 rate = 0;
    bool stereo = false;
    int result = -1;
    explicit opened_c(const std::vector<u8>& bytes, int sixteen_bit = 1, int downsample = 0, int channels = 0)
    {
        input.Open(bytes.data(), int(bytes.size()));
        result = decoder.Open(&input, &rate, &stereo, sixteen_bit, downsample, channels);
    }
};

std::vector<u8> DecodeAll(const std::vector<u8>& mpeg)
{
    opened_c opened(mpeg);
    mpeg_decoder_c& decoder = opened.decoder;
    if (opened.result != 0)
        return {};
    std::vector<u8> out(size_t(decoder.GetSize()));
    out.resize(decoder.Read(out.data(), u32(out.size())));
    return out;
}

void ExpectSeeksExact(const std::vector<u8>& mpeg, const std::string& what)
{
    ASSERT_FALSE(mpeg.empty()) << what;
    const std::vector<u8> whole = DecodeAll(mpeg);
    ASSERT_FALSE(whole.empty()) << what;
    opened_c opened(mpeg);
    mpeg_decoder_c& decoder = opened.decoder;
    ASSERT_EQ(opened.result, 0);
    const u64 unit = decoder.UnitBytes();
    // The size counts whole units; a last unit of fewer frames is shorter.
    const u64 size = whole.size();
    ASSERT_GE(u64(decoder.GetSize()), size) << what;
    ASSERT_LT(u64(decoder.GetSize()) - size, unit) << what;
    const u64 frame_bytes = (opened.stereo ? 4 : 2);
    const u64 targets[] = {size / 2 / frame_bytes * frame_bytes, unit * 3,    0,
                           unit * 7 + 100 * frame_bytes,         size - unit, unit + 2 * frame_bytes,
                           size / 3 / frame_bytes * frame_bytes};
    for (u64 target : targets) {
        ASSERT_EQ(decoder.Seek(target), target) << what;
        std::vector<u8> got(size_t(std::min<u64>(unit * 3, size - target)));
        ASSERT_EQ(decoder.Read(got.data(), u32(got.size())), got.size()) << what << " at " << target;
        EXPECT_EQ(0, std::memcmp(got.data(), whole.data() + target, got.size())) << what << " at " << target;
    }
}

TEST(mpeg_decoder, seeking_gives_the_samples_of_decoding_from_the_start)
{
    if (HaveProgram("lame")) {
        ExpectSeeksExact(EncodeLame(44100, 2, 3.0, "-b 128"), "layer III 44.1 kHz");
        ExpectSeeksExact(EncodeLame(22050, 1, 3.0, "-b 40"), "layer III 22.05 kHz");
        ExpectSeeksExact(EncodeLame(48000, 2, 3.0, "-b 256"), "layer III 48 kHz");
    }
    // twolame leaves out the padding bytes at 44.1 kHz, so its frames there do
    // not sit at the positions of their nominal bit rate; 48 kHz needs none.
    if (HaveProgram("twolame"))
        ExpectSeeksExact(EncodeTwolame(48000, 2, 3.0, "-b 192"), "layer II");
    ExpectSeeksExact(MakeLayer1({0, 1, 12, 0, 60, 9}), "layer I");
}

TEST(mpeg_decoder, reports_rate_channels_and_size)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const std::vector<u8> mpeg = EncodeLame(22050, 2, 1.0, "-b 64");
    opened_c opened(mpeg);
    mpeg_decoder_c& decoder = opened.decoder;
    ASSERT_EQ(opened.result, 0);
    EXPECT_EQ(opened.rate, 22050u);
    EXPECT_TRUE(opened.stereo);
    // Two 576-sample frames make one unit.
    const u64 frames = mpeg.size() / (72 * 64000 / 22050);
    EXPECT_NEAR(double(decoder.GetSize()), double(frames / 2 * 1152 * 4), 1152.0 * 4);
}

TEST(mpeg_decoder, downsampling_and_channel_choice)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const std::vector<u8> mpeg = EncodeLame(44100, 2, 1.0, "-b 128");
    struct case_c {
        int downsample, channels;
        u32 rate;
        bool stereo;
        u32 unit;
    };
    const case_c cases[] = {{0, 0, 44100, true, 4608},
                            {1, 0, 22050, true, 2304},
                            {2, 1, 11025, false, 576},
                            {5, 2, 11025, true, 1152},
                            {-1, 1, 44100, false, 2304}};
    const std::vector<u8> full = DecodeAll(mpeg);
    for (const case_c& c : cases) {
        opened_c opened(mpeg, 1, c.downsample, c.channels);
        mpeg_decoder_c& decoder = opened.decoder;
        ASSERT_EQ(opened.result, 0);
        EXPECT_EQ(opened.rate, c.rate);
        EXPECT_EQ(opened.stereo, c.stereo);
        EXPECT_EQ(decoder.UnitBytes(), c.unit);
        std::vector<u8> out(size_t(decoder.GetSize()));
        EXPECT_EQ(decoder.Read(out.data(), u32(out.size())), out.size());
        if (c.downsample == -1) {
            // The mono mix is the mean of the two channels.
            for (size_t i = 1000; i < 1100; ++i) {
                i16 left, right, mono;
                std::memcpy(&left, &full[i * 4], 2);
                std::memcpy(&right, &full[i * 4 + 2], 2);
                std::memcpy(&mono, &out[i * 2], 2);
                EXPECT_NEAR(mono, (left + right) / 2.0, 1.0);
            }
        }
    }
}

TEST(mpeg_decoder, refuses_streams_that_do_not_start_with_a_frame)
{
    std::vector<u8> junk(4000, 0x55);
    const std::vector<u8> layer1 = MakeLayer1({});
    junk.insert(junk.end(), layer1.begin(), layer1.end());
    std::vector<u8> free_format = layer1;
    free_format[2] &= 0x0F; // bit-rate index 0
    std::vector<u8> forbidden = layer1;
    forbidden[2] |= 0xF0; // bit-rate index 15
    std::vector<u8> layer1_at_25 = layer1;
    layer1_at_25[1] &= 0xE7; // version bits 00: MPEG-2.5 is layer III only
    const std::vector<u8> empty;
    for (const std::vector<u8>* bytes :
         std::vector<const std::vector<u8>*>{&junk, &free_format, &forbidden, &layer1_at_25, &empty}) {
        opened_c opened(*bytes);
        EXPECT_EQ(opened.result, -1);
    }
}

TEST(mpeg_decoder, skips_frames_that_change_rate_or_mode)
{
    const std::vector<u8> a = MakeLayer1({0, 1, 12, 0, 30, 1});
    const std::vector<u8> other_rate = MakeLayer1({0, 0, 12, 0, 9, 2});
    const std::vector<u8> mono = MakeLayer1({0, 1, 12, 3, 9, 3});
    const std::vector<u8> joint = MakeLayer1({0, 1, 12, 1, 3, 4});
    std::vector<u8> mixed = a;
    mixed.insert(mixed.end(), other_rate.begin(), other_rate.end());
    mixed.insert(mixed.end(), mono.begin(), mono.end());
    mixed.insert(mixed.end(), joint.begin(), joint.end());
    mixed.insert(mixed.end(), a.begin(), a.end());
    std::vector<u8> out(1 << 22);
    opened_c opened(mixed);
    mpeg_decoder_c& decoder = opened.decoder;
    ASSERT_EQ(opened.result, 0);
    EXPECT_EQ(opened.rate, 48000u);
    // 63 frames of this stream (joint stereo counts as stereo) are 21 units.
    const u32 got = decoder.Read(out.data(), u32(out.size()));
    EXPECT_EQ(got, 21u * 1152 * 4);
    EXPECT_TRUE(decoder.Control(49, 0, 0));
}

// Byte spans of the frames of a stream that starts with a frame.
std::vector<std::vector<u8>> SplitFrames(const std::vector<u8>& mpeg)
{
    std::vector<std::vector<u8>> frames;
    mpeg_header_c header;
    for (size_t at = 0; at + 4 <= mpeg.size() && header.Parse(MpegWord(mpeg.data() + at));) {
        const size_t end = std::min(mpeg.size(), at + header.FrameBytes());
        frames.emplace_back(mpeg.begin() + long(at), mpeg.begin() + long(end));
        at = end;
    }
    return frames;
}

// Frames after passed-over ones decode as the same frames would on their own:
// nothing left in the reservoir, the overlap or the synthesis history.
TEST(mpeg_decoder, frames_after_skipped_ones_start_afresh)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const std::vector<u8> first = EncodeLame(44100, 2, 1.0, "-b 128");
    const std::vector<u8> mono = EncodeLame(44100, 1, 0.5, "-b 64");
    const std::vector<std::vector<u8>> later = SplitFrames(EncodeLame(44100, 2, 2.0, "-b 128"));
    ASSERT_GT(later.size(), 40u);
    std::vector<u8> tail;
    for (size_t f = 20; f < later.size(); ++f)
        tail.insert(tail.end(), later[f].begin(), later[f].end());
    std::vector<u8> joined = first;
    joined.insert(joined.end(), mono.begin(), mono.end());
    joined.insert(joined.end(), tail.begin(), tail.end());

    const decoded_c alone = OurDecode(tail, true);
    const decoded_c after = OurDecode(joined, true);
    ASSERT_FALSE(alone.floats.empty());
    ASSERT_GE(after.floats.size(), alone.floats.size());
    const size_t start = after.floats.size() - alone.floats.size();
    size_t differing = 0;
    float worst = 0.0f;
    for (size_t i = 0; i < alone.floats.size(); ++i) {
        const float d = std::fabs(after.floats[start + i] - alone.floats[i]);
        differing += d != 0.0f;
        worst = std::max(worst, d);
    }
    EXPECT_EQ(differing, 0u) << "largest difference " << worst;
}

// Float samples go to any byte of the caller's buffer.
TEST(mpeg_decoder, float_output_to_an_unaligned_buffer)
{
    const std::vector<u8> mpeg = MakeLayer1({0, 1, 12, 0, 30, 5});
    const decoded_c aligned = OurDecode(mpeg, true);
    opened_c opened(mpeg, 0);
    ASSERT_EQ(opened.result, 0);
    const size_t size = aligned.floats.size() * 4;
    std::vector<u8> buffer(size + 1);
    size_t done = 0;
    // Odd pieces: whole units converted in place and remainders through the unit buffer.
    for (int piece : {1, 9999, 27649, 3, 100001}) {
        const int got = opened.decoder.Read(buffer.data() + 1 + done, int(std::min<size_t>(piece, size - done)));
        done += size_t(std::max(got, 0));
    }
    ASSERT_EQ(done, size);
    EXPECT_EQ(0, std::memcmp(buffer.data() + 1, aligned.floats.data(), size));
}

TEST(mpeg_decoder, mutes_a_frame_whose_main_data_lies_before_the_stream)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    std::vector<u8> mpeg = EncodeLame(44100, 1, 1.0, "-b 128");
    ASSERT_GT(mpeg.size(), 100u);
    // main_data_begin is the first 9 bits after the header; point it 200 bytes back.
    mpeg[4] = u8(200 >> 1);
    mpeg[5] = u8((mpeg[5] & 0x7F) | ((200 & 1) << 7));
    opened_c opened(mpeg);
    mpeg_decoder_c& decoder = opened.decoder;
    ASSERT_EQ(opened.result, 0);
    std::vector<u8> first(1152 * 2);
    ASSERT_EQ(decoder.Read(first.data(), u32(first.size())), first.size());
    for (u8 b : first)
        ASSERT_EQ(b, 0);
    std::vector<u8> rest(size_t(decoder.GetSize() - first.size()));
    EXPECT_EQ(decoder.Read(rest.data(), u32(rest.size())), rest.size());
}

TEST(mpeg_decoder, survives_damaged_streams)
{
    std::vector<std::vector<u8>> streams = {MakeLayer1({0, 1, 12, 1, 20, 7})};
    if (HaveProgram("lame")) {
        streams.push_back(EncodeLame(44100, 2, 1.0, "-b 128"));
        streams.push_back(EncodeLame(16000, 2, 1.0, "-b 32"));
    }
    if (HaveProgram("twolame"))
        streams.push_back(EncodeTwolame(48000, 2, 1.0, "-b 192"));
    u32 random = 99;
    for (const std::vector<u8>& clean : streams) {
        for (int round = 0; round < 20; ++round) {
            std::vector<u8> bytes = clean;
            // Keep the first header so that the stream opens; damage the rest.
            for (int i = 0; i < 200; ++i) {
                random = random * 1664525u + 1013904223u;
                const size_t at = 4 + (random >> 8) % (bytes.size() - 4);
                bytes[at] ^= u8(1u << (random & 7));
            }
            opened_c opened(bytes);
            mpeg_decoder_c& decoder = opened.decoder;
            if (opened.result != 0)
                continue;
            std::vector<u8> out(size_t(decoder.GetSize()));
            decoder.Read(out.data(), u32(out.size()));
            decoder.Seek(decoder.GetSize() / 2);
            decoder.Read(out.data(), u32(out.size()));
        }
    }
}

} // namespace

namespace {

// A stream that can only be read forward, in pieces of at most 1000 bytes.
class forward_stream_c : public stream_c {
public:
    explicit forward_stream_c(const std::vector<u8>& bytes) : _bytes(bytes) { Init(kReadable, 0, int(bytes.size())); }
    ~forward_stream_c() override { Close(); }

protected:
    int RawRead(void* buffer, int n) override
    {
        const size_t count = std::min({size_t(n), size_t(1000), _bytes.size() - _at});
        std::memcpy(buffer, _bytes.data() + _at, count);
        _at += count;
        return int(count);
    }

private:
    const std::vector<u8>& _bytes;
    size_t _at = 0;
};

TEST(mpeg_decoder, decodes_an_input_that_cannot_seek)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const std::vector<u8> mpeg = EncodeLame(44100, 2, 1.0, "-b 160");
    const std::vector<u8> whole = DecodeAll(mpeg);
    forward_stream_c input(mpeg);
    mpeg_decoder_c decoder;
    u32 rate;
    bool stereo;
    ASSERT_EQ(decoder.Open(&input, &rate, &stereo, 1, 0, 0), 0);
    EXPECT_EQ(decoder.GetMode() & stream_c::kSeekable, 0u);
    std::vector<u8> out(whole.size());
    // Seeking does nothing on such a stream.
    EXPECT_EQ(decoder.Seek(50000), 0);
    ASSERT_EQ(decoder.Read(out.data(), int(out.size())), int(out.size()));
    EXPECT_EQ(out, whole);
    EXPECT_EQ(decoder.Control(49, 0, 0), 1);
}

} // namespace

namespace {

TEST(mpeg_decoder, output_gain)
{
    const std::vector<u8> mpeg = MakeLayer1({0, 1, 12, 0, 30, 11});
    opened_c opened(mpeg, 0, 0, 0);
    mpeg_decoder_c& decoder = opened.decoder;
    ASSERT_EQ(opened.result, 0);
    std::vector<float> full(1152 * 2), half(1152 * 2);
    ASSERT_EQ(decoder.Read(full.data(), 1152 * 8), 1152 * 8);
    const float gain = 0.5f;
    decoder.Control(4096, reinterpret_cast<std::intptr_t>(&gain), 0);
    // The unit already decoded keeps its gain; the next one is halved.
    ASSERT_EQ(decoder.Read(half.data(), 1152 * 8), 1152 * 8);
    decoder.Control(4096, 0, 0);
    ASSERT_EQ(decoder.Seek(1152 * 8), 1152 * 8);
    ASSERT_EQ(decoder.Read(full.data(), 1152 * 8), 1152 * 8);
    double worst = 0.0;
    // The first 16 time slots still filter samples of the unit before at full gain.
    for (size_t i = 16 * 32 * 2; i < full.size(); ++i)
        worst = std::max(worst, std::fabs(double(half[i]) - full[i] * 0.5));
    EXPECT_LT(worst, 1e-6);
}

TEST(mpeg_decoder, seeks_that_keep_the_overlap)
{
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const std::vector<u8> mpeg = EncodeLame(44100, 2, 2.0, "-b 128");
    const std::vector<u8> whole = DecodeAll(mpeg);
    opened_c opened(mpeg);
    mpeg_decoder_c& decoder = opened.decoder;
    ASSERT_EQ(opened.result, 0);
    EXPECT_EQ(decoder.Control(4101, 0, 0), 0);
    EXPECT_EQ(decoder.Control(4100, 1, 0), 0);
    EXPECT_EQ(decoder.Control(4101, 0, 0), 1);
    const int unit = int(decoder.UnitBytes());
    ASSERT_EQ(decoder.Seek(unit * 20), unit * 20);
    std::vector<u8> got(size_t(unit) * 2);
    ASSERT_EQ(decoder.Read(got.data(), unit * 2), unit * 2);
    // Only the target unit mixes in the old overlap; the one after is exact.
    size_t first_difference = 0;
    while (first_difference < size_t(unit) &&
           got[unit + first_difference] == whole[size_t(unit) * 21 + first_difference])
        ++first_difference;
    EXPECT_EQ(first_difference, size_t(unit));
    EXPECT_EQ(decoder.Control(4100, 0, 0), 1);
    EXPECT_EQ(decoder.Control(4101, 0, 0), 0);
}

} // namespace
