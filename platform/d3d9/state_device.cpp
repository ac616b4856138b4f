#include "platform/d3d9/state_device.h"
#include "platform/d3d9/d3d9_objects.h"
#include "platform/d3d9/shader_tokens.h"

#include <cstring>

u64 D3DPrimitiveVertices(D3DPRIMITIVETYPE _type, u64 _count)
{
    switch (_type) {
    case D3DPT_POINTLIST: return _count;
    case D3DPT_LINELIST: return _count * 2;
    case D3DPT_LINESTRIP: return _count + 1;
    case D3DPT_TRIANGLELIST: return _count * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return _count + 2;
    default: return 0;
    }
}

std::vector<DWORD> D3DShaderTokens(const DWORD* _function, DWORD _kind)
{
    constexpr u64 token_limit = 1u << 16;
    if (_function == nullptr || (_function[0] & 0xFFFF0000u) != _kind) {
        return {};
    }
    const u64 count = ShaderTokenCount(_function, token_limit);
    return std::vector<DWORD>(_function, _function + count);
}

namespace {

// Gives the caller a bound object with its own reference.
template <class T>
HRESULT HandOut(T* _object, T** _out)
{
    if (_out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_out = _object;
    if (_object != nullptr) {
        _object->AddRef();
    }
    return D3D_OK;
}

template <std::size_t Count>
HRESULT StoreConstants(std::array<std::array<f32, 4>, Count>& _registers, UINT _register, const f32* _data, UINT _count)
{
    if (_data == nullptr || u64{_register} + _count > Count) {
        return D3DERR_INVALIDCALL;
    }
    std::memcpy(_registers[_register].data(), _data, u64{_count} * 16);
    return D3D_OK;
}

}

d3d9_state_device_c::d3d9_state_device_c(DWORD _behaviour, UINT _render_target_limit, UINT _stream_limit)
    : behaviour(_behaviour), renderTargetLimit(_render_target_limit), streamLimit(_stream_limit)
{}

d3d9_state_device_c::~d3d9_state_device_c()
{
    for (auto& target : state.renderTargets) {
        Bind(target, static_cast<IDirect3DSurface9*>(nullptr));
    }
    for (auto& texture : state.textures) {
        Bind(texture, static_cast<IDirect3DBaseTexture9*>(nullptr));
    }
    for (auto& stream : state.streams) {
        Bind(stream.buffer, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    }
    Bind(state.indices, static_cast<IDirect3DIndexBuffer9*>(nullptr));
    Bind(state.declaration, static_cast<IDirect3DVertexDeclaration9*>(nullptr));
    Bind(state.vertexShader, static_cast<IDirect3DVertexShader9*>(nullptr));
    Bind(state.pixelShader, static_cast<IDirect3DPixelShader9*>(nullptr));
}

void d3d9_state_device_c::Note(const char*, u64, u64) {}

void d3d9_state_device_c::UnbindAfterUserDraw(bool _indexed)
{
    Bind(state.streams[0].buffer, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    state.streams[0].stride = 0;
    if (_indexed) {
        Bind(state.indices, static_cast<IDirect3DIndexBuffer9*>(nullptr));
    }
}

HRESULT d3d9_state_device_c::GetRenderTarget(DWORD _index, IDirect3DSurface9** _surface)
{
    Note("GetRenderTarget", _index);
    if (_index >= d3d_render_target_count || _surface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_surface = state.renderTargets[_index];
    if (*_surface == nullptr) {
        return D3DERR_NOTFOUND;
    }
    (*_surface)->AddRef();
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetRenderTarget(DWORD _index, IDirect3DSurface9* _surface)
{
    Note("SetRenderTarget", _index, _surface != nullptr);
    if (_index >= renderTargetLimit || _index >= d3d_render_target_count || (_index == 0 && _surface == nullptr)) {
        return D3DERR_INVALIDCALL;
    }
    Bind(state.renderTargets[_index], _surface);
    if (_index == 0 && _surface != nullptr) {
        // As on Direct3D 9, a new target 0 resets the viewport to its size.
        D3DSURFACE_DESC desc;
        _surface->GetDesc(&desc);
        state.viewport = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    }
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetViewport(const D3DVIEWPORT9* _viewport)
{
    Note("SetViewport", _viewport != nullptr ? _viewport->Width : 0, _viewport != nullptr ? _viewport->Height : 0);
    if (_viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state.viewport = *_viewport;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetViewport(D3DVIEWPORT9* _viewport)
{
    if (_viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_viewport = state.viewport;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetTransform(D3DTRANSFORMSTATETYPE _state, const D3DMATRIX* _matrix)
{
    Note("SetTransform", _state);
    D3DMATRIX* target = state.Transform(_state);
    if (target == nullptr || _matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *target = *_matrix;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetTransform(D3DTRANSFORMSTATETYPE _state, D3DMATRIX* _matrix)
{
    D3DMATRIX* source = state.Transform(_state);
    if (source == nullptr || _matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_matrix = *source;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetRenderState(D3DRENDERSTATETYPE _state, DWORD _value)
{
    Note("SetRenderState", _state, _value);
    if (_state >= d3d_render_state_count) {
        return D3DERR_INVALIDCALL;
    }
    state.renderStates[_state] = _value;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetRenderState(D3DRENDERSTATETYPE _state, DWORD* _value)
{
    if (_state >= d3d_render_state_count || _value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_value = state.renderStates[_state];
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD _value)
{
    Note("SetTextureStageState", u64{_stage} * 256 + _state, _value);
    if (_stage >= d3d_stage_count || _state >= d3d_stage_state_count) {
        return D3DERR_INVALIDCALL;
    }
    state.stageStates[_stage][_state] = _value;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD* _value)
{
    if (_stage >= d3d_stage_count || _state >= d3d_stage_state_count || _value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_value = state.stageStates[_stage][_state];
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD _value)
{
    Note("SetSamplerState", u64{_sampler} * 256 + _state, _value);
    if (_sampler >= d3d_sampler_count || _state >= d3d_sampler_state_count) {
        return D3DERR_INVALIDCALL;
    }
    state.samplerStates[_sampler][_state] = _value;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD* _value)
{
    if (_sampler >= d3d_sampler_count || _state >= d3d_sampler_state_count || _value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_value = state.samplerStates[_sampler][_state];
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetTexture(DWORD _stage, IDirect3DBaseTexture9* _texture)
{
    Note("SetTexture", _stage, _texture != nullptr);
    if (_stage >= d3d_sampler_count) {
        return D3DERR_INVALIDCALL;
    }
    Bind(state.textures[_stage], _texture);
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetTexture(DWORD _stage, IDirect3DBaseTexture9** _texture)
{
    if (_stage >= d3d_sampler_count) {
        return D3DERR_INVALIDCALL;
    }
    return HandOut(state.textures[_stage], _texture);
}

HRESULT d3d9_state_device_c::SetMaterial(const D3DMATERIAL9* _material)
{
    Note("SetMaterial");
    if (_material == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state.material = *_material;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetLight(DWORD _index, const D3DLIGHT9* _light)
{
    Note("SetLight", _index);
    if (_index >= d3d_light_count || _light == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state.lights[_index].light = *_light;
    state.lights[_index].set = true;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::LightEnable(DWORD _index, BOOL _enable)
{
    Note("LightEnable", _index, _enable != 0);
    if (_index >= d3d_light_count) {
        return D3DERR_INVALIDCALL;
    }
    state.lights[_index].enabled = _enable != 0;
    state.lights[_index].set = true;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetVertexDeclaration(IDirect3DVertexDeclaration9* _declaration)
{
    Note("SetVertexDeclaration", _declaration != nullptr);
    Bind(state.declaration, _declaration);
    if (_declaration != nullptr) {
        state.fvf = 0;
    }
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetVertexDeclaration(IDirect3DVertexDeclaration9** _declaration)
{
    return HandOut(state.declaration, _declaration);
}

HRESULT d3d9_state_device_c::SetFVF(DWORD _fvf)
{
    Note("SetFVF", _fvf);
    state.fvf = _fvf;
    if (_fvf != 0) {
        Bind(state.declaration, static_cast<IDirect3DVertexDeclaration9*>(nullptr));
    }
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetFVF(DWORD* _fvf)
{
    if (_fvf == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_fvf = state.fvf;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetVertexShader(IDirect3DVertexShader9* _shader)
{
    Note("SetVertexShader", _shader != nullptr);
    Bind(state.vertexShader, _shader);
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetVertexShader(IDirect3DVertexShader9** _shader)
{
    return HandOut(state.vertexShader, _shader);
}

HRESULT d3d9_state_device_c::SetVertexShaderConstantF(UINT _register, const f32* _data, UINT _count)
{
    Note("SetVertexShaderConstantF", _register, _count);
    return StoreConstants(state.vertexConstants, _register, _data, _count);
}

HRESULT d3d9_state_device_c::SetPixelShader(IDirect3DPixelShader9* _shader)
{
    Note("SetPixelShader", _shader != nullptr);
    Bind(state.pixelShader, _shader);
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetPixelShader(IDirect3DPixelShader9** _shader)
{
    return HandOut(state.pixelShader, _shader);
}

HRESULT d3d9_state_device_c::SetPixelShaderConstantF(UINT _register, const f32* _data, UINT _count)
{
    Note("SetPixelShaderConstantF", _register, _count);
    return StoreConstants(state.pixelConstants, _register, _data, _count);
}

HRESULT d3d9_state_device_c::SetStreamSource(UINT _stream, IDirect3DVertexBuffer9* _buffer, UINT _offset, UINT _stride)
{
    Note("SetStreamSource", _stream, _buffer != nullptr);
    if (_stream >= d3d_stream_count || _stream >= streamLimit) {
        return D3DERR_INVALIDCALL;
    }
    Bind(state.streams[_stream].buffer, _buffer);
    state.streams[_stream].offset = _offset;
    state.streams[_stream].stride = _stride;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetStreamSource(UINT _stream, IDirect3DVertexBuffer9** _buffer, UINT* _offset,
                                             UINT* _stride)
{
    if (_stream >= d3d_stream_count || _buffer == nullptr || _offset == nullptr || _stride == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    HandOut(state.streams[_stream].buffer, _buffer);
    *_offset = state.streams[_stream].offset;
    *_stride = state.streams[_stream].stride;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetIndices(IDirect3DIndexBuffer9* _indices)
{
    Note("SetIndices", _indices != nullptr);
    Bind(state.indices, _indices);
    return D3D_OK;
}

HRESULT d3d9_state_device_c::GetIndices(IDirect3DIndexBuffer9** _indices)
{
    return HandOut(state.indices, _indices);
}

HRESULT d3d9_state_device_c::SetSoftwareVertexProcessing(BOOL _software)
{
    Note("SetSoftwareVertexProcessing", _software != 0);
    if ((behaviour & D3DCREATE_MIXED_VERTEXPROCESSING) == 0) {
        return D3DERR_INVALIDCALL;
    }
    state.softwareVertexProcessing = _software != 0;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetPaletteEntries(UINT _palette, const PALETTEENTRY* _entries)
{
    Note("SetPaletteEntries", _palette);
    if (_entries == nullptr || _palette != 0) {
        return D3DERR_INVALIDCALL;
    }
    std::memcpy(state.palette.data(), _entries, sizeof(state.palette));
    return D3D_OK;
}

HRESULT d3d9_state_device_c::SetCurrentTexturePalette(UINT _palette)
{
    Note("SetCurrentTexturePalette", _palette);
    state.currentPalette = _palette;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::CreateVertexDeclaration(const D3DVERTEXELEMENT9* _elements,
                                                     IDirect3DVertexDeclaration9** _declaration)
{
    Note("CreateVertexDeclaration");
    const HRESULT refused = Refusal("CreateVertexDeclaration");
    if (FAILED(refused)) {
        return refused;
    }
    if (_elements == nullptr || _declaration == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<D3DVERTEXELEMENT9> elements;
    for (u32 i = 0; i < 64; ++i) {
        elements.push_back(_elements[i]);
        if (_elements[i] == D3DDECL_END) {
            *_declaration = new d3d9_declaration_c(std::move(elements));
            return D3D_OK;
        }
    }
    return D3DERR_INVALIDCALL;
}

HRESULT d3d9_state_device_c::BeginScene()
{
    Note("BeginScene");
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::EndScene()
{
    Note("EndScene");
    if (!inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    return D3D_OK;
}

HRESULT d3d9_state_device_c::Refusal(const char*)
{
    return D3D_OK;
}

bool d3d9_state_device_c::PrimitiveDrawFits(D3DPRIMITIVETYPE _type, UINT _start_vertex, UINT _count) const
{
    const d3d9_stream_s& stream = state.streams[0];
    return stream.buffer != nullptr && stream.stride != 0 &&
           (u64{_start_vertex} + D3DPrimitiveVertices(_type, _count)) * stream.stride <= stream.buffer->GetLength();
}

bool d3d9_state_device_c::IndexedDrawFits(D3DPRIMITIVETYPE _type, INT _base_vertex, UINT _min_index, UINT _vertex_count,
                                          UINT _start_index, UINT _count) const
{
    const d3d9_stream_s& stream = state.streams[0];
    const u64 index_size = state.indices != nullptr && state.indices->GetFormat() == D3DFMT_INDEX32 ? 4 : 2;
    return stream.buffer != nullptr && state.indices != nullptr && _base_vertex >= 0 &&
           (u64{_start_index} + D3DPrimitiveVertices(_type, _count)) * index_size <= state.indices->GetLength() &&
           (u64{_min_index} + _vertex_count) * stream.stride <= stream.buffer->GetLength();
}
