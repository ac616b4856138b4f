#include "audio/testing/audio_fixtures.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "audio/mpeg_decoder.h"
#include "audio/sound_writers.h"
#include "audio/mpeg_layer3.h"
#include "audio/mpeg_tables.h"

namespace audio_testing {

std::string MakeTempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/skyvarn-audio-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("cannot make a temporary directory");
    return buffer.data();
}

bool HaveProgram(const char* name)
{
    return Run(std::string("command -v ") + name + " >/dev/null 2>&1");
}

bool Run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

std::vector<u8> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<u8>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::vector<u8>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

double TestSignal(u32 frame, u32 channel, u32 rate)
{
    const double t = double(frame) / rate;
    // Deterministic noise.
    u32 x = frame * 2654435761u + channel * 40503u + 12345u;
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    const double noise = (double(x & 0xFFFF) / 32768.0 - 1.0) * 0.05;
    const double click = (frame % (rate / 3)) < 40 ? 0.6 * ((frame & 4) ? 1 : -1) : 0.0;
    if (channel == 0)
        return 0.35 * std::sin(2 * M_PI * 440.0 * t) + noise + click;
    const double f0 = 100.0, f1 = rate * 0.45;
    const double phase = 2 * M_PI * (f0 * t + (f1 - f0) * t * t / 4.0);
    return 0.3 * std::sin(phase) + noise;
}

static std::vector<u8> EncodeWave(const char* program, const std::vector<u8>& wave_bytes, const std::string& options)
{
    const std::string dir = MakeTempDir();
    const std::string wave = dir + "/in.wav", out = dir + "/out.mpg";
    WriteWholeFile(wave, wave_bytes);
    const std::string command = std::string(program) + " " + options + " " + wave + " " + out + " >/dev/null 2>&1";
    std::vector<u8> bytes;
    if (Run(command))
        bytes = ReadWholeFile(out);
    Run("rm -rf " + dir);
    return bytes;
}

static std::vector<u8> Encode(const char* program, u32 rate, u32 channels, double seconds, const std::string& options)
{
    return EncodeWave(
        program, MakeWave(rate, channels, u32(seconds * rate), [&](u32 f, u32 c) { return TestSignal(f, c, rate); }),
        options);
}

// -t: no information frame, so the reference decodes every frame as audio.
constexpr const char* lame_command = "lame --quiet -t";

std::vector<u8> EncodeLame(u32 rate, u32 channels, double seconds, const std::string& options)
{
    return Encode(lame_command, rate, channels, seconds, options);
}

std::vector<u8> EncodeLameWave(const std::vector<u8>& wave, const std::string& options)
{
    return EncodeWave(lame_command, wave, options);
}

std::vector<u8> EncodeTwolame(u32 rate, u32 channels, double seconds, const std::string& options)
{
    return Encode("twolame --quiet", rate, channels, seconds, options);
}

decoded_c ReferenceDecode(const std::vector<u8>& mpeg, bool floats)
{
    decoded_c result;
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle)
        throw std::runtime_error("mpg123_new failed");
    mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET | (floats ? MPG123_FORCE_FLOAT : 0), 0.0);
    mpg123_param(handle, MPG123_RESYNC_LIMIT, -1, 0.0);
    mpg123_format_none(handle);
    const long rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    for (long rate : rates)
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, floats ? MPG123_ENC_FLOAT_32 : MPG123_ENC_SIGNED_16);
    mpg123_open_feed(handle);
    std::vector<u8> out(1 << 16);
    size_t done = 0;
    int status = mpg123_decode(handle, mpeg.data(), mpeg.size(), out.data(), out.size(), &done);
    for (;;) {
        if (status == MPG123_NEW_FORMAT) {
            long rate;
            int channels, encoding;
            mpg123_getformat(handle, &rate, &channels, &encoding);
            result.rate = u32(rate);
            result.channels = u32(channels);
        }
        if (floats) {
            const float* p = reinterpret_cast<const float*>(out.data());
            result.floats.insert(result.floats.end(), p, p + done / 4);
        } else {
            const i16* p = reinterpret_cast<const i16*>(out.data());
            result.shorts.insert(result.shorts.end(), p, p + done / 2);
        }
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT)
            break;
        status = mpg123_decode(handle, nullptr, 0, out.data(), out.size(), &done);
    }
    mpg123_delete(handle);
    return result;
}

