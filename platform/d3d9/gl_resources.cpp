#include "platform/d3d9/gl_resources.h"
#include "platform/d3d9/format_layout.h"

#include <algorithm>

gl_surface_c::gl_surface_c(std::shared_ptr<gl_name_c> _texture, GLenum _target, UINT _level,
                           const D3DSURFACE_DESC& _desc)
    : texture(std::move(_texture)), target(_target), level(_level), desc(_desc)
{
    pitch = D3DFormatRowBytes(desc.Format, desc.Width);
    if (!IsRenderTarget()) {
        bytes.assign(pitch * D3DFormatRowCount(desc.Format, desc.Height), 0);
    }
}

HRESULT gl_surface_c::GetDesc(D3DSURFACE_DESC* _desc)
{
    if (_desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_desc = desc;
    return D3D_OK;
}

HRESULT gl_surface_c::LockRect(D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD)
{
    u64 offset = 0;
    if (locked || _locked == nullptr || IsRenderTarget() ||
        !D3DLockOffset(desc.Format, desc.Width, desc.Height, pitch, _rect, &offset)) {
        return D3DERR_INVALIDCALL;
    }
    locked = true;
    _locked->Pitch = static_cast<i32>(pitch);
    _locked->pBits = bytes.data() + offset;
    return D3D_OK;
}

HRESULT gl_surface_c::UnlockRect()
{
    if (!locked) {
        return D3DERR_INVALIDCALL;
    }
    locked = false;
    if (texture != nullptr) {
        Upload();
    }
    return D3D_OK;
}

void gl_surface_c::Upload()
{
    const gl_format_s* format = GlFormat(desc.Format);
    texture->Context().Use();
    const gl_api_s& gl = texture->Gl();
    const GLenum bind = target == GL_TEXTURE_2D ? GL_TEXTURE_2D : GL_TEXTURE_CUBE_MAP;
    gl.BindTexture(bind, texture->Name());
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    const auto width = static_cast<GLsizei>(desc.Width);
    const auto height = static_cast<GLsizei>(desc.Height);
    if (format->compressed) {
        gl.CompressedTexImage2D(target, static_cast<GLint>(level), format->internal, width, height, 0,
                                static_cast<GLsizei>(bytes.size()), bytes.data());
    } else if (format->widened) {
        const std::vector<u8> wide = GlWidenPixels(desc.Format, bytes.data(), pitch, desc.Width, desc.Height);
        gl.TexSubImage2D(target, static_cast<GLint>(level), 0, 0, width, height, format->format, format->type,
                         wide.data());
    } else {
        gl.TexSubImage2D(target, static_cast<GLint>(level), 0, 0, width, height, format->format, format->type,
                         bytes.data());
    }
}

namespace {

// Makes the storage of every level of a texture (every face of a cube),
// with the format's swizzle and the level range set.
std::shared_ptr<gl_name_c> MakeStorage(std::shared_ptr<gl_context_c> _context, GLenum _bind, UINT _width, UINT _height,
                                       UINT _levels, D3DFORMAT _format)
{
    auto name = std::make_shared<gl_name_c>(std::move(_context), gl_name_c::texture);
    const gl_api_s& gl = name->Gl();
    const gl_format_s* format = GlFormat(_format);
    gl.BindTexture(_bind, name->Name());
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    const u32 faces = _bind == GL_TEXTURE_CUBE_MAP ? 6 : 1;
    for (u32 face = 0; face < faces; ++face) {
        const GLenum target = _bind == GL_TEXTURE_CUBE_MAP ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
        for (UINT level = 0; level < _levels; ++level) {
            const u32 w = D3DLevelSize(_width, level);
            const u32 h = D3DLevelSize(_height, level);
            if (format->compressed) {
                const std::vector<u8> zeros(D3DFormatRowBytes(_format, w) * D3DFormatRowCount(_format, h));
                gl.CompressedTexImage2D(target, static_cast<GLint>(level), format->internal, static_cast<GLsizei>(w),
                                        static_cast<GLsizei>(h), 0, static_cast<GLsizei>(zeros.size()), zeros.data());
            } else {
                gl.TexImage2D(target, static_cast<GLint>(level), static_cast<GLint>(format->internal),
                              static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, format->format, format->type,
                              nullptr);
            }
        }
    }
    gl.TexParameteri(_bind, GL_TEXTURE_BASE_LEVEL, 0);
    gl.TexParameteri(_bind, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(_levels - 1));
    gl.TexParameteriv(_bind, GL_TEXTURE_SWIZZLE_RGBA, format->swizzle);
    return name;
}

D3DSURFACE_DESC LevelDesc(D3DFORMAT _format, DWORD _usage, D3DPOOL _pool, UINT _width, UINT _height, UINT _level)
{
    return {_format, D3DRTYPE_SURFACE, _usage, _pool, D3DLevelSize(_width, _level), D3DLevelSize(_height, _level)};
}

}

gl_texture_c::gl_texture_c(std::shared_ptr<gl_context_c> _context, UINT _width, UINT _height, UINT _levels,
                           DWORD _usage, D3DFORMAT _format, D3DPOOL _pool)
{
    // Render targets have one level: nothing here makes their mipmaps.
    const UINT count = (_usage & D3DUSAGE_RENDERTARGET) != 0 ? 1 : D3DChainLength(_width, _height, _levels);
    name = MakeStorage(std::move(_context), GL_TEXTURE_2D, _width, _height, count, _format);
    for (UINT level = 0; level < count; ++level) {
        levels.push_back(
            new gl_surface_c(name, GL_TEXTURE_2D, level, LevelDesc(_format, _usage, _pool, _width, _height, level)));
    }
}

gl_texture_c::~gl_texture_c()
{
    for (gl_surface_c* level : levels) {
        level->Release();
    }
}

HRESULT gl_texture_c::GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc)
{
    return _level < levels.size() ? levels[_level]->GetDesc(_desc) : D3DERR_INVALIDCALL;
}

