#include <stdexcept>

#include "image/dxt_codec.h"

void EncodeDxt(u8*, format_e, const u8*, int, format_e, int, int) {
  throw std::runtime_error("DXT compression is not available: the DXT compressor is not built in");
}
