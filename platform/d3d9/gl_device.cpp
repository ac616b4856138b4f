#include "platform/d3d9/gl_device.h"
#include "platform/d3d9/format_layout.h"
#include "platform/d3d9/gl_shader_translate.h"

#include <SDL.h>

#include <stdexcept>

namespace {

GLenum Compare(DWORD _func)
{
    switch (_func) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum StencilOp(DWORD _op)
{
    switch (_op) {
    case D3DSTENCILOP_ZERO: return GL_ZERO;
    case D3DSTENCILOP_REPLACE: return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT: return GL_INCR;
    case D3DSTENCILOP_DECRSAT: return GL_DECR;
    case D3DSTENCILOP_INVERT: return GL_INVERT;
    case D3DSTENCILOP_INCR: return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR: return GL_DECR_WRAP;
    default: return GL_KEEP;
    }
}

GLenum BlendFactor(DWORD _blend)
{
    switch (_blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

GLenum Primitive(D3DPRIMITIVETYPE _type)
{
    switch (_type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

GLint Address(DWORD _mode)
{
    switch (_mode) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case 4: return GL_CLAMP_TO_BORDER;
    case 5: return GL_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

GLint MinFilter(DWORD _min, DWORD _mip)
{
    const bool linear = _min != D3DTEXF_POINT;
    switch (_mip) {
    case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case D3DTEXF_LINEAR:
    case D3DTEXF_ANISOTROPIC: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default: return linear ? GL_LINEAR : GL_NEAREST;
    }
}

// Shows the front buffer on the window, turned right way up, each channel
// through the gamma ramp (a 256x1 texture, red, green, blue).
const char* const present_vertex = R"(#version 330 core
out vec2 v_uv;
void main()
{
    vec2 corner = vec2(float((gl_VertexID & 1) * 2), float((gl_VertexID & 2)));
    v_uv = vec2(corner.x, 1.0 - corner.y);
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const present_pixel = R"(#version 330 core
uniform sampler2D s0;
uniform sampler2D s1;
in vec2 v_uv;
layout(location = 0) out vec4 o_color;
void main()
{
    vec4 c = texture(s0, v_uv);
    float at = 255.0 / 256.0;
    float half_texel = 0.5 / 256.0;
    o_color = vec4(texture(s1, vec2(c.r * at + half_texel, 0.5)).r, texture(s1, vec2(c.g * at + half_texel, 0.5)).g,
                   texture(s1, vec2(c.b * at + half_texel, 0.5)).b, 1.0);
}
)";

}

// What one draw asks for, from buffers or from user memory.
struct gl_device_c::draw_s {
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT count = 0;
    bool indexed = false;
    UINT start = 0;
    INT baseVertex = 0;
    GLenum indexType = GL_UNSIGNED_SHORT;
    GLuint indexBuffer = 0;
    u64 indexOffset = 0;
    std::array<gl_stream_source_s, d3d_stream_count> streams{};
};

gl_device_c::gl_device_c(std::shared_ptr<gl_context_c> _context, const D3DCAPS9& _caps, DWORD _behaviour,
                         const D3DPRESENT_PARAMETERS& _parameters)
    : d3d9_state_device_c(_behaviour, _caps.NumSimultaneousRTs, _caps.MaxStreams), context(_context), caps(_caps),
      parameters(_parameters), front(_context, gl_name_c::texture), depthStencil(_context, gl_name_c::renderbuffer),
      framebuffer(_context, gl_name_c::framebuffer), readFramebuffer(_context, gl_name_c::framebuffer),
      vertexArray(_context, gl_name_c::vertex_array), emptyArray(_context, gl_name_c::vertex_array),
      userVertices(_context, gl_name_c::buffer), userIndices(_context, gl_name_c::buffer),
      gammaTexture(_context, gl_name_c::texture)
{
    const gl_api_s& gl = context->gl;
    const UINT width = parameters.BackBufferWidth;
    const UINT height = parameters.BackBufferHeight;
    backBuffer = new gl_texture_c(context, width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
    IDirect3DSurface9* surface = nullptr;
    backBuffer->GetSurfaceLevel(0, &surface);
    Bind(state.renderTargets[0], surface);
    surface->Release();
    state.viewport = {0, 0, width, height, 0.0f, 1.0f};

    gl.BindTexture(GL_TEXTURE_2D, front.Name());
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_BGRA,
                  GL_UNSIGNED_BYTE, nullptr);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    D3DGAMMARAMP identity;
    for (u32 i = 0; i < 256; ++i) {
        identity.red[i] = identity.green[i] = identity.blue[i] = static_cast<WORD>(i * 257);
    }
    gl.BindTexture(GL_TEXTURE_2D, gammaTexture.Name());
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGB16, 256, 1, 0, GL_RGB, GL_UNSIGNED_SHORT, nullptr);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    SetGammaRamp(0, 0, &identity);

    hasDepth = parameters.EnableAutoDepthStencil != 0;
    if (hasDepth) {
        gl.BindRenderbuffer(GL_RENDERBUFFER, depthStencil.Name());
        gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(width),
                               static_cast<GLsizei>(height));
        gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer.Name());
        gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil.Name());
    } else {
        state.renderStates[D3DRS_ZENABLE] = D3DZB_FALSE;
    }
    for (u32 unit = 0; unit < d3d_sampler_count; ++unit) {
        samplers[unit] = std::make_unique<gl_name_c>(context, gl_name_c::sampler);
    }
    presentProgram = GlLinkProgram(context, present_vertex, present_pixel);
    // Without a swap interval to set (as offscreen) presentation just
    // does not wait.
    SDL_GL_SetSwapInterval(parameters.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
    gl.Enable(GL_PROGRAM_POINT_SIZE);
    gl.PointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    gl.FrontFace(GL_CCW);
}

gl_device_c::~gl_device_c()
{
    context->Use();
    backBuffer->Release();
}

HRESULT gl_device_c::GetDeviceCaps(D3DCAPS9* _caps)
{
    if (_caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_caps = caps;
    return D3D_OK;
}

template <class Interface>
gl_shader_c<Interface>::gl_shader_c(std::vector<DWORD> _tokens, std::string _glsl)
    : d3d9_shader_c<Interface>(std::move(_tokens)), glsl(std::move(_glsl))
{
    static u64 made = 0;
    serial = ++made;
}

std::size_t gl_program_key_hash_s::operator()(const gl_program_key_s& _key) const
{
    return gl_fixed_key_hash_s()(_key.fixed) ^ (_key.vertexShader * 0x9E3779B97F4A7C15ull) ^
           (_key.pixelShader * 0xC2B2AE3D27D4EB4Full);
}

namespace {

template <class Interface>
HRESULT MakeShader(const DWORD* _function, DWORD _kind, Interface** _shader)
{
    std::vector<DWORD> tokens = D3DShaderTokens(_function, _kind);
    if (tokens.empty() || _shader == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::string glsl = _kind == 0xFFFE0000u ? GlTranslateVertexShader(tokens.data(), tokens.size())
                                            : GlTranslatePixelShader(tokens.data(), tokens.size());
    *_shader = new gl_shader_c<Interface>(std::move(tokens), std::move(glsl));
    return D3D_OK;
}

}

HRESULT gl_device_c::CreateVertexShader(const DWORD* _function, IDirect3DVertexShader9** _shader)
{
    return MakeShader(_function, 0xFFFE0000u, _shader);
}

HRESULT gl_device_c::CreatePixelShader(const DWORD* _function, IDirect3DPixelShader9** _shader)
{
    return MakeShader(_function, 0xFFFF0000u, _shader);
}

HRESULT gl_device_c::CreateVertexBuffer(UINT _length, DWORD, DWORD _fvf, D3DPOOL, IDirect3DVertexBuffer9** _buffer,
                                        HANDLE*)
{
    if (_buffer == nullptr || _length == 0 || _fvf != 0) {
        return D3DERR_INVALIDCALL;
    }
    context->Use();
    *_buffer = new gl_vertex_buffer_c(context, _length);
    return D3D_OK;
}

HRESULT gl_device_c::CreateIndexBuffer(UINT _length, DWORD, D3DFORMAT _format, D3DPOOL, IDirect3DIndexBuffer9** _buffer,
                                       HANDLE*)
{
    if (_buffer == nullptr || _length == 0 || (_format != D3DFMT_INDEX16 && _format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    context->Use();
    *_buffer = new gl_index_buffer_c(context, _length, _format);
    return D3D_OK;
}

HRESULT gl_device_c::CreateTexture(UINT _width, UINT _height, UINT _levels, DWORD _usage, D3DFORMAT _format,
                                   D3DPOOL _pool, IDirect3DTexture9** _texture, HANDLE*)
{
    const gl_format_s* format = GlFormat(_format);
    if (_texture == nullptr || _width == 0 || _height == 0 || _width > caps.MaxTextureWidth ||
        _height > caps.MaxTextureHeight || format == nullptr ||
        ((_usage & D3DUSAGE_RENDERTARGET) != 0 && !format->renderable)) {
        return D3DERR_INVALIDCALL;
    }
    context->Use();
    *_texture = new gl_texture_c(context, _width, _height, _levels, _usage, _format, _pool);
    return D3D_OK;
}

HRESULT gl_device_c::CreateCubeTexture(UINT _edge, UINT _levels, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool,
                                       IDirect3DCubeTexture9** _texture, HANDLE*)
{
    if (_texture == nullptr || _edge == 0 || _edge > caps.MaxTextureWidth || GlFormat(_format) == nullptr ||
        (_usage & D3DUSAGE_RENDERTARGET) != 0) {
        return D3DERR_INVALIDCALL;
    }
    context->Use();
    *_texture = new gl_cube_texture_c(context, _edge, _levels, _usage, _format, _pool);
    return D3D_OK;
}

HRESULT gl_device_c::CreateOffscreenPlainSurface(UINT _width, UINT _height, D3DFORMAT _format, D3DPOOL _pool,
                                                 IDirect3DSurface9** _surface, HANDLE*)
{
    if (_surface == nullptr || _width == 0 || _height == 0 || D3DFormatUnitBytes(_format) == 0) {
        return D3DERR_INVALIDCALL;
    }
    *_surface = new gl_surface_c(nullptr, 0, 0, {_format, D3DRTYPE_SURFACE, 0, _pool, _width, _height});
    return D3D_OK;
}

void gl_device_c::BindTargets()
{
    const gl_api_s& gl = context->gl;
    gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer.Name());
    std::array<GLenum, d3d_render_target_count> buffers{};
    GLsizei count = 0;
    for (u32 i = 0; i < d3d_render_target_count; ++i) {
        const auto* target = dynamic_cast<const gl_surface_c*>(state.renderTargets[i]);
        const bool usable = target != nullptr && target->Texture() != nullptr;
        if (target != attached[i]) {
            gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, usable ? target->Target() : GL_TEXTURE_2D,
                                    usable ? target->Texture()->Name() : 0,
                                    usable ? static_cast<GLint>(target->Level()) : 0);
            attached[i] = target;
        }
        buffers[i] = usable ? GL_COLOR_ATTACHMENT0 + i : GL_NONE;
        if (usable) {
            count = static_cast<GLsizei>(i + 1);
        }
    }
    gl.DrawBuffers(count, buffers.data());
}

HRESULT gl_device_c::Clear(DWORD _rect_count, const RECT* _rects, DWORD _flags, D3DCOLOR _color, f32 _z, DWORD _stencil)
{
    if (_rect_count != 0 || _rects != nullptr) {
        return D3DERR_INVALIDCALL;
    }
    context->Use();
    const gl_api_s& gl = context->gl;
    BindTargets();
    const D3DVIEWPORT9& v = state.viewport;
    gl.Enable(GL_SCISSOR_TEST);
    gl.Scissor(static_cast<GLint>(v.X), static_cast<GLint>(v.Y), static_cast<GLsizei>(v.Width),
               static_cast<GLsizei>(v.Height));
    GLbitfield mask = 0;
    if ((_flags & D3DCLEAR_TARGET) != 0) {
        gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        gl.ClearColor(((_color >> 16) & 0xFF) / 255.0f, ((_color >> 8) & 0xFF) / 255.0f, (_color & 0xFF) / 255.0f,
                      ((_color >> 24) & 0xFF) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if ((_flags & D3DCLEAR_ZBUFFER) != 0 && hasDepth) {
        gl.DepthMask(GL_TRUE);
        gl.ClearDepth(_z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((_flags & D3DCLEAR_STENCIL) != 0 && hasDepth) {
        gl.StencilMask(0xFF);
        gl.ClearStencil(static_cast<GLint>(_stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    gl.Clear(mask);
    gl.Disable(GL_SCISSOR_TEST);
    return D3D_OK;
}

void gl_device_c::ShowFront()
{
    const gl_api_s& gl = context->gl;
    gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(context->Window(), &width, &height);
    gl.Viewport(0, 0, width, height);
    gl.DepthRange(0.0, 1.0);
    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_STENCIL_TEST);
    gl.Disable(GL_BLEND);
    gl.Disable(GL_CULL_FACE);
    gl.PolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl.UseProgram(presentProgram.program->Name());
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(GL_TEXTURE_2D, front.Name());
    gl.BindSampler(0, 0);
    gl.ActiveTexture(GL_TEXTURE1);
    gl.BindTexture(GL_TEXTURE_2D, gammaTexture.Name());
    gl.BindSampler(1, 0);
    gl.BindVertexArray(emptyArray.Name());
    gl.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

HRESULT gl_device_c::Present(const RECT*, const RECT*, HWND, const void*)
{
    context->Use();
    const gl_api_s& gl = context->gl;
    const auto width = static_cast<GLint>(parameters.BackBufferWidth);
    const auto height = static_cast<GLint>(parameters.BackBufferHeight);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer.Name());
    gl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backBuffer->Name().Name(), 0);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer.Name());
    attached.fill(nullptr);
    gl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, front.Name(), 0);
    for (u32 i = 1; i < d3d_render_target_count; ++i) {
        gl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, 0, 0);
    }
    const GLenum first = GL_COLOR_ATTACHMENT0;
    gl.DrawBuffers(1, &first);
    gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    gl.BlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    // The front buffer is no target: the next draw attaches its own.
    gl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    ShowFront();
    SDL_GL_SwapWindow(context->Window());
    return D3D_OK;
}

void gl_device_c::SetGammaRamp(UINT _swap_chain, DWORD, const D3DGAMMARAMP* _ramp)
{
    if (_ramp == nullptr || _swap_chain != 0) {
        return;
    }
    std::array<WORD, 256 * 3> rgb{};
    for (u32 i = 0; i < 256; ++i) {
        rgb[i * 3] = _ramp->red[i];
        rgb[i * 3 + 1] = _ramp->green[i];
        rgb[i * 3 + 2] = _ramp->blue[i];
    }
    context->Use();
    const gl_api_s& gl = context->gl;
    gl.BindTexture(GL_TEXTURE_2D, gammaTexture.Name());
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 1, GL_RGB, GL_UNSIGNED_SHORT, rgb.data());
}

BOOL gl_device_c::ShowCursor(BOOL _show)
{
    const BOOL was = cursorShown ? 1 : 0;
    cursorShown = _show != 0;
    return was;
}

HRESULT gl_device_c::GetFrontBufferData(UINT _swap_chain, IDirect3DSurface9* _surface)
{
    auto* target = dynamic_cast<gl_surface_c*>(_surface);
    if (_swap_chain != 0 || target == nullptr || target->Texture() != nullptr ||
        target->Desc().Format != D3DFMT_A8R8G8B8 || target->Desc().Width != parameters.BackBufferWidth ||
        target->Desc().Height != parameters.BackBufferHeight) {
        return D3DERR_INVALIDCALL;
    }
    context->Use();
    const gl_api_s& gl = context->gl;
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer.Name());
    gl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, front.Name(), 0);
    gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_PACK_ROW_LENGTH, 0);
    gl.ReadPixels(0, 0, static_cast<GLsizei>(parameters.BackBufferWidth),
                  static_cast<GLsizei>(parameters.BackBufferHeight), GL_BGRA, GL_UNSIGNED_BYTE, target->Bytes().data());
    return D3D_OK;
}

void gl_device_c::ApplyRenderStates()
{
    const gl_api_s& gl = context->gl;
    const auto& rs = state.renderStates;
    const D3DVIEWPORT9& v = state.viewport;
    gl.Viewport(static_cast<GLint>(v.X), static_cast<GLint>(v.Y), static_cast<GLsizei>(v.Width),
                static_cast<GLsizei>(v.Height));
    gl.DepthRange(v.MinZ, v.MaxZ);
    if (rs[D3DRS_ZENABLE] != D3DZB_FALSE && hasDepth) {
        gl.Enable(GL_DEPTH_TEST);
        gl.DepthFunc(Compare(rs[D3DRS_ZFUNC]));
        gl.DepthMask(rs[D3DRS_ZWRITEENABLE] != 0 ? GL_TRUE : GL_FALSE);
    } else {
        gl.Disable(GL_DEPTH_TEST);
    }
    if (rs[D3DRS_STENCILENABLE] != 0 && hasDepth) {
        gl.Enable(GL_STENCIL_TEST);
        const auto ref = static_cast<GLint>(rs[D3DRS_STENCILREF] & 0xFF);
        const GLuint mask = rs[D3DRS_STENCILMASK] & 0xFF;
        // Direct3D's clockwise faces are OpenGL's front faces here, as
        // clip-space y is turned over.
        gl.StencilFuncSeparate(GL_FRONT, Compare(rs[D3DRS_STENCILFUNC]), ref, mask);
        gl.StencilOpSeparate(GL_FRONT, StencilOp(rs[D3DRS_STENCILFAIL]), StencilOp(rs[D3DRS_STENCILZFAIL]),
                             StencilOp(rs[D3DRS_STENCILPASS]));
        const bool two_sided = rs[D3DRS_TWOSIDEDSTENCILMODE] != 0;
        gl.StencilFuncSeparate(GL_BACK, Compare(rs[two_sided ? D3DRS_CCW_STENCILFUNC : D3DRS_STENCILFUNC]), ref, mask);
        gl.StencilOpSeparate(GL_BACK, StencilOp(rs[two_sided ? D3DRS_CCW_STENCILFAIL : D3DRS_STENCILFAIL]),
                             StencilOp(rs[two_sided ? D3DRS_CCW_STENCILZFAIL : D3DRS_STENCILZFAIL]),
                             StencilOp(rs[two_sided ? D3DRS_CCW_STENCILPASS : D3DRS_STENCILPASS]));
        gl.StencilMask(rs[D3DRS_STENCILWRITEMASK] & 0xFF);
    } else {
        gl.Disable(GL_STENCIL_TEST);
    }
    switch (rs[D3DRS_CULLMODE]) {
    case D3DCULL_CW:
        gl.Enable(GL_CULL_FACE);
        gl.CullFace(GL_FRONT);
        break;
    case D3DCULL_CCW:
        gl.Enable(GL_CULL_FACE);
        gl.CullFace(GL_BACK);
        break;
    default: gl.Disable(GL_CULL_FACE); break;
    }
    gl.PolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_POINT       ? GL_POINT
                                      : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                                                                : GL_FILL);
    if (rs[D3DRS_ALPHABLENDENABLE] != 0) {
        gl.Enable(GL_BLEND);
        gl.BlendFunc(BlendFactor(rs[D3DRS_SRCBLEND]), BlendFactor(rs[D3DRS_DESTBLEND]));
        gl.BlendEquation(GL_FUNC_ADD);
    } else {
        gl.Disable(GL_BLEND);
    }
    static constexpr D3DRENDERSTATETYPE writes[d3d_render_target_count] = {
        D3DRS_COLORWRITEENABLE, D3DRS_COLORWRITEENABLE1, D3DRS_COLORWRITEENABLE2, D3DRS_COLORWRITEENABLE3};
    for (u32 i = 0; i < d3d_render_target_count; ++i) {
        const DWORD w = rs[writes[i]];
        gl.ColorMaski(i, (w & D3DCOLORWRITEENABLE_RED) != 0, (w & D3DCOLORWRITEENABLE_GREEN) != 0,
                      (w & D3DCOLORWRITEENABLE_BLUE) != 0, (w & D3DCOLORWRITEENABLE_ALPHA) != 0);
    }
}

void gl_device_c::BindTextures(gl_texture_kinds_t& _kinds)
{
    const gl_api_s& gl = context->gl;
    for (u32 unit = 0; unit < d3d_sampler_count; ++unit) {
        const gl_texture_base_s* texture = GlTextureOf(state.textures[unit]);
        if (unit < _kinds.size()) {
            _kinds[unit] = texture == nullptr ? 0 : texture->Target() == GL_TEXTURE_CUBE_MAP ? 2 : 1;
        }
        if (texture == nullptr) {
            continue;
        }
        const auto& ss = state.samplerStates[unit];
        gl.ActiveTexture(GL_TEXTURE0 + unit);
        gl.BindTexture(texture->Target(), texture->Name().Name());
        const GLuint sampler = samplers[unit]->Name();
        gl.BindSampler(unit, sampler);
        gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, Address(ss[D3DSAMP_ADDRESSU]));
        gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, Address(ss[D3DSAMP_ADDRESSV]));
        gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_R, Address(ss[D3DSAMP_ADDRESSW]));
        gl.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                             ss[D3DSAMP_MAGFILTER] == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR);
        gl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                             MinFilter(ss[D3DSAMP_MINFILTER], texture->Levels() > 1 ? ss[D3DSAMP_MIPFILTER] : 0));
        // MAXMIPLEVEL names the largest level drawn from.
        gl.SamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<f32>(ss[D3DSAMP_MAXMIPLEVEL]));
        gl.SamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, DwordToFloat(ss[D3DSAMP_MIPMAPLODBIAS]));
        const D3DCOLOR border = ss[D3DSAMP_BORDERCOLOR];
        const f32 rgba[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                             (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
        gl.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, rgba);
    }
}

