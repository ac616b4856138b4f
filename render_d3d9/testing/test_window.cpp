#include "render_d3d9/testing/test_window.h"
#include "platform/win32/messages.h"

namespace {

constexpr const char* test_window_class = "renderer test window";

}

test_window_c::test_window_c(i32 _width, i32 _height)
{
    WNDCLASSEXA description;
    description.lpfnWndProc = DefWindowProc;
    description.lpszClassName = test_window_class;
    RegisterClassEx(&description);
    window = CreateWindowEx(0, test_window_class, "renderer test", WS_POPUP, 0, 0, _width, _height, nullptr, nullptr,
                            nullptr, nullptr);
}

test_window_c::~test_window_c()
{
    if (window != nullptr) {
        DestroyWindow(window);
    }
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {}
    UnregisterClass(test_window_class, nullptr);
}
