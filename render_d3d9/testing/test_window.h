#pragma once
// A top-level window of the window layer for renderer tests, of the given
// client size, with the default window procedure; destroyed with the
// object.
#include "platform/win32/windows.h"

class test_window_c {
public:
    test_window_c(i32 _width, i32 _height);
    ~test_window_c();
    test_window_c(const test_window_c&) = delete;
    test_window_c& operator=(const test_window_c&) = delete;

    HWND Get() const { return window; }

private:
    HWND window = nullptr;
};
