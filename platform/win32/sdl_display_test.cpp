#include "platform/win32/sdl_display.h"

#include <gtest/gtest.h>

#include <vector>

#include <SDL.h>

#include "platform/win32/messages.h"
#include "platform/win32/windows.h"

namespace {

std::vector<MSG> g_announced;

LRESULT DisplayChangeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DISPLAYCHANGE)
        g_announced.push_back({window, message, wParam, lParam, 0, {}});
    return DefWindowProc(window, message, wParam, lParam);
}

DEVMODEA Mode(u32 _width, u32 _height, u32 _bpp)
{
    DEVMODEA mode;
    mode.dmPelsWidth = _width;
    mode.dmPelsHeight = _height;
    mode.dmBitsPerPel = _bpp;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    return mode;
}

class SdlDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GT(GetSystemMetrics(SM_CXSCREEN), 0) << "SDL's video starts";
        SetDisplayBackend(MakeSdlDisplayBackend());
        SDL_DisplayMode desktop;
        ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
        width = static_cast<u32>(desktop.w);
        height = static_cast<u32>(desktop.h);
        WNDCLASSEXA description;
        description.lpfnWndProc = DisplayChangeProc;
        description.lpszClassName = "display test";
        ASSERT_NE(RegisterClassEx(&description), 0);
        g_announced.clear();
    }
    void TearDown() override
    {
        ChangeDisplaySettingsA(nullptr, 0);
        if (window)
            DestroyWindow(window);
        UnregisterClass("display test", nullptr);
    }
    void MakeWindow()
    {
        window = CreateWindowEx(WS_EX_TOPMOST, "display test", "", WS_POPUP, 0, 0, static_cast<i32>(width),
                                static_cast<i32>(height), nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    bool FullScreen() const { return (SDL_GetWindowFlags(GetSdlWindow(window)) & SDL_WINDOW_FULLSCREEN) != 0; }

    u32 width = 0;
    u32 height = 0;
    HWND window = nullptr;
};

TEST_F(SdlDisplay, TheWindowLayerInstallsItAtStart)
{
    // Installed when SDL's video started, before this test replaced it.
    EXPECT_NE(GetDisplayBackend(), nullptr);
}

TEST_F(SdlDisplay, SwitchMakesThePopUpFullScreenAndAnnouncesTheMode)
{
    MakeWindow();
    DEVMODEA mode = Mode(width, height, 32);
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(FullScreen());
    ASSERT_EQ(g_announced.size(), 1u);
    EXPECT_EQ(g_announced[0].hwnd, window);
    EXPECT_EQ(g_announced[0].wParam, 32u);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(g_announced[0].lParam)), width);
    EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(g_announced[0].lParam)), height);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), static_cast<i32>(width));
    EXPECT_EQ(GetDeviceCaps(GetDC(window), VERTRES), static_cast<i32>(height));

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_FALSE(FullScreen()) << "the desktop mode is back";
    ASSERT_EQ(g_announced.size(), 2u);
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(g_announced[1].lParam)), width);
    ChangeDisplaySettingsA(nullptr, 0);
    EXPECT_EQ(g_announced.size(), 2u) << "nothing more to restore";
}

TEST_F(SdlDisplay, ModesTheDisplayDoesNotListAreRefused)
{
    MakeWindow();
    const struct {
        u32 width, height, bpp, refresh;
    } refused[] = {
        {width + 1, height, 32, 0},
        {width, height + 3, 32, 0},
        {width, height, 8, 0},
        {width, height, 32, 1},
    };
    for (const auto& c : refused) {
        DEVMODEA mode = Mode(c.width, c.height, c.bpp);
        if (c.refresh) {
            mode.dmDisplayFrequency = c.refresh;
            mode.dmFields |= DM_DISPLAYFREQUENCY;
        }
        EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE)
            << c.width << "x" << c.height << "x" << c.bpp << "@" << c.refresh;
    }
    EXPECT_FALSE(FullScreen());
    EXPECT_TRUE(g_announced.empty());
}

TEST_F(SdlDisplay, WithoutAPopUpOnlyTheDesktopModeIsAccepted)
{
    DEVMODEA mode = Mode(width, height, 32);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(g_announced.empty()) << "nothing was switched";
    mode.dmPelsWidth += 1;
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
}

} // namespace
