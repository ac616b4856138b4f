#include "platform/win32/display.h"

#include <utility>

namespace {

std::shared_ptr<display_backend_c>& Backend()
{
    static std::shared_ptr<display_backend_c> backend;
    return backend;
}

// A context remembers its window; the handle is the window itself, as the
// layer keeps no other state for it.
HWND WindowOf(HDC _dc)
{
    return reinterpret_cast<HWND>(_dc);
}

}

void SetDisplayBackend(std::shared_ptr<display_backend_c> _backend)
{
    Backend() = std::move(_backend);
}

std::shared_ptr<display_backend_c> GetDisplayBackend()
{
    return Backend();
}

i32 ChangeDisplaySettingsA(const DEVMODEA* _mode, DWORD)
{
    if (_mode == nullptr) {
        if (Backend()) {
            Backend()->RestoreMode();
        }
        return DISP_CHANGE_SUCCESSFUL;
    }
    constexpr DWORD needed = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if ((_mode->dmFields & needed) != needed) {
        return DISP_CHANGE_BADMODE;
    }
    if (!Backend()) {
        // The desktop's own size needs no switch; nothing else can be had.
        const bool desktop = static_cast<i32>(_mode->dmPelsWidth) == GetSystemMetrics(SM_CXSCREEN) &&
                             static_cast<i32>(_mode->dmPelsHeight) == GetSystemMetrics(SM_CYSCREEN);
        return desktop ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE;
    }
    const u32 refresh = (_mode->dmFields & DM_DISPLAYFREQUENCY) != 0 ? _mode->dmDisplayFrequency : 0;
    return Backend()->ChangeMode(_mode->dmPelsWidth, _mode->dmPelsHeight, _mode->dmBitsPerPel, refresh)
               ? DISP_CHANGE_SUCCESSFUL
               : DISP_CHANGE_BADMODE;
}

HDC GetDC(HWND _window)
{
    return reinterpret_cast<HDC>(_window);
}

i32 ReleaseDC(HWND, HDC _dc)
{
    return _dc != nullptr ? 1 : 0;
}

i32 GetDeviceCaps(HDC _dc, i32 _index)
{
    if (_index != VERTRES) {
        return 0;
    }
    return Backend() ? Backend()->VerticalResolution(WindowOf(_dc)) : GetSystemMetrics(SM_CYSCREEN);
}
