#include "render_d3d9/state_cache.h"
#include "engine/color.h"
#include "platform/d3d9/shader_tokens.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

DWORD VersionNumber(DWORD _version)
{
    return (ShaderMajorVersion(_version) << 8) | ShaderMinorVersion(_version);
}

bool ColorDiffers(const D3DCOLORVALUE& _a, const D3DCOLORVALUE& _b)
{
    return std::fabs(_a.r - _b.r) >= FLT_EPSILON || std::fabs(_a.g - _b.g) >= FLT_EPSILON ||
           std::fabs(_a.b - _b.b) >= FLT_EPSILON;
}

template <class T>
void ReleaseAndClear(T*& _object)
{
    if (_object != nullptr) {
        _object->Release();
        _object = nullptr;
    }
}

}

d3d_state_cache_c::~d3d_state_cache_c()
{
    Reset();
}

void d3d_state_cache_c::PutDefaults()
{
    renderStates.fill(0);
    auto& rs = renderStates;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_GREATEREQUAL;
    rs[D3DRS_RANGEFOGENABLE] = 1;
    rs[D3DRS_POINTSCALE_C] = FloatToDword(1.0f);
    rs[D3DRS_CULLMODE] = D3DCULL_NONE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_ZFUNC] = D3DCMP_LESS;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_CCW_STENCILPASS] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_SHADEMODE] = D3DSHADE_FLAT;
    rs[D3DRS_FOGVERTEXMODE] = D3DFOG_LINEAR;
    rs[D3DRS_FOGEND] = FloatToDword(1.0f);
    rs[D3DRS_FOGDENSITY] = FloatToDword(1.0f);
    rs[D3DRS_POINTSIZE] = FloatToDword(1.0f);
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    zEnable = false;
    zFunc = D3DCMP_LESS;
    viewport = D3DVIEWPORT9{};
    material = D3DMATERIAL9{};
    fvf = 0;
    declaration = nullptr;
    vertexShaderRow = 0;
    vertexShader = nullptr;
    pixelEntry = 0;
    streams[0] = streams[1] = nullptr;
    strides[0] = strides[1] = 0;
    indices = nullptr;
    softwareProcessing = false;
    tweening = false;
    indexedBlend = false;
    blendWeights = 0;
    blending = false;
}

void d3d_state_cache_c::SendDefaults()
{
    // The states the cache starts from, sent so that device and cache
    // agree; COLORVERTEX and TEXTUREFACTOR are among them because the
    // device's own defaults differ from the cache's.
    static constexpr D3DRENDERSTATETYPE sent[] = {
        D3DRS_ALPHAFUNC,         D3DRS_RANGEFOGENABLE, D3DRS_POINTSCALE_A,
        D3DRS_POINTSCALE_B,      D3DRS_POINTSCALE_C,   D3DRS_NORMALIZENORMALS,
        D3DRS_CULLMODE,          D3DRS_CLIPPING,       D3DRS_FILLMODE,
        D3DRS_ZENABLE,           D3DRS_ZWRITEENABLE,   D3DRS_ZFUNC,
        D3DRS_STENCILENABLE,     D3DRS_STENCILREF,     D3DRS_STENCILFUNC,
        D3DRS_STENCILPASS,       D3DRS_STENCILFAIL,    D3DRS_STENCILZFAIL,
        D3DRS_ALPHATESTENABLE,   D3DRS_ALPHAREF,       D3DRS_ALPHABLENDENABLE,
        D3DRS_SRCBLEND,          D3DRS_DESTBLEND,      D3DRS_SHADEMODE,
        D3DRS_SPECULARENABLE,    D3DRS_FOGENABLE,      D3DRS_FOGVERTEXMODE,
        D3DRS_FOGCOLOR,          D3DRS_FOGSTART,       D3DRS_FOGEND,
        D3DRS_FOGDENSITY,        D3DRS_POINTSIZE,      D3DRS_POINTSCALEENABLE,
        D3DRS_POINTSPRITEENABLE, D3DRS_VERTEXBLEND,    D3DRS_INDEXEDVERTEXBLENDENABLE,
        D3DRS_TWEENFACTOR,       D3DRS_COLORVERTEX,    D3DRS_TEXTUREFACTOR,
    };
    for (const D3DRENDERSTATETYPE state : sent) {
        device->SetRenderState(state, renderStates[state]);
    }
    if ((caps.StencilCaps & D3DSTENCILCAPS_TWOSIDED) != 0) {
        for (const D3DRENDERSTATETYPE state : {D3DRS_TWOSIDEDSTENCILMODE, D3DRS_CCW_STENCILFUNC, D3DRS_CCW_STENCILPASS,
                                               D3DRS_CCW_STENCILFAIL, D3DRS_CCW_STENCILZFAIL}) {
            device->SetRenderState(state, renderStates[state]);
        }
    }
    for (UINT stream = 0; stream < std::min<DWORD>(2, caps.MaxStreams); ++stream) {
        device->SetStreamSource(stream, nullptr, 0, 0);
    }
    device->SetIndices(nullptr);
    if (vertexProcessing == d3d_vp_mixed) {
        device->SetSoftwareVertexProcessing(0);
    }
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
}

