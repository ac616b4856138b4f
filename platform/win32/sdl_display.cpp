#include "platform/win32/sdl_display.h"

#include <SDL.h>

#include <vector>

#include "platform/win32/messages.h"
#include "platform/win32/window_object.h"

namespace {

bool SameDepth(Uint32 _format, u32 _bpp)
{
    return SDL_BITSPERPIXEL(_format) == _bpp || SDL_BYTESPERPIXEL(_format) * 8u == _bpp;
}

bool Matches(const SDL_DisplayMode& _mode, u32 _width, u32 _height, u32 _bpp, u32 _refresh)
{
    return static_cast<u32>(_mode.w) == _width && static_cast<u32>(_mode.h) == _height &&
           SameDepth(_mode.format, _bpp) && (_refresh == 0 || static_cast<u32>(_mode.refresh_rate) == _refresh);
}

// The desktop's own mode counts too: some drivers list no modes at all.
bool FindMode(u32 _width, u32 _height, u32 _bpp, u32 _refresh, SDL_DisplayMode& _found)
{
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        if (SDL_GetDisplayMode(0, i, &_found) == 0 && Matches(_found, _width, _height, _bpp, _refresh))
            return true;
    }
    return SDL_GetDesktopDisplayMode(0, &_found) == 0 && Matches(_found, _width, _height, _bpp, _refresh);
}

// The newest live top-level pop-up window: the program's full-screen one.
HWND FullScreenCandidate()
{
    std::lock_guard lock(Windows().mutex);
    const auto& list = Windows().windows;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if ((*it)->sdl && !(*it)->parent && ((*it)->style & WS_POPUP))
            return *it;
    return nullptr;
}

void AnnounceMode(u32 _width, u32 _height, u32 _bpp)
{
    std::vector<HWND> tops;
    {
        std::lock_guard lock(Windows().mutex);
        for (window_s* window : Windows().windows)
            if (window->sdl && !window->parent)
                tops.push_back(window);
    }
    for (HWND window : tops)
        SendMessage(window, WM_DISPLAYCHANGE, _bpp, MAKELPARAM(_width, _height));
}

class sdl_display_c : public display_backend_c {
public:
    bool ChangeMode(u32 _width, u32 _height, u32 _bpp, u32 _refresh) override
    {
        SDL_DisplayMode mode;
        if (!SDL_WasInit(SDL_INIT_VIDEO) || !FindMode(_width, _height, _bpp, _refresh, mode))
            return false;
        HWND window = FullScreenCandidate();
        if (!window) {
            SDL_DisplayMode desktop;
            return SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w == mode.w && desktop.h == mode.h;
        }
        SDL_Window* sdl = GetSdlWindow(window);
        if (SDL_SetWindowDisplayMode(sdl, &mode) != 0 || SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN) != 0)
            return false;
        switched = window;
        width = _width;
        height = _height;
        AnnounceMode(_width, _height, _bpp);
        return true;
    }

    void RestoreMode() override
    {
        if (!switched)
            return;
        HWND window = switched;
        switched = nullptr;
        if (SDL_Window* sdl = GetSdlWindow(window))
            SDL_SetWindowFullscreen(sdl, 0);
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0)
            AnnounceMode(static_cast<u32>(desktop.w), static_cast<u32>(desktop.h),
                         SDL_BYTESPERPIXEL(desktop.format) * 8u);
    }

    i32 VerticalResolution(HWND) override
    {
        i32 w = 0, h = 0;
        if (GetModeSize(w, h))
            return h;
        return GetSystemMetrics(SM_CYSCREEN);
    }

    bool GetModeSize(i32& _width, i32& _height) override
    {
        if (!switched || !IsWindow(switched))
            return false;
        _width = static_cast<i32>(width);
        _height = static_cast<i32>(height);
        return true;
    }

private:
    HWND switched = nullptr;
    u32 width = 0;
    u32 height = 0;
};

} // namespace

std::shared_ptr<display_backend_c> MakeSdlDisplayBackend()
{
    return std::make_shared<sdl_display_c>();
}
