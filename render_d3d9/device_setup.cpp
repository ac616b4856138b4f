#include "render_d3d9/device_setup.h"
#include "platform/d3d9/d3d9_caps.h"

#include <algorithm>
#include <cmath>

namespace {

bool Has(DWORD _caps, DWORD _bits)
{
    return (_caps & _bits) == _bits;
}

}

bool CheckCaps(const D3DCAPS9& _caps, d3d_caps_wishes_s& _wishes)
{
    if (_wishes.vsync) {
        if (!Has(_caps.PresentationIntervals, D3DPRESENT_INTERVAL_ONE)) {
            _wishes.vsync = false;
        }
        if (!_wishes.vsync && !Has(_caps.PresentationIntervals, D3DPRESENT_INTERVAL_IMMEDIATE)) {
            return false;
        }
    } else {
        if (!Has(_caps.PresentationIntervals, D3DPRESENT_INTERVAL_IMMEDIATE)) {
            _wishes.vsync = true;
        }
        if (_wishes.vsync && !Has(_caps.PresentationIntervals, D3DPRESENT_INTERVAL_ONE)) {
            return false;
        }
    }
    _wishes.wbuffer = _wishes.wbuffer && Has(_caps.RasterCaps, D3DPRASTERCAPS_WBUFFER);
    _wishes.stencil = _wishes.stencil && Has(_caps.StencilCaps, D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_REPLACE |
                                                                    D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR);
    const i64 blend_indices = (i64{_caps.MaxVertexBlendMatrixIndex} + 1) / 2 - 1;
    if (_wishes.vertexProcessing == 2 &&
        (_caps.MaxStreams < 2 || !Has(_caps.VertexProcessingCaps, D3DVTXPCAPS_TWEENING) ||
         _caps.MaxVertexBlendMatrices < 4 || !Has(_caps.DeclTypes, D3DDTCAPS_UBYTE4) || blend_indices < 7 ||
         (_caps.VertexShaderVersion & 0xFFFF) < 0x0101)) {
        _wishes.vertexProcessing = 1;
    }
    if (_wishes.vertexProcessing == 1 &&
        (!Has(_caps.VertexProcessingCaps,
              D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS) ||
         _caps.MaxStreams == 0)) {
        _wishes.vertexProcessing = 0;
    }
    if (_wishes.vertexProcessing != 0) {
        _wishes.maxLights = std::min<u32>(_wishes.maxLights, _caps.MaxActiveLights);
    }
    _wishes.alphaPalette = _wishes.alphaPalette && Has(_caps.TextureCaps, D3DPTEXTURECAPS_ALPHAPALETTE);
    return Has(_caps.PrimitiveMiscCaps, D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCCW) &&
           Has(_caps.RasterCaps, D3DPRASTERCAPS_FOGVERTEX) &&
           Has(_caps.ZCmpCaps, D3DPCMPCAPS_LESSEQUAL | D3DPCMPCAPS_ALWAYS) &&
           Has(_caps.SrcBlendCaps, D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA |
                                       D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_DESTCOLOR) &&
           Has(_caps.DestBlendCaps,
               D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA) &&
           Has(_caps.AlphaCmpCaps, D3DPCMPCAPS_GREATEREQUAL) &&
           Has(_caps.ShadeCaps, D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                                    D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD) &&
           Has(_caps.TextureCaps, D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP) &&
           Has(_caps.TextureFilterCaps, D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                                            D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR |
                                            D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR) &&
           Has(_caps.TextureAddressCaps, D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_CLAMP) &&
           Has(_caps.LineCaps, D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND) &&
           (_caps.FVFCaps & D3DFVFCAPS_TEXCOORDCOUNTMASK) >= 1 &&
           Has(_caps.TextureOpCaps, D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_MODULATE |
                                        D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_BLENDDIFFUSEALPHA |
                                        D3DTEXOPCAPS_BLENDTEXTUREALPHA | D3DTEXOPCAPS_BLENDFACTORALPHA |
                                        D3DTEXOPCAPS_BLENDCURRENTALPHA) &&
           _caps.MaxTextureBlendStages >= 1 && _caps.MaxSimultaneousTextures >= 1;
}