HRESULT gl_texture_c::GetSurfaceLevel(UINT _level, IDirect3DSurface9** _surface)
{
    if (_level >= levels.size() || _surface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    levels[_level]->AddRef();
    *_surface = levels[_level];
    return D3D_OK;
}

HRESULT gl_texture_c::LockRect(UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags)
{
    return _level < levels.size() ? levels[_level]->LockRect(_locked, _rect, _flags) : D3DERR_INVALIDCALL;
}

HRESULT gl_texture_c::UnlockRect(UINT _level)
{
    return _level < levels.size() ? levels[_level]->UnlockRect() : D3DERR_INVALIDCALL;
}

gl_cube_texture_c::gl_cube_texture_c(std::shared_ptr<gl_context_c> _context, UINT _edge, UINT _levels, DWORD _usage,
                                     D3DFORMAT _format, D3DPOOL _pool)
{
    levelCount = D3DChainLength(_edge, _edge, _levels);
    name = MakeStorage(std::move(_context), GL_TEXTURE_CUBE_MAP, _edge, _edge, levelCount, _format);
    for (u32 face = 0; face < 6; ++face) {
        for (UINT level = 0; level < levelCount; ++level) {
            faces[face].push_back(new gl_surface_c(name, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, level,
                                                   LevelDesc(_format, _usage, _pool, _edge, _edge, level)));
        }
    }
}

gl_cube_texture_c::~gl_cube_texture_c()
{
    for (auto& face : faces) {
        for (gl_surface_c* level : face) {
            level->Release();
        }
    }
}

gl_surface_c* gl_cube_texture_c::Level(D3DCUBEMAP_FACES _face, UINT _level)
{
    return _face < 6 && _level < levelCount ? faces[_face][_level] : nullptr;
}

HRESULT gl_cube_texture_c::GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc)
{
    return _level < levelCount ? faces[0][_level]->GetDesc(_desc) : D3DERR_INVALIDCALL;
}

HRESULT gl_cube_texture_c::LockRect(D3DCUBEMAP_FACES _face, UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect,
                                    DWORD _flags)
{
    gl_surface_c* surface = Level(_face, _level);
    return surface != nullptr ? surface->LockRect(_locked, _rect, _flags) : D3DERR_INVALIDCALL;
}

HRESULT gl_cube_texture_c::UnlockRect(D3DCUBEMAP_FACES _face, UINT _level)
{
    gl_surface_c* surface = Level(_face, _level);
    return surface != nullptr ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}

const gl_texture_base_s* GlTextureOf(IDirect3DBaseTexture9* _texture)
{
    return dynamic_cast<const gl_texture_base_s*>(_texture);
}