const gl_program_s& gl_device_c::Program(const gl_vertex_layout_s& _layout, const gl_texture_kinds_t& _kinds,
                                         bool _points)
{
    const auto* vertex = dynamic_cast<const gl_vertex_shader_c*>(state.vertexShader);
    const auto* pixel = dynamic_cast<const gl_pixel_shader_c*>(state.pixelShader);
    gl_program_key_s key;
    key.fixed = GlFixedFunctionKey(state, _layout, _kinds, _points);
    if (vertex != nullptr) {
        key.vertexShader = vertex->Serial();
        // A vertex program's oFog is the fog factor itself.
        if (key.fixed.vertexFog != D3DFOG_NONE) {
            key.fixed.vertexFog = 4;
        }
    }
    if (pixel != nullptr) {
        key.pixelShader = pixel->Serial();
    }
    auto found = programs.find(key);
    if (found == programs.end()) {
        const auto started = std::chrono::steady_clock::now();
        const std::string vertex_source = vertex != nullptr ? vertex->Glsl() : GlFixedVertexSource(key.fixed);
        const std::string pixel_source =
            pixel != nullptr ? pixel->Glsl() + GlShaderPixelTail(key.fixed) : GlFixedPixelSource(key.fixed);
        gl_program_s program = GlLinkProgram(context, vertex_source, pixel_source);
        program.vertexShader = vertex != nullptr;
        program.pixelShader = pixel != nullptr;
        found = programs.emplace(key, std::move(program)).first;
        ++programsMade;
        programTime += std::chrono::steady_clock::now() - started;
    }
    return found->second;
}

