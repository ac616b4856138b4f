#pragma once
// The capability record of a device and the bits the renderer tests in it.
// Only the fields the renderer reads are kept; a backend fills them from
// what it can really do, the record backend from its configuration.
#include "platform/d3d9/d3d9_types.h"

struct D3DCAPS9 {
    D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
    UINT AdapterOrdinal = 0;
    DWORD PresentationIntervals = 0;
    DWORD PrimitiveMiscCaps = 0;
    DWORD RasterCaps = 0;
    DWORD ZCmpCaps = 0;
    DWORD SrcBlendCaps = 0;
    DWORD DestBlendCaps = 0;
    DWORD AlphaCmpCaps = 0;
    DWORD ShadeCaps = 0;
    DWORD TextureCaps = 0;
    DWORD TextureFilterCaps = 0;
    DWORD TextureAddressCaps = 0;
    DWORD LineCaps = 0;
    DWORD MaxTextureWidth = 0;
    DWORD MaxTextureHeight = 0;
    DWORD MaxTextureAspectRatio = 0;
    DWORD MaxAnisotropy = 0;
    DWORD StencilCaps = 0;
    DWORD FVFCaps = 0;
    DWORD TextureOpCaps = 0;
    DWORD MaxTextureBlendStages = 0;
    DWORD MaxSimultaneousTextures = 0;
    DWORD VertexProcessingCaps = 0;
    DWORD MaxActiveLights = 0;
    DWORD MaxVertexBlendMatrices = 0;
    DWORD MaxVertexBlendMatrixIndex = 0;
    f32 MaxPointSize = 0.0f;
    DWORD MaxPrimitiveCount = 0;
    DWORD MaxVertexIndex = 0;
    DWORD MaxStreams = 0;
    DWORD VertexShaderVersion = 0;
    DWORD MaxVertexShaderConst = 0;
    DWORD PixelShaderVersion = 0;
    DWORD DeclTypes = 0;
    DWORD NumSimultaneousRTs = 0;
};

constexpr DWORD D3DVS_VERSION(u32 _major, u32 _minor)
{
    return 0xFFFE0000u | (_major << 8) | _minor;
}
constexpr DWORD D3DPS_VERSION(u32 _major, u32 _minor)
{
    return 0xFFFF0000u | (_major << 8) | _minor;
}

constexpr DWORD D3DPMISCCAPS_MASKZ = 0x2;
constexpr DWORD D3DPMISCCAPS_CULLNONE = 0x10;
constexpr DWORD D3DPMISCCAPS_CULLCW = 0x20;
constexpr DWORD D3DPMISCCAPS_CULLCCW = 0x40;
constexpr DWORD D3DPMISCCAPS_COLORWRITEENABLE = 0x80;

constexpr DWORD D3DPRASTERCAPS_FOGVERTEX = 0x80;
constexpr DWORD D3DPRASTERCAPS_ANISOTROPY = 0x20000;
constexpr DWORD D3DPRASTERCAPS_WBUFFER = 0x40000;

constexpr DWORD D3DPCMPCAPS_LESS = 0x2;
constexpr DWORD D3DPCMPCAPS_LESSEQUAL = 0x8;
constexpr DWORD D3DPCMPCAPS_GREATEREQUAL = 0x40;
constexpr DWORD D3DPCMPCAPS_ALWAYS = 0x80;

constexpr DWORD D3DPBLENDCAPS_ZERO = 0x1;
constexpr DWORD D3DPBLENDCAPS_ONE = 0x2;
constexpr DWORD D3DPBLENDCAPS_SRCALPHA = 0x10;
constexpr DWORD D3DPBLENDCAPS_INVSRCALPHA = 0x20;
constexpr DWORD D3DPBLENDCAPS_DESTCOLOR = 0x100;

