#include "render_d3d9/texture_stage.h"

D3DMATRIX WidenMatrix(const mat4x3_c& _matrix)
{
    D3DMATRIX out;
    for (u32 row = 0; row < 4; ++row) {
        for (u32 column = 0; column < 3; ++column) {
            out.m[row][column] = _matrix.m[row][column];
        }
        out.m[row][3] = row == 3 ? 1.0f : 0.0f;
    }
    return out;
}

d3d_texture_stage_c::d3d_texture_stage_c(IDirect3DDevice9* _device, u32 _stage, bool _may_hold_texture)
    : device(_device), stage(_stage), mayHoldTexture(_may_hold_texture), coordIndex(_stage)
{
    for (const auto state : {D3DTSS_COLOROP, D3DTSS_ALPHAOP}) {
        device->SetTextureStageState(stage, state, D3DTOP_DISABLE);
    }
    for (const auto state :
         {D3DTSS_COLORARG0, D3DTSS_COLORARG1, D3DTSS_COLORARG2, D3DTSS_ALPHAARG0, D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2}) {
        device->SetTextureStageState(stage, state, D3DTA_CURRENT);
    }
    device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, stage);
    device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    for (const auto state : {D3DTSS_BUMPENVMAT00, D3DTSS_BUMPENVMAT01, D3DTSS_BUMPENVMAT10, D3DTSS_BUMPENVMAT11}) {
        device->SetTextureStageState(stage, state, 0);
    }
    if (mayHoldTexture) {
        device->SetTexture(stage, nullptr);
    }
}

d3d_texture_stage_c::~d3d_texture_stage_c() = default;

void d3d_texture_stage_c::Send(D3DTEXTURESTAGESTATETYPE _state, DWORD _value, DWORD& _cached)
{
    if (_value != _cached) {
        device->SetTextureStageState(stage, _state, _value);
        _cached = _value;
    }
}

void d3d_texture_stage_c::SendOp(const d3d_stage_op_s& _wanted, d3d_stage_op_s& _cached, bool _alpha)
{
    const D3DTEXTURESTAGESTATETYPE op = _alpha ? D3DTSS_ALPHAOP : D3DTSS_COLOROP;
    const D3DTEXTURESTAGESTATETYPE arg0 = _alpha ? D3DTSS_ALPHAARG0 : D3DTSS_COLORARG0;
    const D3DTEXTURESTAGESTATETYPE arg1 = _alpha ? D3DTSS_ALPHAARG1 : D3DTSS_COLORARG1;
    const D3DTEXTURESTAGESTATETYPE arg2 = _alpha ? D3DTSS_ALPHAARG2 : D3DTSS_COLORARG2;
    DWORD cached_op = _cached.op;
    Send(op, _wanted.op, cached_op);
    _cached.op = static_cast<D3DTEXTUREOP>(cached_op);
    const bool no_args = _wanted.op == D3DTOP_DISABLE ||
                         (!_alpha && (_wanted.op == D3DTOP_BUMPENVMAP || _wanted.op == D3DTOP_BUMPENVMAPLUMINANCE));
    if (no_args) {
        return;
    }
    if (_wanted.op == D3DTOP_MULTIPLYADD || _wanted.op == D3DTOP_LERP) {
        Send(arg0, _wanted.arg0, _cached.arg0);
    }
    if (_wanted.op != D3DTOP_SELECTARG2) {
        Send(arg1, _wanted.arg1, _cached.arg1);
    }
    if (_wanted.op != D3DTOP_SELECTARG1) {
        Send(arg2, _wanted.arg2, _cached.arg2);
    }
}

void d3d_texture_stage_c::Setup(const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                                IDirect3DBaseTexture9* _texture, i32 _coord_index, const mat4x3_c* _transform,
                                f32 _bump_scale)
{
    SendOp(_color, color, false);
    SendOp(_alpha, alpha, true);
    if (mayHoldTexture) {
        if (_texture != texture) {
            device->SetTexture(stage, _texture);
            texture = _texture;
        }
        if (_texture != nullptr) {
            Send(D3DTSS_TEXCOORDINDEX, _coord_index < 0 ? stage : static_cast<DWORD>(_coord_index), coordIndex);
            if (_transform != nullptr) {
                const D3DMATRIX wanted = WidenMatrix(*_transform);
                if (transformFlags == D3DTTFF_DISABLE || !(wanted == transform)) {
                    device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage), &wanted);
                    transform = wanted;
                }
                const bool cube = _texture->GetType() == D3DRTYPE_CUBETEXTURE;
                Send(D3DTSS_TEXTURETRANSFORMFLAGS, cube ? D3DTTFF_COUNT3 : D3DTTFF_COUNT2, transformFlags);
            } else {
                Send(D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE, transformFlags);
            }
        }
    }
    if (_color.op == D3DTOP_BUMPENVMAP) {
        const DWORD scale = FloatToDword(_bump_scale);
        Send(D3DTSS_BUMPENVMAT00, scale, bump00);
        Send(D3DTSS_BUMPENVMAT11, scale, bump11);
    }
}

void d3d_texture_stage_c::UnbindTexture()
{
    if (mayHoldTexture && texture != nullptr) {
        device->SetTexture(stage, nullptr);
        texture = nullptr;
    }
}

d3d_sampler_c::d3d_sampler_c(IDirect3DDevice9* _device, u32 _sampler, u32 _max_anisotropy)
    : device(_device), sampler(_sampler), maxAnisotropy(_max_anisotropy)
{
    if (maxAnisotropy > 1) {
        device->SetSamplerState(sampler, D3DSAMP_MAXANISOTROPY, maxAnisotropy);
    }
    device->SetSamplerState(sampler, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(sampler, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(sampler, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    device->SetSamplerState(sampler, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(sampler, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

void d3d_sampler_c::Send(D3DSAMPLERSTATETYPE _state, DWORD _value, DWORD& _cached)
{
    if (_value != _cached) {
        device->SetSamplerState(sampler, _state, _value);
        _cached = _value;
    }
}

void d3d_sampler_c::Setup(bool _mip, bool _filtered, bool _wrap)
{
    if (_filtered) {
        Send(D3DSAMP_MAGFILTER, D3DTEXF_LINEAR, mag);
        Send(D3DSAMP_MINFILTER, maxAnisotropy >= 2 ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR, min);
        Send(D3DSAMP_MIPFILTER, _mip ? D3DTEXF_LINEAR : D3DTEXF_NONE, mip);
    } else {
        Send(D3DSAMP_MAGFILTER, D3DTEXF_POINT, mag);
        Send(D3DSAMP_MINFILTER, D3DTEXF_POINT, min);
        Send(D3DSAMP_MIPFILTER, _mip ? D3DTEXF_POINT : D3DTEXF_NONE, mip);
    }
    const DWORD wanted = _wrap ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
    if (wanted != address) {
        device->SetSamplerState(sampler, D3DSAMP_ADDRESSU, wanted);
        device->SetSamplerState(sampler, D3DSAMP_ADDRESSV, wanted);
        address = wanted;
    }
}
