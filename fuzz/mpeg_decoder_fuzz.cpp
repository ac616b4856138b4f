// Opens, reads and seeks the MPEG decoder on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/mpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the output: 16-bit or float, downsampling, channels.
    const u8 options = data[0];
    memory_stream_c input;
    input.Open(data + 1, int(size - 1));
    mpeg_decoder_c decoder;
    u32 rate = 0;
    bool stereo = false;
    if (decoder.Open(&input, &rate, &stereo, options & 1, (options >> 1) & 3, (options >> 3) & 3) != 0)
        return 0;
    std::vector<u8> pcm(4096);
    // Bounded work per input: a damaged stream may claim a huge size.
    for (int i = 0; i < 64 && decoder.Read(pcm.data(), u32(pcm.size())) > 0; ++i) {}
    decoder.Seek(decoder.GetSize() / 3);
    decoder.Read(pcm.data(), u32(pcm.size()));
    decoder.Seek(0);
    decoder.Read(pcm.data(), u32(pcm.size()));
    return 0;
}
