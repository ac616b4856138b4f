#pragma once
// A display for tests: the modes it accepts, a record of the mode changes
// and restorations asked of it, its vertical resolution, and the size of
// the mode it switched to. Install with SetDisplayBackend.
#include "platform/win32/display.h"

#include <set>
#include <tuple>
#include <vector>

class display_double_c : public display_backend_c {
public:
    i32 verticalResolution = 768;
    // (width, height, bpp) accepted by ChangeMode.
    std::set<std::tuple<u32, u32, u32>> modes{{640, 480, 32}, {800, 600, 16}, {1024, 768, 32}};
    std::vector<std::tuple<u32, u32, u32, u32>> changes;
    u32 restores = 0;
    bool changed = false;

    bool ChangeMode(u32 _width, u32 _height, u32 _bpp, u32 _refresh) override
    {
        changes.emplace_back(_width, _height, _bpp, _refresh);
        if (!modes.contains({_width, _height, _bpp})) {
            return false;
        }
        changed = true;
        width = static_cast<i32>(_width);
        height = static_cast<i32>(_height);
        return true;
    }
    void RestoreMode() override
    {
        ++restores;
        changed = false;
    }
    i32 VerticalResolution(HWND) override { return verticalResolution; }
    // The mode switched to, as the screen metrics then report it.
    bool GetModeSize(i32& _width, i32& _height) override
    {
        if (!changed)
            return false;
        _width = width;
        _height = height;
        return true;
    }

private:
    i32 width = 0;
    i32 height = 0;
};
