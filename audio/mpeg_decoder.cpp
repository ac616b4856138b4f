#include "audio/mpeg_decoder.h"

#include <immintrin.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

mpeg_decoder_c::~mpeg_decoder_c()
{
    Close();
}

int mpeg_decoder_c::Open(stream_c* input, u32* rate, bool* stereo, int sixteen_bit, int downsample, int channels)
{
    Close();
    _input = input;
    _seekable = (input->GetMode() & kSeekable) != 0;
    _threshold = _seekable ? minimum_fill : buffer_size;
    _shift = u32(std::clamp(downsample, 0, 2));
    _sample_bytes = sixteen_bit ? 2 : 4;
    if (!Probe())
        return -1;

    _stream_channels = _first.Channels();
    _out_channels = channels == 1 ? 1 : channels == 2 ? 2 : _stream_channels;
    _frames_per_unit = 1152 / _first.Samples();
    _unit_bytes = (1152 >> _shift) * _out_channels * _sample_bytes;
    const u64 length = u64(std::max(input->GetSize(), 0));
    _unit_count = _unit_num ? (2 * length * _unit_den + _unit_num) / (2 * _unit_num) : 0;
    const u64 integer_length = _unit_num / _unit_den;
    if (_first.layer == 2) {
        const u64 span = integer_length > 38 ? integer_length - 38 : 1;
        _preroll = u32((_first.version == 0 ? 510 : 254) / span + 3);
    } else {
        _preroll = 0;
    }

    ResetInput(0);
    if (!_seekable) {
        // The probe consumed the first header of a stream that cannot go back.
        std::memcpy(_buffer, _probe, 4);
        _held = 4;
    }
    ResetState();
    _unit = 0;
    _ended = false;
    if (!DecodeUnit(unit_mode_e::output))
        return -1;
    Convert(_out);
    _out_valid = true;
    _unit = 1;
    _read_offset = 0;
    if (rate)
        *rate = _first.SampleRate() >> _shift;
    if (stereo)
        *stereo = _out_channels == 2;
    // Sizes of streams are ints: a longer PCM is cut to whole units below 2 GB.
    _unit_count = std::min<u64>(_unit_count, u64(INT32_MAX) / _unit_bytes);
    Init(kReadable | (_seekable ? kSeekable : 0), 0, int(PcmSize()));
    return 0;
}

u32 mpeg_decoder_c::InputRead(void* buffer, u32 bytes)
{
    return bytes ? u32(std::max(_input->Read(buffer, int(std::min<u32>(bytes, INT32_MAX))), 0)) : 0;
}

bool mpeg_decoder_c::InputAtEnd()
{
    return _input->Control(2, 0, 0) != 0;
}

int mpeg_decoder_c::Control(int code, std::intptr_t parameter, int value)
{
    switch (code) {
    case 49: return PcmAtEnd() ? 1 : 0;
    case 4096: _gain = parameter ? *reinterpret_cast<const float*>(parameter) : 1.0f; return 0;
    case 4100: {
        const bool old = _keep_overlap;
        _keep_overlap = parameter != 0;
        return old ? 1 : 0;
    }
    case 4101: return _keep_overlap ? 1 : 0;
    default: return stream_c::Control(code, parameter, value);
    }
}

int mpeg_decoder_c::RawRead(void* buffer, int n)
{
    return int(DecodeRead(buffer, u32(std::max(n, 0))));
}

int mpeg_decoder_c::RawSeek(int position)
{
    return int(DecodeSeek(u64(std::max(position, 0))));
}

bool mpeg_decoder_c::Probe()
{
    if (_seekable)
        _input->Seek(0);
    u8 bytes[4];
    if (InputRead(_probe, 4) != 4 || !_first.Parse(MpegWord(_probe)))
        return false;
    u64 sum = _first.BitRate() / 1000;
    u64 count = 1;
    if (_first.layer == 2 && _seekable) {
        // Variable bit rates: the first frames' average stands for the stream.
        mpeg_header_c last = _first;
        u64 position = 0;
        for (int i = 1; i < 8; ++i) {
            position += last.FrameBytes();
            _input->Seek(int(std::min<u64>(position, INT32_MAX)));
            if (InputRead(bytes, 4) == 4) {
                mpeg_header_c next;
                if (!next.Parse(MpegWord(bytes)) || !Matches(next))
                    break;
                last = next;
            }
            sum += last.BitRate() / 1000;
            ++count;
        }
    }
    if (_seekable)
        _input->Seek(0);
    _unit_num = 144 * 1000 * sum;
    _unit_den = u64(_first.SampleRate()) * count;
    return true;
}

