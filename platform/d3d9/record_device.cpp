#include "platform/d3d9/record_device.h"
#include "platform/d3d9/format_layout.h"

#include <cstring>

record_device_c::record_device_c(record_config_c& _config, DWORD _behaviour, const D3DPRESENT_PARAMETERS& _parameters)
    : d3d9_state_device_c(_behaviour, _config.caps.NumSimultaneousRTs, _config.caps.MaxStreams), config(_config),
      parameters(_parameters)
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
    backBuffer->Release();
    frontBuffer->Release();
    if (config.LastDevice() == this) {
        config.SetLastDevice(nullptr);
    }
}

void record_device_c::Note(const char* _call, u64 _a, u64 _b)
{
    config.Log(_call, _a, _b);
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

HRESULT record_device_c::Refusal(const char* _call)
{
    return config.Check(_call);
}

namespace {

template <class Shader, class Interface>
HRESULT MakeShader(record_config_c& _config, const char* _call, const DWORD* _function, DWORD _kind,
                   Interface** _shader)
{
    _config.Log(_call);
    const HRESULT injected = _config.Check(_call);
    if (FAILED(injected)) {
        return injected;
    }
    std::vector<DWORD> tokens = D3DShaderTokens(_function, _kind);
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

HRESULT record_device_c::CreatePixelShader(const DWORD* _function, IDirect3DPixelShader9** _shader)
{
    return MakeShader<record_pixel_shader_c>(config, "CreatePixelShader", _function, 0xFFFF0000u, _shader);
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

HRESULT record_device_c::Clear(DWORD _rect_count, const RECT* _rects, DWORD _flags, D3DCOLOR _color, f32 _z,
                               DWORD _stencil)
{
    config.Log("Clear", _flags, _color);
    if (_rect_count != 0 || _rects != nullptr || InScene()) {
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
    if (!InScene() || _draw.count == 0) {
        return D3DERR_INVALIDCALL;
    }
    _draw.state = std::make_shared<const d3d9_device_state_c>(state);
    draws.push_back(std::move(_draw));
    return D3D_OK;
}

HRESULT record_device_c::DrawPrimitive(D3DPRIMITIVETYPE _type, UINT _start_vertex, UINT _count)
{
    const d3d9_stream_s& stream = state.streams[0];
    if (!PrimitiveDrawFits(_type, _start_vertex, _count)) {
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
    if (!IndexedDrawFits(_type, _base_vertex, _min_index, _vertex_count, _start_index, _count)) {
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
    UnbindAfterUserDraw(false);
    record_draw_s draw;
    draw.call = "DrawPrimitiveUP";
    draw.type = _type;
    draw.count = _count;
    draw.stride = _stride;
    const auto* bytes = static_cast<const u8*>(_vertices);
    draw.vertices.assign(bytes, bytes + D3DPrimitiveVertices(_type, _count) * _stride);
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
    UnbindAfterUserDraw(true);
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
    draw.indices.assign(indices,
                        indices + D3DPrimitiveVertices(_type, _count) * (_index_format == D3DFMT_INDEX32 ? 4 : 2));
    return Draw(std::move(draw));
}
