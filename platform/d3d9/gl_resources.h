#pragma once
// The OpenGL backend's resources. Every lockable surface keeps its pixels
// in memory as Direct3D lays them out (format_layout.h, no row padding);
// unlocking uploads the level to its texture, so a texture is complete
// once each level has been unlocked. Texture rows are stored top row
// first, as the backend draws into render targets top row first too, so
// texture coordinates and sampled render targets mean what they mean on
// Direct3D.
//
// Render-target surfaces (the back buffer, levels of render-target
// textures) live only in OpenGL and cannot be locked. Offscreen plain
// surfaces live only in memory (the front-buffer capture writes there).
// Buffers keep a copy in memory too; unlocking uploads the locked range.
#include "platform/d3d9/d3d9_objects.h"
#include "platform/d3d9/gl_context.h"
#include "platform/d3d9/gl_format.h"

#include <array>
#include <memory>
#include <vector>

class gl_surface_c : public ref_counted_c<IDirect3DSurface9> {
public:
    // A level of _texture (face target for cubes), or a surface in memory
    // only when _texture is null.
    gl_surface_c(std::shared_ptr<gl_name_c> _texture, GLenum _target, UINT _level, const D3DSURFACE_DESC& _desc);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* _desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags) override;
    HRESULT UnlockRect() override;

    const D3DSURFACE_DESC& Desc() const { return desc; }
    const gl_name_c* Texture() const { return texture.get(); }
    GLenum Target() const { return target; }
    UINT Level() const { return level; }
    bool IsRenderTarget() const { return (desc.Usage & D3DUSAGE_RENDERTARGET) != 0; }
    // Memory of a surface that has no texture, rows of Width * 4 bytes for
    // the A8R8G8B8 capture target.
    std::vector<u8>& Bytes() { return bytes; }
    u64 Pitch() const { return pitch; }

private:
    void Upload();

    std::shared_ptr<gl_name_c> texture;
    GLenum target = 0;
    UINT level = 0;
    D3DSURFACE_DESC desc;
    u64 pitch = 0;
    bool locked = false;
    std::vector<u8> bytes;
};

// What samplers need of a texture of either kind.
class gl_texture_base_s {
public:
    virtual ~gl_texture_base_s() = default;
    virtual const gl_name_c& Name() const = 0;
    virtual GLenum Target() const = 0;
    virtual DWORD Levels() const = 0;
};

class gl_texture_c : public ref_counted_c<IDirect3DTexture9>, public gl_texture_base_s {
public:
    gl_texture_c(std::shared_ptr<gl_context_c> _context, UINT _width, UINT _height, UINT _levels, DWORD _usage,
                 D3DFORMAT _format, D3DPOOL _pool);
    ~gl_texture_c() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels.size()); }
    HRESULT GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc) override;
    HRESULT GetSurfaceLevel(UINT _level, IDirect3DSurface9** _surface) override;
    HRESULT LockRect(UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags) override;
    HRESULT UnlockRect(UINT _level) override;

    const gl_name_c& Name() const override { return *name; }
    GLenum Target() const override { return GL_TEXTURE_2D; }
    DWORD Levels() const override { return static_cast<DWORD>(levels.size()); }

private:
    std::shared_ptr<gl_name_c> name;
    std::vector<gl_surface_c*> levels;
};

class gl_cube_texture_c : public ref_counted_c<IDirect3DCubeTexture9>, public gl_texture_base_s {
public:
    gl_cube_texture_c(std::shared_ptr<gl_context_c> _context, UINT _edge, UINT _levels, DWORD _usage, D3DFORMAT _format,
                      D3DPOOL _pool);
    ~gl_cube_texture_c() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD GetLevelCount() override { return levelCount; }
    HRESULT GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc) override;
    HRESULT LockRect(D3DCUBEMAP_FACES _face, UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect,
                     DWORD _flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES _face, UINT _level) override;

    const gl_name_c& Name() const override { return *name; }
    GLenum Target() const override { return GL_TEXTURE_CUBE_MAP; }
    DWORD Levels() const override { return levelCount; }

private:
    gl_surface_c* Level(D3DCUBEMAP_FACES _face, UINT _level);

    std::shared_ptr<gl_name_c> name;
    DWORD levelCount = 0;
    std::array<std::vector<gl_surface_c*>, 6> faces;
};

// The sampler view of a bound texture; null for one of another backend.
const gl_texture_base_s* GlTextureOf(IDirect3DBaseTexture9* _texture);

// Vertex and index buffers upload each unlocked range.
template <class Interface>
class gl_buffer_c : public d3d9_buffer_c<Interface> {
public:
    gl_buffer_c(std::shared_ptr<gl_context_c> _context, UINT _length)
        : d3d9_buffer_c<Interface>(_length), name(std::move(_context), gl_name_c::buffer)
    {
        const gl_api_s& gl = name.Gl();
        gl.BindBuffer(GL_ARRAY_BUFFER, name.Name());
        gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(_length), nullptr, GL_DYNAMIC_DRAW);
    }

    GLuint Name() const { return name.Name(); }

protected:
    void Unlocked(u64 _start, u64 _end) override
    {
        if (_end <= _start) {
            return;
        }
        name.Context().Use();
        const gl_api_s& gl = name.Gl();
        gl.BindBuffer(GL_ARRAY_BUFFER, name.Name());
        gl.BufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(_start), static_cast<GLsizeiptr>(_end - _start),
                         this->bytes.data() + _start);
    }

private:
    gl_name_c name;
};

class gl_vertex_buffer_c : public gl_buffer_c<IDirect3DVertexBuffer9> {
public:
    using gl_buffer_c::gl_buffer_c;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
};

class gl_index_buffer_c : public gl_buffer_c<IDirect3DIndexBuffer9> {
public:
    gl_index_buffer_c(std::shared_ptr<gl_context_c> _context, UINT _length, D3DFORMAT _format)
        : gl_buffer_c(std::move(_context), _length), format(_format)
    {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    D3DFORMAT GetFormat() override { return format; }

private:
    D3DFORMAT format;
};