void gl_device_c::SetConstants(const gl_program_s& _program)
{
    const gl_api_s& gl = context->gl;
    if (_program.vc >= 0) {
        if (_program.vertexShader) {
            gl.Uniform4fv(_program.vc, d3d_vertex_constant_count, state.vertexConstants[0].data());
        } else {
            GlFixedVertexConstants(state, vertexConstants);
            gl.Uniform4fv(_program.vc, gl_vertex_constant_count, vertexConstants[0].data());
        }
    }
    if (_program.pc >= 0) {
        if (_program.pixelShader) {
            gl.Uniform4fv(_program.pc, d3d_pixel_constant_count, state.pixelConstants[0].data());
        } else {
            GlFixedPixelConstants(state, pixelConstants);
            gl.Uniform4fv(_program.pc, gl_pixel_constant_count, pixelConstants[0].data());
        }
    }
    if (_program.pf >= 0) {
        GlFixedPixelConstants(state, pixelConstants);
        const std::array<std::array<f32, 4>, 3> fixed = {pixelConstants[3], pixelConstants[1], pixelConstants[2]};
        gl.Uniform4fv(_program.pf, 3, fixed[0].data());
    }
    const D3DVIEWPORT9& v = state.viewport;
    const f32 fixup[4] = {v.Width != 0 ? 1.0f / v.Width : 0.0f, v.Height != 0 ? 1.0f / v.Height : 0.0f, 0, 0};
    if (_program.fixup >= 0) {
        gl.Uniform4fv(_program.fixup, 1, fixup);
    }
}

