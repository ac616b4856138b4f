#pragma once
// DirectDraw Surface files for texture_image_c: a mip chain, optionally six
// cube faces, DXT1/DXT3/DXT5 blocks or 8-, 16-, 24- (read only) and 32-bit
// rows padded to 4 bytes. The reader checks the header strictly and every
// side and level size against the data present; failures are file_error_c
// with the file's name ("Unexpected end of file!", "Invalid file type!",
// "Invalid file structure!", "Invalid color format!", "Invalid image size!",
// "Unsupported file structure!", "Unsupported color format!") and leave the
// texture empty.
//
// format_l8 is stored as an 8-bit luminance layout (pixel-format flag
// 0x20000, mask 0xFF), which the reader takes back as format_l8.
#include "foundation/types.h"

class texture_image_c;
class input_file_c;
class output_file_c;

// At least 128 bytes remain and the u32 at the position rounded up to 4 is "DDS ".
bool IsDds(const input_file_c& file);

// Replaces the texture by the file's contents; the position does not move.
void ReadDds(texture_image_c& texture, input_file_c& file);

// Writes a valid texture at the output position and returns 1; an invalid
// texture writes nothing and returns 0.
int WriteDds(const texture_image_c& texture, output_file_c& file);
