#include "render_d3d9/frame.h"
#include "engine/color.h"
#include "image/image.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/texture.h"

#include <algorithm>
#include <cstring>

namespace {

WORD GammaWord(f32 _value)
{
    const f32 scaled = _value * 65535.0f;
    if (!(scaled > 0.0f)) {
        return 0;
    }
    return scaled >= 65535.0f ? 65535 : static_cast<WORD>(scaled);
}

}

d3d_frame_c::d3d_frame_c(d3d_state_cache_c& _cache, bool _stencil) : cache(_cache), stencil(_stencil) {}

void d3d_frame_c::SetOutputSize(i32 _width, i32 _height)
{
    outputWidth = _width;
    outputHeight = _height;
}

void d3d_frame_c::SetViewportRect(i32 _x, i32 _y, i32 _width, i32 _height)
{
    viewportX = _x;
    viewportY = _y;
    viewportWidth = _width;
    viewportHeight = _height;
}

bool d3d_frame_c::IsReadyForDrawing() const
{
    return outputWidth > 0 && outputHeight > 0 && viewportWidth > 0 && viewportHeight > 0;
}

void d3d_frame_c::SetGammaRamp(const vec3_c* _entries, u64 _count)
{
    if (_count != 256 || _entries == nullptr || !cache.IsReady()) {
        return;
    }
    D3DGAMMARAMP ramp;
    for (u32 i = 0; i < 256; ++i) {
        ramp.red[i] = GammaWord(_entries[i].x);
        ramp.green[i] = GammaWord(_entries[i].y);
        ramp.blue[i] = GammaWord(_entries[i].z);
    }
    cache.GetDevice()->SetGammaRamp(0, D3DSGR_NO_CALIBRATION, &ramp);
}

void d3d_frame_c::Clear(const vec3_c& _color, u32 _stencil_value, bool _target, bool _depth, bool _stencil,
                        d3d_texture_c* _glow_buffer)
{
    if (!IsReadyForDrawing() || inScene || !cache.IsReady()) {
        return;
    }
    const bool clear_stencil = _stencil && stencil;
    if (!_target && !_depth && !clear_stencil) {
        return;
    }
    const D3DCOLOR color = ColorToBgra(_color.x, _color.y, _color.z);
    cache.SetViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    cache.Targets().Setup(0, true, true, true, true, nullptr);
    cache.Targets().Reset(1);
    const DWORD flags =
        (_target ? D3DCLEAR_TARGET : 0) | (_depth ? D3DCLEAR_ZBUFFER : 0) | (clear_stencil ? D3DCLEAR_STENCIL : 0);
    cache.GetDevice()->Clear(0, nullptr, flags, color, 1.0f, _stencil_value);
    if (_glow_buffer != nullptr && _glow_buffer->GetSurface() != nullptr) {
        cache.Targets().Setup(0, true, true, true, true, _glow_buffer->GetSurface());
        cache.Targets().Reset(1);
        cache.GetDevice()->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    }
}

void d3d_frame_c::BeginScene()
{
    if (!IsReadyForDrawing() || inScene || !cache.IsReady()) {
        return;
    }
    cache.GetDevice()->BeginScene();
    inScene = true;
}

void d3d_frame_c::EndScene()
{
    if (!inScene) {
        return;
    }
    cache.SetStreams(nullptr, 0, nullptr, 0, nullptr);
    cache.SetPixelShader(0);
    // A normal without a position is the format that binds no input.
    vertex_format_c no_input;
    no_input.hasNormal = 1;
    cache.SetupPass(0, no_input, {}, false, 0);
    cache.UnbindStageTextures();
    cache.Targets().Reset(0);
    cache.GetDevice()->EndScene();
    inScene = false;
    cache.GetDevice()->ShowCursor(1);
}

void d3d_frame_c::Present()
{
    if (inScene || !cache.IsReady()) {
        return;
    }
    if (cache.GetDevice()->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST) {
        throw d3d_error_c("Direct3D device lost!");
    }
}

void d3d_frame_c::CaptureScreen(image_c& _image)
{
    if (!IsReadyForDrawing() || inScene || !cache.IsReady()) {
        return;
    }
    IDirect3DDevice9* device = cache.GetDevice();
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(device->CreateOffscreenPlainSurface(static_cast<UINT>(outputWidth), static_cast<UINT>(outputHeight),
                                                   D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &surface, nullptr))) {
        return;
    }
    const RECT rect{viewportX, viewportY, viewportX + viewportWidth, viewportY + viewportHeight};
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(device->GetFrontBufferData(0, surface)) &&
        SUCCEEDED(surface->LockRect(&locked, &rect, D3DLOCK_READONLY))) {
        _image.Create(viewportWidth, viewportHeight, format_x8r8g8b8);
        if (_image.IsValid()) {
            const u64 row = static_cast<u64>(_image.GetPitch());
            const auto* source = static_cast<const u8*>(locked.pBits);
            if (row == static_cast<u64>(locked.Pitch)) {
                std::memcpy(_image.GetData(), source, static_cast<u64>(_image.GetSize()));
            } else {
                for (i32 y = 0; y < viewportHeight; ++y) {
                    std::memcpy(_image.GetData() + y * row, source + static_cast<i64>(y) * locked.Pitch, row);
                }
            }
        }
        surface->UnlockRect();
    }
    surface->Release();
}

bool d3d_frame_c::EnumDisplayModes(IDirect3D9* _d3d, std::vector<display_mode_s>& _modes)
{
    _modes.clear();
    IDirect3D9* d3d = _d3d != nullptr ? _d3d : Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d == nullptr) {
        return false;
    }
    for (const auto& [format, bpp] : {std::pair{D3DFMT_X8R8G8B8, 32u}, std::pair{D3DFMT_R5G6B5, 16u}}) {
        const UINT count = d3d->GetAdapterModeCount(0, format);
        for (UINT i = 0; i < count; ++i) {
            D3DDISPLAYMODE mode;
            if (SUCCEEDED(d3d->EnumAdapterModes(0, format, i, &mode))) {
                _modes.push_back({mode.Width, mode.Height, bpp, mode.RefreshRate});
            }
        }
    }
    std::sort(_modes.begin(), _modes.end());
    if (d3d != _d3d) {
        d3d->Release();
    }
    return true;
}
