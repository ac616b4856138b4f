#include "audio/testing/a3d_fixtures.h"

#include <stdexcept>

#include "audio/a3d_device.h"

namespace a3d_testing {

std::vector<f32> Render(a3d_device_c& device, u32 frames)
{
    std::vector<f32> out(static_cast<size_t>(frames) * 2);
    if (device.GetA3d()->RenderLoopback(out.data(), frames) != 0)
        throw std::runtime_error("loopback rendering failed");
    return out;
}

std::vector<f32> DecodeAsOutput(sound_source_c& source, u32 frames)
{
    const u32 channels = source.GetChannels();
    std::vector<i16> pcm(static_cast<size_t>(frames) * channels, 0);
    source.Read(reinterpret_cast<u8*>(pcm.data()), static_cast<u32>(pcm.size() * 2));
    std::vector<f32> out(static_cast<size_t>(frames) * 2);
    for (size_t f = 0; f < frames; ++f) {
        out[f * 2] = pcm[f * channels] / 32768.0f;
        out[f * 2 + 1] = pcm[f * channels + channels - 1] / 32768.0f;
    }
    return out;
}

} // namespace a3d_testing