bool d3d_state_cache_c::Init(IDirect3DDevice9* _device, u32 _vertex_processing, u32 _max_lights, bool _wbuffer,
                             bool _stencil, const d3d_shader_set_s& _shaders, u32 _anisotropy_limit)
{
    Reset();
    if (_device == nullptr || FAILED(_device->GetDeviceCaps(&caps))) {
        caps = D3DCAPS9{};
        return false;
    }
    device = _device;
    vertexProcessing = _vertex_processing;
    wbuffer = _wbuffer;
    stencil = _stencil;

    if (!targets.Init(device, caps.NumSimultaneousRTs, (caps.PrimitiveMiscCaps & D3DPMISCCAPS_COLORWRITEENABLE) != 0)) {
        Reset();
        return false;
    }
    lights.Init(device, _max_lights);
    const u32 stage_count = std::min<u32>(caps.MaxTextureBlendStages, d3d_stage_count);
    for (u32 stage = 0; stage < stage_count; ++stage) {
        stages.push_back(std::make_unique<d3d_texture_stage_c>(device, stage, stage < caps.MaxSimultaneousTextures));
    }
    const u32 anisotropy = std::min(_anisotropy_limit, GetFilteringDegree());
    for (u32 sampler = 0; sampler < d3d_sampler_count; ++sampler) {
        samplers.push_back(std::make_unique<d3d_sampler_c>(device, sampler, anisotropy));
    }
    for (u32 index = 0; index < d3d_declaration_count; ++index) {
        const std::vector<D3DVERTEXELEMENT9> elements = DeclarationElements(index);
        if (FAILED(device->CreateVertexDeclaration(elements.data(), &declarations[index]))) {
            declarations[index] = nullptr;
            Reset();
            return false;
        }
    }
    if (!MakeShaders(_shaders)) {
        Reset();
        return false;
    }
    SendDefaults();
    return true;
}

bool d3d_state_cache_c::MakeShaders(const d3d_shader_set_s& _shaders)
{
    for (u32 row = 1; row < d3d_shader_row_count; ++row) {
        for (u32 column = 0; column < 2; ++column) {
            const DWORD* blob = _shaders.vertex[row][column];
            if (blob == nullptr || !SupportsVertexShader(blob[0], true)) {
                continue;
            }
            if (FAILED(device->CreateVertexShader(blob, &rows[row].shaders[column]))) {
                rows[row].shaders[column] = nullptr;
                return false;
            }
        }
        const DWORD* first = _shaders.vertex[row][d3d_shader_vs_1_1];
        if (first != nullptr && FAILED(D3DXGetShaderConstantTable(first, &rows[row].table))) {
            rows[row].table = nullptr;
            return false;
        }
    }
    for (u32 entry = 1; entry < d3d_pixel_entry_count; ++entry) {
        const DWORD* blob = _shaders.pixel[entry];
        if (blob == nullptr || !SupportsPixelShader(blob[0])) {
            continue;
        }
        pixel_entry_s& target = pixelEntries[entry];
        if (FAILED(device->CreatePixelShader(blob, &target.shader))) {
            target.shader = nullptr;
            return false;
        }
        if (FAILED(D3DXGetShaderConstantTable(blob, &target.table))) {
            target.table = nullptr;
            return false;
        }
        const char* names[d3d_sampler_count] = {};
        UINT count = 0;
        if (FAILED(D3DXGetShaderSamplers(blob, names, &count))) {
            return false;
        }
        for (UINT i = 0; i < std::min<UINT>(count, d3d_sampler_count); ++i) {
            target.samplers.emplace_back(names[i] != nullptr ? names[i] : "");
        }
    }
    return true;
}