decoded_c OurDecode(const std::vector<u8>& mpeg, bool floats)
{
    decoded_c result;
    memory_stream_c input;
    input.Open(mpeg.data(), int(mpeg.size()));
    mpeg_decoder_c decoder;
    bool stereo = false;
    if (decoder.Open(&input, &result.rate, &stereo, floats ? 0 : 1, 0, 0) != 0)
        return result;
    result.channels = stereo ? 2 : 1;
    // Everything the decoder gives, which may pass the size it estimated.
    std::vector<u8> bytes;
    std::vector<u8> piece(1 << 16);
    for (int got; (got = decoder.Read(piece.data(), int(piece.size()))) > 0;)
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + got);
    const u32 got = u32(bytes.size());
    if (floats) {
        result.floats.resize(got / 4);
        std::memcpy(result.floats.data(), bytes.data(), got / 4 * 4);
    } else {
        result.shorts.resize(got / 2);
        std::memcpy(result.shorts.data(), bytes.data(), got / 2 * 2);
    }
    return result;
}

namespace {

// Deterministic numbers below n for the frame writers.
class test_random_c {
public:
    explicit test_random_c(u32 seed) : _state(seed) {}
    u32 operator()(u32 n)
    {
        _state = _state * 1664525u + 1013904223u;
        return (_state >> 8) % n;
    }

private:
    u32 _state;
};

class bit_writer_c {
public:
    void Put(u32 value, u32 bits)
    {
        for (u32 i = bits; i-- > 0;) {
            if (_bits % 8 == 0)
                _bytes.push_back(0);
            if ((value >> i) & 1)
                _bytes.back() |= u8(0x80 >> (_bits % 8));
            ++_bits;
        }
    }
    u64 Bits() const { return _bits; }
    std::vector<u8>& Bytes() { return _bytes; }

private:
    std::vector<u8> _bytes;
    u64 _bits = 0;
};

} // namespace

std::vector<u8> MakeLayer1(const layer1_options_c& o)
{
    static const u32 rates[2][16] = {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
                                     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}};
    const u32 sample_rate = (o.rate_index == 0 ? 44100 : o.rate_index == 1 ? 48000 : 32000) >> o.version;
    const u32 frame_bytes = 12 * rates[o.version][o.bit_rate_index] * 1000 / sample_rate * 4;
    const u32 channels = o.mode == 3 ? 1 : 2;
    test_random_c next(o.seed * 747796405u + 2891336453u);
    std::vector<u8> out;
    for (u32 frame = 0; frame < o.frames; ++frame) {
        bit_writer_c w;
        const u32 mode_extension = next(4);
        w.Put(0xFFF, 12);
        w.Put(o.version == 0 ? 1 : 0, 1);
        w.Put(3, 2); // layer I
        w.Put(1, 1); // no CRC
        w.Put(o.bit_rate_index, 4);
        w.Put(o.rate_index, 2);
        w.Put(0, 2);
        w.Put(o.mode, 2);
        w.Put(mode_extension, 2);
        w.Put(0, 4);
        const u32 bound = o.mode == 1 ? (mode_extension + 1) * 4 : 32;
        u32 allocation[2][32] = {};
        // Budget the allocations so that the samples fit in the frame.
        i64 budget = i64(frame_bytes) * 8 - 32 - 4 * 32 * channels;
        for (u32 sb = 0; sb < 32; ++sb) {
            for (u32 ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
                u32 a = next(3) == 0 ? 0 : next(15);
                const i64 cost = a ? (12 * (a + 1) + 6) * i64(sb < bound ? 1 : channels) : 0;
                if (a && cost > budget)
                    a = 0;
                budget -= a ? cost : 0;
                allocation[ch][sb] = a;
            }
            if (sb >= bound)
                allocation[1][sb] = allocation[0][sb];
        }
        for (u32 sb = 0; sb < 32; ++sb)
            for (u32 ch = 0; ch < (sb < bound ? channels : 1); ++ch)
                w.Put(allocation[ch][sb], 4);
        for (u32 sb = 0; sb < 32; ++sb)
            for (u32 ch = 0; ch < channels; ++ch)
                if (allocation[ch][sb])
                    w.Put(8 + next(40), 6);
        for (u32 slot = 0; slot < 12; ++slot)
            for (u32 sb = 0; sb < 32; ++sb)
                for (u32 ch = 0; ch < (sb < bound ? channels : 1); ++ch)
                    if (allocation[ch][sb]) {
                        const u32 bits = allocation[ch][sb] + 1;
                        w.Put(next((1u << bits) - 1), bits);
                    }
        while (w.Bits() < u64(frame_bytes) * 8)
            w.Put(0, 1);
        out.insert(out.end(), w.Bytes().begin(), w.Bytes().end());
    }
    return out;
}

