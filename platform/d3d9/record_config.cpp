#include "platform/d3d9/record_config.h"

#include <algorithm>
#include <cstring>

record_config_c::record_config_c()
{
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                             D3DPMISCCAPS_COLORWRITEENABLE;
    caps.RasterCaps = D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_ANISOTROPY | D3DPRASTERCAPS_WBUFFER;
    caps.ZCmpCaps = D3DPCMPCAPS_LESS | D3DPCMPCAPS_LESSEQUAL | D3DPCMPCAPS_GREATEREQUAL | D3DPCMPCAPS_ALWAYS;
    caps.SrcBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA |
                        D3DPBLENDCAPS_DESTCOLOR;
    caps.DestBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA;
    caps.AlphaCmpCaps = D3DPCMPCAPS_GREATEREQUAL | D3DPCMPCAPS_ALWAYS;
    caps.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                     D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
    caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_ALPHAPALETTE |
                       D3DPTEXTURECAPS_NONPOW2CONDITIONAL | D3DPTEXTURECAPS_CUBEMAP | D3DPTEXTURECAPS_MIPMAP;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                             D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_CLAMP;
    caps.LineCaps = D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND;
    caps.MaxTextureWidth = 2048;
    caps.MaxTextureHeight = 2048;
    caps.MaxTextureAspectRatio = 2048;
    caps.MaxAnisotropy = 16;
    caps.StencilCaps = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_REPLACE | D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR |
                       D3DSTENCILCAPS_TWOSIDED;
    caps.FVFCaps = 8;
    caps.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_MODULATE |
                         D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_BLENDDIFFUSEALPHA |
                         D3DTEXOPCAPS_BLENDTEXTUREALPHA | D3DTEXOPCAPS_BLENDFACTORALPHA |
                         D3DTEXOPCAPS_BLENDCURRENTALPHA | D3DTEXOPCAPS_BUMPENVMAP | D3DTEXOPCAPS_MULTIPLYADD;
    caps.MaxTextureBlendStages = 8;
    caps.MaxSimultaneousTextures = 8;
    caps.VertexProcessingCaps =
        D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_TWEENING;
    caps.MaxActiveLights = 8;
    caps.MaxVertexBlendMatrices = 4;
    caps.MaxVertexBlendMatrixIndex = 255;
    caps.MaxPointSize = 256.0f;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = 16;
    caps.VertexShaderVersion = D3DVS_VERSION(2, 0);
    caps.MaxVertexShaderConst = 256;
    caps.PixelShaderVersion = D3DPS_VERSION(2, 0);
    caps.DeclTypes = D3DDTCAPS_UBYTE4;
    caps.NumSimultaneousRTs = 4;

    std::strcpy(identifier.Driver, "record.drv");
    std::strcpy(identifier.Description, "Recording device");
    identifier.DriverVersion.HighPart = (6 << 16) | 14;
    identifier.DriverVersion.LowPart = (10 << 16) | 2;

    displayMode = {1024, 768, 60, D3DFMT_X8R8G8B8};
    modes[D3DFMT_X8R8G8B8] = {{1024, 768, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_X8R8G8B8}};
    modes[D3DFMT_R5G6B5] = {{800, 600, 60, D3DFMT_R5G6B5}};
    depthMatches = {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24X4S4, D3DFMT_D32};
    multisampleTypes = {D3DMULTISAMPLE_2_SAMPLES, D3DMULTISAMPLE_4_SAMPLES};
}

void record_config_c::Accept(DWORD _usage, D3DRESOURCETYPE _type, D3DFORMAT _format)
{
    acceptAllFormats = false;
    formats.insert({_usage, _type, _format});
}

bool record_config_c::Accepts(DWORD _usage, D3DRESOURCETYPE _type, D3DFORMAT _format) const
{
    return acceptAllFormats || formats.contains({_usage, _type, _format});
}

void record_config_c::Fail(const std::string& _call, HRESULT _result, u32 _after)
{
    failures[_call] = failure_s{_result, _after, 0};
}

HRESULT record_config_c::Check(const std::string& _call)
{
    const auto found = failures.find(_call);
    if (found == failures.end()) {
        return D3D_OK;
    }
    failure_s& failure = found->second;
    if (failure.seen < failure.after) {
        ++failure.seen;
        return D3D_OK;
    }
    return failure.result;
}

void record_config_c::Log(const std::string& _name, u64 _a, u64 _b)
{
    log.push_back({_name, _a, _b});
    ++counts[_name];
}

u32 record_config_c::Count(const std::string& _name) const
{
    const auto found = counts.find(_name);
    return found == counts.end() ? 0 : found->second;
}

u32 record_config_c::Count(const std::string& _name, u64 _a) const
{
    return static_cast<u32>(std::count_if(
        log.begin(), log.end(), [&](const record_call_s& _call) { return _call.name == _name && _call.a == _a; }));
}

void record_config_c::ClearLog()
{
    log.clear();
    counts.clear();
}