bool mpeg_decoder_c::Matches(const mpeg_header_c& header) const
{
    return header.version == _first.version && header.layer == _first.layer && header.rate_index == _first.rate_index &&
           header.StereoClass() == _first.StereoClass();
}

void mpeg_decoder_c::ResetInput(u64 offset)
{
    if (_seekable)
        _input->Seek(int(std::min<u64>(offset, INT32_MAX)));
    _held = 0;
    _bit = 0;
}

void mpeg_decoder_c::ResetState()
{
    _layer3.Reset();
    _synthesis[0].Reset();
    _synthesis[1].Reset();
}

void mpeg_decoder_c::Refill()
{
    const u32 start = u32(std::min<u64>(_bit / 8, _held));
    const u32 kept = _held - start;
    if (start)
        std::memmove(_buffer, _buffer + start, kept);
    _bit -= u64(start) * 8;
    _held = kept;
    // A source that delivers nothing more ends the filling, reached its end or not.
    while (_held < buffer_size) {
        const u32 got = InputRead(_buffer + _held, buffer_size - _held);
        _held += got;
        if (got == 0 || _held >= minimum_fill || InputAtEnd())
            break;
    }
    std::memset(_buffer + _held, 0, sizeof(_buffer) - _held);
}

bool mpeg_decoder_c::FindSync()
{
    _bit = (_bit + 7) & ~u64(7);
    for (;;) {
        if (_held - std::min<u64>(_bit / 8, _held) <= _threshold)
            Refill();
        u32 p = u32(_bit / 8);
        if (_held < p + 4)
            return false;
        for (; p + 1 < _held; ++p) {
            if (_buffer[p] != 0xFF || _buffer[p + 1] < 0xE0)
                continue;
            _bit = u64(p) * 8 + 11;
            return true;
        }
        // Keep the last byte: it may begin a sync that the next block completes.
        _bit = u64(_held - 1) * 8;
        Refill();
        if (_held <= 1)
            return false;
    }
}

bool mpeg_decoder_c::NextFrame()
{
    for (;;) {
        if (!FindSync())
            return false;
        u32 start = u32((_bit - 11) / 8);
        if (start + 4 > _held) {
            _bit = u64(start) * 8;
            Refill();
            start = u32(_bit / 8);
            if (start + 4 > _held)
                return false;
        }
        mpeg_header_c header;
        if (!header.Parse(MpegWord(_buffer + start))) {
            // Not a frame: search again from the next byte.
            _bit = u64(start + 1) * 8;
            continue;
        }
        const u32 bytes = header.FrameBytes();
        if (start + bytes + 4 > _held) {
            _bit = u64(start) * 8;
            Refill();
            start = u32(_bit / 8);
        }
        if (!Matches(header)) {
            mpeg_header_c next;
            if (start + bytes + 4 <= _held && next.Parse(MpegWord(_buffer + start + bytes))) {
                // A whole frame of another rate or mode is passed over. What it
                // would have updated (reservoir, overlap, synthesis history) no
                // longer fits the frames that follow: they start afresh.
                ResetState();
                _bit = u64(start + bytes) * 8;
            } else {
                _bit = u64(start + 1) * 8;
            }
            continue;
        }
        if (start + bytes > _held)
            return false; // the stream ends inside this frame
        if (_verify_next && start + bytes + 4 <= _held) {
            // After a seek the scan may start inside a frame: a sync there counts
            // only when the next frame's header follows it.
            mpeg_header_c next;
            if (!next.Parse(MpegWord(_buffer + start + bytes)) || !Matches(next)) {
                _bit = u64(start + 1) * 8;
                continue;
            }
        }
        _verify_next = false;
        const u32 skip = 4 + (header.crc ? 2 : 0);
        _frame_size = bytes > skip ? bytes - skip : 0;
        std::memcpy(_frame, _buffer + start + skip, _frame_size);
        _bit = u64(start + bytes) * 8;
        _header = header;
        return true;
    }
}

