#pragma once
// The mesh path of d3d_renderer_c (draw_geometry.cpp): BeginGeometry binds
// an object's primary mesh (tweened towards its heaviest other mesh, skinned
// by up to seven bones), DrawGeometry turns one material into render
// states, a fixed-function material and a chain of texture stages and draws
// one surface, EndGeometry closes the bracket. Everything goes through the
// state cache with shader row 0 and no pixel shader; matrix spaces as in
// render_d3d9/draw_stage.h.
//
// Material flags: 1 double-sided, 2 smooth, 4 additive (destination ONE, no
// depth writes), 8 vertex colours, 16 lighting, 32 point scale, 64 glow
// (also written into the "Glow Buffer" when there is one), 128 blending by
// the colour map's alpha. The stage chain: colour layer 0, layer 1 by its
// blend mode, a bump stage, a reflection stage, then falloff-map light
// stages for bump ("Diffuse Map") and specular-map ("Specular Map" k)
// modes; a stage is added only while the device has a stage and a texture
// slot left, and a stage whose map has no texture is dropped.
//
// Bad input draws nothing: no primary mesh, a mesh whose geometry is not
// this renderer's, a null material or a surface past the mesh's sets.
#include "foundation/types.h"

class map_c;

// What one surface's stage chain is built from.
struct d3d_surface_stages_s {
    bool litOrColoured = false;
    f32 time = 0.0f;
    const map_c* layer0 = nullptr;
    const map_c* layer1 = nullptr;
    bool bumpMode = false;
    bool specularMapMode = false;
    f32 glossiness = 0.0f;
    const map_c* reflectionMap = nullptr;
    f32 reflectionStrength = 0.0f;
    const map_c* bumpMap = nullptr;
    f32 bumpAmplitude = 0.0f;
};

// The falloff map a glossiness samples: trunc(log2(glossiness) - 2) held to
// 0..9 (0 for glossiness that is not positive).
u32 SpecularMapIndex(f32 _glossiness);
