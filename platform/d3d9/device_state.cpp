#include "platform/d3d9/device_state.h"

#include <bit>

DWORD FloatToDword(f32 _value)
{
    return std::bit_cast<DWORD>(_value);
}

f32 DwordToFloat(DWORD _value)
{
    return std::bit_cast<f32>(_value);
}

u32 D3DDeclTypeSize(u8 _type)
{
    switch (_type) {
    case D3DDECLTYPE_FLOAT1: return 4;
    case D3DDECLTYPE_FLOAT2: return 8;
    case D3DDECLTYPE_FLOAT3: return 12;
    case D3DDECLTYPE_FLOAT4: return 16;
    case D3DDECLTYPE_D3DCOLOR:
    case D3DDECLTYPE_UBYTE4: return 4;
    default: return 0;
    }
}

d3d9_device_state_c::d3d9_device_state_c()
{
    auto& rs = renderStates;
    rs[D3DRS_ZENABLE] = D3DZB_TRUE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = 1;
    rs[D3DRS_LASTPIXEL] = 1;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGSTART] = FloatToDword(0.0f);
    rs[D3DRS_FOGEND] = FloatToDword(1.0f);
    rs[D3DRS_FOGDENSITY] = FloatToDword(1.0f);
    rs[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = 0xFFFFFFFFu;
    rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    rs[D3DRS_CLIPPING] = 1;
    rs[D3DRS_LIGHTING] = 1;
    rs[D3DRS_FOGVERTEXMODE] = D3DFOG_NONE;
    rs[D3DRS_COLORVERTEX] = 1;
    rs[D3DRS_LOCALVIEWER] = 1;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_POINTSIZE] = FloatToDword(1.0f);
    rs[D3DRS_POINTSIZE_MIN] = FloatToDword(1.0f);
    rs[D3DRS_POINTSCALE_A] = FloatToDword(1.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = 1;
    rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFFu;
    rs[D3DRS_POINTSIZE_MAX] = FloatToDword(64.0f);
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_CCW_STENCILFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILPASS] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_COLORWRITEENABLE1] = 0xF;
    rs[D3DRS_COLORWRITEENABLE2] = 0xF;
    rs[D3DRS_COLORWRITEENABLE3] = 0xF;
    rs[D3DRS_BLENDFACTOR] = 0xFFFFFFFFu;

    for (u32 stage = 0; stage < d3d_stage_count; ++stage) {
        auto& ts = stageStates[stage];
        ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = stage;
        ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        textureTransforms[stage] = d3d_identity_matrix;
    }
    for (auto& ss : samplerStates) {
        ss[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        ss[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        ss[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        ss[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        ss[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        ss[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        ss[D3DSAMP_MAXANISOTROPY] = 1;
    }
    worldMatrices.fill(d3d_identity_matrix);
    for (auto& slot : lights) {
        slot.light.Type = D3DLIGHT_DIRECTIONAL;
        slot.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        slot.light.Direction = {0.0f, 0.0f, 1.0f};
    }
}

D3DMATRIX* d3d9_device_state_c::Transform(D3DTRANSFORMSTATETYPE _state)
{
    const u32 state = _state;
    if (state == D3DTS_VIEW) {
        return &view;
    }
    if (state == D3DTS_PROJECTION) {
        return &projection;
    }
    if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) {
        return &textureTransforms[state - D3DTS_TEXTURE0];
    }
    if (state >= D3DTS_WORLD && state < D3DTS_WORLD + d3d_world_matrix_count) {
        return &worldMatrices[state - D3DTS_WORLD];
    }
    return nullptr;
}
