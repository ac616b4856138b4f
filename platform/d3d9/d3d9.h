#pragma once
// The Direct3D 9 object, device and resources as abstract classes with the
// methods the renderer calls, their meanings those of Direct3D 9: results
// are HRESULTs, objects are reference counted (a new object holds one
// reference; Release at zero deletes it), Get* methods that hand out an
// object add a reference to it.
//
// A backend implements these classes. Direct3DCreate9 asks the backend
// installed with SetDirect3DBackend, the OpenGL backend (gl_backend.h)
// until another is installed; after SetDirect3DBackend with an empty
// function it gives null, as a machine without Direct3D would. The record
// backend (record_config.h) keeps state and logs calls for the tests.
#include "platform/d3d9/d3d9_caps.h"
#include "platform/d3d9/d3d9_types.h"

#include <functional>

using HANDLE = void*;

class IDirect3DDevice9;

class IDirect3DResource9 : public IUnknown {
public:
    virtual D3DRESOURCETYPE GetType() = 0;
};

// Locking maps the whole surface (or the given rectangle) into memory; the
// pitch is the byte distance between rows (for block formats, between rows
// of 4x4 blocks) and may exceed the row's own bytes.
class IDirect3DSurface9 : public IDirect3DResource9 {
public:
    virtual HRESULT GetDesc(D3DSURFACE_DESC* _desc) = 0;
    virtual HRESULT LockRect(D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture9 : public IDirect3DResource9 {
public:
    virtual DWORD GetLevelCount() = 0;
};

class IDirect3DTexture9 : public IDirect3DBaseTexture9 {
public:
    virtual HRESULT GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc) = 0;
    virtual HRESULT GetSurfaceLevel(UINT _level, IDirect3DSurface9** _surface) = 0;
    virtual HRESULT LockRect(UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags) = 0;
    virtual HRESULT UnlockRect(UINT _level) = 0;
};

class IDirect3DCubeTexture9 : public IDirect3DBaseTexture9 {
public:
    virtual HRESULT GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc) = 0;
    virtual HRESULT LockRect(D3DCUBEMAP_FACES _face, UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect,
                             DWORD _flags) = 0;
    virtual HRESULT UnlockRect(D3DCUBEMAP_FACES _face, UINT _level) = 0;
};

class IDirect3DVertexBuffer9 : public IDirect3DResource9 {
public:
    // _size 0 maps from _offset to the end.
    virtual HRESULT Lock(UINT _offset, UINT _size, void** _data, DWORD _flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual UINT GetLength() = 0;
};

class IDirect3DIndexBuffer9 : public IDirect3DResource9 {
public:
    virtual HRESULT Lock(UINT _offset, UINT _size, void** _data, DWORD _flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual UINT GetLength() = 0;
    virtual D3DFORMAT GetFormat() = 0;
};

class IDirect3DVertexDeclaration9 : public IUnknown {
public:
    // The elements up to and including D3DDECL_END.
    virtual const D3DVERTEXELEMENT9* GetElements() = 0;
};

// A shader keeps a copy of its token stream.
class IDirect3DVertexShader9 : public IUnknown {
public:
    virtual const DWORD* GetFunction(UINT* _token_count) = 0;
};

class IDirect3DPixelShader9 : public IUnknown {
public:
    virtual const DWORD* GetFunction(UINT* _token_count) = 0;
};

class IDirect3DDevice9 : public IUnknown {
public:
    virtual HRESULT GetDeviceCaps(D3DCAPS9* _caps) = 0;

