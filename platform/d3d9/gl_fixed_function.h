#pragma once
// The fixed-function stages as generated GLSL. GlFixedFunctionKey reduces
// the bound state and the vertex layout of a draw to what changes the
// program (which inputs exist, lights and their kinds, material colour
// sources, vertex blending or tweening, fog mode, point sprites, texture
// coordinate sources and transforms, the stage combiner up to its first
// DISABLE, alpha test); the device keeps one linked program per key, so
// generation and compilation happen once per combination.
//
// Everything numeric travels as uniforms, set before every draw:
// GlFixedVertexConstants and GlFixedPixelConstants fill the two arrays
// "vc" and "pc" laid out as described in gl_fixed_function.cpp.
//
// Conventions kept: Direct3D row vectors (position times world, view,
// projection), camera space left-handed, colours stored B, G, R, A and read
// as R, G, B, A, the clip space z of 0 to w, and pixel centres on whole
// pixel coordinates: every program ends with GlPositionFixup.
#include "platform/d3d9/device_state.h"

#include <array>
#include <string>

// Attribute slots of the generated and translated programs.
enum gl_attribute_e : u32 {
    gl_attr_position = 0,
    gl_attr_blend_weight = 1,
    gl_attr_blend_indices = 2,
    gl_attr_normal = 3,
    gl_attr_color0 = 4,
    gl_attr_color1 = 5,
    gl_attr_texcoord0 = 6,
    gl_attr_position1 = 14,
    gl_attr_normal1 = 15,
    gl_attr_count = 16,
};

// The attribute slot of a declaration element; -1 for one no program reads.
i32 GlAttributeSlot(u8 _usage, u8 _usage_index);

// What a draw's vertices carry: slots present, the component count of
// each, and whether positions are already transformed (x, y in pixels, z,
// 1/w).
struct gl_vertex_layout_s {
    u32 present = 0;
    std::array<u8, gl_attr_count> components{};
    bool pretransformed = false;
};

struct gl_fixed_key_s {
    u32 present = 0;
    u32 texcoordComponents = 0;
    u32 pretransformed = 0;
    u32 lighting = 0;
    u32 lightKinds = 0;
    u32 materialSources = 0;
    u32 specular = 0;
    u32 localViewer = 0;
    u32 normalize = 0;
    u32 vertexFog = 0;
    u32 tableFog = 0;
    u32 rangeFog = 0;
    u32 blend = 0;
    u32 points = 0;
    std::array<u32, d3d_stage_count> colorOps{};
    std::array<u32, d3d_stage_count> alphaOps{};
    std::array<u32, d3d_stage_count> coords{};
    u32 alphaFunc = 0;
    // Stages whose coordinates a pixel program reads: all of them while
    // one is bound, since it ignores the stage operations.
    u32 shaderStages = 0;
    bool operator==(const gl_fixed_key_s&) const = default;
};

struct gl_fixed_key_hash_s {
    std::size_t operator()(const gl_fixed_key_s& _key) const;
};

// The texture kind bound to each sampler: 0 none, 1 2D, 2 cube.
using gl_texture_kinds_t = std::array<u8, d3d_stage_count>;

gl_fixed_key_s GlFixedFunctionKey(const d3d9_device_state_c& _state, const gl_vertex_layout_s& _layout,
                                  const gl_texture_kinds_t& _textures, bool _points);

// Sources of the two programs of a key. Throws std::runtime_error naming a
// stage operation the emulation does not know.
std::string GlFixedVertexSource(const gl_fixed_key_s& _key);
std::string GlFixedPixelSource(const gl_fixed_key_s& _key);

constexpr u32 gl_vertex_constant_count = 395;
constexpr u32 gl_pixel_constant_count = 24;
using gl_vertex_constants_t = std::array<std::array<f32, 4>, gl_vertex_constant_count>;
using gl_pixel_constants_t = std::array<std::array<f32, 4>, gl_pixel_constant_count>;

void GlFixedVertexConstants(const d3d9_device_state_c& _state, gl_vertex_constants_t& _out);
void GlFixedPixelConstants(const d3d9_device_state_c& _state, gl_pixel_constants_t& _out);

// GLSL that every vertex program appends: turns a Direct3D clip position
// into OpenGL's (y down to y up for top-row-first targets, z from 0..w to
// -w..w) and moves it by half a pixel so that pixel centres fall where
// Direct3D puts them. "fixup" is (1/width, 1/height, 0, 0) of the viewport.
extern const char* const gl_position_fixup_glsl;
