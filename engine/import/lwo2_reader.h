#pragma once
// lwo2_reader_c: reads one layer of a LightWave object file of the LWO2 kind
// (an IFF "FORM" of type "LWO2") into working records, then derives morph
// frames, normals, texture coordinates, vertex colours and bone weights, and
// builds the layer's geometry definitions. While the reader lives, the
// file's folder is the current directory, so image names resolve beside it.
//
// Only truncated data is an error (file_error_c with the file name,
// "Unexpected end of file!"); everything else the reader cannot use is
// skipped with a warning "[file] message", kept in the layer's warning list
// and logged on the layer's renderer as it occurs, so a read that fails
// part-way still shows what came before.
#include <memory>
#include <vector>

#include "engine/geometry_def.h"
#include "engine/import/iff_chunk.h"
#include "engine/import/lwo2_records.h"
#include "foundation/memory_file.h"
#include "foundation/path.h"

class renderer_c;

class lwo2_layer_c {
public:
    string_c fileName;
    string_c layerName;
    vec3_c pivot;
    std::vector<vec3_c> points;
    std::vector<lwo2_polygon_c> polygons;
    std::vector<lwo2_tag_c> tags;
    std::vector<lwo2_surface_c> surfaces; // in order of first use
    std::vector<lwo2_vmap_c> uvMaps;
    std::vector<lwo2_vmap_c> weightMaps;
    std::vector<lwo2_vmap_c> colorMaps; // four values, alpha 0 for "RGB "
    std::vector<lwo2_vmap_c> morphMaps;
    std::vector<lwo2_clip_c> clips;
    std::vector<lwo2_envelope_c> envelopes;
    std::vector<lwo2_frame_c> frames; // one per morph map
    u32 influenceCount = 0;
    std::vector<string_c> warnings;
    renderer_c* renderer = nullptr; // receives each warning as it occurs; may be null

    void Warn(const char* _message);
    const lwo2_clip_c* FindClip(u32 _index) const;
    const lwo2_vmap_c* FindMap(const std::vector<lwo2_vmap_c>& _maps, const string_c& _name) const;

    // The derivations after the chunk walk, in order.
    void MakeMorphFrames();
    // Returns false when a polygon names a point beyond the list (its normals
    // stay unset and it is left out of the geometry).
    bool ComputeNormals();
    void ComputeTexCoords();
    void ComputeColors();
    void ComputeWeights();
};

// One primitive set of the built geometry and the surface it draws.
class lwo2_set_c {
public:
    u32 surface = 0;
    u32 kind = 0; // 0 points, 1 lines, 2 triangles
};

class lwo2_geometry_c {
public:
    std::unique_ptr<geometry_def_c> base;
    std::vector<lwo2_set_c> sets;                        // parallel to base->primitiveSets
    std::vector<std::unique_ptr<geometry_def_c>> morphs; // parallel to the frames
};

class lwo2_reader_c {
public:
    // The outer chunk over the file's bytes from its current position.
    explicit lwo2_reader_c(input_file_c& _file);

    // True for an LWO2 form, also one cut short (its reads then throw).
    bool IsLwo2();
    // The name of layer _n (cleared first; "Layer<n+1>" when the file gives
    // none). True when _n is not above the highest layer number; false for a
    // file without layers. A truncated layer header throws.
    bool GetLayerName(unsigned _n, string_c& _name);
    // Walks the file for layer _layer and derives everything up to the build.
    // A layer without points or polygons warns "List of points not found!" or
    // "List of polygons not found!" and returns false: there is nothing to
    // build.
    bool ReadLayerRecords(unsigned _layer, lwo2_layer_c& _out);
    // Builds the base and morph geometry of a layer read by ReadLayerRecords;
    // definitions are named "<object>:<layer>:(Base)" and
    // "<object>:<layer>:<morph map>".
    static void BuildGeometry(const lwo2_layer_c& _layer, const char* _objectName, lwo2_geometry_c& _out);
    // The same with the base definition's name given and each morph
    // definition named _morphPrefix + the map's name.
    static void BuildNamedGeometry(const lwo2_layer_c& _layer, const string_c& _baseName, const string_c& _morphPrefix,
                                   lwo2_geometry_c& _out);

private:
    void ReadSurface(iff_chunk_c& _chunk, lwo2_layer_c& _layer);
    // Throws "Unexpected end of file!" for a form cut short.
    void CheckWhole() const;

    string_c fileName;
    iff_chunk_c form;
    bool truncated = false; // an LWO2 form longer than the data behind it
    directory_cache_c folder;
};