void d3d_state_cache_c::Reset()
{
    for (pixel_entry_s& entry : pixelEntries) {
        ReleaseAndClear(entry.table);
        ReleaseAndClear(entry.shader);
        entry.samplers.clear();
    }
    for (shader_row_s& row : rows) {
        ReleaseAndClear(row.table);
        ReleaseAndClear(row.shaders[0]);
        ReleaseAndClear(row.shaders[1]);
    }
    for (IDirect3DVertexDeclaration9*& made : declarations) {
        ReleaseAndClear(made);
    }
    samplers.clear();
    stages.clear();
    lights.Clear();
    targets.Clear();
    caps = D3DCAPS9{};
    device = nullptr;
    PutDefaults();
}

void d3d_state_cache_c::SendState(D3DRENDERSTATETYPE _state, DWORD _value)
{
    if (renderStates[_state] != _value) {
        device->SetRenderState(_state, _value);
        renderStates[_state] = _value;
    } else {
        ++filteredStates;
    }
}

void d3d_state_cache_c::SetNormalizeNormals(bool _on)
{
    SendState(D3DRS_NORMALIZENORMALS, _on ? 1 : 0);
}

void d3d_state_cache_c::SetClipping(bool _on)
{
    SendState(D3DRS_CLIPPING, _on ? 1 : 0);
}

