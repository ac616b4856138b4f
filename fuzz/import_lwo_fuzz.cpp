// Reads the input as a LightWave object of either kind: for LWO2 every layer
// up to 2, for LWOB the object and the material, each built into geometry.
// Any failure must be a file_error_c; crashes, hangs and oversized
// allocations are faults.
#include "engine/import/lwob_reader.h"
#include "foundation/file_error.h"

namespace {

void CheckGeometry(const lwo2_geometry_c& _geometry)
{
    if (!_geometry.base->IsIntegral())
        __builtin_trap();
    for (const auto& morph : _geometry.morphs)
        if (!morph->IsIntegral())
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    input_file_c file(data, static_cast<u32>(size));
    lwo2_reader_c reader(file);
    string_c name;
    for (unsigned layer = 0; reader.IsLwo2() && layer < 3; ++layer) {
        try {
            reader.GetLayerName(layer, name);
            lwo2_layer_c records;
            reader.ReadLayerRecords(layer, records);
            lwo2_geometry_c geometry;
            lwo2_reader_c::BuildGeometry(records, "fuzz", geometry);
            CheckGeometry(geometry);
        } catch (const file_error_c&) {}
    }
    lwob_reader_c old(file);
    if (!old.IsLwob())
        return 0;
    try {
        lwo2_layer_c records;
        old.ReadObjectRecords(records);
        lwo2_geometry_c geometry;
        lwob_reader_c::BuildGeometry(records, "fuzz", geometry);
        CheckGeometry(geometry);
    } catch (const file_error_c&) {}
    try {
        lwo2_surface_c material;
        old.ReadMaterialRecords(material);
    } catch (const file_error_c&) {}
    return 0;
}
