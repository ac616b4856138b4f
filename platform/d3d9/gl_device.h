#pragma once
// gl_device_c: the OpenGL backend's device. It keeps and checks state
// through d3d9_state_device_c, exactly as the record backend does, so that
// both read back alike, and draws from that state on its context.
//
// Drawing: the back buffer is a render-target texture; the device draws
// into it (or into the bound render-target textures, up to four at once)
// through one framebuffer object that also holds the depth-stencil buffer
// of the back buffer's size, made when the presentation parameters ask for
// one. Rows go top first, clip-space y is turned over and culling and
// two-sided stencil swap faces to match, so the pixels in memory are the
// ones Direct3D would write. Present copies the back buffer to the front
// buffer, shows the front buffer on the window through the gamma ramp and
// swaps; GetFrontBufferData reads the front buffer (without the ramp, as
// the ramp lives in the display, not in the image).
//
// Programs: shaders are translated to GLSL when they are made
// (gl_shader_translate.h); what a draw leaves to the fixed-function stages
// is generated per state key (gl_fixed_function.h). Each pair is linked
// once and kept for the device's lifetime; ProgramsMade counts them and
// ProgramSeconds sums the time they took.
#include "platform/d3d9/gl_context.h"
#include "platform/d3d9/gl_fixed_function.h"
#include "platform/d3d9/gl_program.h"
#include "platform/d3d9/gl_resources.h"
#include "platform/d3d9/gl_vertex_input.h"
#include "platform/d3d9/state_device.h"

#include <chrono>
#include <memory>
#include <unordered_map>

// A shader with its translation, and a number no other shader of the run
// has, by which linked programs are found.
template <class Interface>
class gl_shader_c : public d3d9_shader_c<Interface> {
public:
    gl_shader_c(std::vector<DWORD> _tokens, std::string _glsl);
    const std::string& Glsl() const { return glsl; }
    u64 Serial() const { return serial; }

private:
    std::string glsl;
    u64 serial = 0;
};
using gl_vertex_shader_c = gl_shader_c<IDirect3DVertexShader9>;
using gl_pixel_shader_c = gl_shader_c<IDirect3DPixelShader9>;

struct gl_program_key_s {
    u64 vertexShader = 0;
    u64 pixelShader = 0;
    gl_fixed_key_s fixed;
    bool operator==(const gl_program_key_s&) const = default;
};

struct gl_program_key_hash_s {
    std::size_t operator()(const gl_program_key_s& _key) const;
};

class gl_device_c : public d3d9_state_device_c {
public:
    gl_device_c(std::shared_ptr<gl_context_c> _context, const D3DCAPS9& _caps, DWORD _behaviour,
                const D3DPRESENT_PARAMETERS& _parameters);
    ~gl_device_c() override;

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

    const D3DPRESENT_PARAMETERS& Parameters() const { return parameters; }
    u32 ProgramsMade() const { return programsMade; }
    // Seconds spent generating, compiling and linking them (a measurement
    // for benchmarks; nothing the drawing depends on).
    f64 ProgramSeconds() const { return std::chrono::duration<f64>(programTime).count(); }

private:
    struct draw_s;

    void BindTargets();
    void ApplyRenderStates();
    void BindTextures(gl_texture_kinds_t& _kinds);
    const gl_program_s& Program(const gl_vertex_layout_s& _layout, const gl_texture_kinds_t& _kinds, bool _points);
    void SetConstants(const gl_program_s& _program);
    HRESULT Draw(const draw_s& _draw);
    void ShowFront();

    std::shared_ptr<gl_context_c> context;
    D3DCAPS9 caps;
    D3DPRESENT_PARAMETERS parameters;
    gl_texture_c* backBuffer = nullptr;
    gl_name_c front;
    gl_name_c depthStencil;
    gl_name_c framebuffer;
    gl_name_c readFramebuffer;
    gl_name_c vertexArray;
    gl_name_c emptyArray;
    gl_name_c userVertices;
    gl_name_c userIndices;
    gl_name_c gammaTexture;
    std::array<std::unique_ptr<gl_name_c>, d3d_sampler_count> samplers;
    std::array<const gl_surface_c*, d3d_render_target_count> attached{};
    bool hasDepth = false;
    bool cursorShown = true;
    gl_program_s presentProgram;
    std::unordered_map<gl_program_key_s, gl_program_s, gl_program_key_hash_s> programs;
    u32 programsMade = 0;
    std::chrono::steady_clock::duration programTime{};
    gl_vertex_constants_t vertexConstants{};
    gl_pixel_constants_t pixelConstants{};
};
