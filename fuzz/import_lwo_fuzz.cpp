// Reads the input as a LightWave object: every layer named in the file and
// layer 0, each built into geometry. Any failure must be a file_error_c;
// crashes, hangs and oversized allocations are faults.
#include "engine/import/lwo2_reader.h"
#include "foundation/file_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  input_file_c file(data, static_cast<u32>(size));
  lwo2_reader_c reader(file);
  if (!reader.IsLwo2())
    return 0;
  string_c name;
  for (unsigned layer = 0; layer < 3; ++layer) {
    try {
      reader.GetLayerName(layer, name);
      lwo2_layer_c records;
      reader.ReadLayerRecords(layer, records);
      lwo2_geometry_c geometry;
      lwo2_reader_c::BuildGeometry(records, "fuzz", geometry);
      if (!geometry.base->IsIntegral())
        __builtin_trap();
    } catch (const file_error_c&) {
    }
  }
  return 0;
}