constexpr DWORD D3DPSHADECAPS_COLORGOURAUDRGB = 0x8;
constexpr DWORD D3DPSHADECAPS_SPECULARGOURAUDRGB = 0x200;
constexpr DWORD D3DPSHADECAPS_ALPHAGOURAUDBLEND = 0x4000;
constexpr DWORD D3DPSHADECAPS_FOGGOURAUD = 0x80000;

constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x1;
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x2;
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x4;
constexpr DWORD D3DPTEXTURECAPS_SQUAREONLY = 0x20;
constexpr DWORD D3DPTEXTURECAPS_ALPHAPALETTE = 0x80;
constexpr DWORD D3DPTEXTURECAPS_NONPOW2CONDITIONAL = 0x100;
constexpr DWORD D3DPTEXTURECAPS_CUBEMAP = 0x800;
constexpr DWORD D3DPTEXTURECAPS_MIPMAP = 0x4000;

constexpr DWORD D3DPTFILTERCAPS_MINFPOINT = 0x100;
constexpr DWORD D3DPTFILTERCAPS_MINFLINEAR = 0x200;
constexpr DWORD D3DPTFILTERCAPS_MIPFPOINT = 0x10000;
constexpr DWORD D3DPTFILTERCAPS_MIPFLINEAR = 0x20000;
constexpr DWORD D3DPTFILTERCAPS_MAGFPOINT = 0x1000000;
constexpr DWORD D3DPTFILTERCAPS_MAGFLINEAR = 0x2000000;

constexpr DWORD D3DPTADDRESSCAPS_WRAP = 0x1;
constexpr DWORD D3DPTADDRESSCAPS_CLAMP = 0x4;

constexpr DWORD D3DLINECAPS_ZTEST = 0x2;
constexpr DWORD D3DLINECAPS_BLEND = 0x4;

constexpr DWORD D3DSTENCILCAPS_KEEP = 0x1;
constexpr DWORD D3DSTENCILCAPS_REPLACE = 0x4;
constexpr DWORD D3DSTENCILCAPS_INCR = 0x40;
constexpr DWORD D3DSTENCILCAPS_DECR = 0x80;
constexpr DWORD D3DSTENCILCAPS_TWOSIDED = 0x100;

constexpr DWORD D3DFVFCAPS_TEXCOORDCOUNTMASK = 0xFFFF;

constexpr DWORD D3DTEXOPCAPS_DISABLE = 0x1;
constexpr DWORD D3DTEXOPCAPS_SELECTARG1 = 0x2;
constexpr DWORD D3DTEXOPCAPS_MODULATE = 0x8;
constexpr DWORD D3DTEXOPCAPS_MODULATE2X = 0x10;
constexpr DWORD D3DTEXOPCAPS_ADD = 0x40;
constexpr DWORD D3DTEXOPCAPS_BLENDDIFFUSEALPHA = 0x800;
constexpr DWORD D3DTEXOPCAPS_BLENDTEXTUREALPHA = 0x1000;
constexpr DWORD D3DTEXOPCAPS_BLENDFACTORALPHA = 0x2000;
constexpr DWORD D3DTEXOPCAPS_BLENDCURRENTALPHA = 0x8000;
constexpr DWORD D3DTEXOPCAPS_BUMPENVMAP = 0x200000;
constexpr DWORD D3DTEXOPCAPS_MULTIPLYADD = 0x1000000;

constexpr DWORD D3DVTXPCAPS_TEXGEN = 0x1;
constexpr DWORD D3DVTXPCAPS_DIRECTIONALLIGHTS = 0x8;
constexpr DWORD D3DVTXPCAPS_POSITIONALLIGHTS = 0x10;
constexpr DWORD D3DVTXPCAPS_TWEENING = 0x40;

constexpr DWORD D3DDTCAPS_UBYTE4 = 0x1;

// A capable hardware device of the time: every cap the renderer asks
// about, shader models 2.0, eight lights and stages, 2048-texel textures,
// indexed blending over 256 matrices, four render targets.
D3DCAPS9 D3DHardwareCaps();