void d3d_state_cache_c::SetGouraud(bool _on)
{
    SendState(D3DRS_SHADEMODE, _on ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
}

void d3d_state_cache_c::SetSpecular(bool _on)
{
    SendState(D3DRS_SPECULARENABLE, _on ? 1 : 0);
}

void d3d_state_cache_c::SetPointSprites(bool _on)
{
    SendState(D3DRS_POINTSPRITEENABLE, _on ? 1 : 0);
}

void d3d_state_cache_c::SetColorVertex(bool _on)
{
    SendState(D3DRS_COLORVERTEX, _on ? 1 : 0);
}

void d3d_state_cache_c::SetCullMode(D3DCULL _mode)
{
    SendState(D3DRS_CULLMODE, _mode);
}

void d3d_state_cache_c::SetFillMode(D3DFILLMODE _mode)
{
    SendState(D3DRS_FILLMODE, _mode);
}

void d3d_state_cache_c::SetTweenFactor(f32 _factor)
{
    if (DwordToFloat(renderStates[D3DRS_TWEENFACTOR]) != _factor) {
        device->SetRenderState(D3DRS_TWEENFACTOR, FloatToDword(_factor));
        renderStates[D3DRS_TWEENFACTOR] = FloatToDword(_factor);
    }
}

void d3d_state_cache_c::SetTextureFactor(D3DCOLOR _color)
{
    SendState(D3DRS_TEXTUREFACTOR, _color);
}

void d3d_state_cache_c::SetDepth(bool _enable, bool _write, D3DCMPFUNC _func)
{
    SendState(D3DRS_ZENABLE, _enable ? (wbuffer ? D3DZB_USEW : D3DZB_TRUE) : D3DZB_FALSE);
    SendState(D3DRS_ZWRITEENABLE, _enable && _write ? 1 : 0);
    zEnable = _enable;
    if (_enable) {
        SendState(D3DRS_ZFUNC, _func);
    }
}

void d3d_state_cache_c::SetStencil(const d3d_stencil_s& _stencil)
{
    if (!stencil) {
        return;
    }
    SendState(D3DRS_STENCILENABLE, _stencil.enable ? 1 : 0);
    if (!_stencil.enable) {
        return;
    }
    SendState(D3DRS_STENCILREF, _stencil.ref);
    SendState(D3DRS_STENCILFUNC, _stencil.func);
    SendState(D3DRS_STENCILPASS, _stencil.pass);
    SendState(D3DRS_STENCILFAIL, _stencil.fail);
    SendState(D3DRS_STENCILZFAIL, _stencil.zfail);
    if ((caps.StencilCaps & D3DSTENCILCAPS_TWOSIDED) == 0) {
        return;
    }
    SendState(D3DRS_TWOSIDEDSTENCILMODE, _stencil.twoSided ? 1 : 0);
    if (_stencil.twoSided) {
        SendState(D3DRS_CCW_STENCILFUNC, _stencil.ccwFunc);
        SendState(D3DRS_CCW_STENCILPASS, _stencil.ccwPass);
        SendState(D3DRS_CCW_STENCILFAIL, _stencil.ccwFail);
        SendState(D3DRS_CCW_STENCILZFAIL, _stencil.ccwZfail);
    }
}

void d3d_state_cache_c::SetAlphaBlend(bool _enable, D3DBLEND _source, D3DBLEND _dest)
{
    SendState(D3DRS_ALPHABLENDENABLE, _enable ? 1 : 0);
    if (_enable) {
        SendState(D3DRS_SRCBLEND, _source);
        SendState(D3DRS_DESTBLEND, _dest);
    }
}

void d3d_state_cache_c::SetAlphaTest(bool _enable, f32 _threshold)
{
    SendState(D3DRS_ALPHATESTENABLE, _enable ? 1 : 0);
    if (_enable) {
        const f32 scaled = _threshold * 255.0f;
        // NaN and negatives give 0.
        const DWORD reference = scaled >= 255.0f ? 255 : (scaled > 0.0f ? static_cast<DWORD>(scaled) : 0);
        SendState(D3DRS_ALPHAREF, reference);
    }
}

void d3d_state_cache_c::SetFog(const d3d_fog_s* _fog, bool _black)
{
    if (_fog == nullptr) {
        SendState(D3DRS_FOGENABLE, 0);
        return;
    }
    SendState(D3DRS_FOGENABLE, 1);
    const DWORD mode = _fog->mode == 1 ? D3DFOG_EXP : (_fog->mode == 2 ? D3DFOG_EXP2 : D3DFOG_LINEAR);
    SendState(D3DRS_FOGVERTEXMODE, mode);
    SendState(D3DRS_FOGCOLOR, _black ? 0 : ColorToBgra(_fog->color.x, _fog->color.y, _fog->color.z));
    if (mode == D3DFOG_LINEAR) {
        const f32 start = _fog->start > 0.0f ? _fog->start : 0.0f;
        const f32 end = _fog->end > start ? _fog->end : start;
        SendState(D3DRS_FOGSTART, FloatToDword(start));
        SendState(D3DRS_FOGEND, FloatToDword(end));
    } else {
        const f32 density = _fog->density > 0.0f ? std::min(_fog->density, 1.0f) : 0.0f;
        SendState(D3DRS_FOGDENSITY, FloatToDword(density));
    }
}

void d3d_state_cache_c::SetPointSize(f32 _size, bool _scaling)
{
    f32 size = _size;
    if (!_scaling) {
        const f32 held = _size >= 1.0f ? std::min(_size, caps.MaxPointSize) : 1.0f;
        size = std::trunc(std::max(held, 1.0f));
    }
    SendState(D3DRS_POINTSIZE, FloatToDword(size));
    SendState(D3DRS_POINTSCALEENABLE, _scaling ? 1 : 0);
}

void d3d_state_cache_c::SetViewport(i32 _x, i32 _y, i32 _width, i32 _height)
{
    const D3DVIEWPORT9 wanted{static_cast<DWORD>(std::max(_x, 0)),
                              static_cast<DWORD>(std::max(_y, 0)),
                              static_cast<DWORD>(std::max(_width, 0)),
                              static_cast<DWORD>(std::max(_height, 0)),
                              0.0f,
                              1.0f};
    if (!(wanted == viewport)) {
        device->SetViewport(&wanted);
        viewport = wanted;
    }
}

void d3d_state_cache_c::SetProjection(const mat4_c& _matrix)
{
    D3DMATRIX matrix;
    for (u32 row = 0; row < 4; ++row) {
        for (u32 column = 0; column < 4; ++column) {
            matrix.m[row][column] = _matrix.m[row][column];
        }
    }
    device->SetTransform(D3DTS_PROJECTION, &matrix);
}

void d3d_state_cache_c::SetWorldMatrix(u32 _index, const mat4x3_c& _matrix)
{
    const D3DMATRIX matrix = WidenMatrix(_matrix);
    device->SetTransform(D3DTS_WORLDMATRIX(_index), &matrix);
}

void d3d_state_cache_c::SetStreams(IDirect3DVertexBuffer9* _first, UINT _first_stride, IDirect3DVertexBuffer9* _second,
                                   UINT _second_stride, IDirect3DIndexBuffer9* _indices)
{
    IDirect3DVertexBuffer9* const wanted[2] = {_first, _second};
    const UINT wanted_strides[2] = {_first_stride, _second_stride};
    for (u32 stream = 0; stream < 2; ++stream) {
        if (wanted[stream] != streams[stream] || wanted_strides[stream] != strides[stream]) {
            device->SetStreamSource(stream, wanted[stream], 0, wanted_strides[stream]);
            streams[stream] = wanted[stream];
            strides[stream] = wanted_strides[stream];
        }
    }
    if (_indices != indices) {
        device->SetIndices(_indices);
        indices = _indices;
    }
}

void d3d_state_cache_c::SetVertexConstant(u32 _register, f32 _value)
{
    const f32 value[4] = {_value, 0.0f, 0.0f, 0.0f};
    device->SetVertexShaderConstantF(_register, value, 1);
}

void d3d_state_cache_c::SetVertexConstant(u32 _register, f32 _x, f32 _y)
{
    const f32 value[4] = {_x, _y, 0.0f, 1.0f};
    device->SetVertexShaderConstantF(_register, value, 1);
}

void d3d_state_cache_c::SetVertexConstant(u32 _register, const vec3_c& _value, f32 _w)
{
    const f32 value[4] = {_value.x, _value.y, _value.z, _w};
    device->SetVertexShaderConstantF(_register, value, 1);
}

void d3d_state_cache_c::SetVertexConstant(u32 _register, const mat4_c& _matrix)
{
    f32 transposed[16];
    for (u32 row = 0; row < 4; ++row) {
        for (u32 column = 0; column < 4; ++column) {
            transposed[row * 4 + column] = _matrix.m[column][row];
        }
    }
    device->SetVertexShaderConstantF(_register, transposed, 4);
}

i32 d3d_state_cache_c::Register(ID3DXConstantTable* _table, const char* _name)
{
    if (_table == nullptr) {
        return -1;
    }
    const D3DXHANDLE handle = _table->GetConstantByName(nullptr, _name);
    D3DXCONSTANT_DESC desc;
    UINT count = 1;
    if (handle == nullptr || FAILED(_table->GetConstantDesc(handle, &desc, &count))) {
        return -1;
    }
    return static_cast<i32>(desc.RegisterIndex);
}

i32 d3d_state_cache_c::VertexRegister(u32 _row, const char* _name) const
{
    return _row < d3d_shader_row_count ? Register(rows[_row].table, _name) : -1;
}

i32 d3d_state_cache_c::PixelRegister(u32 _entry, const char* _name) const
{
    return _entry < d3d_pixel_entry_count ? Register(pixelEntries[_entry].table, _name) : -1;
}

void d3d_state_cache_c::SetVertexConstant(u32 _row, const char* _name, f32 _value)
{
    const i32 reg = VertexRegister(_row, _name);
    if (reg >= 0) {
        SetVertexConstant(static_cast<u32>(reg), _value);
    }
}

void d3d_state_cache_c::SetVertexConstant(u32 _row, const char* _name, const vec3_c& _value, f32 _w)
{
    const i32 reg = VertexRegister(_row, _name);
    if (reg >= 0) {
        SetVertexConstant(static_cast<u32>(reg), _value, _w);
    }
}

void d3d_state_cache_c::SetVertexConstant(u32 _row, const char* _name, const mat4_c& _matrix)
{
    const i32 reg = VertexRegister(_row, _name);
    if (reg >= 0) {
        SetVertexConstant(static_cast<u32>(reg), _matrix);
    }
}

void d3d_state_cache_c::SetPixelConstant(u32 _register, const f32* _values, u32 _count)
{
    device->SetPixelShaderConstantF(_register, _values, _count);
}

void d3d_state_cache_c::SetPixelConstants(u32 _entry, const char* _name, const vec3_c* _values, u32 _count)
{
    const i32 reg = PixelRegister(_entry, _name);
    if (reg < 0 || _count == 0) {
        return;
    }
    std::vector<f32> values;
    for (u32 i = 0; i < _count; ++i) {
        values.insert(values.end(), {_values[i].x, _values[i].y, _values[i].z, 1.0f});
    }
    device->SetPixelShaderConstantF(static_cast<u32>(reg), values.data(), _count);
}

void d3d_state_cache_c::SetPixelConstants(u32 _entry, const char* _name, const f32 (*_pairs)[2], u32 _count)
{
    const i32 reg = PixelRegister(_entry, _name);
    if (reg < 0 || _count == 0) {
        return;
    }
    std::vector<f32> values;
    for (u32 i = 0; i < _count; ++i) {
        values.insert(values.end(), {_pairs[i][0], _pairs[i][1], 0.0f, 1.0f});
    }
    device->SetPixelShaderConstantF(static_cast<u32>(reg), values.data(), _count);
}

bool d3d_state_cache_c::HasPixelShader(u32 _entry) const
{
    return _entry < d3d_pixel_entry_count && pixelEntries[_entry].shader != nullptr;
}

bool d3d_state_cache_c::HasVertexShader(u32 _row, u32 _column) const
{
    return _row < d3d_shader_row_count && _column < 2 && rows[_row].shaders[_column] != nullptr;
}

void d3d_state_cache_c::SetPixelShader(u32 _entry)
{
    const u32 entry = _entry < d3d_pixel_entry_count ? _entry : 0;
    if (entry != pixelEntry) {
        device->SetPixelShader(pixelEntries[entry].shader);
        pixelEntry = entry;
    }
}

void d3d_state_cache_c::SetSamplerByName(u32 _entry, const char* _name, bool _mip, bool _filtered, bool _wrap)
{
    if (_entry == 0 || _entry >= d3d_pixel_entry_count || _name == nullptr) {
        return;
    }
    const std::vector<std::string>& names = pixelEntries[_entry].samplers;
    for (u32 i = 0; i < names.size(); ++i) {
        if (names[i] == _name) {
            SetSampler(i, _mip, _filtered, _wrap);
            return;
        }
    }
}

void d3d_state_cache_c::SetStage(u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                                 IDirect3DBaseTexture9* _texture, i32 _coord_index, const mat4x3_c* _transform,
                                 f32 _bump_scale)
{
    if (_stage < stages.size()) {
        stages[_stage]->Setup(_color, _alpha, _texture, _coord_index, _transform, _bump_scale);
    }
}

void d3d_state_cache_c::UnbindStageTextures()
{
    for (auto& stage : stages) {
        stage->UnbindTexture();
    }
}

void d3d_state_cache_c::SetSampler(u32 _sampler, bool _mip, bool _filtered, bool _wrap)
{
    if (_sampler < samplers.size()) {
        samplers[_sampler]->Setup(_mip, _filtered, _wrap);
    }
}

void d3d_state_cache_c::SetMaterial(const vec3_c& _color, f32 _alpha, const vec3_c& _specular, f32 _power,
                                    const vec3_c& _emissive)
{
    D3DMATERIAL9 wanted;
    wanted.Diffuse = {_color.x, _color.y, _color.z, _alpha};
    wanted.Ambient = {_color.x, _color.y, _color.z, 0.0f};
    wanted.Emissive = {_emissive.x, _emissive.y, _emissive.z, 0.0f};
    const bool shiny = (_specular.x != 0.0f || _specular.y != 0.0f || _specular.z != 0.0f) && _power > 0.0f;
    if (shiny) {
        wanted.Specular = {_specular.x, _specular.y, _specular.z, 0.0f};
        wanted.Power = _power;
    }
    const bool changed =
        ColorDiffers(wanted.Diffuse, material.Diffuse) || ColorDiffers(wanted.Ambient, material.Ambient) ||
        ColorDiffers(wanted.Emissive, material.Emissive) || ColorDiffers(wanted.Specular, material.Specular) ||
        wanted.Diffuse.a != material.Diffuse.a || wanted.Power != material.Power;
    if (changed) {
        device->SetMaterial(&wanted);
        material = wanted;
    }
}

u32 d3d_state_cache_c::DeclarationIndex(const vertex_format_c& _format, const d3d_second_stream_s& _second)
{
    u32 index = std::min<u32>(_format.blendWeightCount, 3);
    index = index * 2 + (_format.matrixIndexCount > 0 ? 1 : 0);
    index = index * 2 + (_format.hasNormal != 0 ? 1 : 0);
    index = index * 2 + (_format.hasDiffuse != 0 ? 1 : 0);
    index = index * 4 + std::min<u32>(_format.texCoordSetCount, 3);
    index = index * 2 + (_second.position ? 1 : 0);
    index = index * 2 + (_second.normal ? 1 : 0);
    return index;
}

std::vector<D3DVERTEXELEMENT9> d3d_state_cache_c::DeclarationElements(u32 _index)
{
    const bool second_normal = (_index & 1) != 0;
    const bool second_position = ((_index >> 1) & 1) != 0;
    const u32 sets = (_index >> 2) & 3;
    const bool diffuse = ((_index >> 4) & 1) != 0;
    const bool normal = ((_index >> 5) & 1) != 0;
    const bool matrices = ((_index >> 6) & 1) != 0;
    const u32 weights = (_index >> 7) & 3;

    std::vector<D3DVERTEXELEMENT9> elements;
    WORD offset = 0;
    auto add = [&](u8 _type, u8 _usage, u8 _usage_index) {
        elements.push_back({0, offset, _type, D3DDECLMETHOD_DEFAULT, _usage, _usage_index});
        offset = static_cast<WORD>(offset + D3DDeclTypeSize(_type));
    };
    add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0);
    if (weights > 0) {
        add(static_cast<u8>(D3DDECLTYPE_FLOAT1 + (weights - 1)), D3DDECLUSAGE_BLENDWEIGHT, 0);
    }
    if (matrices) {
        add(D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, 0);
    }
    if (normal) {
        add(D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
    }
    if (diffuse) {
        add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0);
    }
    for (u32 set = 0; set < sets; ++set) {
        add(D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, static_cast<u8>(set));
    }
    WORD second_offset = 0;
    if (second_position) {
        elements.push_back({1, second_offset, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 1});
        second_offset = 12;
    }
    if (second_normal) {
        elements.push_back({1, second_offset, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 1});
    }
    elements.push_back(D3DDECL_END);
    return elements;
}