std::vector<D3DFORMAT> DepthCandidates(bool _stencil, u32 _flags, D3DFORMAT _display)
{
    const bool display16 = _display == D3DFMT_R5G6B5 || _display == D3DFMT_X1R5G5B5 || _display == D3DFMT_A1R5G5B5 ||
                           _display == D3DFMT_A4R4G4B4 || _display == D3DFMT_X4R4G4B4;
    bool shallow = display16;
    if ((_flags & d3d_flag_depth_16) != 0) {
        shallow = true;
    } else if ((_flags & d3d_flag_depth_deep) != 0) {
        shallow = false;
    }
    if (_stencil) {
        return shallow ? std::vector{D3DFMT_D15S1, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_UNKNOWN}
                       : std::vector{D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D15S1, D3DFMT_UNKNOWN};
    }
    return shallow ? std::vector{D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D32, D3DFMT_UNKNOWN}
                   : std::vector{D3DFMT_D32, D3DFMT_D24X8, D3DFMT_D16, D3DFMT_UNKNOWN};
}

D3DFORMAT FindDepthFormat(IDirect3D9* _d3d, D3DFORMAT _adapter, D3DFORMAT _back_buffer,
                          const std::vector<D3DFORMAT>& _candidates)
{
    for (const D3DFORMAT candidate : _candidates) {
        if (candidate == D3DFMT_UNKNOWN) {
            break;
        }
        if (SUCCEEDED(_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, _adapter, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                              candidate)) &&
            SUCCEEDED(_d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, _adapter, _back_buffer, candidate))) {
            return candidate;
        }
    }
    return D3DFMT_UNKNOWN;
}

D3DFORMAT FindTextureFormat(IDirect3D9* _d3d, D3DFORMAT _adapter, DWORD _usage, bool _cube,
                            const std::vector<D3DFORMAT>& _candidates)
{
    for (const D3DFORMAT candidate : _candidates) {
        if (candidate == D3DFMT_UNKNOWN) {
            break;
        }
        if (SUCCEEDED(_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, _adapter, _usage,
                                              _cube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE, candidate))) {
            return candidate;
        }
    }
    return D3DFMT_UNKNOWN;
}

D3DMULTISAMPLE_TYPE FindMultiSampleType(IDirect3D9* _d3d, u32 _flags, D3DFORMAT _back_buffer, D3DFORMAT _depth,
                                        bool _windowed)
{
    if ((_flags & d3d_flag_multisample) == 0) {
        return D3DMULTISAMPLE_NONE;
    }
    std::vector<D3DMULTISAMPLE_TYPE> candidates{D3DMULTISAMPLE_3_SAMPLES, D3DMULTISAMPLE_2_SAMPLES};
    if ((_flags & d3d_flag_samples_4) != 0) {
        candidates = {D3DMULTISAMPLE_4_SAMPLES, D3DMULTISAMPLE_3_SAMPLES, D3DMULTISAMPLE_2_SAMPLES};
    } else if ((_flags & d3d_flag_samples_2) != 0) {
        candidates = {D3DMULTISAMPLE_2_SAMPLES};
    }
    for (const D3DMULTISAMPLE_TYPE candidate : candidates) {
        if (SUCCEEDED(_d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, _back_buffer, _windowed ? 1 : 0, candidate,
                                                       nullptr)) &&
            SUCCEEDED(
                _d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, _depth, _windowed ? 1 : 0, candidate, nullptr))) {
            return candidate;
        }
    }
    return D3DMULTISAMPLE_NONE;
}

d3d_format_table_s FillFormatTable(IDirect3D9* _d3d, D3DFORMAT _display, bool _alpha_palette)
{
    static const std::vector<D3DFORMAT> candidates[12] = {
        {},
        {D3DFMT_L8, D3DFMT_P8},
        {D3DFMT_X8R8G8B8},
        {D3DFMT_A8R8G8B8},
        {D3DFMT_R5G6B5},
        {D3DFMT_X1R5G5B5},
        {D3DFMT_A1R5G5B5},
        {D3DFMT_X4R4G4B4},
        {D3DFMT_A4R4G4B4},
        {D3DFMT_DXT1},
        {D3DFMT_DXT3},
        {D3DFMT_DXT5},
    };
    d3d_format_table_s table;
    for (u32 row = 0; row < 2; ++row) {
        const bool cube = row == 1;
        for (u32 index = 0; index < 12; ++index) {
            table.rows[row][index] = FindTextureFormat(_d3d, _display, 0, cube, candidates[index]);
        }
        const std::vector<D3DFORMAT> alpha =
            _alpha_palette ? std::vector{D3DFMT_A8, D3DFMT_P8} : std::vector{D3DFMT_A8};
        table.alphaOnly[row] = FindTextureFormat(_d3d, _display, 0, cube, alpha);
        table.bump[row] = FindTextureFormat(_d3d, _display, 0, cube, {D3DFMT_V8U8});
    }
    return table;
}

