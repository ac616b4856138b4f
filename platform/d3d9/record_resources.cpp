#include "platform/d3d9/record_resources.h"
#include "platform/d3d9/format_layout.h"

#include <algorithm>
#include <cstring>

record_surface_c::record_surface_c(record_config_c& _config, UINT _width, UINT _height, D3DFORMAT _format, DWORD _usage,
                                   D3DPOOL _pool)
    : config(_config)
{
    desc = {_format, D3DRTYPE_SURFACE, _usage, _pool, _width, _height};
    pitch = static_cast<u32>(D3DFormatRowBytes(_format, _width)) + config.pitchPadding;
    bytes.assign(u64{pitch} * D3DFormatRowCount(_format, _height), 0);
}

HRESULT record_surface_c::GetDesc(D3DSURFACE_DESC* _desc)
{
    if (_desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *_desc = desc;
    return D3D_OK;
}

HRESULT record_surface_c::LockRect(D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags)
{
    config.Log("LockRect", _rect != nullptr ? 1 : 0, _flags);
    const HRESULT injected = config.Check("LockRect");
    if (FAILED(injected)) {
        return injected;
    }
    if (locked || _locked == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    u64 offset = 0;
    if (!D3DLockOffset(desc.Format, desc.Width, desc.Height, pitch, _rect, &offset)) {
        return D3DERR_INVALIDCALL;
    }
    locked = true;
    _locked->Pitch = static_cast<i32>(pitch);
    _locked->pBits = bytes.data() + offset;
    return D3D_OK;
}

HRESULT record_surface_c::UnlockRect()
{
    if (!locked) {
        return D3DERR_INVALIDCALL;
    }
    locked = false;
    return D3D_OK;
}

void record_surface_c::Fill(const RECT& _rect, DWORD _value)
{
    if (D3DFormatUnitBytes(desc.Format) != 4 || D3DFormatIsBlock(desc.Format)) {
        return;
    }
    const i32 left = std::max(_rect.left, 0);
    const i32 top = std::max(_rect.top, 0);
    const i32 right = std::min(_rect.right, static_cast<i32>(desc.Width));
    const i32 bottom = std::min(_rect.bottom, static_cast<i32>(desc.Height));
    for (i32 y = top; y < bottom; ++y) {
        for (i32 x = left; x < right; ++x) {
            std::memcpy(bytes.data() + u64(y) * pitch + u64(x) * 4, &_value, 4);
        }
    }
}

record_texture_c::record_texture_c(record_config_c& _config, UINT _width, UINT _height, UINT _levels, DWORD _usage,
                                   D3DFORMAT _format, D3DPOOL _pool)
{
    const UINT count = D3DChainLength(_width, _height, _levels);
    for (UINT level = 0; level < count; ++level) {
        levels.push_back(new record_surface_c(_config, D3DLevelSize(_width, level), D3DLevelSize(_height, level),
                                              _format, _usage, _pool));
    }
}

record_texture_c::~record_texture_c()
{
    for (record_surface_c* level : levels) {
        level->Release();
    }
}

HRESULT record_texture_c::GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc)
{
    return _level < levels.size() ? levels[_level]->GetDesc(_desc) : D3DERR_INVALIDCALL;
}

HRESULT record_texture_c::GetSurfaceLevel(UINT _level, IDirect3DSurface9** _surface)
{
    if (_level >= levels.size() || _surface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    levels[_level]->AddRef();
    *_surface = levels[_level];
    return D3D_OK;
}

HRESULT record_texture_c::LockRect(UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect, DWORD _flags)
{
    return _level < levels.size() ? levels[_level]->LockRect(_locked, _rect, _flags) : D3DERR_INVALIDCALL;
}

HRESULT record_texture_c::UnlockRect(UINT _level)
{
    return _level < levels.size() ? levels[_level]->UnlockRect() : D3DERR_INVALIDCALL;
}

record_cube_texture_c::record_cube_texture_c(record_config_c& _config, UINT _edge, UINT _levels, DWORD _usage,
                                             D3DFORMAT _format, D3DPOOL _pool)
{
    levelCount = D3DChainLength(_edge, _edge, _levels);
    for (auto& face : faces) {
        for (UINT level = 0; level < levelCount; ++level) {
            const UINT edge = D3DLevelSize(_edge, level);
            face.push_back(new record_surface_c(_config, edge, edge, _format, _usage, _pool));
        }
    }
}

record_cube_texture_c::~record_cube_texture_c()
{
    for (auto& face : faces) {
        for (record_surface_c* level : face) {
            level->Release();
        }
    }
}

record_surface_c* record_cube_texture_c::Level(D3DCUBEMAP_FACES _face, UINT _level)
{
    if (_face > D3DCUBEMAP_FACE_NEGATIVE_Z || _level >= levelCount) {
        return nullptr;
    }
    return faces[_face][_level];
}

HRESULT record_cube_texture_c::GetLevelDesc(UINT _level, D3DSURFACE_DESC* _desc)
{
    record_surface_c* level = Level(D3DCUBEMAP_FACE_POSITIVE_X, _level);
    return level != nullptr ? level->GetDesc(_desc) : D3DERR_INVALIDCALL;
}

HRESULT record_cube_texture_c::LockRect(D3DCUBEMAP_FACES _face, UINT _level, D3DLOCKED_RECT* _locked, const RECT* _rect,
                                        DWORD _flags)
{
    record_surface_c* level = Level(_face, _level);
    return level != nullptr ? level->LockRect(_locked, _rect, _flags) : D3DERR_INVALIDCALL;
}

HRESULT record_cube_texture_c::UnlockRect(D3DCUBEMAP_FACES _face, UINT _level)
{
    record_surface_c* level = Level(_face, _level);
    return level != nullptr ? level->UnlockRect() : D3DERR_INVALIDCALL;
}
