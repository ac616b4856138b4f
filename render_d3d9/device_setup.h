#pragma once
// The decisions the renderer makes once when it creates its device: the
// capability test, the depth, texture and multisample formats, the bit
// counts of formats, the generated light falloff maps and the shared
// sprite geometry. Each is a function of the Direct3D object or the caps,
// so that the set-up reads as a list of steps.
#include "engine/geometry_def.h"
#include "image/texture_image.h"
#include "platform/d3d9/d3d9.h"
#include "render_d3d9/texture.h"

#include <vector>

// Renderer flag bits.
enum d3d_renderer_flag_e : u32 {
    d3d_flag_vsync = 0x1,
    d3d_flag_stencil = 0x2,
    d3d_flag_glow = 0x4,
    d3d_flag_wbuffer = 0x10,
    d3d_flag_multisample = 0x80,
    d3d_flag_depth_deep = 0x1000,
    d3d_flag_depth_16 = 0x2000,
    d3d_flag_samples_4 = 0x100000,
    d3d_flag_samples_2 = 0x200000,
};

// The wishes CheckCaps adjusts.
struct d3d_caps_wishes_s {
    bool vsync = false;
    bool wbuffer = false;
    bool stencil = false;
    u32 maxLights = 4;
    u32 vertexProcessing = 2;
    bool alphaPalette = true;
};

// False when the device lacks a required capability or no presentation
// interval fits; otherwise adjusts the wishes. The blend-index test counts
// signed: a device without indexed blending is not taken for hardware.
bool CheckCaps(const D3DCAPS9& _caps, d3d_caps_wishes_s& _wishes);

// The depth candidates, zero-terminated, for the stencil wish, the flags'
// depth preference and the display format.
std::vector<D3DFORMAT> DepthCandidates(bool _stencil, u32 _flags, D3DFORMAT _display);
// The first candidate that passes, or 0.
D3DFORMAT FindDepthFormat(IDirect3D9* _d3d, D3DFORMAT _adapter, D3DFORMAT _back_buffer,
                          const std::vector<D3DFORMAT>& _candidates);
D3DFORMAT FindTextureFormat(IDirect3D9* _d3d, D3DFORMAT _adapter, DWORD _usage, bool _cube,
                            const std::vector<D3DFORMAT>& _candidates);
// Sample counts to try for the flags (4, 3, 2 / 2 / 3, 2); 0 without the
// multisample flag or when none passes for both formats.
D3DMULTISAMPLE_TYPE FindMultiSampleType(IDirect3D9* _d3d, u32 _flags, D3DFORMAT _back_buffer, D3DFORMAT _depth,
                                        bool _windowed);

// Both rows of the format table, the alpha-only and bump formats; P8 for
// alpha only with the alpha-palette wish.
d3d_format_table_s FillFormatTable(IDirect3D9* _d3d, D3DFORMAT _display, bool _alpha_palette);

struct d3d_format_bits_s {
    u32 color = 0;
    u32 alpha = 0;
    u32 depth = 0;
    u32 stencil = 0;
};
// Colour and alpha bits of a colour format, depth and stencil bits of a
// depth format; zeros for others.
d3d_format_bits_s GetFormatBits(D3DFORMAT _format);
// Storage bits per pixel of display and depth formats; 0 for others.
u32 GetFormatBitsPerPixel(D3DFORMAT _format);

// A falloff map of _width x _height: level 0 filled with trunc(255 x (1 -
// d)^(exponent / 2)) for d = (x² + y²) / r² < 1, else 0, r the smaller
// half side, then the mip chain; l8, or x8r8g8b8 with the value in blue,
// green and red.
void MakeFalloffMap(texture_image_c& _image, u32 _width, u32 _height, f32 _exponent, bool _grey);

// "Sprite Geometry": 256 quads of four vertices with position, diffuse
// (white, alpha = quad index) and one coordinate set, as one indexed
// triangle list: quad q is primitives 2q and 2q + 1, both clockwise.
geometry_def_c MakeSpriteGeometryDef();