void d3d_state_cache_c::SetupPass(u32 _row, const vertex_format_c& _format, const d3d_second_stream_s& _second,
                                  bool _indexed, u32 _blend_count)
{
    const bool tween = _second.position || _second.normal;
    const bool blend = _indexed || _blend_count > 0;
    const u32 row = _row < d3d_shader_row_count ? _row : 0;

    bool software = vertexProcessing == d3d_vp_software;
    if (vertexProcessing == d3d_vp_mixed) {
        software = NeedsSoftware(tween, blend, _blend_count, row != 0);
        if (software != softwareProcessing) {
            device->SetSoftwareVertexProcessing(software ? 1 : 0);
            softwareProcessing = software;
        }
    }

    DWORD wanted_fvf = 0;
    IDirect3DVertexDeclaration9* wanted_declaration = nullptr;
    if (_format.hasPosition != 0) {
        wanted_declaration = declarations[DeclarationIndex(_format, _second)];
    } else if (_format.hasNormal == 0) {
        wanted_fvf = D3DFVF_XYZRHW | (_format.hasDiffuse != 0 ? D3DFVF_DIFFUSE : 0) |
                     (std::min<u32>(_format.texCoordSetCount, 8) << D3DFVF_TEXCOUNT_SHIFT);
    }
    if (wanted_fvf != fvf || wanted_declaration != declaration) {
        if (wanted_fvf != 0) {
            device->SetFVF(wanted_fvf);
        } else {
            // A format with neither leaves nothing bound.
            device->SetVertexDeclaration(wanted_declaration);
        }
        fvf = wanted_fvf;
        declaration = wanted_declaration;
    }

    IDirect3DVertexShader9* shader = nullptr;
    if (row != 0) {
        shader = rows[row].shaders[d3d_shader_vs_2_0] != nullptr && SupportsVertexShader(D3DVS_VERSION(2, 0), software)
                     ? rows[row].shaders[d3d_shader_vs_2_0]
                     : rows[row].shaders[d3d_shader_vs_1_1];
    }
    if (shader != vertexShader) {
        device->SetVertexShader(shader);
        vertexShader = shader;
    }
    vertexShaderRow = row;

    if (tween != tweening || _indexed != indexedBlend || _blend_count != blendWeights || blend != blending) {
        if (tween) {
            SendState(D3DRS_VERTEXBLEND, D3DVBF_TWEENING);
        } else {
            SendState(D3DRS_INDEXEDVERTEXBLENDENABLE, _indexed ? 1 : 0);
            DWORD mode = D3DVBF_DISABLE;
            if (_blend_count >= 1 && _blend_count <= 3) {
                mode = _blend_count;
            } else if (blend) {
                mode = D3DVBF_0WEIGHTS;
            }
            SendState(D3DRS_VERTEXBLEND, mode);
        }
        tweening = tween;
        indexedBlend = _indexed;
        blendWeights = _blend_count;
        blending = blend;
    }
}

