#pragma once
// ase_reader_c: reads 3ds max ASCII exports (ASE text) into a scene: the
// ambient and backdrop colours and reflection map of "*SCENE", cameras and
// lights go into the scene; each "*GEOMOBJECT" is built into a geometry
// definition with one triangle set per material or sub-material, handed
// back with copies of the materials of its sets. ASE is Z-up: positions,
// normals and transform rows are stored as (x, z, y) and the corner order
// of every face is reversed. Tokens of any length are read whole. The only
// error is "Unexpected end of file!" (file_error_c with the file name);
// entries out of range or out of sequence are skipped, and indices are
// checked again when a mesh is built. The counts before the lists only
// reserve memory, never more than the rest of the text could fill.
#include <memory>
#include <vector>

#include "engine/geometry_def.h"
#include "engine/import/ase_keyword.h"
#include "engine/import/lwo2_records.h"
#include "engine/import/lws_tokenizer.h"
#include "foundation/path.h"

class renderer_c;
class scene_c;

// The bytes at the position begin with "*3DSMAX_ASCIIEXPORT\t200".
bool IsAseFile(const input_file_c& _file);

class ase_material_c {
public:
    string_c name;
    lwo2_surface_values_c values;
    // Texture transforms (three rows and a zero row) of colour layers 0 and 1
    // and of the bump map, when the map has one; sampling filter per map.
    bool hasTransform[3] = {false, false, false};
    f32 transform[3][4][3] = {};
    u8 filter[4] = {1, 1, 1, 1}; // colour 0, colour 1, reflection, bump
    std::vector<ase_material_c> subMaterials;
};

class ase_mesh_c {
public:
    string_c name;
    std::unique_ptr<geometry_def_c> geometry;
    std::vector<ase_material_c> materials; // one copy per primitive set
};

class ase_reader_c {
public:
    explicit ase_reader_c(input_file_c& _file);

    void Read(scene_c* _scene, renderer_c* _renderer, std::vector<ase_mesh_c>& _meshes);

    const std::vector<ase_material_c>& GetMaterials() const { return materials; }

private:
    struct map_c;
    struct node_tm_c;
    struct face_c;

    // Runs _keyword for each word at depth 1 of the block that starts here;
    // the keywords _entry and _other, a list's rows, are found quicker. A
    // _keyword that takes a row as well gets the one its keyword was found
    // in, positioned after the keyword, so that the row's numbers are read
    // from the same classification.
    template <typename Keyword>
    void Block(Keyword _keyword, ase_keyword_e _entry = ase_unknown, ase_keyword_e _other = ase_unknown);
    void ReadMap(map_c& _map);
    void ReadMaterial(ase_material_c& _material);
    void ReadNode(node_tm_c& _node);
    void ReadGeomObject();
    void ReadCamera();
    void ReadLight();
    string_c ReadQuoted();
    vec3_c ReadVec3();
    vec3_c ReadVec3Swapped();
    // The rows of the long lists, read on from _row when written the usual
    // way and word by word from the position otherwise: an index and a
    // vector; four indices; a face's number and its three corners (A, B and C).
    void ReadIndexedVec3(lws_tokenizer_c::row_c& _row, int& _index, vec3_c& _v);
    void ReadInts(lws_tokenizer_c::row_c& _row, int (&_values)[4]);
    void ReadFaceCorners(lws_tokenizer_c::row_c& _row, int (&_corners)[3]);
    // The rest of a face's row when written the usual way: its smoothing
    // group and material id, for _face when there is one.
    void ReadFaceRest(face_c* _face);
    // How many entries a list may reserve for a count read from the file.
    size_t Reservable(int _count, u32 _shortestEntry) const;

    lws_tokenizer_c tokens;
    string_c fileName;
    directory_cache_c folder;
    scene_c* scene = nullptr;
    renderer_c* renderer = nullptr;
    std::vector<ase_material_c> materials;
    std::vector<ase_mesh_c>* meshes = nullptr;
    u32 nesting = 0; // sub-materials and sub-maps being read
};
