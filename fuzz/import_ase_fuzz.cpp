// Reads the input as a 3ds max ASCII export into a scene without a
// renderer. Any failure must be a file_error_c; crashes, hangs and oversized
// allocations are faults; every mesh built must be integral.
#include "engine/import/ase_reader.h"
#include "engine/scene.h"
#include "foundation/file_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    input_file_c file(data, static_cast<u32>(size));
    if (!IsAseFile(file))
        return 0;
    scene_c scene("fuzz", nullptr);
    std::vector<ase_mesh_c> meshes;
    try {
        ase_reader_c reader(file);
        reader.Read(&scene, nullptr, meshes);
    } catch (const file_error_c&) {}
    for (const ase_mesh_c& mesh : meshes)
        if (!mesh.geometry->IsIntegral())
            __builtin_trap();
    return 0;
}