HRESULT gl_device_c::Draw(const draw_s& _draw)
{
    if (!InScene() || _draw.count == 0) {
        return D3DERR_INVALIDCALL;
    }
    context->Use();
    const gl_api_s& gl = context->gl;
    BindTargets();
    ApplyRenderStates();
    gl_texture_kinds_t kinds{};
    BindTextures(kinds);
    gl.BindVertexArray(vertexArray.Name());
    const gl_vertex_layout_s layout =
        GlBindVertexInput(gl, GlDrawElements(state), _draw.streams.data(), static_cast<u32>(_draw.streams.size()));
    const gl_program_s& program = Program(layout, kinds, _draw.type == D3DPT_POINTLIST);
    gl.UseProgram(program.program->Name());
    SetConstants(program);
    const auto vertices = static_cast<GLsizei>(D3DPrimitiveVertices(_draw.type, _draw.count));
    if (_draw.indexed) {
        gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, _draw.indexBuffer);
        gl.DrawElementsBaseVertex(Primitive(_draw.type), vertices, _draw.indexType,
                                  reinterpret_cast<const void*>(static_cast<uintptr_t>(_draw.indexOffset)),
                                  _draw.baseVertex);
    } else {
        gl.DrawArrays(Primitive(_draw.type), static_cast<GLint>(_draw.start), vertices);
    }
    return D3D_OK;
}

