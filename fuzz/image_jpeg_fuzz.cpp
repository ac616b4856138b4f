// Reads arbitrary bytes as a JPEG picture; a picture that reads must write
// and read back with the same sides and format.
#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/png_file.h"

constexpr int round_trip_limit = 1 << 22;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  input_file_c file(data, u32(size));
  image_c image;
  try {
    ReadJpeg(image, file);
  } catch (const file_error_c&) {
    if (image.GetData() != nullptr) __builtin_trap();
    return 0;
  }
  // Large pictures from tiny inputs (RLE, headers alone) are read, but writing
  // them back would only spend the fuzzing time.
  if (image.GetSize() > round_trip_limit) return 0;
  output_file_c out;
  WriteJpeg(image, out);
  input_file_c again(out.GetData(), out.GetSize());
  image_c back;
  ReadJpeg(back, again);
  if (back.GetWidth() != image.GetWidth() || back.GetHeight() != image.GetHeight() ||
      back.GetFormat() != image.GetFormat())
    __builtin_trap();
  return 0;
}
