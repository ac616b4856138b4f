#include "platform/d3d9/gl_backend.h"
#include "platform/d3d9/gl_device.h"
#include "platform/win32/display.h"
#include "platform/win32/windows.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace {

std::string& Failure()
{
    static std::string failure;
    return failure;
}

// A hardware device with the limits of the generated programs.
D3DCAPS9 GlCaps()
{
    D3DCAPS9 caps = D3DHardwareCaps();
    caps.RasterCaps = D3DPRASTERCAPS_FOGVERTEX;
    caps.TextureCaps &= ~D3DPTEXTURECAPS_ALPHAPALETTE;
    caps.MaxTextureWidth = 4096;
    caps.MaxTextureHeight = 4096;
    caps.MaxTextureAspectRatio = 4096;
    caps.MaxAnisotropy = 1;
    caps.MaxVertexBlendMatrixIndex = 63;
    caps.MaxStreams = d3d_stream_count;
    return caps;
}

bool BackBufferFormat(D3DFORMAT _format)
{
    return _format == D3DFMT_X8R8G8B8 || _format == D3DFMT_A8R8G8B8 || _format == D3DFMT_R5G6B5 ||
           _format == D3DFMT_UNKNOWN;
}

class gl_direct3d_c : public ref_counted_c<IDirect3D9> {
public:
    gl_direct3d_c()
    {
        SDL_DisplayMode current;
        if (SDL_GetDesktopDisplayMode(0, &current) == 0) {
            desktop = {static_cast<UINT>(current.w), static_cast<UINT>(current.h),
                       static_cast<UINT>(current.refresh_rate), D3DFMT_X8R8G8B8};
        }
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode mode;
            if (SDL_GetDisplayMode(0, i, &mode) == 0 && SDL_BITSPERPIXEL(mode.format) >= 24) {
                const D3DDISPLAYMODE d3d{static_cast<UINT>(mode.w), static_cast<UINT>(mode.h),
                                         static_cast<UINT>(mode.refresh_rate), D3DFMT_X8R8G8B8};
                if (std::find(modes.begin(), modes.end(), d3d) == modes.end()) {
                    modes.push_back(d3d);
                }
            }
        }
        if (modes.empty() && desktop.Width != 0) {
            modes.push_back(desktop);
        }
    }

    HRESULT GetAdapterIdentifier(UINT _adapter, DWORD, D3DADAPTER_IDENTIFIER9* _identifier) override
    {
        if (_adapter != 0 || _identifier == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_identifier = {};
        std::strcpy(_identifier->Driver, "opengl");
        const std::string description = std::string("OpenGL 3.3 on SDL ") + SDL_GetCurrentVideoDriver();
        std::strncpy(_identifier->Description, description.c_str(), sizeof(_identifier->Description) - 1);
        std::strcpy(_identifier->DeviceName, "display0");
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT _adapter, D3DFORMAT _format) override
    {
        return _adapter == 0 && _format == D3DFMT_X8R8G8B8 ? static_cast<UINT>(modes.size()) : 0;
    }

    HRESULT EnumAdapterModes(UINT _adapter, D3DFORMAT _format, UINT _mode, D3DDISPLAYMODE* _result) override
    {
        if (_adapter != 0 || _result == nullptr || _format != D3DFMT_X8R8G8B8 || _mode >= modes.size()) {
            return D3DERR_INVALIDCALL;
        }
        *_result = modes[_mode];
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(UINT _adapter, D3DDISPLAYMODE* _mode) override
    {
        if (_adapter != 0 || _mode == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_mode = desktop;
        // After a display-mode change the adapter shows that mode, as the
        // output and the front buffer then do.
        i32 width = 0, height = 0;
        const std::shared_ptr<display_backend_c> display = GetDisplayBackend();
        if (display && display->GetModeSize(width, height) && width > 0 && height > 0) {
            _mode->Width = static_cast<UINT>(width);
            _mode->Height = static_cast<UINT>(height);
        }
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT _adapter, D3DDEVTYPE _type, D3DFORMAT, D3DFORMAT _back_buffer, BOOL) override
    {
        return _adapter == 0 && _type == D3DDEVTYPE_HAL && BackBufferFormat(_back_buffer) ? D3D_OK
                                                                                          : D3DERR_NOTAVAILABLE;
    }

    HRESULT CheckDeviceFormat(UINT _adapter, D3DDEVTYPE, D3DFORMAT, DWORD _usage, D3DRESOURCETYPE _type,
                              D3DFORMAT _format) override
    {
        if (_adapter != 0) {
            return D3DERR_NOTAVAILABLE;
        }
        if ((_usage & D3DUSAGE_DEPTHSTENCIL) != 0) {
            return GlDepthFormat(_format) ? D3D_OK : D3DERR_NOTAVAILABLE;
        }
        const gl_format_s* format = GlFormat(_format);
        if (format == nullptr ||
            ((_usage & D3DUSAGE_RENDERTARGET) != 0 && (!format->renderable || _type == D3DRTYPE_CUBETEXTURE))) {
            return D3DERR_NOTAVAILABLE;
        }
        return D3D_OK;
    }

    HRESULT CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, BOOL, D3DMULTISAMPLE_TYPE _samples,
                                       DWORD* _quality_levels) override
    {
        if (_samples != D3DMULTISAMPLE_NONE) {
            return D3DERR_NOTAVAILABLE;
        }
        if (_quality_levels != nullptr) {
            *_quality_levels = 1;
        }
        return D3D_OK;
    }

    HRESULT CheckDepthStencilMatch(UINT _adapter, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT _depth) override
    {
        return _adapter == 0 && GlDepthFormat(_depth) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT _adapter, D3DDEVTYPE, D3DCAPS9* _caps) override
    {
        if (_adapter != 0 || _caps == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *_caps = caps;
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT _adapter, D3DDEVTYPE _type, HWND _focus, DWORD _behaviour,
                         D3DPRESENT_PARAMETERS* _parameters, IDirect3DDevice9** _device) override
    {
        if (_adapter != 0 || _type != D3DDEVTYPE_HAL || _parameters == nullptr || _device == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        HWND window = _parameters->hDeviceWindow != nullptr ? _parameters->hDeviceWindow : _focus;
        if (_parameters->BackBufferWidth == 0 || _parameters->BackBufferHeight == 0) {
            RECT client{};
            if (window != nullptr) {
                GetClientRect(window, &client);
            }
            _parameters->BackBufferWidth = static_cast<UINT>(std::max(client.right, 1));
            _parameters->BackBufferHeight = static_cast<UINT>(std::max(client.bottom, 1));
        }
        std::string failure;
        std::shared_ptr<gl_context_c> context =
            gl_context_c::Make(window != nullptr ? GetSdlWindow(window) : nullptr, failure);
        if (context == nullptr) {
            Failure() = failure;
            return D3DERR_NOTAVAILABLE;
        }
        try {
            *_device = new gl_device_c(std::move(context), caps, _behaviour, *_parameters);
        } catch (const std::exception& error) {
            Failure() = error.what();
            return D3DERR_NOTAVAILABLE;
        }
        Failure().clear();
        return D3D_OK;
    }

private:
    D3DCAPS9 caps = GlCaps();
    D3DDISPLAYMODE desktop;
    std::vector<D3DDISPLAYMODE> modes;
};

}

IDirect3D9* GlDirect3DCreate9(UINT _sdk_version)
{
    if (_sdk_version != D3D_SDK_VERSION) {
        return nullptr;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            Failure() = std::string("no display: ") + SDL_GetError();
            return nullptr;
        }
        // Kept loaded for the whole run, as the window layer does.
        SDL_GL_LoadLibrary(nullptr);
    }
    Failure().clear();
    return new gl_direct3d_c;
}

void InstallGlBackend()
{
    SetDirect3DBackend(GlDirect3DCreate9);
}

const std::string& GlBackendFailure()
{
    return Failure();
}
