// Walks the chunks of arbitrary bytes as a RIFF/WAVE file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/sound_data.h"
#include "foundation/file_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu || !IsRiffWave(data, u32(size)))
        return 0;
    try {
        const wave_layout_c layout = ParseWave(data, u32(size), string_c("fuzz.wav"));
        // What the walk hands out must lie inside the file.
        if (u64(layout.data_offset) + layout.data_size > size)
            std::abort();
    } catch (const file_error_c&) {}
    return 0;
}
