#include "platform/d3d9/format_layout.h"

#include <algorithm>

bool D3DFormatIsBlock(D3DFORMAT _format)
{
    switch (_format) {
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return true;
    default: return false;
    }
}

u32 D3DFormatUnitBytes(D3DFORMAT _format)
{
    switch (_format) {
    case D3DFMT_DXT1: return 8;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return 16;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_P8:
    case D3DFMT_L8:
    case D3DFMT_A4L4: return 1;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8P8:
    case D3DFMT_A8L8:
    case D3DFMT_V8U8:
    case D3DFMT_L6V5U5:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D15S1:
    case D3DFMT_D16:
    case D3DFMT_L16:
    case D3DFMT_R16F:
    case D3DFMT_CxV8U8:
    case D3DFMT_INDEX16: return 2;
    case D3DFMT_R8G8B8: return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_X8B8G8R8:
    case D3DFMT_G16R16:
    case D3DFMT_A2R10G10B10:
    case D3DFMT_X8L8V8U8:
    case D3DFMT_Q8W8V8U8:
    case D3DFMT_V16U16:
    case D3DFMT_A2W10V10U10:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
    case D3DFMT_D32F_LOCKABLE:
    case D3DFMT_D24FS8:
    case D3DFMT_G16R16F:
    case D3DFMT_R32F:
    case D3DFMT_INDEX32: return 4;
    case D3DFMT_A16B16G16R16:
    case D3DFMT_Q16W16V16U16:
    case D3DFMT_A16B16G16R16F:
    case D3DFMT_G32R32F: return 8;
    case D3DFMT_A32B32G32R32F: return 16;
    default: return 0;
    }
}

u64 D3DFormatRowBytes(D3DFORMAT _format, u32 _width)
{
    const u64 units = D3DFormatIsBlock(_format) ? (u64{_width} + 3) / 4 : u64{_width};
    return units * D3DFormatUnitBytes(_format);
}

u32 D3DFormatRowCount(D3DFORMAT _format, u32 _height)
{
    return D3DFormatIsBlock(_format) ? static_cast<u32>((u64{_height} + 3) / 4) : _height;
}

bool D3DLockOffset(D3DFORMAT _format, u32 _width, u32 _height, u64 _pitch, const RECT* _rect, u64* _offset)
{
    *_offset = 0;
    if (_rect == nullptr) {
        return true;
    }
    const bool block = D3DFormatIsBlock(_format);
    if (_rect->left < 0 || _rect->top < 0 || _rect->right > static_cast<i32>(_width) ||
        _rect->bottom > static_cast<i32>(_height) || _rect->left >= _rect->right || _rect->top >= _rect->bottom ||
        (block && ((_rect->left | _rect->top) & 3) != 0)) {
        return false;
    }
    *_offset = _pitch * D3DFormatRowCount(_format, static_cast<u32>(_rect->top)) +
               D3DFormatRowBytes(_format, static_cast<u32>(_rect->left));
    return true;
}

u32 D3DChainLength(u32 _width, u32 _height, u32 _levels)
{
    u32 full = 1;
    for (u32 size = std::max(_width, _height); size > 1; size /= 2) {
        ++full;
    }
    return _levels == 0 ? full : std::min(_levels, full);
}

u32 D3DLevelSize(u32 _size, u32 _level)
{
    return std::max<u32>(1, _size >> _level);
}
