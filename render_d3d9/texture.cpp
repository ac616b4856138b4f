#include "render_d3d9/texture.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/state_cache.h"

#include <cstring>

d3d_format_properties_s D3DFormatProperties(D3DFORMAT _format)
{
    switch (_format) {
    case D3DFMT_DXT1: return {4, false, 3};
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return {8, true, 3};
    case D3DFMT_R3G3B2: return {8, false, 3};
    case D3DFMT_A8: return {8, true, 0};
    case D3DFMT_P8:
    case D3DFMT_L8: return {8, false, 1};
    case D3DFMT_A4L4: return {8, true, 1};
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_X4R4G4B4: return {16, false, 3};
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2: return {16, true, 3};
    case D3DFMT_A8P8:
    case D3DFMT_A8L8: return {16, true, 1};
    case D3DFMT_L6V5U5:
    case D3DFMT_L16:
    case D3DFMT_R16F: return {16, false, 1};
    case D3DFMT_V8U8:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D15S1:
    case D3DFMT_D16:
    case D3DFMT_CxV8U8: return {16, false, 0};
    case D3DFMT_R8G8B8: return {24, false, 3};
    case D3DFMT_A8R8G8B8:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_A2R10G10B10: return {32, true, 3};
    case D3DFMT_X8R8G8B8:
    case D3DFMT_X8B8G8R8: return {32, false, 3};
    case D3DFMT_G16R16: return {32, false, 2};
    case D3DFMT_G16R16F: return {32, false, 2};
    case D3DFMT_X8L8V8U8:
    case D3DFMT_R32F: return {32, false, 1};
    case D3DFMT_A2W10V10U10: return {32, true, 0};
    case D3DFMT_Q8W8V8U8:
    case D3DFMT_V16U16:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
    case D3DFMT_D32F_LOCKABLE:
    case D3DFMT_D24FS8: return {32, false, 0};
    case D3DFMT_A16B16G16R16:
    case D3DFMT_A16B16G16R16F: return {64, true, 3};
    case D3DFMT_Q16W16V16U16: return {64, false, 0};
    case D3DFMT_G32R32F: return {64, false, 2};
    case D3DFMT_A32B32G32R32F: return {128, true, 3};
    default: return {};
    }
}

namespace {

// Whether an image format and a device format share one memory layout.
bool SameLayout(format_e _image, D3DFORMAT _device)
{
    switch (_image) {
    case format_l8: return _device == D3DFMT_A8 || _device == D3DFMT_L8 || _device == D3DFMT_P8;
    case format_x8r8g8b8: return _device == D3DFMT_X8R8G8B8;
    case format_a8r8g8b8: return _device == D3DFMT_A8R8G8B8;
    case format_r5g6b5: return _device == D3DFMT_R5G6B5;
    case format_x1r5g5b5: return _device == D3DFMT_X1R5G5B5;
    case format_a1r5g5b5: return _device == D3DFMT_A1R5G5B5;
    case format_x4r4g4b4: return _device == D3DFMT_X4R4G4B4;
    case format_a4r4g4b4: return _device == D3DFMT_A4R4G4B4;
    case format_dxt1: return _device == D3DFMT_DXT1;
    case format_dxt3: return _device == D3DFMT_DXT3;
    case format_dxt5: return _device == D3DFMT_DXT5;
    default: return false;
    }
}

void WriteBump(const image_c& _image, const D3DLOCKED_RECT& _locked)
{
    const i32 w = _image.GetWidth();
    const i32 h = _image.GetHeight();
    const u8* heights = _image.GetData();
    auto at = [&](i32 _x, i32 _y) { return static_cast<i32>(heights[((_y + h) % h) * w + (_x + w) % w]); };
    for (i32 y = 0; y < h; ++y) {
        auto* row = static_cast<i8*>(_locked.pBits) + static_cast<i64>(y) * _locked.Pitch;
        for (i32 x = 0; x < w; ++x) {
            row[x * 2] = static_cast<i8>((at(x - 1, y) - at(x + 1, y)) / 2);
            row[x * 2 + 1] = static_cast<i8>((at(x, y - 1) - at(x, y + 1)) / 2);
        }
    }
}

void CopyRows(const image_c& _image, const D3DLOCKED_RECT& _locked, bool _swap_red_blue)
{
    const u64 row = static_cast<u64>(_image.GetPitch());
    const u64 rows = static_cast<u64>(_image.GetSize()) / row;
    auto* out = static_cast<u8*>(_locked.pBits);
    if (!_swap_red_blue && row == static_cast<u64>(_locked.Pitch)) {
        std::memcpy(out, _image.GetData(), row * rows);
        return;
    }
    for (u64 y = 0; y < rows; ++y) {
        u8* target = out + y * static_cast<u64>(_locked.Pitch);
        std::memcpy(target, _image.GetData() + y * row, row);
        if (_swap_red_blue) {
            for (u64 x = 0; x + 3 < row; x += 4) {
                std::swap(target[x], target[x + 2]);
            }
        }
    }
}

}