namespace {

template <class Buffer>
GLuint NameOf(IDirect3DResource9* _buffer)
{
    const auto* buffer = dynamic_cast<const Buffer*>(_buffer);
    return buffer != nullptr ? buffer->Name() : 0;
}

}

HRESULT gl_device_c::DrawPrimitive(D3DPRIMITIVETYPE _type, UINT _start_vertex, UINT _count)
{
    if (!PrimitiveDrawFits(_type, _start_vertex, _count)) {
        return D3DERR_INVALIDCALL;
    }
    draw_s draw;
    draw.type = _type;
    draw.count = _count;
    draw.start = _start_vertex;
    for (u32 s = 0; s < d3d_stream_count; ++s) {
        draw.streams[s] = {NameOf<gl_vertex_buffer_c>(state.streams[s].buffer), state.streams[s].offset,
                           state.streams[s].stride};
    }
    return Draw(draw);
}

HRESULT gl_device_c::DrawIndexedPrimitive(D3DPRIMITIVETYPE _type, INT _base_vertex, UINT _min_index, UINT _vertex_count,
                                          UINT _start_index, UINT _count)
{
    if (!IndexedDrawFits(_type, _base_vertex, _min_index, _vertex_count, _start_index, _count)) {
        return D3DERR_INVALIDCALL;
    }
    draw_s draw;
    draw.type = _type;
    draw.count = _count;
    draw.indexed = true;
    draw.baseVertex = _base_vertex;
    const bool wide = state.indices->GetFormat() == D3DFMT_INDEX32;
    draw.indexType = wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    draw.indexBuffer = NameOf<gl_index_buffer_c>(state.indices);
    draw.indexOffset = u64{_start_index} * (wide ? 4 : 2);
    for (u32 s = 0; s < d3d_stream_count; ++s) {
        draw.streams[s] = {NameOf<gl_vertex_buffer_c>(state.streams[s].buffer), state.streams[s].offset,
                           state.streams[s].stride};
    }
    return Draw(draw);
}

