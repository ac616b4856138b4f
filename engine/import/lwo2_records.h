#pragma once
// Working records of one LightWave object layer read from an LWO2 file:
// points, polygons, tags, surfaces with their texture layers, vertex maps,
// image clips and envelopes, kept as the file gives them until the layer is
// built into geometry.
#include <cfloat>
#include <vector>

#include "engine/envelope.h"
#include "engine/texture_projection.h"
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "foundation/vector_math.h"

// Surface flag bits, as the material keeps them.
enum surface_flag_e : u32 {
    surface_double_sided = 1,
    surface_smooth = 2,
    surface_additive = 4,
    surface_vertex_colors = 8,
    surface_glow = 64,
};

// One polygon; only points, lines and triangles are kept (count 0 marks a
// dropped polygon, which keeps its place so tag and map numbers stay right).
class lwo2_polygon_c {
public:
    u32 point[3] = {0, 0, 0};
    u32 count = 0;
    vec3_c faceNormal;
    vec3_c normal[3];
    bool hasNormals = false;
    u32 color[3] = {0, 0, 0}; // A8R8G8B8
    f32 uv[3][3][2] = {};     // [layer][vertex][u, v]
    f32 weight[4][3] = {};    // [slot][vertex]
    u32 weightMap[4][3] = {}; // 1-based map number, 0 none
    i32 surface = -1;         // index of the surface record
    i32 smoothingGroup = -1;
};

// A vertex map: per-point values and discontinuous (point, polygon) values,
// `dimension` floats each.
class lwo2_vmap_c {
public:
    string_c name;
    u32 dimension = 0;
    bool absolute = false; // morph maps: "SPOT" sets positions, "MORF" adds offsets
    std::vector<u32> points;
    std::vector<f32> values;
    std::vector<u32> discontinuousPoints;
    std::vector<u32> discontinuousPolygons;
    std::vector<f32> discontinuousValues;
};

class lwo2_clip_c {
public:
    u32 index = 0;
    string_c still;
    u32 digits = 0;
    u32 loop = 0;
    i32 frameOffset = 0;
    i32 firstFrame = 0;
    i32 lastFrame = 0;
    string_c prefix;
    string_c suffix;
    u32 reference = 0;
    f32 startTime = 0.0f;
    f32 duration = FLT_MAX;
    f32 frameRate = 30.0f;

    bool IsSequence() const { return !prefix.IsEmpty() || !suffix.IsEmpty(); }
};

// The result of one image-map "BLOK".
class lwo2_texture_layer_c {
public:
    u32 channel = 0;
    bool enabled = true;
    u32 type = 0;
    u32 clip = 0;
    texture_projection_c block;
    string_c uvMap;
    u8 filtering = 0;
    u8 clamp = 0;
    u32 blend = 0; // 0 normal, 1 multiply, 2 divide, 3 additive, 4 alpha
    f32 amplitude = 1.0f;
    string_c referenceObject;
};

// An image as a layer resolves it: a still, or a list of sequence frames.
class lwo2_image_c {
public:
    string_c still;
    std::vector<string_c> sequence;
    i32 frameOffset = 0;
    f32 frameRate = 30.0f;
    bool loop = false;

    bool IsEmpty() const { return still.IsEmpty() && sequence.empty(); }
};

// Envelope bound to a surface value; target is the value's word index in the
// material's envelope holder.
class lwo2_binding_c {
public:
    u32 envelope = 0; // index in the file
    u32 target = 0;
};

// Material values of a surface, named as the material keeps them.
class lwo2_surface_values_c {
public:
    vec3_c color{0.784310f, 0.784310f, 0.784310f};
    f32 luminosity = 0.0f;
    f32 diffuse = 1.0f;
    vec3_c specularColor{1.0f, 1.0f, 1.0f};
    f32 glossiness = 64.0f;
    f32 specular = 0.0f;
    f32 transparency = 0.0f;
    f32 reflectivity = 0.0f;
    f32 bump = 1.0f;
    u32 flags = 0;
    std::vector<string_c> comments; // render-state lines for the material
    std::vector<lwo2_binding_c> envelopes;
    // Maps as step 3 of the surface read makes them.
    lwo2_image_c colorMap[2];
    string_c reflectionMap;
    string_c bumpMap;
};

class lwo2_surface_c {
public:
    string_c name;
    bool read = false;
    lwo2_surface_values_c values;
    lwo2_texture_layer_c colorLayer[2];
    bool hasColorLayer[2] = {false, false};
    lwo2_texture_layer_c bumpLayer;
    bool hasBumpLayer = false;
    u32 reflectionOptions = 0;
    u32 reflectionClip = 0;
    // UV slots filled by the maps made, in order colour 0, colour 1, bump.
    texture_projection_c uvBlock[3];
    string_c uvMapName[3];
    u8 uvClamp[3] = {0, 0, 0};
    u8 uvFiltering[3] = {0, 0, 0};
    u32 uvBlend[3] = {0, 0, 0};
    u32 uvLayers = 0;
    string_c colorMapName;
    u32 counts[3] = {0, 0, 0}; // points, lines, triangles
    f32 threshold = 1.0f;      // cosine of the smoothing angle
    u32 firstUse = 0;          // polygon order of first use
};

class lwo2_tag_c {
public:
    string_c text;
    i32 surface = -1;
};

class lwo2_envelope_c {
public:
    u32 index = 0;
    envelope_c envelope;
};

// A morph frame: the layer's points moved by one morph map, with normals
// computed for the same polygons.
class lwo2_frame_c {
public:
    string_c name;
    std::vector<vec3_c> points;
    std::vector<vec3_c> normals; // three per polygon
};
