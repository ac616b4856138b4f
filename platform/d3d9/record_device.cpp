#include "platform/d3d9/record_device.h"
#include "platform/d3d9/format_layout.h"
#include "platform/d3d9/shader_tokens.h"

#include <cstring>

namespace {

// Vertices a primitive count of a type uses.
u64 VerticesOf(D3DPRIMITIVETYPE _type, u64 _count)
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

}

record_device_c::record_device_c(record_config_c& _config, DWORD _behaviour, const D3DPRESENT_PARAMETERS& _parameters)
    : config(_config), behaviour(_behaviour), parameters(_parameters)
{
    if (parameters.BackBufferWidth == 0 || parameters.BackBufferHeight == 0) {
        parameters.BackBufferWidth = config.clientWidth;
        parameters.BackBufferHeight = config.clientHeight;
    }
    const UINT width = parameters.BackBufferWidth;
    const UINT height = parameters.BackBufferHeight;
    backBuffer = new record_surface_c(config, width, height, D3DFMT_A8R8G8B8, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    frontBuffer = new record_surface_c(config, width, height, D3DFMT_A8R8G8B8, 0, D3DPOOL_DEFAULT);
    Bind(state.renderTargets[0], static_cast<IDirect3DSurface9*>(backBuffer));
    state.viewport = {0, 0, width, height, 0.0f, 1.0f};
    if (parameters.EnableAutoDepthStencil == 0) {
        state.renderStates[D3DRS_ZENABLE] = D3DZB_FALSE;
    }
    config.SetLastDevice(this);
}

record_device_c::~record_device_c()
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
    backBuffer->Release();
    frontBuffer->Release();
    if (config.LastDevice() == this) {
        config.SetLastDevice(nullptr);
    }
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

}

template <class T>
void record_device_c::Bind(T*& _slot, T* _object)
{
    if (_object != nullptr) {
        _object->AddRef();
    }
    if (_slot != nullptr) {
        _slot->Release();
    }
    _slot = _object;
}