bool d3d_texture_c::UploadLevel(const image_c& _image, D3DFORMAT _format,
                                const std::function<HRESULT(D3DLOCKED_RECT&)>& _lock,
                                const std::function<void()>& _unlock)
{
    if (!_image.IsValid() || _image.GetPadding() != 0) {
        return false;
    }
    const bool bump = _format == D3DFMT_V8U8 && _image.GetFormat() == format_l8;
    const bool swapped = _format == D3DFMT_X8B8G8R8 && _image.GetFormat() == format_x8r8g8b8;
    if (!bump && !swapped && !SameLayout(_image.GetFormat(), _format)) {
        return false;
    }
    D3DLOCKED_RECT locked;
    if (FAILED(_lock(locked))) {
        return false;
    }
    if (bump) {
        WriteBump(_image, locked);
    } else {
        CopyRows(_image, locked, swapped);
    }
    _unlock();
    return true;
}

d3d_texture_c::d3d_texture_c(IDirect3DDevice9* _device, const char* _name, const texture_def_c& _definition,
                             bool _render_target, D3DFORMAT _format)
    : texture_c(_name, _definition), device(_device), format(_format), properties(D3DFormatProperties(_format))
{
    const texture_image_c& image = _definition.image;
    const bool valid = !_render_target && image.IsValid();
    if (valid) {
        levels = static_cast<u32>(image.GetLevelCount());
        width = static_cast<u32>(image.GetWidth());
        height = static_cast<u32>(image.GetHeight());
        size = static_cast<u32>(image.GetSize());
    } else {
        width = static_cast<u32>(std::max(_definition.width, 0));
        height = static_cast<u32>(std::max(_definition.height, 0));
    }
    if (format == D3DFMT_UNKNOWN) {
        return;
    }
    const DWORD usage = _render_target ? D3DUSAGE_RENDERTARGET : 0;
    const D3DPOOL pool = _render_target ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
    try {
        if (valid && image.IsCubic()) {
            if (FAILED(device->CreateCubeTexture(height, levels, usage, format, pool, &cube, nullptr))) {
                cube = nullptr;
                throw d3d_error_c("Could not create cube texture!");
            }
            for (u32 face = 0; face < 6; ++face) {
                for (u32 level = 0; level < levels; ++level) {
                    const auto which = static_cast<D3DCUBEMAP_FACES>(face);
                    const bool uploaded = UploadLevel(
                        image.GetLevel(static_cast<int>(level), static_cast<int>(face)), format,
                        [&](D3DLOCKED_RECT& _locked) { return cube->LockRect(which, level, &_locked, nullptr, 0); },
                        [&] { cube->UnlockRect(which, level); });
                    if (!uploaded) {
                        throw d3d_error_c("Could not upload texture!");
                    }
                }
            }
            return;
        }
        if (FAILED(device->CreateTexture(width, height, levels, usage, format, pool, &texture, nullptr))) {
            texture = nullptr;
            throw d3d_error_c("Could not create texture!");
        }
        if (_render_target && FAILED(texture->GetSurfaceLevel(0, &surface))) {
            surface = nullptr;
            throw d3d_error_c("Could not create texture!");
        }
        if (valid) {
            for (u32 level = 0; level < levels; ++level) {
                const bool uploaded = UploadLevel(
                    image.GetLevel(static_cast<int>(level)), format,
                    [&](D3DLOCKED_RECT& _locked) { return texture->LockRect(level, &_locked, nullptr, 0); },
                    [&] { texture->UnlockRect(level); });
                if (!uploaded) {
                    throw d3d_error_c("Could not upload texture!");
                }
            }
        }
    } catch (...) {
        Release();
        throw;
    }
}

