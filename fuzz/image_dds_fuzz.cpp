// Reads arbitrary bytes as a DDS texture; a texture that reads must be valid
// and write and read back to the same size.
#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "image/dds_file.h"
#include "image/texture_image.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    input_file_c file(data, u32(size));
    texture_image_c texture;
    try {
        ReadDds(texture, file);
    } catch (const file_error_c&) {
        if (texture.GetLevelCount() != 0)
            __builtin_trap();
        return 0;
    }
    if (!texture.IsValid())
        __builtin_trap();
    if (texture.GetSize() > (1 << 22))
        return 0;
    output_file_c out;
    WriteDds(texture, out);
    input_file_c again(out.GetData(), out.GetSize());
    texture_image_c back;
    ReadDds(back, again);
    if (back.GetSize() != texture.GetSize() || back.GetFormat() != texture.GetFormat())
        __builtin_trap();
    return 0;
}
