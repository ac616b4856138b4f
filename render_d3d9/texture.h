#pragma once
// d3d_texture_c: a texture definition's image on the device, a 2D or cube
// texture (or an empty object when its format is 0: drawing binds nothing),
// or a render target of the definition's width and height with its level-0
// surface.
//
// Levels go up as the image has them (a partial chain makes a texture of
// exactly its levels, never uninitialised lower levels); cube faces in the
// order +X, -X, +Y, -Y, +Z, -Z. A level is uploaded when image and device
// format are a pair of the same layout (l8 with A8, L8 or P8; each 16- and
// 32-bit format and DXT1/3/5 with its own; x8r8g8b8 also with X8B8G8R8, red
// and blue exchanged, the fallback of devices without a grey format), and
// V8U8 is made from an l8 height map: U = (h(x-1) - h(x+1)) / 2, V = (h(y-1)
// - h(y+1)) / 2, truncated, neighbours wrapping. The level is copied whole
// when the locked pitch is the image's row size, else row by row.
//
// Failures: d3d_error_c "Could not create cube texture!", "Could not create
// texture!", "Could not upload texture!".
#include "engine/texture_cache.h"
#include "platform/d3d9/d3d9.h"

#include <functional>

class d3d_state_cache_c;

// Properties of a device format: bits per pixel, whether it carries alpha,
// and its channel class (3 colour, 2 two channels, 1 one channel, 0 other).
struct d3d_format_properties_s {
    u32 bitsPerPixel = 0;
    bool alpha = false;
    u32 channels = 0;
};
d3d_format_properties_s D3DFormatProperties(D3DFORMAT _format);

// The renderer's formats, chosen once per device: row 0 for 2D textures,
// row 1 for cube textures, each indexed by format_e; 0 = not available.
struct d3d_format_table_s {
    D3DFORMAT rows[2][12] = {};
    D3DFORMAT alphaOnly[2] = {};
    D3DFORMAT bump[2] = {};
};

class d3d_texture_c : public texture_c {
public:
    // _definition's image is uploaded; render targets take the
    // definition's width and height and ignore the image.
    d3d_texture_c(IDirect3DDevice9* _device, const char* _name, const texture_def_c& _definition, bool _render_target,
                  D3DFORMAT _format);
    ~d3d_texture_c() override;
    d3d_texture_c(const d3d_texture_c&) = delete;
    d3d_texture_c& operator=(const d3d_texture_c&) = delete;

    // Releases this texture's objects, copies the other's and takes a
    // reference on each.
    void TakeOver(texture_c* _other) override;
    u32 GetLevelCount() const override { return levels; }
    bool IsCubic() const override { return cube != nullptr; }
    u32 GetWidth() const override { return width; }
    u32 GetHeight() const override { return height; }
    u32 GetSize() const override { return size; }

    D3DFORMAT GetFormat() const { return format; }
    u32 GetChannelClass() const { return properties.channels; }
    bool HasAlpha() const { return properties.alpha; }
    u32 GetBitsPerPixel() const { return properties.bitsPerPixel; }
    // The cube texture when there is one, else the 2D texture (or null).
    IDirect3DBaseTexture9* GetD3DTexture() const;
    // The level-0 surface of a render target.
    IDirect3DSurface9* GetSurface() const { return surface; }

    // Uploads one level through the lock; false when the pair is not one
    // the device format can take or the lock fails.
    static bool UploadLevel(const image_c& _image, D3DFORMAT _format,
                            const std::function<HRESULT(D3DLOCKED_RECT&)>& _lock, const std::function<void()>& _unlock);

private:
    void Release();

    IDirect3DDevice9* device;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DCubeTexture9* cube = nullptr;
    IDirect3DSurface9* surface = nullptr;
    D3DFORMAT format;
    d3d_format_properties_s properties;
    u32 levels = 1;
    u32 width = 0;
    u32 height = 0;
    u32 size = 0;
};

// Sides held to 1..the device maximum, to powers of two on POW2 devices
// (the largest reached by halving the maximum), then to the aspect limit
// (1 on SQUAREONLY devices, else MaxTextureAspectRatio, else the larger
// maximum side) by raising the smaller side.
void FitTextureSize(const D3DCAPS9& _caps, u32& _width, u32& _height);

// The texture factory for a definition whose image is loaded: an invalid
// image or one that does not fit the device gives "Invalid texture image!";
// alpha and bump textures need an l8 image, else "Invalid texture
// format!"; the format comes from the table by type and image format.
d3d_texture_c* CreateD3DTexture(d3d_state_cache_c& _cache, const d3d_format_table_s& _table, const char* _name,
                                const texture_def_c& _definition);