    virtual HRESULT GetRenderTarget(DWORD _index, IDirect3DSurface9** _surface) = 0;
    virtual HRESULT SetRenderTarget(DWORD _index, IDirect3DSurface9* _surface) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT9* _viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT9* _viewport) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE _state, const D3DMATRIX* _matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE _state, D3DMATRIX* _matrix) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE _state, DWORD _value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE _state, DWORD* _value) = 0;
    virtual HRESULT SetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD _value) = 0;
    virtual HRESULT GetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD* _value) = 0;
    virtual HRESULT SetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD _value) = 0;
    virtual HRESULT GetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD* _value) = 0;
    virtual HRESULT SetTexture(DWORD _stage, IDirect3DBaseTexture9* _texture) = 0;
    virtual HRESULT GetTexture(DWORD _stage, IDirect3DBaseTexture9** _texture) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL9* _material) = 0;
    virtual HRESULT SetLight(DWORD _index, const D3DLIGHT9* _light) = 0;
    virtual HRESULT LightEnable(DWORD _index, BOOL _enable) = 0;

    virtual HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* _elements,
                                            IDirect3DVertexDeclaration9** _declaration) = 0;
    virtual HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* _declaration) = 0;
    virtual HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** _declaration) = 0;
    virtual HRESULT SetFVF(DWORD _fvf) = 0;
    virtual HRESULT GetFVF(DWORD* _fvf) = 0;
    virtual HRESULT CreateVertexShader(const DWORD* _function, IDirect3DVertexShader9** _shader) = 0;
    virtual HRESULT SetVertexShader(IDirect3DVertexShader9* _shader) = 0;
    virtual HRESULT GetVertexShader(IDirect3DVertexShader9** _shader) = 0;
    virtual HRESULT SetVertexShaderConstantF(UINT _register, const f32* _data, UINT _count) = 0;
    virtual HRESULT CreatePixelShader(const DWORD* _function, IDirect3DPixelShader9** _shader) = 0;
    virtual HRESULT SetPixelShader(IDirect3DPixelShader9* _shader) = 0;
    virtual HRESULT GetPixelShader(IDirect3DPixelShader9** _shader) = 0;
    virtual HRESULT SetPixelShaderConstantF(UINT _register, const f32* _data, UINT _count) = 0;
    virtual HRESULT SetStreamSource(UINT _stream, IDirect3DVertexBuffer9* _buffer, UINT _offset, UINT _stride) = 0;
    virtual HRESULT GetStreamSource(UINT _stream, IDirect3DVertexBuffer9** _buffer, UINT* _offset, UINT* _stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer9* _indices) = 0;
    virtual HRESULT GetIndices(IDirect3DIndexBuffer9** _indices) = 0;
    virtual HRESULT SetSoftwareVertexProcessing(BOOL _software) = 0;

    virtual HRESULT CreateVertexBuffer(UINT _length, DWORD _usage, DWORD _fvf, D3DPOOL _pool,
                                       IDirect3DVertexBuffer9** _buffer, HANDLE* _shared) = 0;
    virtual HRESULT CreateIndexBuffer(UINT _length, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                                      IDirect3DIndexBuffer9** _buffer, HANDLE* _shared) = 0;
    // _levels 0 makes the full chain down to 1x1.
    virtual HRESULT CreateTexture(UINT _width, UINT _height, UINT _levels, DWORD _usage, D3DFORMAT _format,
                                  D3DPOOL _pool, IDirect3DTexture9** _texture, HANDLE* _shared) = 0;
    virtual HRESULT CreateCubeTexture(UINT _edge, UINT _levels, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                                      IDirect3DCubeTexture9** _texture, HANDLE* _shared) = 0;
    virtual HRESULT CreateOffscreenPlainSurface(UINT _width, UINT _height, D3DFORMAT _format, D3DPOOL _pool,
                                                IDirect3DSurface9** _surface, HANDLE* _shared) = 0;
    virtual HRESULT SetPaletteEntries(UINT _palette, const PALETTEENTRY* _entries) = 0;
    virtual HRESULT SetCurrentTexturePalette(UINT _palette) = 0;

    // Clears target 0 (and the depth-stencil buffer) within the viewport.
    virtual HRESULT Clear(DWORD _rect_count, const RECT* _rects, DWORD _flags, D3DCOLOR _color, f32 _z,
                          DWORD _stencil) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Present(const RECT* _source, const RECT* _dest, HWND _override, const void* _dirty) = 0;
    virtual void SetGammaRamp(UINT _swap_chain, DWORD _flags, const D3DGAMMARAMP* _ramp) = 0;
    virtual BOOL ShowCursor(BOOL _show) = 0;
    // Copies the displayed image into an A8R8G8B8 surface of the output size.
    virtual HRESULT GetFrontBufferData(UINT _swap_chain, IDirect3DSurface9* _surface) = 0;

    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE _type, UINT _start_vertex, UINT _count) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE _type, INT _base_vertex, UINT _min_index, UINT _vertex_count,
                                         UINT _start_index, UINT _count) = 0;
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _count, const void* _vertices, UINT _stride) = 0;
    virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _min_index, UINT _vertex_count, UINT _count,
                                           const void* _indices, D3DFORMAT _index_format, const void* _vertices,
                                           UINT _stride) = 0;
};

class IDirect3D9 : public IUnknown {
public:
    virtual HRESULT GetAdapterIdentifier(UINT _adapter, DWORD _flags, D3DADAPTER_IDENTIFIER9* _identifier) = 0;
    virtual UINT GetAdapterModeCount(UINT _adapter, D3DFORMAT _format) = 0;
    virtual HRESULT EnumAdapterModes(UINT _adapter, D3DFORMAT _format, UINT _mode, D3DDISPLAYMODE* _result) = 0;
    virtual HRESULT GetAdapterDisplayMode(UINT _adapter, D3DDISPLAYMODE* _mode) = 0;
    virtual HRESULT CheckDeviceType(UINT _adapter, D3DDEVTYPE _type, D3DFORMAT _display_format,
                                    D3DFORMAT _back_buffer_format, BOOL _windowed) = 0;
    virtual HRESULT CheckDeviceFormat(UINT _adapter, D3DDEVTYPE _type, D3DFORMAT _adapter_format, DWORD _usage,
                                      D3DRESOURCETYPE _resource_type, D3DFORMAT _format) = 0;
    virtual HRESULT CheckDeviceMultiSampleType(UINT _adapter, D3DDEVTYPE _type, D3DFORMAT _format, BOOL _windowed,
                                               D3DMULTISAMPLE_TYPE _samples, DWORD* _quality_levels) = 0;
    virtual HRESULT CheckDepthStencilMatch(UINT _adapter, D3DDEVTYPE _type, D3DFORMAT _adapter_format,
                                           D3DFORMAT _target_format, D3DFORMAT _depth_format) = 0;
    virtual HRESULT GetDeviceCaps(UINT _adapter, D3DDEVTYPE _type, D3DCAPS9* _caps) = 0;
    virtual HRESULT CreateDevice(UINT _adapter, D3DDEVTYPE _type, HWND _focus, DWORD _behaviour,
                                 D3DPRESENT_PARAMETERS* _parameters, IDirect3DDevice9** _device) = 0;
};

// Makes the Direct3D object of a backend; null when the backend cannot.
using direct3d_backend_t = std::function<IDirect3D9*(UINT _sdk_version)>;

// Installs the backend later Direct3DCreate9 calls use; an empty function
// removes it.
void SetDirect3DBackend(direct3d_backend_t _backend);
IDirect3D9* Direct3DCreate9(UINT _sdk_version);