namespace {

// The code words of a Huffman table text, in symbol order.
std::vector<std::string> CodeWords(const char* text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char* p = text;; ++p) {
        if (*p == '0' || *p == '1') {
            word += *p;
        } else {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            if (!*p)
                return words;
        }
    }
}

void PutCode(bit_writer_c& w, const std::string& code)
{
    for (char c : code)
        w.Put(c == '1', 1);
}

struct layer3_granule_c {
    u32 part2_3_length = 0, big_values = 0, global_gain = 0, scalefac_compress = 0;
    u32 window_switching = 0, block_type = 0, mixed = 0;
    u32 table_select[3] = {}, subblock_gain[3] = {}, region0 = 0, region1 = 0;
    u32 preflag = 0, scalefac_scale = 0, count1_table = 0;
};

} // namespace

namespace {

// Scale factors of the lower rates: lengths and counts per part follow from
// scalefac_compress (halved, with other rows, in intensity-coded right channels).
void WriteLowerRateScaleFactors(bit_writer_c& data, test_random_c& next, u32 sfc, bool intensity_right, u32 kind)
{
    u32 slen[4];
    const u32 row = MpegLowerRateLengths(sfc, intensity_right, slen);
    for (u32 part = 0; part < 4; ++part) {
        // Intensity positions stay below both the largest value of their length
        // (which the standard reserves) and 7 (which the reference decoder reserves).
        const u32 limit = intensity_right ? std::min(7u, (1u << slen[part]) - 1) : (1u << slen[part]);
        for (u32 i = 0; i < mpeg_lsf_band_counts[row][kind][part]; ++i)
            data.Put(limit ? next(limit) : 0, slen[part]);
    }
}

} // namespace