u32 d3d_state_cache_c::GetFilteringDegree() const
{
    return (caps.RasterCaps & D3DPRASTERCAPS_ANISOTROPY) != 0 ? std::max<u32>(caps.MaxAnisotropy, 1) : 1;
}

bool d3d_state_cache_c::SupportsVertexShader(DWORD _version, bool _software) const
{
    const DWORD wanted = VersionNumber(_version);
    const bool software_runs = wanted < 0x0301;
    const bool hardware_runs = caps.VertexShaderVersion != 0 && wanted <= VersionNumber(caps.VertexShaderVersion);
    switch (vertexProcessing) {
    case d3d_vp_software: return software_runs;
    case d3d_vp_mixed: return _software ? software_runs : hardware_runs;
    default: return hardware_runs;
    }
}

bool d3d_state_cache_c::SupportsPixelShader(DWORD _version) const
{
    return caps.PixelShaderVersion != 0 && VersionNumber(_version) <= VersionNumber(caps.PixelShaderVersion);
}

u32 d3d_state_cache_c::GetPrimitiveLimit(bool _software) const
{
    if (caps.MaxPrimitiveCount < 65536) {
        return caps.MaxPrimitiveCount;
    }
    if (vertexProcessing == d3d_vp_software || (vertexProcessing == d3d_vp_mixed && _software)) {
        return 0;
    }
    return caps.MaxVertexIndex;
}

