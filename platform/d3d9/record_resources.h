#pragma once
// The record backend's resources: CPU memory with real locks, pitches and
// reference counts. A surface's rows are its format's row bytes plus the
// configured padding apart; a second lock before the unlock is refused.
#include "platform/d3d9/d3d9_objects.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/ref_counted.h"

#include <array>
#include <vector>

class record_surface_c : public ref_counted_c<IDirect3DSurface9> {
public:
    record_surface_c(record_config_c& _config, UINT _width, UINT _height, D3DFORMAT _format, DWORD _usage,
                     D3DPOOL _pool);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* _desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags) override;
    HRESULT UnlockRect() override;

    u32 GetPitch() const { return pitch; }
    bool IsLocked() const { return locked; }
    std::vector<u8>& GetBytes() { return bytes; }
    const D3DSURFACE_DESC& Desc() const { return desc; }
    // Fills the rectangle (clipped to the surface) of a 32-bit surface.
    void Fill(const RECT& _rect, DWORD _value);

private:
    record_config_c& config;
    D3DSURFACE_DESC desc;
    u32 pitch = 0;
    bool locked = false;
    std::vector<u8> bytes;
};

class record_texture_c : public ref_counted_c<IDirect3DTexture9> {
public:
    record_texture_c(record_config_c& _config, UINT _width, UINT _height, UINT _levels, DWORD _usage, D3DFORMAT _format,
                     D3DPOOL _pool);
    ~record_texture_c() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels.size()); }
    HRESULT GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc) override;
    HRESULT GetSurfaceLevel(UINT _level, IDirect3DSurface9** _surface) override;
    HRESULT LockRect(UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags) override;
    HRESULT UnlockRect(UINT _level) override;

    record_surface_c* Level(UINT _level) { return _level < levels.size() ? levels[_level] : nullptr; }

private:
    std::vector<record_surface_c*> levels;
};

class record_cube_texture_c : public ref_counted_c<IDirect3DCubeTexture9> {
public:
    record_cube_texture_c(record_config_c& _config, UINT _edge, UINT _levels, DWORD _usage, D3DFORMAT _format,
                          D3DPOOL _pool);
    ~record_cube_texture_c() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD GetLevelCount() override { return levelCount; }
    HRESULT GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc) override;
    HRESULT LockRect(D3DCUBEMAP_FACES _face, UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect,
                     DWORD _flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES _face, UINT _level) override;

    record_surface_c* Level(D3DCUBEMAP_FACES _face, UINT _level);

private:
    DWORD levelCount = 0;
    std::array<std::vector<record_surface_c*>, 6> faces;
};

// Vertex and index buffers share their storage and locking, and log
// locks and take injected failures.
template <class Interface>
class record_buffer_c : public d3d9_buffer_c<Interface> {
public:
    record_buffer_c(record_config_c& _config, UINT _length, DWORD _usage, D3DPOOL _pool)
        : d3d9_buffer_c<Interface>(_length), config(_config), usage(_usage), pool(_pool)
    {}

    HRESULT Lock(UINT _offset, UINT _size, void** _data, DWORD _flags) override
    {
        config.Log("Lock", _offset, _flags);
        const HRESULT injected = config.Check("Lock");
        if (FAILED(injected)) {
            return injected;
        }
        const HRESULT result = d3d9_buffer_c<Interface>::Lock(_offset, _size, _data, _flags);
        if (SUCCEEDED(result)) {
            lastLockFlags = _flags;
        }
        return result;
    }

    DWORD GetUsage() const { return usage; }
    D3DPOOL GetPool() const { return pool; }
    DWORD GetLastLockFlags() const { return lastLockFlags; }

protected:
    record_config_c& config;
    DWORD usage = 0;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    DWORD lastLockFlags = 0;
};

class record_vertex_buffer_c : public record_buffer_c<IDirect3DVertexBuffer9> {
public:
    using record_buffer_c::record_buffer_c;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
};

class record_index_buffer_c : public record_buffer_c<IDirect3DIndexBuffer9> {
public:
    record_index_buffer_c(record_config_c& _config, UINT _length, DWORD _usage, D3DFORMAT _format, D3DPOOL _pool)
        : record_buffer_c(_config, _length, _usage, _pool), format(_format)
    {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    D3DFORMAT GetFormat() override { return format; }

private:
    D3DFORMAT format;
};

using record_declaration_c = d3d9_declaration_c;
template <class Interface>
using record_shader_c = d3d9_shader_c<Interface>;
using record_vertex_shader_c = d3d9_shader_c<IDirect3DVertexShader9>;
using record_pixel_shader_c = d3d9_shader_c<IDirect3DPixelShader9>;
