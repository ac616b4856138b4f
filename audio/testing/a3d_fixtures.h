#pragma once
// Fixtures for the sound device's tests: loopback rendering, and plain
// decoding to compare with.
#include <vector>

#include "foundation/types.h"

class a3d_device_c;
class sound_source_c;

namespace a3d_testing {

// Renders frames of stereo float output of the device's loopback output.
std::vector<f32> Render(a3d_device_c& device, u32 frames);

// Reads frames of 16-bit PCM from a source as the stereo float output a 2D
// sound at full gain gives (a mono source goes to both sides); short reads
// end in silence.
std::vector<f32> DecodeAsOutput(sound_source_c& source, u32 frames);

} // namespace a3d_testing
