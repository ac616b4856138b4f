#include "platform/win32/display.h"
#include "platform/win32/testing/display_double.h"

#include <gtest/gtest.h>

namespace {

HWND SomeWindow()
{
    static int window;
    return reinterpret_cast<HWND>(&window);
}

TEST(Display, WithoutABackendOnlyTheDesktopSizeIsAccepted)
{
    // The window layer installs SDL's backend as it starts; started first,
    // it leaves none once this one is removed.
    GetSystemMetrics(SM_CXSCREEN);
    SetDisplayBackend(nullptr);
    DEVMODEA mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmBitsPerPel = 32;
    mode.dmPelsWidth = static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)) + 1;
    mode.dmPelsHeight = static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    mode.dmPelsWidth -= 1;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL) << "the desktop's own size";
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(GetDeviceCaps(GetDC(SomeWindow()), VERTRES), GetSystemMetrics(SM_CYSCREEN));
}

TEST(Display, CallsReachTheBackend)
{
    auto display = std::make_shared<display_double_c>();
    SetDisplayBackend(display);
    DEVMODEA mode;
    mode.dmPelsWidth = 800;
    mode.dmPelsHeight = 600;
    mode.dmBitsPerPel = 16;
    mode.dmDisplayFrequency = 75;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(std::get<3>(display->changes.back()), 0u) << "no frequency without its field";
    mode.dmFields |= DM_DISPLAYFREQUENCY;
    ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    EXPECT_EQ(std::get<3>(display->changes.back()), 75u);
    mode.dmBitsPerPel = 8;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    mode.dmFields = DM_PELSWIDTH;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(display->restores, 1u);
    HDC dc = GetDC(SomeWindow());
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 768);
    EXPECT_EQ(GetDeviceCaps(dc, 99), 0);
    ReleaseDC(SomeWindow(), dc);
    SetDisplayBackend(nullptr);
}

}
