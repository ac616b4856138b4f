#pragma once
// d3d_texture_stage_c and d3d_sampler_c: one fixed-function texture stage
// and one sampler of the device, each remembering what it last sent.
//
// A stage is set from a colour and an alpha operation record {operation,
// argument 0, 1, 2}: argument 0 goes only with MULTIPLYADD and LERP,
// argument 1 unless the operation is SELECTARG2, argument 2 unless it is
// SELECTARG1; DISABLE, BUMPENVMAP and BUMPENVMAPLUMINANCE take none on the
// colour side, DISABLE none on the alpha side. A stage that may hold a
// texture also binds the texture (or none); with a texture, its coordinate
// index (the stage's own for a negative one) and its transform: a 4x3
// transform is widened to 4x4 and sent with COUNT3 for a cube texture, else
// COUNT2; none sets the flags back to DISABLE. BUMPENVMAP sets BUMPENVMAT00
// and 11 to the bump scale. Nothing is sent that has not changed.
#include "foundation/matrix.h"
#include "platform/d3d9/d3d9.h"

struct d3d_stage_op_s {
    D3DTEXTUREOP op = D3DTOP_DISABLE;
    DWORD arg0 = D3DTA_CURRENT;
    DWORD arg1 = D3DTA_CURRENT;
    DWORD arg2 = D3DTA_CURRENT;
    bool operator==(const d3d_stage_op_s&) const = default;
};

class d3d_texture_stage_c {
public:
    // Sends the creation state: COLOROP and ALPHAOP DISABLE, all arguments
    // CURRENT, coordinate index = stage, no transform, zero bump matrix, no
    // texture.
    d3d_texture_stage_c(IDirect3DDevice9* _device, u32 _stage, bool _may_hold_texture);
    ~d3d_texture_stage_c();
    d3d_texture_stage_c(const d3d_texture_stage_c&) = delete;
    d3d_texture_stage_c& operator=(const d3d_texture_stage_c&) = delete;

    void Setup(const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha, IDirect3DBaseTexture9* _texture,
               i32 _coord_index, const mat4x3_c* _transform, f32 _bump_scale);
    // Unbinds the texture only.
    void UnbindTexture();
    bool MayHoldTexture() const { return mayHoldTexture; }

private:
    void SendOp(const d3d_stage_op_s& _wanted, d3d_stage_op_s& _cached, bool _alpha);
    void Send(D3DTEXTURESTAGESTATETYPE _state, DWORD _value, DWORD& _cached);

    IDirect3DDevice9* device;
    u32 stage;
    bool mayHoldTexture;
    d3d_stage_op_s color{D3DTOP_DISABLE};
    d3d_stage_op_s alpha{D3DTOP_DISABLE};
    IDirect3DBaseTexture9* texture = nullptr; // not owned; compared only
    DWORD coordIndex;
    DWORD transformFlags = D3DTTFF_DISABLE;
    D3DMATRIX transform;
    DWORD bump00 = 0;
    DWORD bump11 = 0;
};

class d3d_sampler_c {
public:
    // Sends MAXANISOTROPY when the limit is above 1, POINT filters, no mip
    // filter and CLAMP addressing.
    d3d_sampler_c(IDirect3DDevice9* _device, u32 _sampler, u32 _max_anisotropy);

    // Filtered: LINEAR magnification, ANISOTROPIC minification when the
    // limit is 2 or more else LINEAR, LINEAR mip filter when mip-mapped
    // else NONE. Unfiltered: POINT, POINT, POINT or NONE. Wrap or clamp.
    void Setup(bool _mip, bool _filtered, bool _wrap);

private:
    void Send(D3DSAMPLERSTATETYPE _state, DWORD _value, DWORD& _cached);

    IDirect3DDevice9* device;
    u32 sampler;
    u32 maxAnisotropy;
    DWORD mag = D3DTEXF_POINT;
    DWORD min = D3DTEXF_POINT;
    DWORD mip = D3DTEXF_NONE;
    DWORD address = D3DTADDRESS_CLAMP;
};

// A 4x3 transform widened to 4x4 with the column (0, 0, 0, 1).
D3DMATRIX WidenMatrix(const mat4x3_c& _matrix);
