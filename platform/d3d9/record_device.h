#pragma once
// record_device_c: the record backend's device. It keeps the whole device
// state (d3d9_device_state_c), holds a reference on everything bound,
// logs every call into its record_config_c (name, first two arguments) and
// every draw with a copy of the state bound at that moment and, for draws
// from memory, the vertex and index bytes.
//
// The back buffer is a real A8R8G8B8 surface of the presentation size (the
// configured client size for windowed devices); Clear fills target 0
// within the viewport when the target is 32-bit, Present copies the back
// buffer to the front buffer, GetFrontBufferData hands that out. Present
// gives the result injected for "Present" (D3DERR_DEVICELOST for a lost
// device). Scene brackets are checked: BeginScene twice, EndScene or a draw
// outside a scene give D3DERR_INVALIDCALL.
#include "platform/d3d9/device_state.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_resources.h"

#include <memory>
#include <vector>

struct record_draw_s {
    std::string call;
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT start = 0;
    UINT count = 0;
    UINT minIndex = 0;
    UINT vertexCount = 0;
    UINT stride = 0;
    D3DFORMAT indexFormat = D3DFMT_UNKNOWN;
    std::vector<u8> vertices;
    std::vector<u8> indices;
    std::shared_ptr<const d3d9_device_state_c> state;
};

struct record_clear_s {
    DWORD flags = 0;
    D3DCOLOR color = 0;
    f32 z = 0.0f;
    DWORD stencil = 0;
    IDirect3DSurface9* target = nullptr;
    D3DVIEWPORT9 viewport;
};

class record_device_c : public ref_counted_c<IDirect3DDevice9> {
public:
    record_device_c(record_config_c& _config, DWORD _behaviour, const D3DPRESENT_PARAMETERS& _parameters);
    ~record_device_c() override;

