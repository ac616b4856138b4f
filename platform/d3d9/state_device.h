#pragma once
// d3d9_state_device_c: the part of a device that every backend shares: it
// keeps the whole device state (d3d9_device_state_c), answers every Get
// from it, holds a reference on each bound object and checks arguments the
// way Direct3D 9 does. A backend adds resources, clears, scenes, draws and
// presentation, and hears of every call through Note (the record backend
// logs it; the OpenGL backend ignores it and draws from the state).
//
// Rules shared by both backends: a new render target 0 resets the viewport
// to its size and target 0 cannot be unset; SetVertexDeclaration replaces
// the FVF and a non-zero SetFVF unbinds the declaration; software vertex
// processing can be switched only on a mixed-processing device.
#include "platform/d3d9/device_state.h"
#include "platform/d3d9/ref_counted.h"

#include <vector>

class d3d9_state_device_c : public ref_counted_c<IDirect3DDevice9> {
public:
    d3d9_state_device_c(DWORD _behaviour, UINT _render_target_limit, UINT _stream_limit);
    // Drops the references of everything still bound.
    ~d3d9_state_device_c() override;

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
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* _declaration) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** _declaration) override;
    HRESULT SetFVF(DWORD _fvf) override;
    HRESULT GetFVF(DWORD* _fvf) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* _shader) override;
    HRESULT GetVertexShader(IDirect3DVertexShader9** _shader) override;
    HRESULT SetVertexShaderConstantF(UINT _register, const f32* _data, UINT _count) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* _shader) override;
    HRESULT GetPixelShader(IDirect3DPixelShader9** _shader) override;
    HRESULT SetPixelShaderConstantF(UINT _register, const f32* _data, UINT _count) override;
    HRESULT SetStreamSource(UINT _stream, IDirect3DVertexBuffer9* _buffer, UINT _offset, UINT _stride) override;
    HRESULT GetStreamSource(UINT _stream, IDirect3DVertexBuffer9** _buffer, UINT* _offset, UINT* _stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* _indices) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** _indices) override;
    HRESULT SetSoftwareVertexProcessing(BOOL _software) override;
    HRESULT SetPaletteEntries(UINT _palette, const PALETTEENTRY* _entries) override;
    HRESULT SetCurrentTexturePalette(UINT _palette) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* _elements,
                                    IDirect3DVertexDeclaration9** _declaration) override;
    // BeginScene twice, or EndScene outside a scene, is refused.
    HRESULT BeginScene() override;
    HRESULT EndScene() override;

    const d3d9_device_state_c& State() const { return state; }
    DWORD Behaviour() const { return behaviour; }
    bool InScene() const { return inScene; }

protected:
    // Hears of each call with its first two numeric arguments, before the
    // call is checked.
    virtual void Note(const char* _call, u64 _a = 0, u64 _b = 0);
    // A failure to give instead of making an object (the record backend's
    // injected failures); D3D_OK to go on.
    virtual HRESULT Refusal(const char* _call);

    // Replaces a bound object, moving the device's reference.
    template <class T>
    static void Bind(T*& _slot, T* _object)
    {
        if (_object != nullptr) {
            _object->AddRef();
        }
        if (_slot != nullptr) {
            _slot->Release();
        }
        _slot = _object;
    }
    // What Direct3D 9 does after a draw from user memory: stream 0 is
    // unbound, and the index buffer too for an indexed draw.
    void UnbindAfterUserDraw(bool _indexed);
    // Whether a draw from the bound buffers stays within them: stream 0
    // for DrawPrimitive, stream 0 and the index buffer for
    // DrawIndexedPrimitive (a negative base vertex is refused).
    bool PrimitiveDrawFits(D3DPRIMITIVETYPE _type, UINT _start_vertex, UINT _count) const;
    bool IndexedDrawFits(D3DPRIMITIVETYPE _type, INT _base_vertex, UINT _min_index, UINT _vertex_count,
                         UINT _start_index, UINT _count) const;

    d3d9_device_state_c state;

private:
    DWORD behaviour = 0;
    UINT renderTargetLimit = 0;
    UINT streamLimit = 0;
    bool inScene = false;
};

// Vertices a primitive count of a type uses; 0 for an unknown type.
u64 D3DPrimitiveVertices(D3DPRIMITIVETYPE _type, u64 _count);

// The tokens of a shader up to and including its end token; empty when
// the stream is not a shader of the kind asked (0xFFFE0000 vertex,
// 0xFFFF0000 pixel).
std::vector<DWORD> D3DShaderTokens(const DWORD* _function, DWORD _kind);