d3d_texture_c::~d3d_texture_c()
{
    Release();
}

void d3d_texture_c::Release()
{
    for (IUnknown* object :
         {static_cast<IUnknown*>(surface), static_cast<IUnknown*>(cube), static_cast<IUnknown*>(texture)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    surface = nullptr;
    cube = nullptr;
    texture = nullptr;
}

void d3d_texture_c::TakeOver(texture_c* _other)
{
    auto* other = dynamic_cast<d3d_texture_c*>(_other);
    if (other == nullptr || other == this) {
        return;
    }
    Release();
    device = other->device;
    texture = other->texture;
    cube = other->cube;
    surface = other->surface;
    for (IUnknown* object :
         {static_cast<IUnknown*>(surface), static_cast<IUnknown*>(cube), static_cast<IUnknown*>(texture)}) {
        if (object != nullptr) {
            object->AddRef();
        }
    }
    format = other->format;
    properties = other->properties;
    levels = other->levels;
    width = other->width;
    height = other->height;
    size = other->size;
}

IDirect3DBaseTexture9* d3d_texture_c::GetD3DTexture() const
{
    if (cube != nullptr) {
        return cube;
    }
    return texture;
}

void FitTextureSize(const D3DCAPS9& _caps, u32& _width, u32& _height)
{
    const u32 max_width = std::max<u32>(_caps.MaxTextureWidth, 1);
    const u32 max_height = std::max<u32>(_caps.MaxTextureHeight, 1);
    auto fit = [&](u32 _side, u32 _maximum) {
        u32 side = std::clamp<u32>(_side, 1, _maximum);
        if ((_caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0 && (side & (side - 1)) != 0) {
            u32 power = _maximum;
            while (power > side) {
                power /= 2;
            }
            side = std::max<u32>(power, 1);
        }
        return side;
    };
    _width = fit(_width, max_width);
    _height = fit(_height, max_height);
    u32 ratio = _caps.MaxTextureAspectRatio;
    if ((_caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0) {
        ratio = 1;
    } else if (ratio == 0) {
        ratio = std::max(max_width, max_height);
    }
    if (_width >= _height && _width / _height > ratio) {
        _height = _width / ratio;
    } else if (_height > _width && _height / _width > ratio) {
        _width = _height / ratio;
    }
}

d3d_texture_c* CreateD3DTexture(d3d_state_cache_c& _cache, const d3d_format_table_s& _table, const char* _name,
                                const texture_def_c& _definition)
{
    const texture_image_c& image = _definition.image;
    if (!image.IsValid()) {
        throw d3d_error_c("Invalid texture image!");
    }
    u32 width = static_cast<u32>(image.GetWidth());
    u32 height = static_cast<u32>(image.GetHeight());
    FitTextureSize(_cache.GetCaps(), width, height);
    if (width != static_cast<u32>(image.GetWidth()) || height != static_cast<u32>(image.GetHeight())) {
        throw d3d_error_c("Invalid texture image!");
    }
    const u32 row = image.IsCubic() ? 1 : 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    switch (_definition.type) {
    case texture_type_image:
    case texture_type_flare: {
        const int index = image.GetFormat();
        format = index >= 0 && index < 12 ? _table.rows[row][index] : D3DFMT_UNKNOWN;
        break;
    }
    case texture_type_alpha:
    case texture_type_bump:
        if (image.GetFormat() != format_l8) {
            throw d3d_error_c("Invalid texture format!");
        }
        format = _definition.type == texture_type_alpha ? _table.alphaOnly[row] : _table.bump[row];
        break;
    default: break;
    }
    return new d3d_texture_c(_cache.GetDevice(), _name, _definition, false, format);
}