    HRESULT GetDeviceCaps(D3DCAPS9* _caps) override;
    HRESULT GetRenderTarget(DWORD _index, IDirect3DSurface9** _surface) override;
    HRESULT SetRenderTarget(DWORD _index, IDirect3DSurface9* _surface) override;
    HRESULT SetViewport(const D3DVIEWPORT9* _viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* _viewport) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE _state, const D3DMATRIX* _matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE _state, D3DMATRIX* _matrix) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE _state, DWORD _value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE _state, DWORD* _value) override;
    HRESULT SetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD _value) override;
    HRESULT GetTextureStageState(DWORD _stage, D3DTEXTURESTAGESTATETYPE _state, DWORD* _value) override;
    HRESULT SetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD _value) override;
    HRESULT GetSamplerState(DWORD _sampler, D3DSAMPLERSTATETYPE _state, DWORD* _value) override;
    HRESULT SetTexture(DWORD _stage, IDirect3DBaseTexture9* _texture) override;
    HRESULT GetTexture(DWORD _stage, IDirect3DBaseTexture9** _texture) override;
    HRESULT SetMaterial(const D3DMATERIAL9* _material) override;
    HRESULT SetLight(DWORD _index, const D3DLIGHT9* _light) override;
    HRESULT LightEnable(DWORD _index, BOOL _enable) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* _elements,
                                    IDirect3DVertexDeclaration9** _declaration) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* _declaration) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** _declaration) override;
    HRESULT SetFVF(DWORD _fvf) override;
    HRESULT GetFVF(DWORD* _fvf) override;
    HRESULT CreateVertexShader(const DWORD* _function, IDirect3DVertexShader9** _shader) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* _shader) override;
    HRESULT GetVertexShader(IDirect3DVertexShader9** _shader) override;
    HRESULT SetVertexShaderConstantF(UINT _register, const f32* _data, UINT _count) override;
    HRESULT CreatePixelShader(const DWORD* _function, IDirect3DPixelShader9** _shader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* _shader) override;
    HRESULT GetPixelShader(IDirect3DPixelShader9** _shader) override;
    HRESULT SetPixelShaderConstantF(UINT _register, const f32* _data, UINT _count) override;
    HRESULT SetStreamSource(UINT _stream, IDirect3DVertexBuffer9* _buffer, UINT _offset, UINT _stride) override;
    HRESULT GetStreamSource(UINT _stream, IDirect3DVertexBuffer9** _buffer, UINT* _offset, UINT* _stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* _indices) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** _indices) override;
    HRESULT SetSoftwareVertexProcessing(BOOL _software) override;
    HRESULT CreateVertexBuffer(UINT _length, DWORD _usage, DWORD _fvf, D3DPOOL _pool, IDirect3DVertexBuffer9** _buffer,
                               HANDLE* _shared) override;
    HRESULT CreateIndexBuffer(UINT _length, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                              IDirect3DIndexBuffer9** _buffer, HANDLE* _shared) override;
    HRESULT CreateTexture(UINT _width, UINT _height, UINT _levels, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                          IDirect3DTexture9** _texture, HANDLE* _shared) override;
    HRESULT CreateCubeTexture(UINT _edge, UINT _levels, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                              IDirect3DCubeTexture9** _texture, HANDLE* _shared) override;
    HRESULT CreateOffscreenPlainSurface(UINT _width, UINT _height, D3DFORMAT _format, D3DPOOL _pool,
                                        IDirect3DSurface9** _surface, HANDLE* _shared) override;
    HRESULT SetPaletteEntries(UINT _palette, const PALETTEENTRY* _entries) override;
    HRESULT SetCurrentTexturePalette(UINT _palette) override;
    HRESULT Clear(DWORD _rect_count, const RECT* _rects, DWORD _flags, D3DCOLOR _color, f32 _z,
                  DWORD _stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* _source, const RECT* _dest, HWND _override, const void* _dirty) override;
    void SetGammaRamp(UINT _swap_chain, DWORD _flags, const D3DGAMMARAMP* _ramp) override;
    BOOL ShowCursor(BOOL _show) override;
    HRESULT GetFrontBufferData(UINT _swap_chain, IDirect3DSurface9* _surface) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE _type, UINT _start_vertex, UINT _count) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE _type, INT _base_vertex, UINT _min_index, UINT _vertex_count,
                                 UINT _start_index, UINT _count) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _count, const void* _vertices, UINT _stride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _min_index, UINT _vertex_count, UINT _count,
                                   const void* _indices, D3DFORMAT _index_format, const void* _vertices,
                                   UINT _stride) override;

    // What tests read back.
    const d3d9_device_state_c& State() const { return state; }
    const std::vector<record_draw_s>& Draws() const { return draws; }
    const std::vector<record_clear_s>& Clears() const { return clears; }
    // Forgets the draws and clears recorded so far (long runs).
    void ClearRecords()
    {
        draws.clear();
        clears.clear();
    }
    const D3DGAMMARAMP& GammaRamp() const { return gammaRamp; }
    bool GammaRampSet() const { return gammaSet; }
    record_surface_c* BackBuffer() { return backBuffer; }
    record_surface_c* FrontBuffer() { return frontBuffer; }
    const D3DPRESENT_PARAMETERS& Parameters() const { return parameters; }
    DWORD Behaviour() const { return behaviour; }
    bool InScene() const { return inScene; }
    u32 PresentCount() const { return presents; }
    u32 CursorShows() const { return cursorShows; }

private:
    // Replaces a bound object, moving the device's reference.
    template <class T>
    void Bind(T*& _slot, T* _object);
    HRESULT Draw(record_draw_s _draw);

    record_config_c& config;
    DWORD behaviour = 0;
    D3DPRESENT_PARAMETERS parameters;
    d3d9_device_state_c state;
    record_surface_c* backBuffer = nullptr;
    record_surface_c* frontBuffer = nullptr;
    D3DGAMMARAMP gammaRamp;
    bool gammaSet = false;
    bool inScene = false;
    u32 presents = 0;
    u32 cursorShows = 0;
    std::vector<record_draw_s> draws;
    std::vector<record_clear_s> clears;
};
