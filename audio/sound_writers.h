#pragma once
// Writers of the sound formats the game reads, for the tools that make the
// data set and for tests: 16-bit PCM RIFF/WAVE and Ogg Vorbis. Both take the
// signal as a function of (frame, channel) giving values in [-1, 1]; values
// outside are clipped. The bytes depend only on the arguments.
#include <functional>
#include <vector>

#include "foundation/types.h"

using sound_signal_f = std::function<double(u32 frame, u32 channel)>;

// A canonical 44-byte-header WAVE image of `frames` sample frames.
std::vector<u8> MakeWave(u32 rate, u32 channels, u32 frames, const sound_signal_f& sample);
// An Ogg Vorbis stream (variable bit rate of the given quality, -0.1..1.0)
// with serial number 20320. Throws std::runtime_error when the encoder
// refuses the rate, channels or quality.
std::vector<u8> MakeOggVorbis(u32 rate, u32 channels, u32 frames, const sound_signal_f& sample, float quality = 0.4f);
