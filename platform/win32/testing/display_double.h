#pragma once
// A display for tests: a screen of the given size, the modes it accepts,
// and a record of the mode changes and restorations asked of it. Install
// with SetDisplayBackend.
#include "platform/win32/display.h"

#include <set>
#include <tuple>
#include <vector>

class display_double_c : public display_backend_c {
public:
    i32 screenWidth = 1024;
    i32 screenHeight = 768;
    RECT client{0, 0, 640, 480};
    i32 verticalResolution = 768;
    // (width, height, bpp) accepted by ChangeMode.
    std::set<std::tuple<u32, u32, u32>> modes{{640, 480, 32}, {800, 600, 16}, {1024, 768, 32}};
    std::vector<std::tuple<u32, u32, u32, u32>> changes;
    u32 restores = 0;
    bool changed = false;

    i32 ScreenWidth() override { return screenWidth; }
    i32 ScreenHeight() override { return screenHeight; }
    bool ChangeMode(u32 _width, u32 _height, u32 _bpp, u32 _refresh) override
    {
        changes.emplace_back(_width, _height, _bpp, _refresh);
        if (!modes.contains({_width, _height, _bpp})) {
            return false;
        }
        changed = true;
        return true;
    }
    void RestoreMode() override
    {
        ++restores;
        changed = false;
    }
    RECT ClientRect(HWND) override { return client; }
    i32 VerticalResolution(HWND) override { return verticalResolution; }
};