i64 d3d_state_cache_c::BlendIndexCapacity() const
{
    return (i64{caps.MaxVertexBlendMatrixIndex} + 1) / 2 - 1;
}

bool d3d_state_cache_c::NeedsSoftware(bool _tweening, bool _blending, u32 _blend_count, bool _shader) const
{
    if (vertexProcessing == d3d_vp_software) {
        return true;
    }
    if (vertexProcessing == d3d_vp_hardware) {
        return false;
    }
    if (_tweening && (caps.MaxStreams < 2 || (caps.VertexProcessingCaps & D3DVTXPCAPS_TWEENING) == 0)) {
        return true;
    }
    if (_blending && (caps.MaxVertexBlendMatrices < 4 || (caps.DeclTypes & D3DDTCAPS_UBYTE4) == 0 ||
                      BlendIndexCapacity() < i64{_blend_count})) {
        return true;
    }
    return _shader && VersionNumber(caps.VertexShaderVersion) < 0x0101;
}

void d3d_state_cache_c::PrintCapabilities(std::ostream& _out) const
{
    u32 aspect = caps.MaxTextureAspectRatio;
    if ((caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0) {
        aspect = 1;
    } else if (aspect == 0) {
        aspect = std::max(caps.MaxTextureWidth, caps.MaxTextureHeight);
    }
    const f32 point = caps.MaxPointSize;
    _out << "Maximum Point Size: " << (point > 0.0f && point < 4294967040.0f ? static_cast<u32>(point) : 0u)
         << "\nMaximum Texture Size: " << caps.MaxTextureWidth << 'x' << caps.MaxTextureHeight
         << "\nMaximum Texture Aspect Ratio: " << aspect << "\nMaximum Blending Stages: " << caps.MaxTextureBlendStages
         << "\nMaximum Active Textures: " << caps.MaxSimultaneousTextures
         << "\nMaximum Texture Filtering Degree: " << GetFilteringDegree() << '\n';
    static constexpr const char* modes[3] = {"Software Vertex Processing\n", "Mixed Vertex Processing\n",
                                             "Hardware Vertex Processing\n"};
    _out << modes[std::min<u32>(vertexProcessing, 2)];
}
