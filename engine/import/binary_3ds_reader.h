#pragma once
// binary_3ds_reader_c: reads binary 3D Studio files (little-endian chunk
// trees under a 0x4D4D root) into a scene: lights, cameras, the ambient and
// backdrop colours go into the scene; each triangle mesh is built into a
// geometry definition with one triangle set per material, handed back with
// the material values of its sets. 3DS is Z-up: positions and directions
// are stored as (x, z, y) and the corner order of every face is reversed.
// Every failure throws file_error_c with the file name; what was added to
// the scene before a failure stays in it.
#include <memory>
#include <vector>

#include "engine/geometry_def.h"
#include "engine/import/lwo2_records.h"
#include "foundation/memory_file.h"
#include "foundation/path.h"

class renderer_c;
class scene_c;

// At least 6 bytes from the position and the first u16 there is 0x4D4D.
bool Is3dsFile(const input_file_c& _file);

class material_3ds_c {
public:
    string_c name;
    lwo2_surface_values_c values;
    // Texture transforms of the colour and bump maps: three rows of the 3x3
    // row-vector matrix and a zero row; only when the map has one.
    bool hasColorTransform = false;
    f32 colorTransform[4][3] = {};
    bool hasBumpTransform = false;
    f32 bumpTransform[4][3] = {};
    u32 useCount = 0;
};

class mesh_3ds_c {
public:
    string_c name;
    std::unique_ptr<geometry_def_c> geometry;
    std::vector<u32> materials; // material of each primitive set, by index
};

class binary_3ds_reader_c {
public:
    explicit binary_3ds_reader_c(input_file_c& _file);

    // Reads the first main chunk: lights, cameras and colours into the scene,
    // meshes into _meshes.
    void Read(scene_c* _scene, renderer_c* _renderer, std::vector<mesh_3ds_c>& _meshes);

    const std::vector<material_3ds_c>& GetMaterials() const { return materials; }

private:
    class chunk_c;

    void ReadEditor(chunk_c& _editor);
    void ReadMaterial(chunk_c& _entry);
    void ReadNamedObject(chunk_c& _object);
    bool ReadMesh(chunk_c& _mesh, const string_c& _name);
    u32 FindMaterial(const char* _name);
    [[noreturn]] void Fail(const char* _message) const;

    const u8* data;
    u32 size;
    string_c fileName;
    directory_cache_c folder;
    scene_c* scene = nullptr;
    renderer_c* renderer = nullptr;
    std::vector<material_3ds_c> materials;
    std::vector<mesh_3ds_c>* meshes = nullptr;
};
