#pragma once
// Fixtures for the audio tests: test signals, encoder runs, a reference
// decoder and a writer of layer I frames.
#include <functional>
#include <string>
#include <vector>

#include "audio/sound_writers.h"
#include "foundation/types.h"

namespace audio_testing {

// A fresh directory under the system's temporary directory.
std::string MakeTempDir();
bool HaveProgram(const char* name);
std::vector<u8> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<u8>& bytes);

// A test signal: a tone, a rising chirp, noise and clicks (which make
// encoders switch to short blocks), different in each channel.
double TestSignal(u32 frame, u32 channel, u32 rate);

// Runs `command` (a shell line); true when it exits with 0.
bool Run(const std::string& command);

// Encodes a test-signal WAVE of `seconds` with lame (layer III) or twolame
// (layer II); `options` go on the command line. Empty when the encoder fails.
std::vector<u8> EncodeLame(u32 rate, u32 channels, double seconds, const std::string& options);
std::vector<u8> EncodeTwolame(u32 rate, u32 channels, double seconds, const std::string& options);
// Encodes a given WAVE image with lame.
std::vector<u8> EncodeLameWave(const std::vector<u8>& wave, const std::string& options);

struct decoded_c {
    std::vector<float> floats; // interleaved
    std::vector<i16> shorts;
    u32 rate = 0;
    u32 channels = 0;
};
// Decodes with libmpg123, without gapless trimming.
decoded_c ReferenceDecode(const std::vector<u8>& mpeg, bool floats);
// Decodes the whole stream with our decoder, reading until it gives no more.
decoded_c OurDecode(const std::vector<u8>& mpeg, bool floats);

// Layer I frames with pseudo-random allocations, scale factors and samples.
struct layer1_options_c {
    u32 version = 0;    // 0 MPEG-1, 1 MPEG-2
    u32 rate_index = 1; // 48000 (or 24000)
    u32 bit_rate_index = 12;
    u32 mode = 0; // 0 stereo, 1 joint, 3 mono
    u32 frames = 30;
    u32 seed = 1;
};
std::vector<u8> MakeLayer1(const layer1_options_c& options);

// Layer III frames, joint stereo, MPEG-1 at 44.1 kHz and 320 kbit/s or
// MPEG-2 at 22.05 kHz and 160 kbit/s, with
// pseudo-random side information and spectra written with the standard's
// Huffman codes: every block type (mixed blocks too), intensity and
// mid/side stereo, scale-factor reuse, pre-emphasis and count1 tables.
struct layer3_options_c {
    u32 frames = 20;
    u32 seed = 1;
    u32 mode_extension = 3;        // bit 0 intensity, bit 1 mid/side
    bool lower_rate = false;       // MPEG-2 with its own scale-factor coding
    bool mixed_start_stop = false; // the mixed-block flag on start and stop blocks too
};
std::vector<u8> MakeLayer3(const layer3_options_c& options);

} // namespace audio_testing