d3d_format_bits_s GetFormatBits(D3DFORMAT _format)
{
    switch (_format) {
    case D3DFMT_R8G8B8: return {24, 0, 0, 0};
    case D3DFMT_A8R8G8B8: return {24, 8, 0, 0};
    case D3DFMT_X8R8G8B8: return {24, 0, 0, 0};
    case D3DFMT_R5G6B5: return {16, 0, 0, 0};
    case D3DFMT_X1R5G5B5: return {15, 0, 0, 0};
    case D3DFMT_A1R5G5B5: return {15, 1, 0, 0};
    case D3DFMT_A4R4G4B4: return {12, 4, 0, 0};
    case D3DFMT_R3G3B2: return {8, 0, 0, 0};
    case D3DFMT_A8: return {0, 8, 0, 0};
    case D3DFMT_A8R3G3B2: return {8, 8, 0, 0};
    case D3DFMT_X4R4G4B4: return {12, 0, 0, 0};
    case D3DFMT_A2B10G10R10: return {30, 2, 0, 0};
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D16: return {0, 0, 16, 0};
    case D3DFMT_D32: return {0, 0, 32, 0};
    case D3DFMT_D15S1: return {0, 0, 15, 1};
    case D3DFMT_D24S8: return {0, 0, 24, 8};
    case D3DFMT_D24X8: return {0, 0, 24, 0};
    case D3DFMT_D24X4S4: return {0, 0, 24, 4};
    default: return {};
    }
}

u32 GetFormatBitsPerPixel(D3DFORMAT _format)
{
    switch (_format) {
    case D3DFMT_R8G8B8: return 24;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4: return 32;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D15S1:
    case D3DFMT_D16: return 16;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8: return 8;
    default: return 0;
    }
}

void MakeFalloffMap(texture_image_c& _image, u32 _width, u32 _height, f32 _exponent, bool _grey)
{
    _image.Create(static_cast<int>(_width), static_cast<int>(_height), _grey ? format_l8 : format_x8r8g8b8, false,
                  false);
    image_c& level = _image.GetLevel(0);
    const i32 half_width = static_cast<i32>(_width / 2);
    const i32 half_height = static_cast<i32>(_height / 2);
    const f32 r = static_cast<f32>(std::min(half_width, half_height));
    u8* out = level.GetData();
    for (i32 y = -half_height; y < static_cast<i32>(_height) - half_height; ++y) {
        for (i32 x = -half_width; x < static_cast<i32>(_width) - half_width; ++x) {
            const f32 d = (static_cast<f32>(x * x) + static_cast<f32>(y * y)) / (r * r);
            const u8 value =
                d < 1.0f ? static_cast<u8>(255.0f * std::pow(1.0f - d, _exponent * 0.5f)) : static_cast<u8>(0);
            if (_grey) {
                *out++ = value;
            } else {
                *out++ = value;
                *out++ = value;
                *out++ = value;
                *out++ = 0;
            }
        }
    }
    _image.CreateMipmaps();
}

geometry_def_c MakeSpriteGeometryDef()
{
    geometry_def_c definition("Sprite Geometry");
    definition.format.hasPosition = 1;
    definition.format.hasDiffuse = 1;
    definition.format.texCoordSetCount = 1;
    auto* set = new triangle_set_c;
    set->vertices.resize(1024);
    static constexpr f32 corners[4][4] = {{-1, 1, 0, 0}, {1, 1, 1, 0}, {-1, -1, 0, 1}, {1, -1, 1, 1}};
    for (u32 quad = 0; quad < 256; ++quad) {
        for (u32 corner = 0; corner < 4; ++corner) {
            vertex_c& vertex = set->vertices[quad * 4 + corner];
            vertex.position = {corners[corner][0], corners[corner][1], 0.0f};
            vertex.texCoords[0][0] = corners[corner][2];
            vertex.texCoords[0][1] = corners[corner][3];
            vertex.diffuse = 0x00FFFFFFu | (quad << 24);
        }
        const u32 first = quad * 4;
        set->indices.insert(set->indices.end(), {first, first + 1, first + 2, first + 2, first + 1, first + 3});
    }
    definition.AddPrimitiveSet(set);
    return definition;
}