void mpeg_decoder_c::DecodeFrame(u32 sample_offset)
{
    const u32 limit = 32 >> _shift;
    auto synthesize = [&](const float* subbands, u32 channel, u32 offset) {
        float in[32], out[32];
        for (u32 sb = 0; sb < limit; ++sb)
            in[sb] = subbands[sb] * _gain;
        for (u32 sb = limit; sb < 32; ++sb)
            in[sb] = 0.0f;
        _synthesis[channel].Synthesize(in, out);
        std::memcpy(&_pcm[channel][offset], out, sizeof(out));
    };
    if (_header.layer == 2) {
        const u32 granules = _layer3.Decode(_header, _frame, _frame_size, _granules);
        for (u32 gr = 0; gr < granules; ++gr)
            for (u32 slot = 0; slot < 18; ++slot)
                for (u32 ch = 0; ch < _stream_channels; ++ch)
                    synthesize(_granules[gr][ch][slot], ch, sample_offset + (gr * 18 + slot) * 32);
        return;
    }
    u32 slots = _header.layer == 0 ? DecodeMpegLayer1(_header, _frame, _frame_size, _subbands)
                                   : DecodeMpegLayer2(_header, _frame, _frame_size, _subbands);
    if (slots == 0) {
        // A damaged frame plays as silence.
        slots = _header.layer == 0 ? 12 : 36;
        std::memset(_subbands, 0, sizeof(_subbands));
    }
    for (u32 slot = 0; slot < slots; ++slot)
        for (u32 ch = 0; ch < _stream_channels; ++ch)
            synthesize(_subbands[ch][slot], ch, sample_offset + slot * 32);
}

bool mpeg_decoder_c::DecodeUnit(unit_mode_e mode)
{
    const u32 samples = _first.Samples();
    _out_bytes = _unit_bytes;
    for (u32 f = 0; f < _frames_per_unit; ++f) {
        if (!NextFrame()) {
            _ended = true;
            if (f == 0)
                return false;
            // The last unit is cut to the frames the stream holds.
            for (u32 ch = 0; ch < 2; ++ch)
                std::fill(_pcm[ch] + f * samples, _pcm[ch] + 1152, 0.0f);
            _out_bytes = ((f * samples) >> _shift) * _out_channels * _sample_bytes;
            return true;
        }
        if (mode == unit_mode_e::feed && _header.layer == 2)
            _layer3.Feed(_header, _frame, _frame_size);
        else
            DecodeFrame(f * samples);
    }
    return true;
}

namespace {

// Rounds to nearest (the processor's default mode) and clips to 16 bits.
inline u16 ToSixteen(float value)
{
    const int scaled = _mm_cvtss_si32(_mm_set_ss(value * 32768.0f));
    return u16(i16(std::clamp(scaled, -32768, 32767)));
}

} // namespace

void mpeg_decoder_c::Convert(u8* destination) const
{
    const u32 step = 1u << _shift;
    const u32 count = 1152 >> _shift;
    const float* left = _pcm[0];
    const float* right = _pcm[_stream_channels == 2 ? 1 : 0];
    const bool mix_down = _out_channels == 1 && _stream_channels == 2;
    float mixed[1152];
    if (mix_down) {
        for (u32 s = 0; s < count; ++s)
            mixed[s] = (left[s * step] + right[s * step]) * 0.5f;
        left = mixed;
    } else if (step != 1) {
        for (u32 s = 0; s < count; ++s)
            mixed[s] = left[s * step];
        left = mixed;
    }
    float mixed_right[1152];
    if (_out_channels == 2 && step != 1) {
        for (u32 s = 0; s < count; ++s)
            mixed_right[s] = right[s * step];
        right = mixed_right;
    }
    if (_sample_bytes == 4) {
        // The destination may be any byte of the caller's buffer: copied, never stored as floats.
        if (_out_channels == 1) {
            std::memcpy(destination, left, count * sizeof(float));
        } else {
            float interleaved[2 * 1152];
            for (u32 s = 0; s < count; ++s) {
                interleaved[2 * s] = left[s];
                interleaved[2 * s + 1] = right[s];
            }
            std::memcpy(destination, interleaved, 2 * count * sizeof(float));
        }
        return;
    }
    // Little-endian 16-bit samples, rounded to nearest and saturated eight at a time.
    const __m128 scale = _mm_set1_ps(32768.0f);
    auto eight = [&](__m128 a, __m128 b, u8* to) {
        const __m128i packed =
            _mm_packs_epi32(_mm_cvtps_epi32(_mm_mul_ps(a, scale)), _mm_cvtps_epi32(_mm_mul_ps(b, scale)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), packed);
    };
    u32 s = 0;
    if (_out_channels == 1) {
        for (; s + 8 <= count; s += 8)
            eight(_mm_loadu_ps(left + s), _mm_loadu_ps(left + s + 4), destination + 2 * s);
        for (; s < count; ++s) {
            const u16 v = ToSixteen(left[s]);
            std::memcpy(destination + 2 * s, &v, 2);
        }
    } else {
        for (; s + 4 <= count; s += 4) {
            const __m128 l = _mm_loadu_ps(left + s), r = _mm_loadu_ps(right + s);
            eight(_mm_unpacklo_ps(l, r), _mm_unpackhi_ps(l, r), destination + 4 * s);
        }
        for (; s < count; ++s) {
            const u16 l = ToSixteen(left[s]), r = ToSixteen(right[s]);
            std::memcpy(destination + 4 * s, &l, 2);
            std::memcpy(destination + 4 * s + 2, &r, 2);
        }
    }
}