HRESULT gl_device_c::DrawPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _count, const void* _vertices, UINT _stride)
{
    if (_vertices == nullptr || _stride == 0) {
        return D3DERR_INVALIDCALL;
    }
    UnbindAfterUserDraw(false);
    context->Use();
    const gl_api_s& gl = context->gl;
    const u64 bytes = D3DPrimitiveVertices(_type, _count) * _stride;
    gl.BindBuffer(GL_ARRAY_BUFFER, userVertices.Name());
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), _vertices, GL_STREAM_DRAW);
    draw_s draw;
    draw.type = _type;
    draw.count = _count;
    draw.streams[0] = {userVertices.Name(), 0, _stride};
    return Draw(draw);
}

HRESULT gl_device_c::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE _type, UINT _min_index, UINT _vertex_count, UINT _count,
                                            const void* _indices, D3DFORMAT _index_format, const void* _vertices,
                                            UINT _stride)
{
    if (_vertices == nullptr || _indices == nullptr || _stride == 0 ||
        (_index_format != D3DFMT_INDEX16 && _index_format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    UnbindAfterUserDraw(true);
    context->Use();
    const gl_api_s& gl = context->gl;
    const bool wide = _index_format == D3DFMT_INDEX32;
    gl.BindBuffer(GL_ARRAY_BUFFER, userVertices.Name());
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>((u64{_min_index} + _vertex_count) * _stride), _vertices,
                  GL_STREAM_DRAW);
    gl.BindBuffer(GL_ARRAY_BUFFER, userIndices.Name());
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(D3DPrimitiveVertices(_type, _count) * (wide ? 4 : 2)),
                  _indices, GL_STREAM_DRAW);
    draw_s draw;
    draw.type = _type;
    draw.count = _count;
    draw.indexed = true;
    draw.indexType = wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    draw.indexBuffer = userIndices.Name();
    draw.streams[0] = {userVertices.Name(), 0, _stride};
    return Draw(draw);
}
