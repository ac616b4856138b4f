#pragma once
// The display calls of the Windows API the renderer makes beside the window
// layer's screen metrics (windows.h): full-screen display mode changes and
// the vertical resolution of a window's device context. Mode changes are
// answered by the display backend installed with SetDisplayBackend: the
// window layer installs SDL's (sdl_display.h) when it starts, tests may
// install a double first; with none installed only the desktop's own size
// is accepted (nothing to switch) and every other mode is refused, as on a
// desktop that cannot switch modes. VERTRES is the backend's, else the
// desktop height; the screen metrics give the size of a mode the backend
// switched to.
#include "platform/win32/window_types.h"
#include "platform/win32/windows.h"

#include <memory>

struct hdc_s;
using HDC = hdc_s*;

constexpr i32 VERTRES = 10;

constexpr DWORD DM_BITSPERPEL = 0x00040000;
constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;
constexpr DWORD CDS_FULLSCREEN = 0x00000004;

// The fields of a display mode record the renderer fills.
struct DEVMODEA {
    WORD dmSize = 156;
    DWORD dmFields = 0;
    DWORD dmBitsPerPel = 0;
    DWORD dmPelsWidth = 0;
    DWORD dmPelsHeight = 0;
    DWORD dmDisplayFrequency = 0;
};

constexpr i32 DISP_CHANGE_SUCCESSFUL = 0;
constexpr i32 DISP_CHANGE_FAILED = -1;
constexpr i32 DISP_CHANGE_BADMODE = -2;

class display_backend_c {
public:
    virtual ~display_backend_c() = default;
    // Switches to the mode (refresh 0: any); false when it cannot.
    virtual bool ChangeMode(u32 _width, u32 _height, u32 _bpp, u32 _refresh) = 0;
    // Back to the desktop mode.
    virtual void RestoreMode() = 0;
    // Vertical resolution in pixels of what the window is shown on.
    virtual i32 VerticalResolution(HWND _window) = 0;
    // The size of the mode switched to; false while the desktop's is shown.
    virtual bool GetModeSize(i32&, i32&) { return false; }
};

// Installs the backend later calls use; null removes it.
void SetDisplayBackend(std::shared_ptr<display_backend_c> _backend);
// The installed backend, or null.
std::shared_ptr<display_backend_c> GetDisplayBackend();

// DISP_CHANGE_SUCCESSFUL or a failure; null restores the desktop mode. A
// record without DM_PELSWIDTH, DM_PELSHEIGHT and DM_BITSPERPEL is refused
// as DISP_CHANGE_BADMODE.
i32 ChangeDisplaySettingsA(const DEVMODEA* _mode, DWORD _flags);
// A device context of the window; null for a null window.
HDC GetDC(HWND _window);
i32 ReleaseDC(HWND _window, HDC _dc);
// VERTRES of the context's window; 0 for other indices.
i32 GetDeviceCaps(HDC _dc, i32 _index);