u64 mpeg_decoder_c::PcmPosition() const
{
    return _unit == 0 ? 0 : (_unit - 1) * _unit_bytes + _read_offset;
}

bool mpeg_decoder_c::PcmAtEnd()
{
    if (_unit > 0 && _read_offset < _out_bytes)
        return false;
    if (_ended)
        return true;
    // Only decoding tells whether another frame follows: the next unit is
    // decoded now and served by the next read, the position unchanged.
    if (!DecodeUnit(unit_mode_e::output))
        return true;
    ++_unit;
    Convert(_out);
    _out_valid = true;
    _read_offset = 0;
    return false;
}

u32 mpeg_decoder_c::DecodeRead(void* buffer, u32 bytes)
{
    u8* out = static_cast<u8*>(buffer);
    // Reads go on past the size estimated at open, until no frame follows.
    const u32 wanted = bytes;
    u32 done = 0;
    while (done < wanted) {
        if (_unit > 0 && _read_offset < _out_bytes) {
            const u32 count = std::min(wanted - done, _out_bytes - _read_offset);
            std::memcpy(out + done, _out + _read_offset, count);
            _read_offset += count;
            done += count;
            continue;
        }
        if (_ended)
            break;
        if (!DecodeUnit(unit_mode_e::output))
            break;
        ++_unit;
        if (wanted - done >= _unit_bytes) {
            // A whole unit still wanted: convert straight into the caller's buffer.
            Convert(out + done);
            done += _out_bytes;
            _read_offset = _out_bytes;
            _out_valid = false;
        } else {
            Convert(_out);
            _out_valid = true;
            _read_offset = 0;
        }
    }
    return done;
}

u64 mpeg_decoder_c::DecodeSeek(u64 position)
{
    if (!_input || _unit_bytes == 0)
        return 0;
    position = std::min(position, PcmSize());
    if (position == PcmPosition())
        return position;
    const u64 target = position / _unit_bytes;
    const u32 offset = u32(position % _unit_bytes);
    if (target + 1 == _unit && _out_valid) {
        _read_offset = std::min(offset, _out_bytes);
        return PcmPosition();
    }
    if (!_seekable)
        return PcmPosition();

    // Back off so that the reservoir is full again and the frame before the
    // target primes the overlap and synthesis history.
    const u64 back = u64(_preroll) + (_keep_overlap ? 0 : 1);
    const u64 first = target > back ? target - back : 0;
    // Encoders place padding bytes differently, so a frame may start a byte or
    // two before its average position.
    const u64 offset_in_input = UnitOffset(first);
    ResetInput(offset_in_input > 2 ? offset_in_input - 2 : 0);
    _verify_next = true;
    if (_keep_overlap)
        _layer3.ClearReservoir();
    else
        ResetState();
    _ended = false;
    for (u64 unit = first; unit < target; ++unit) {
        const bool prime = !_keep_overlap && unit + 1 == target;
        if (!DecodeUnit(prime ? unit_mode_e::prime : unit_mode_e::feed))
            break;
    }
    _unit = target + 1;
    if (!_ended && DecodeUnit(unit_mode_e::output)) {
        Convert(_out);
        _out_valid = true;
        _read_offset = std::min(offset, _out_bytes);
    } else {
        // Decoding the target failed: stay at its start; the next read moves on.
        _out_valid = false;
        _unit = target;
        _out_bytes = _unit_bytes;
        _read_offset = target == 0 ? 0 : _unit_bytes;
    }
    return PcmPosition();
}
