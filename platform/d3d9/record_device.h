#pragma once
// record_device_c: the record backend's device. It keeps the whole device
// state through d3d9_state_device_c, logs every call into its record_config_c (name, first two arguments) and
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
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_resources.h"
#include "platform/d3d9/state_device.h"

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

class record_device_c : public d3d9_state_device_c {
public:
    record_device_c(record_config_c& _config, DWORD _behaviour, const D3DPRESENT_PARAMETERS& _parameters);
    ~record_device_c() override;

    HRESULT GetDeviceCaps(D3DCAPS9* _caps) override;
    HRESULT CreateVertexShader(const DWORD* _function, IDirect3DVertexShader9** _shader) override;
    HRESULT CreatePixelShader(const DWORD* _function, IDirect3DPixelShader9** _shader) override;
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
    HRESULT Clear(DWORD _rect_count, const RECT* _rects, DWORD _flags, D3DCOLOR _color, f32 _z,
                  DWORD _stencil) override;
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
    u32 PresentCount() const { return presents; }
    u32 CursorShows() const { return cursorShows; }

protected:
    void Note(const char* _call, u64 _a, u64 _b) override;
    HRESULT Refusal(const char* _call) override;

private:
    HRESULT Draw(record_draw_s _draw);

    record_config_c& config;
    D3DPRESENT_PARAMETERS parameters;
    record_surface_c* backBuffer = nullptr;
    record_surface_c* frontBuffer = nullptr;
    D3DGAMMARAMP gammaRamp;
    bool gammaSet = false;
    u32 presents = 0;
    u32 cursorShows = 0;
    std::vector<record_draw_s> draws;
    std::vector<record_clear_s> clears;
};