std::vector<u8> MakeLayer3(const layer3_options_c& o)
{
    static const u32 pair_tables[] = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 18, 21, 24, 26, 29};
    const bool lsf = o.lower_rate;
    const u32 granule_count = lsf ? 1 : 2;
    const u16* long_bands = mpeg_long_bands[lsf ? 3 : 0];
    const u16* short_bands = mpeg_short_bands[lsf ? 3 : 0];
    const u32 frame_bytes = lsf ? 72 * 160000 / 22050 : 144 * 320000 / 44100; // no padding: 522 or 1044
    test_random_c next(o.seed * 2654435761u + 7u);
    std::vector<u8> out;
    for (u32 frame = 0; frame < o.frames; ++frame) {
        layer3_granule_c granules[2][2];
        u32 scfsi[2] = {next(16), next(16)};
        bit_writer_c data;
        for (u32 gr = 0; gr < granule_count; ++gr) {
            for (u32 ch = 0; ch < 2; ++ch) {
                layer3_granule_c& g = granules[gr][ch];
                const u64 start = data.Bits();
                g.global_gain = 130 + next(40);
                // Intensity positions of MPEG-1 run 0..7: scale factors of 3 bits at most.
                g.scalefac_compress = lsf ? next(512) : (ch == 1 && (o.mode_extension & 1)) ? next(14) : next(16);
                g.window_switching = next(3) == 0;
                if (g.window_switching) {
                    static const u32 types[] = {1, 2, 2, 3};
                    g.block_type = types[next(4)];
                    g.mixed = (g.block_type == 2 || o.mixed_start_stop) && next(2);
                    for (u32& gain : g.subblock_gain)
                        gain = next(4);
                }
                if (ch == 1 && o.mode_extension) {
                    // Stereo coding pairs lines of both channels, so their blocks agree.
                    g.window_switching = granules[gr][0].window_switching;
                    g.block_type = granules[gr][0].block_type;
                    g.mixed = granules[gr][0].mixed;
                }
                if (!g.window_switching) {
                    g.block_type = g.mixed = 0;
                    g.region0 = next(10);
                    g.region1 = next(6);
                }
                for (u32& table : g.table_select)
                    table = pair_tables[next(sizeof(pair_tables) / 4)];
                if (g.window_switching)
                    g.table_select[2] = 0;
                g.preflag = !lsf && !g.window_switching && next(2);
                g.scalefac_scale = next(2);
                g.count1_table = next(2);
                // Scale factors; with scfsi, the second granule reuses groups of long ones.
                const u32 slen1 = lsf ? 0 : mpeg_slen[0][g.scalefac_compress];
                const u32 slen2 = lsf ? 0 : mpeg_slen[1][g.scalefac_compress];
                const bool short_blocks = g.window_switching && g.block_type == 2;
                const bool reuse =
                    gr == 1 && !short_blocks && !(granules[0][ch].window_switching && granules[0][ch].block_type == 2);
                if (!reuse)
                    scfsi[ch] &= gr == 0 ? 15 : 0;
                if (lsf) {
                    WriteLowerRateScaleFactors(data, next, g.scalefac_compress, ch == 1 && (o.mode_extension & 1),
                                               short_blocks ? (g.mixed ? 2 : 1) : 0);
                } else if (short_blocks) {
                    if (g.mixed) {
                        for (u32 sfb = 0; sfb < 8; ++sfb)
                            data.Put(next(1u << slen1), slen1);
                        for (u32 sfb = 3; sfb < 12; ++sfb)
                            for (u32 w = 0; w < 3; ++w)
                                data.Put(next(1u << (sfb < 6 ? slen1 : slen2)), sfb < 6 ? slen1 : slen2);
                    } else {
                        for (u32 sfb = 0; sfb < 12; ++sfb)
                            for (u32 w = 0; w < 3; ++w)
                                data.Put(next(1u << (sfb < 6 ? slen1 : slen2)), sfb < 6 ? slen1 : slen2);
                    }
                } else {
                    static const u32 group_start[5] = {0, 6, 11, 16, 21};
                    for (u32 group = 0; group < 4; ++group) {
                        if (gr == 1 && reuse && ((scfsi[ch] >> (3 - group)) & 1))
                            continue;
                        for (u32 sfb = group_start[group]; sfb < group_start[group + 1]; ++sfb)
                            data.Put(next(1u << (sfb < 11 ? slen1 : slen2)), sfb < 11 ? slen1 : slen2);
                    }
                }
                // The right channel stops early so that intensity stereo has bands to fill.
                const u32 pairs = ch == 0 ? 40 + next(180) : next(60);
                g.big_values = pairs;
                u32 region1, region2;
                if (g.window_switching) {
                    region1 = g.block_type == 2 ? short_bands[3] * 3u : long_bands[8];
                    region2 = 576;
                } else {
                    region1 = long_bands[std::min(g.region0 + 1, 22u)];
                    region2 = long_bands[std::min(g.region0 + g.region1 + 2, 22u)];
                }
                for (u32 i = 0; i < pairs * 2; i += 2) {
                    const u32 region = i < region1 ? 0 : i < region2 ? 1 : 2;
                    const mpeg_huffman_def_c& def = mpeg_huffman_defs[g.table_select[region]];
                    if (!def.codes)
                        continue;
                    const std::vector<std::string> words = CodeWords(def.codes);
                    u32 v[2];
                    for (u32& value : v) {
                        const u32 pick = next(8);
                        value = pick < 3 ? 0
                                : pick < 6
                                    ? next(def.size)
                                    : (def.linbits ? 15 + next(1u << std::min<u32>(def.linbits, 6)) : next(def.size));
                    }
                    const u32 x = std::min<u32>(v[0], def.size - 1), y = std::min<u32>(v[1], def.size - 1);
                    PutCode(data, words[x * def.size + y]);
                    for (u32 k = 0; k < 2; ++k) {
                        const u32 coded = k == 0 ? x : y;
                        if (def.linbits && coded == 15)
                            data.Put(v[k] - 15, def.linbits);
                        if (coded)
                            data.Put(next(2), 1);
                    }
                }
                // A few count1 quadruples.
                const std::vector<std::string> quads = CodeWords(mpeg_count1_codes[g.count1_table]);
                const u32 quad_count = ch == 0 ? next(20) : 0;
                for (u32 q = 0; q < quad_count && pairs * 2 + q * 4 + 4 <= 576; ++q) {
                    const u32 symbol = next(16);
                    PutCode(data, quads[symbol]);
                    for (u32 bit = 0; bit < 4; ++bit)
                        if ((symbol >> bit) & 1)
                            data.Put(next(2), 1);
                }
                g.part2_3_length = u32(data.Bits() - start);
            }
        }
        bit_writer_c w;
        w.Put(0xFFF, 12);
        w.Put(lsf ? 0 : 1, 1); // MPEG-1 or MPEG-2
        w.Put(1, 2);           // layer III
        w.Put(1, 1);           // no CRC
        w.Put(14, 4);          // 320 or 160 kbit/s
        w.Put(0, 2);           // 44.1 or 22.05 kHz
        w.Put(0, 2);
        w.Put(1, 2); // joint stereo
        w.Put(o.mode_extension, 2);
        w.Put(0, 4);
        if (lsf) {
            w.Put(0, 8); // main_data_begin: no reservoir
            w.Put(0, 2);
        } else {
            w.Put(0, 9);
            w.Put(0, 3);
            w.Put(scfsi[0], 4);
            w.Put(scfsi[1], 4);
        }
        for (u32 gr = 0; gr < granule_count; ++gr) {
            for (u32 ch = 0; ch < 2; ++ch) {
                const layer3_granule_c& g = granules[gr][ch];
                w.Put(g.part2_3_length, 12);
                w.Put(g.big_values, 9);
                w.Put(g.global_gain, 8);
                w.Put(g.scalefac_compress, lsf ? 9 : 4);
                w.Put(g.window_switching, 1);
                if (g.window_switching) {
                    w.Put(g.block_type, 2);
                    w.Put(g.mixed, 1);
                    w.Put(g.table_select[0], 5);
                    w.Put(g.table_select[1], 5);
                    for (u32 gain : g.subblock_gain)
                        w.Put(gain, 3);
                } else {
                    for (u32 table : g.table_select)
                        w.Put(table, 5);
                    w.Put(g.region0, 4);
                    w.Put(g.region1, 3);
                }
                if (!lsf)
                    w.Put(g.preflag, 1);
                w.Put(g.scalefac_scale, 1);
                w.Put(g.count1_table, 1);
            }
        }
        std::vector<u8>& bytes = w.Bytes();
        const std::vector<u8>& main_data = data.Bytes();
        bytes.insert(bytes.end(), main_data.begin(), main_data.end());
        if (bytes.size() > frame_bytes)
            throw std::runtime_error("layer III test frame too large");
        bytes.resize(frame_bytes, 0);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

} // namespace audio_testing
