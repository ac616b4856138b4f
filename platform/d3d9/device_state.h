#pragma once
// d3d9_device_state_c: everything a Direct3D 9 device remembers between
// calls, starting from Direct3D 9's documented defaults (a device made with
// an automatic depth-stencil buffer): lighting on, Gouraud shading, CCW
// culling, Z test LESSEQUAL with writes, stage 0 MODULATE / SELECTARG1 and
// the other stages off, wrap addressing with point filters, and so on.
// Backends keep one of these so that a state set is a state read back, and
// draw from it; the renderer's state cache relies on these defaults for the
// states it never sets (material sources, LOCALVIEWER, WRAP0, RESULTARG).
//
// Bound objects are plain pointers; the device that owns the state holds a
// reference on each while it is bound.
#include "platform/d3d9/d3d9.h"

#include <array>

struct d3d9_light_slot_s {
    D3DLIGHT9 light;
    bool set = false;
    bool enabled = false;
    bool operator==(const d3d9_light_slot_s&) const = default;
};

struct d3d9_stream_s {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0;
    UINT stride = 0;
    bool operator==(const d3d9_stream_s&) const = default;
};

// Shader constant registers the device keeps.
constexpr u32 d3d_vertex_constant_count = 256;
constexpr u32 d3d_pixel_constant_count = 32;
constexpr u32 d3d_light_count = 8;
constexpr u32 d3d_render_target_count = 4;
constexpr u32 d3d_stream_count = 2;

class d3d9_device_state_c {
public:
    d3d9_device_state_c();

    std::array<DWORD, d3d_render_state_count> renderStates{};
    std::array<std::array<DWORD, d3d_stage_state_count>, d3d_stage_count> stageStates{};
    std::array<std::array<DWORD, d3d_sampler_state_count>, d3d_sampler_count> samplerStates{};
    D3DMATRIX view = d3d_identity_matrix;
    D3DMATRIX projection = d3d_identity_matrix;
    std::array<D3DMATRIX, d3d_stage_count> textureTransforms{};
    std::array<D3DMATRIX, d3d_world_matrix_count> worldMatrices{};
    std::array<d3d9_light_slot_s, d3d_light_count> lights{};
    D3DMATERIAL9 material;
    D3DVIEWPORT9 viewport;
    std::array<d3d9_stream_s, d3d_stream_count> streams{};
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    DWORD fvf = 0;
    IDirect3DVertexShader9* vertexShader = nullptr;
    IDirect3DPixelShader9* pixelShader = nullptr;
    std::array<std::array<f32, 4>, d3d_vertex_constant_count> vertexConstants{};
    std::array<std::array<f32, 4>, d3d_pixel_constant_count> pixelConstants{};
    std::array<IDirect3DSurface9*, d3d_render_target_count> renderTargets{};
    std::array<IDirect3DBaseTexture9*, d3d_sampler_count> textures{};
    bool softwareVertexProcessing = false;
    UINT currentPalette = 0xFFFF;
    std::array<PALETTEENTRY, 256> palette{};

    // The matrix a transform state names, or null for one the device does
    // not keep.
    D3DMATRIX* Transform(D3DTRANSFORMSTATETYPE _state);
    f32 RenderStateFloat(D3DRENDERSTATETYPE _state) const { return DwordToFloat(renderStates[_state]); }
};
