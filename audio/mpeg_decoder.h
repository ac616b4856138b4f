#pragma once
// Decoder of MPEG-1, MPEG-2 and MPEG-2.5 audio, layers I, II and III, into
// interleaved PCM: 16-bit signed little-endian, or 32-bit floats of full
// scale 1.0. It is itself a readable stream over the PCM, seekable when its
// input is: Read, Seek, GetSize and Control code 49 (at the end) work on it.
//
// Sizes and positions count in units of 1152 samples per channel: one frame
// of layer II or of MPEG-1 layer III, three frames of layer I, two frames of
// MPEG-2 and 2.5 layer III. The size is fixed at open from the stream's
// (for variable bit rates: estimated) unit count, but reads go on until no
// further frame is found, and a last unit of fewer frames is cut to them;
// seeks (within the size) are exact for constant bit rates and give the same
// samples as decoding from the start. Frames of another rate or channel mode
// than the first are passed over, and the frames after them start afresh.
#include "audio/mpeg_header.h"
#include "audio/mpeg_layer12.h"
#include "audio/mpeg_layer3.h"
#include "audio/mpeg_synthesis.h"
#include "foundation/byte_stream.h"

class mpeg_decoder_c : public stream_c {
public:
    mpeg_decoder_c() = default;
    ~mpeg_decoder_c() override;

    // Opens the stream at the input's start (the input is not owned and must
    // outlive the decoder). sixteen_bit selects 16-bit output (else float);
    // downsample (clamped to 0..2) halves the rate that many times; channels 0
    // keeps the stream's, 1 or 2 mixes down or duplicates. Reports the output
    // rate and whether the output is stereo. Returns 0, or -1 when no valid
    // frame header starts the input or the first frame cannot be read.
    int Open(stream_c* input, u32* rate, bool* stereo, int sixteen_bit, int downsample, int channels);

    // Codes of the decoder; the others go to stream_c:
    //   49    1 once the last frame is decoded and read (decodes ahead to know)
    //   4096  output gain = *(const float*)parameter, 1.0 for a null parameter
    //   4100  keep the overlap and synthesis history over seeks when the
    //         parameter is not null; returns the old setting
    //   4101  the keep setting
    // Seeks that keep the history skip the priming decode, so the first
    // samples after them mix in what was decoded before the seek.
    int Control(int code, std::intptr_t parameter, int value) override;
    // PCM bytes of one decoding unit.
    u32 UnitBytes() const { return _unit_bytes; }

protected:
    // Serves PCM from the current unit, decoding further units as needed.
    int RawRead(void* buffer, int n) override;
    // Moves to a byte of the PCM; returns the position reached.
    int RawSeek(int position) override;

private:
    static constexpr u32 buffer_size = 16384;
    static constexpr u32 minimum_fill = 2048;

    bool Probe();
    void Refill();
    void ResetInput(u64 offset);
    bool FindSync();
    bool NextFrame();
    bool Matches(const mpeg_header_c& header) const;
    // Decodes the next unit into _pcm; with `output` false only what later
    // frames need is kept (layer III main data, or a full decode to prime state).
    enum class unit_mode_e { output, prime, feed };
    bool DecodeUnit(unit_mode_e mode);
    void DecodeFrame(u32 sample_offset);
    void Convert(u8* destination) const;
    void ResetState();
    u64 UnitOffset(u64 unit) const { return unit * _unit_num / _unit_den; }
    u64 PcmSize() const { return _unit_count * _unit_bytes; }
    u64 PcmPosition() const;
    bool PcmAtEnd();
    u32 DecodeRead(void* buffer, u32 bytes);
    u64 DecodeSeek(u64 position);
    u32 InputRead(void* buffer, u32 bytes);
    bool InputAtEnd();

    stream_c* _input = nullptr;
    bool _seekable = false;
    u8 _buffer[buffer_size + 8] = {};
    u32 _threshold = buffer_size;
    u32 _held = 0;
    u64 _bit = 0;
    bool _verify_next = false;
    u8 _probe[4] = {};

    mpeg_header_c _first;
    mpeg_header_c _header;
    u8 _frame[2048 + 4608] = {};
    u32 _frame_size = 0;

    u32 _frames_per_unit = 1;
    u64 _unit_num = 0, _unit_den = 1; // unit length in input bytes, as a fraction
    u64 _unit_count = 0;
    u32 _unit_bytes = 0;
    u32 _stream_channels = 1, _out_channels = 1;
    u32 _shift = 0;
    u32 _sample_bytes = 2;
    u32 _preroll = 0;

    u64 _unit = 0;           // units consumed: the one in _out is _unit - 1
    bool _out_valid = false; // _out holds unit _unit - 1
    u32 _read_offset = 0;
    u32 _out_bytes = 0; // PCM bytes of the last unit decoded: fewer in a last, short unit
    bool _ended = false;
    float _gain = 1.0f;
    bool _keep_overlap = false;

    float _pcm[2][1152] = {};
    u8 _out[1152 * 2 * 4] = {};
    mpeg_subband_block _subbands = {};
    mpeg_granule_block _granules[2] = {};
    mpeg_layer3_c _layer3;
    mpeg_synthesis_c _synthesis[2];
};
