// Reads the input as a binary 3DS file into a scene without a renderer.
// Any failure must be a file_error_c; crashes, hangs and oversized
// allocations are faults; every mesh built must be integral.
#include "engine/import/binary_3ds_reader.h"
#include "engine/scene.h"
#include "foundation/file_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    input_file_c file(data, static_cast<u32>(size));
    if (!Is3dsFile(file))
        return 0;
    scene_c scene("fuzz", nullptr);
    std::vector<mesh_3ds_c> meshes;
    try {
        binary_3ds_reader_c reader(file);
        reader.Read(&scene, nullptr, meshes);
    } catch (const file_error_c&) {}
    for (const mesh_3ds_c& mesh : meshes)
        if (!mesh.geometry->IsIntegral())
            __builtin_trap();
    return 0;
}