HRESULT record_device_c::GetDeviceCaps(D3DCAPS9* _caps)
{
    config.Log("GetDeviceCaps");
    const HRESULT injected = config.Check("GetDeviceCaps");
    if (FAILED(injected)) {
        return injected;
    }
    if (_caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_caps = config.caps;
    return D3D_OK;
}

HRESULT record_device_c::GetRenderTarget(DWORD _index, IDirect3DSurface9** _surface)
{
    config.Log("GetRenderTarget", _index);
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

HRESULT record_device_c::SetRenderTarget(DWORD _index, IDirect3DSurface9* _surface)
{
    config.Log("SetRenderTarget", _index, _surface != nullptr);
    if (_index >= config.caps.NumSimultaneousRTs || _index >= d3d_render_target_count ||
        (_index == 0 && _surface == nullptr)) {
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

HRESULT record_device_c::SetViewport(const D3DVIEWPORT9* _viewport)
{
    config.Log("SetViewport", _viewport != nullptr ? _viewport->Width : 0,
               _viewport != nullptr ? _viewport->Height : 0);
    if (_viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state.viewport = *_viewport;
    return D3D_OK;
}

HRESULT record_device_c::GetViewport(D3DVIEWPORT9* _viewport)
{
    if (_viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_viewport = state.viewport;
    return D3D_OK;
}

HRESULT record_device_c::SetTransform(D3DTRANSFORMSTATETYPE _state, const D3DMATRIX* _matrix)
{
    config.Log("SetTransform", _state);
    D3DMATRIX* target = state.Transform(_state);
    if (target == nullptr || _matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *target = *_matrix;
    return D3D_OK;
}

HRESULT record_device_c::GetTransform(D3DTRANSFORMSTATETYPE _state, D3DMATRIX* _matrix)
{
    D3DMATRIX* source = state.Transform(_state);
    if (source == nullptr || _matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_matrix = *source;
    return D3D_OK;
}

HRESULT record_device_c::SetRenderState(D3DRENDERSTATETYPE _state, DWORD _value)
{
    config.Log("SetRenderState", _state, _value);
    if (_state >= d3d_render_state_count) {
        return D3DERR_INVALIDCALL;
    }
    state.renderStates[_state] = _value;
    return D3D_OK;
}

HRESULT record_device_c::GetRenderState(D3DRENDERSTATETYPE _state, DWORD* _value)
{
    if (_state >= d3d_render_state_count || _value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_value = state.renderStates[_state];
    return D3D_OK;
}

HRESULT record_device_c::SetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD _value)
{
    config.Log("SetTextureStageState", u64{_stage} * 256 + _state, _value);
    if (_stage >= d3d_stage_count || _state >= d3d_stage_state_count) {
        return D3DERR_INVALIDCALL;
    }
    state.stageStates[_stage][_state] = _value;
    return D3D_OK;
}

HRESULT record_device_c::GetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD* _value)
{
    if (_stage >= d3d_stage_count || _state >= d3d_stage_state_count || _value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_value = state.stageStates[_stage][_state];
    return D3D_OK;
}

HRESULT record_device_c::SetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD _value)
{
    config.Log("SetSamplerState", u64{_sampler} * 256 + _state, _value);
    if (_sampler >= d3d_sampler_count || _state >= d3d_sampler_state_count) {
        return D3DERR_INVALIDCALL;
    }
    state.samplerStates[_sampler][_state] = _value;
    return D3D_OK;
}

HRESULT record_device_c::GetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD* _value)
{
    if (_sampler >= d3d_sampler_count || _state >= d3d_sampler_state_count || _value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_value = state.samplerStates[_sampler][_state];
    return D3D_OK;
}

HRESULT record_device_c::SetTexture(DWORD _stage, IDirect3DBaseTexture9* _texture)
{
    config.Log("SetTexture", _stage, _texture != nullptr);
    if (_stage >= d3d_sampler_count) {
        return D3DERR_INVALIDCALL;
    }
    Bind(state.textures[_stage], _texture);
    return D3D_OK;
}

HRESULT record_device_c::GetTexture(DWORD _stage, IDirect3DBaseTexture9** _texture)
{
    if (_stage >= d3d_sampler_count) {
        return D3DERR_INVALIDCALL;
    }
    return HandOut(state.textures[_stage], _texture);
}

HRESULT record_device_c::SetMaterial(const D3DMATERIAL9* _material)
{
    config.Log("SetMaterial");
    if (_material == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state.material = *_material;
    return D3D_OK;
}

HRESULT record_device_c::SetLight(DWORD _index, const D3DLIGHT9* _light)
{
    config.Log("SetLight", _index);
    if (_index >= d3d_light_count || _light == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state.lights[_index].light = *_light;
    state.lights[_index].set = true;
    return D3D_OK;
}

HRESULT record_device_c::LightEnable(DWORD _index, BOOL _enable)
{
    config.Log("LightEnable", _index, _enable != 0);
    if (_index >= d3d_light_count) {
        return D3DERR_INVALIDCALL;
    }
    state.lights[_index].enabled = _enable != 0;
    state.lights[_index].set = true;
    return D3D_OK;
}

HRESULT record_device_c::CreateVertexDeclaration(const D3DVERTEXELEMENT9* _elements,
                                                 IDirect3DVertexDeclaration9** _declaration)
{
    config.Log("CreateVertexDeclaration");
    const HRESULT injected = config.Check("CreateVertexDeclaration");
    if (FAILED(injected)) {
        return injected;
    }
    if (_elements == nullptr || _declaration == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<D3DVERTEXELEMENT9> elements;
    for (u32 i = 0; i < 64; ++i) {
        elements.push_back(_elements[i]);
        if (_elements[i] == D3DDECL_END) {
            *_declaration = new record_declaration_c(std::move(elements));
            return D3D_OK;
        }
    }
    return D3DERR_INVALIDCALL;
}

HRESULT record_device_c::SetVertexDeclaration(IDirect3DVertexDeclaration9* _declaration)
{
    config.Log("SetVertexDeclaration", _declaration != nullptr);
    Bind(state.declaration, _declaration);
    if (_declaration != nullptr) {
        state.fvf = 0;
    }
    return D3D_OK;
}

HRESULT record_device_c::GetVertexDeclaration(IDirect3DVertexDeclaration9** _declaration)
{
    return HandOut(state.declaration, _declaration);
}

HRESULT record_device_c::SetFVF(DWORD _fvf)
{
    config.Log("SetFVF", _fvf);
    state.fvf = _fvf;
    if (_fvf != 0) {
        Bind(state.declaration, static_cast<IDirect3DVertexDeclaration9*>(nullptr));
    }
    return D3D_OK;
}

HRESULT record_device_c::GetFVF(DWORD* _fvf)
{
    if (_fvf == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_fvf = state.fvf;
    return D3D_OK;
}

namespace {

// The tokens of a shader up to and including its end token; empty when
// the stream is not a shader of the kind asked.
std::vector<DWORD> ShaderTokens(const DWORD* _function, DWORD _kind)
{
    constexpr u64 token_limit = 1u << 16;
    if (_function == nullptr || (_function[0] & 0xFFFF0000u) != _kind) {
        return {};
    }
    const u64 count = ShaderTokenCount(_function, token_limit);
    return std::vector<DWORD>(_function, _function + count);
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

template <class Shader, class Interface>
HRESULT MakeShader(record_config_c& _config, const char* _call, const DWORD* _function, DWORD _kind,
                   Interface** _shader)
{
    _config.Log(_call);
    const HRESULT injected = _config.Check(_call);
    if (FAILED(injected)) {
        return injected;
    }
    std::vector<DWORD> tokens = ShaderTokens(_function, _kind);
    if (tokens.empty() || _shader == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_shader = new Shader(std::move(tokens));
    return D3D_OK;
}

}

HRESULT record_device_c::CreateVertexShader(const DWORD* _function, IDirect3DVertexShader9** _shader)
{
    return MakeShader<record_vertex_shader_c>(config, "CreateVertexShader", _function, 0xFFFE0000u, _shader);
}

HRESULT record_device_c::SetVertexShader(IDirect3DVertexShader9* _shader)
{
    config.Log("SetVertexShader", _shader != nullptr);
    Bind(state.vertexShader, _shader);
    return D3D_OK;
}

HRESULT record_device_c::GetVertexShader(IDirect3DVertexShader9** _shader)
{
    return HandOut(state.vertexShader, _shader);
}

HRESULT record_device_c::SetVertexShaderConstantF(UINT _register, const f32* _data, UINT _count)
{
    config.Log("SetVertexShaderConstantF", _register, _count);
    return StoreConstants(state.vertexConstants, _register, _data, _count);
}

HRESULT record_device_c::CreatePixelShader(const DWORD* _function, IDirect3DPixelShader9** _shader)
{
    return MakeShader<record_pixel_shader_c>(config, "CreatePixelShader", _function, 0xFFFF0000u, _shader);
}

HRESULT record_device_c::SetPixelShader(IDirect3DPixelShader9* _shader)
{
    config.Log("SetPixelShader", _shader != nullptr);
    Bind(state.pixelShader, _shader);
    return D3D_OK;
}

HRESULT record_device_c::GetPixelShader(IDirect3DPixelShader9** _shader)
{
    return HandOut(state.pixelShader, _shader);
}

HRESULT record_device_c::SetPixelShaderConstantF(UINT _register, const f32* _data, UINT _count)
{
    config.Log("SetPixelShaderConstantF", _register, _count);
    return StoreConstants(state.pixelConstants, _register, _data, _count);
}

HRESULT record_device_c::SetStreamSource(UINT _stream, IDirect3DVertexBuffer9* _buffer, UINT _offset, UINT _stride)
{
    config.Log("SetStreamSource", _stream, _buffer != nullptr);
    if (_stream >= d3d_stream_count || _stream >= config.caps.MaxStreams) {
        return D3DERR_INVALIDCALL;
    }
    Bind(state.streams[_stream].buffer, _buffer);
    state.streams[_stream].offset = _offset;
    state.streams[_stream].stride = _stride;
    return D3D_OK;
}

HRESULT record_device_c::GetStreamSource(UINT _stream, IDirect3DVertexBuffer9** _buffer, UINT* _offset, UINT* _stride)
{
    if (_stream >= d3d_stream_count || _buffer == nullptr || _offset == nullptr || _stride == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    HandOut(state.streams[_stream].buffer, _buffer);
    *_offset = state.streams[_stream].offset;
    *_stride = state.streams[_stream].stride;
    return D3D_OK;
}

HRESULT record_device_c::SetIndices(IDirect3DIndexBuffer9* _indices)
{
    config.Log("SetIndices", _indices != nullptr);
    Bind(state.indices, _indices);
    return D3D_OK;
}

HRESULT record_device_c::GetIndices(IDirect3DIndexBuffer9** _indices)
{
    return HandOut(state.indices, _indices);
}

HRESULT record_device_c::SetSoftwareVertexProcessing(BOOL _software)
{
    config.Log("SetSoftwareVertexProcessing", _software != 0);
    if ((behaviour & D3DCREATE_MIXED_VERTEXPROCESSING) == 0) {
        return D3DERR_INVALIDCALL;
    }
    state.softwareVertexProcessing = _software != 0;
    return D3D_OK;
}

HRESULT record_device_c::CreateVertexBuffer(UINT _length, DWORD _usage, DWORD _fvf, D3DPOOL _pool,
                                            IDirect3DVertexBuffer9** _buffer, HANDLE*)
{
    config.Log("CreateVertexBuffer", _length, _usage);
    const HRESULT injected = config.Check("CreateVertexBuffer");
    if (FAILED(injected)) {
        return injected;
    }
    if (_buffer == nullptr || _length == 0 || _fvf != 0) {
        return D3DERR_INVALIDCALL;
    }
    *_buffer = new record_vertex_buffer_c(config, _length, _usage, _pool);
    return D3D_OK;
}

HRESULT record_device_c::CreateIndexBuffer(UINT _length, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                                           IDirect3DIndexBuffer9** _buffer, HANDLE*)
{
    config.Log("CreateIndexBuffer", _length, _format);
    const HRESULT injected = config.Check("CreateIndexBuffer");
    if (FAILED(injected)) {
        return injected;
    }
    if (_buffer == nullptr || _length == 0 || (_format != D3DFMT_INDEX16 && _format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    *_buffer = new record_index_buffer_c(config, _length, _usage, _format, _pool);
    return D3D_OK;
}

HRESULT record_device_c::CreateTexture(UINT _width, UINT _height, UINT _levels, DWORD _usage, D3DFORMAT _format,
                                       D3DPOOL _pool, IDirect3DTexture9** _texture, HANDLE*)
{
    config.Log("CreateTexture", _format, _levels);
    const HRESULT injected = config.Check("CreateTexture");
    if (FAILED(injected)) {
        return injected;
    }
    if (_texture == nullptr || _width == 0 || _height == 0 || _width > config.caps.MaxTextureWidth ||
        _height > config.caps.MaxTextureHeight || D3DFormatUnitBytes(_format) == 0 ||
        !config.Accepts(_usage & D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, _format)) {
        return D3DERR_INVALIDCALL;
    }
    *_texture = new record_texture_c(config, _width, _height, _levels, _usage, _format, _pool);
    return D3D_OK;
}

HRESULT record_device_c::CreateCubeTexture(UINT _edge, UINT _levels, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                                           IDirect3DCubeTexture9** _texture, HANDLE*)
{
    config.Log("CreateCubeTexture", _format, _levels);
    const HRESULT injected = config.Check("CreateCubeTexture");
    if (FAILED(injected)) {
        return injected;
    }
    if (_texture == nullptr || _edge == 0 || _edge > config.caps.MaxTextureWidth || D3DFormatUnitBytes(_format) == 0 ||
        !config.Accepts(0, D3DRTYPE_CUBETEXTURE, _format)) {
        return D3DERR_INVALIDCALL;
    }
    *_texture = new record_cube_texture_c(config, _edge, _levels, _usage, _format, _pool);
    return D3D_OK;
}

HRESULT record_device_c::CreateOffscreenPlainSurface(UINT _width, UINT _height, D3DFORMAT _format, D3DPOOL _pool,
                                                     IDirect3DSurface9** _surface, HANDLE*)
{
    config.Log("CreateOffscreenPlainSurface", _width, _height);
    const HRESULT injected = config.Check("CreateOffscreenPlainSurface");
    if (FAILED(injected)) {
        return injected;
    }
    if (_surface == nullptr || _width == 0 || _height == 0 || D3DFormatUnitBytes(_format) == 0) {
        return D3DERR_INVALIDCALL;
    }
    *_surface = new record_surface_c(config, _width, _height, _format, 0, _pool);
    return D3D_OK;
}

HRESULT record_device_c::SetPaletteEntries(UINT _palette, const PALETTEENTRY* _entries)
{
    config.Log("SetPaletteEntries", _palette);
    if (_entries == nullptr || _palette != 0) {
        return D3DERR_INVALIDCALL;
    }
    std::memcpy(state.palette.data(), _entries, sizeof(state.palette));
    return D3D_OK;
}

HRESULT record_device_c::SetCurrentTexturePalette(UINT _palette)
{
    config.Log("SetCurrentTexturePalette", _palette);
    state.currentPalette = _palette;
    return D3D_OK;
}

HRESULT record_device_c::Clear(DWORD _rect_count, const RECT* _rects, DWORD _flags, D3DCOLOR _color, f32 _z,
                               DWORD _stencil)
{
    config.Log("Clear", _flags, _color);
    if (_rect_count != 0 || _rects != nullptr || inScene) {
        return D3DERR_INVALIDCALL;
    }
    clears.push_back({_flags, _color, _z, _stencil, state.renderTargets[0], state.viewport});
    if ((_flags & D3DCLEAR_TARGET) != 0) {
        const D3DVIEWPORT9& v = state.viewport;
        const RECT area{static_cast<i32>(v.X), static_cast<i32>(v.Y), static_cast<i32>(v.X + v.Width),
                        static_cast<i32>(v.Y + v.Height)};
        if (auto* target = dynamic_cast<record_surface_c*>(state.renderTargets[0])) {
            target->Fill(area, _color);
        }
    }
    return D3D_OK;
}

HRESULT record_device_c::BeginScene()
{
    config.Log("BeginScene");
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    return D3D_OK;
}

HRESULT record_device_c::EndScene()
{
    config.Log("EndScene");
    if (!inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    return D3D_OK;
}

HRESULT record_device_c::Present(const RECT*, const RECT*, HWND, const void*)
{
    config.Log("Present");
    const HRESULT injected = config.Check("Present");
    if (FAILED(injected)) {
        return injected;
    }
    ++presents;
    frontBuffer->GetBytes() = backBuffer->GetBytes();
    return D3D_OK;
}

void record_device_c::SetGammaRamp(UINT _swap_chain, DWORD _flags, const D3DGAMMARAMP* _ramp)
{
    config.Log("SetGammaRamp", _swap_chain, _flags);
    if (_ramp != nullptr && _swap_chain == 0) {
        gammaRamp = *_ramp;
        gammaSet = true;
    }
}

BOOL record_device_c::ShowCursor(BOOL _show)
{
    config.Log("ShowCursor", _show != 0);
    if (_show != 0) {
        ++cursorShows;
    }
    return 1;
}

HRESULT record_device_c::GetFrontBufferData(UINT _swap_chain, IDirect3DSurface9* _surface)
{
    config.Log("GetFrontBufferData", _swap_chain);
    const HRESULT injected = config.Check("GetFrontBufferData");
    if (FAILED(injected)) {
        return injected;
    }
    auto* target = dynamic_cast<record_surface_c*>(_surface);
    if (_swap_chain != 0 || target == nullptr || target->IsLocked() || target->Desc().Format != D3DFMT_A8R8G8B8 ||
        target->Desc().Width != frontBuffer->Desc().Width || target->Desc().Height != frontBuffer->Desc().Height) {
        return D3DERR_INVALIDCALL;
    }
    const u64 row = u64{frontBuffer->Desc().Width} * 4;
    for (u32 y = 0; y < frontBuffer->Desc().Height; ++y) {
        std::memcpy(target->GetBytes().data() + y * u64{target->GetPitch()},
                    frontBuffer->GetBytes().data() + y * u64{frontBuffer->GetPitch()}, row);
    }
    return D3D_OK;
}

HRESULT record_device_c::Draw(record_draw_s _draw)
{
    config.Log(_draw.call, _draw.type, _draw.count);
    if (!inScene || _draw.count == 0) {
        return D3DERR_INVALIDCALL;
    }
    _draw.state = std::make_shared<const d3d9_device_state_c>(state);
    draws.push_back(std::move(_draw));
    return D3D_OK;
}

HRESULT record_device_c::DrawPrimitive(D3DPRIMITIVETYPE _type, UINT _start_vertex, UINT _count)
{
    const d3d9_stream_s& stream = state.streams[0];
    if (stream.buffer == nullptr || stream.stride == 0 ||
        (u64{_start_vertex} + VerticesOf(_type, _count)) * stream.stride > stream.buffer->GetLength()) {
        config.Log("DrawPrimitive", _type, _count);
        return D3DERR_INVALIDCALL;
    }
    record_draw_s draw;
    draw.call = "DrawPrimitive";
    draw.type = _type;
    draw.start = _start_vertex;
    draw.count = _count;
    draw.stride = stream.stride;
    return Draw(std::move(draw));
}

HRESULT record_device_c::DrawIndexedPrimitive(D3DPRIMITIVETYPE _type, INT _base_vertex, UINT _min_index,
                                              UINT _vertex_count, UINT _start_index, UINT _count)
{
    const d3d9_stream_s& stream = state.streams[0];
    const u64 index_size = state.indices != nullptr && state.indices->GetFormat() == D3DFMT_INDEX32 ? 4 : 2;
    if (stream.buffer == nullptr || state.indices == nullptr || _base_vertex < 0 ||
        (u64{_start_index} + VerticesOf(_type, _count)) * index_size > state.indices->GetLength() ||
        (u64{_min_index} + _vertex_count) * stream.stride > stream.buffer->GetLength()) {
        config.Log("DrawIndexedPrimitive", _type, _count);
        return D3DERR_INVALIDCALL;
    }
    record_draw_s draw;
    draw.call = "DrawIndexedPrimitive";
    draw.type = _type;
    draw.start = _start_index;
    draw.count = _count;
    draw.minIndex = _min_index;
    draw.vertexCount = _vertex_count;
    draw.stride = stream.stride;
    draw.indexFormat = state.indices->GetFormat();
    return Draw(std::move(draw));
}

HRESULT record_device_c::DrawPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _count, const void* _vertices, UINT _stride)
{
    if (_vertices == nullptr || _stride == 0) {
        config.Log("DrawPrimitiveUP", _type, _count);
        return D3DERR_INVALIDCALL;
    }
    // Direct3D 9 unbinds stream 0 after a draw from memory.
    Bind(state.streams[0].buffer, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    state.streams[0].stride = 0;
    record_draw_s draw;
    draw.call = "DrawPrimitiveUP";
    draw.type = _type;
    draw.count = _count;
    draw.stride = _stride;
    const auto* bytes = static_cast<const u8*>(_vertices);
    draw.vertices.assign(bytes, bytes + VerticesOf(_type, _count) * _stride);
    return Draw(std::move(draw));
}

HRESULT record_device_c::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _min_index, UINT _vertex_count,
                                                UINT _count, const void* _indices, D3DFORMAT _index_format,
                                                const void* _vertices, UINT _stride)
{
    if (_vertices == nullptr || _indices == nullptr || _stride == 0 ||
        (_index_format != D3DFMT_INDEX16 && _index_format != D3DFMT_INDEX32)) {
        config.Log("DrawIndexedPrimitiveUP", _type, _count);
        return D3DERR_INVALIDCALL;
    }
    Bind(state.streams[0].buffer, static_cast<IDirect3DVertexBuffer9*>(nullptr));
    state.streams[0].stride = 0;
    Bind(state.indices, static_cast<IDirect3DIndexBuffer9*>(nullptr));
    record_draw_s draw;
    draw.call = "DrawIndexedPrimitiveUP";
    draw.type = _type;
    draw.count = _count;
    draw.minIndex = _min_index;
    draw.vertexCount = _vertex_count;
    draw.stride = _stride;
    draw.indexFormat = _index_format;
    const auto* vertices = static_cast<const u8*>(_vertices);
    draw.vertices.assign(vertices, vertices + (u64{_min_index} + _vertex_count) * _stride);
    const auto* indices = static_cast<const u8*>(_indices);
    draw.indices.assign(indices, indices + VerticesOf(_type, _count) * (_index_format == D3DFMT_INDEX32 ? 4 : 2));
    return Draw(std::move(draw));
}
