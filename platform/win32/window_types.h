#pragma once
// The window and message vocabulary the game's window procedures, states and
// menus share: handles, message parameters, rectangles, message numbers,
// virtual-key codes and mouse-button flags, with the values Windows gives
// them, so that code written against the messages reads as it would there.
// The window layer that creates windows and delivers these messages from
// SDL2's events is built on this header.
#include <cstdint>

#include "foundation/types.h"

struct window_s;
using HWND = window_s*;
struct instance_s;
using HINSTANCE = instance_s*;
using UINT = u32;
using DWORD = u32;
using WORD = u16;
using BOOL = i32;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    i32 x = 0;
    i32 y = 0;
};

struct RECT {
    i32 left = 0;
    i32 top = 0;
    i32 right = 0;
    i32 bottom = 0;
};

// One queued message.
struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

constexpr WORD LOWORD(std::uintptr_t _value)
{
    return static_cast<WORD>(_value & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t _value)
{
    return static_cast<WORD>((_value >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(u32 _low, u32 _high)
{
    return static_cast<LPARAM>(static_cast<u32>((_low & 0xFFFF) | ((_high & 0xFFFF) << 16)));
}
// Signed pointer coordinates of mouse messages.
constexpr i32 GET_X_LPARAM(LPARAM _lparam)
{
    return static_cast<i16>(LOWORD(static_cast<std::uintptr_t>(_lparam)));
}
constexpr i32 GET_Y_LPARAM(LPARAM _lparam)
{
    return static_cast<i16>(HIWORD(static_cast<std::uintptr_t>(_lparam)));
}
// Wheel movement of WM_MOUSEWHEEL, in multiples of WHEEL_DELTA per notch.
constexpr i32 GET_WHEEL_DELTA_WPARAM(WPARAM _wparam)
{
    return static_cast<i16>(HIWORD(_wparam));
}
constexpr i32 WHEEL_DELTA = 120;

// Message numbers.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_USER = 0x0400;

// WM_SYSCOMMAND commands (wParam & 0xFFF0).
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_MONITORPOWER = 0xF170;

// Button and key flags in the wParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Virtual-key codes in the wParam of key messages. Letters and digits are
// their upper-case ASCII codes ('A'..'Z', '0'..'9').
constexpr WPARAM VK_LBUTTON = 0x01;
constexpr WPARAM VK_RBUTTON = 0x02;
constexpr WPARAM VK_MBUTTON = 0x04;
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_CLEAR = 0x0C;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_PAUSE = 0x13;
constexpr WPARAM VK_CAPITAL = 0x14;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_PRIOR = 0x21;
constexpr WPARAM VK_NEXT = 0x22;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_SNAPSHOT = 0x2C;
constexpr WPARAM VK_INSERT = 0x2D;
constexpr WPARAM VK_DELETE = 0x2E;
constexpr WPARAM VK_LWIN = 0x5B;
constexpr WPARAM VK_RWIN = 0x5C;
constexpr WPARAM VK_APPS = 0x5D;
constexpr WPARAM VK_NUMPAD0 = 0x60; // to VK_NUMPAD9 = 0x69
constexpr WPARAM VK_MULTIPLY = 0x6A;
constexpr WPARAM VK_ADD = 0x6B;
constexpr WPARAM VK_SEPARATOR = 0x6C;
constexpr WPARAM VK_SUBTRACT = 0x6D;
constexpr WPARAM VK_DECIMAL = 0x6E;
constexpr WPARAM VK_DIVIDE = 0x6F;
constexpr WPARAM VK_F1 = 0x70; // to VK_F24 = 0x87
constexpr WPARAM VK_NUMLOCK = 0x90;
constexpr WPARAM VK_SCROLL = 0x91;
constexpr WPARAM VK_LSHIFT = 0xA0;
constexpr WPARAM VK_RSHIFT = 0xA1;
constexpr WPARAM VK_LCONTROL = 0xA2;
constexpr WPARAM VK_RCONTROL = 0xA3;
constexpr WPARAM VK_LMENU = 0xA4;
constexpr WPARAM VK_RMENU = 0xA5;
constexpr WPARAM VK_OEM_1 = 0xBA; // ';:' on a US keyboard
constexpr WPARAM VK_OEM_PLUS = 0xBB;
constexpr WPARAM VK_OEM_COMMA = 0xBC;
constexpr WPARAM VK_OEM_MINUS = 0xBD;
constexpr WPARAM VK_OEM_PERIOD = 0xBE;
constexpr WPARAM VK_OEM_2 = 0xBF; // '/?'
constexpr WPARAM VK_OEM_3 = 0xC0; // '`~'
constexpr WPARAM VK_OEM_4 = 0xDB; // '[{'
constexpr WPARAM VK_OEM_5 = 0xDC; // '\|'
constexpr WPARAM VK_OEM_6 = 0xDD; // ']}'
constexpr WPARAM VK_OEM_7 = 0xDE; // quote
