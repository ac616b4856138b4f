#pragma once
// Windows, window classes, cursors and screen metrics in the shape the game's
// shell, states and movie player call them, over SDL2.
//
// A top-level window (no parent) is an SDL window made for OpenGL, so the
// renderer draws into it; a pop-up over the whole screen is a borderless
// window at the desktop size. A child window has no SDL window of its own: it
// covers part of its top-level window, receives the keys while it has the
// focus and the mouse buttons over its rectangle.
//
// Windows belong to the thread that created them: their messages are queued
// there (messages.h). SDL's video subsystem starts with the first window or
// screen query. Without a display (no video driver can start) creating a
// window fails and returns null, as a failed creation does.
//
// What has no meaning here: icons, brushes and menus are accepted and unused;
// extended styles other than WS_EX_TOPMOST are ignored, and WS_EX_TOPMOST
// keeps the window above others where the desktop allows it.
#include "platform/win32/window_types.h"

struct SDL_Window;
struct icon_s;
using HICON = icon_s*;
struct cursor_s;
using HCURSOR = cursor_s*;
struct brush_s;
using HBRUSH = brush_s*;
struct menu_s;
using HMENU = menu_s*;
using ATOM = u16;

struct WNDCLASSEXA {
    UINT cbSize = sizeof(WNDCLASSEXA);
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    i32 cbClsExtra = 0;
    i32 cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr; // shown by DefWindowProc on WM_SETCURSOR
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
    HICON hIconSm = nullptr;
};

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// ShowWindow commands.
constexpr i32 SW_HIDE = 0;
constexpr i32 SW_SHOWNORMAL = 1;
constexpr i32 SW_SHOW = 5;

// GetSystemMetrics indices.
constexpr i32 SM_CXSCREEN = 0;
constexpr i32 SM_CYSCREEN = 1;

// Stock cursors and icons, by number as LoadCursor and LoadIcon take them.
inline const char* const IDC_ARROW = reinterpret_cast<const char*>(32512);
inline const char* const IDC_HAND = reinterpret_cast<const char*>(32649);
inline const char* const IDI_APPLICATION = reinterpret_cast<const char*>(32512);

// Registers a class by name (compared without regard to ASCII case); 0 when
// the name is taken or the description is incomplete.
ATOM RegisterClassEx(const WNDCLASSEXA* description);
BOOL UnregisterClass(const char* className, HINSTANCE instance);

// Sends WM_CREATE before it returns; a procedure that answers -1 makes the
// creation fail (the window is destroyed, null returned). Null too when the
// class is unknown, a child has no parent, or SDL cannot make the window.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, i32 x, i32 y, i32 width,
                    i32 height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter);
// Sends WM_DESTROY to the window, after destroying its children, then frees
// it; messages still queued for it are dropped. FALSE for a window that is
// not (or no longer) one.
BOOL DestroyWindow(HWND window);
// True while the handle names a live window.
BOOL IsWindow(HWND window);

BOOL ShowWindow(HWND window, i32 command);
BOOL UpdateWindow(HWND window);
BOOL SetForegroundWindow(HWND window);
// Keys go to the focused window; returns the window that had the focus.
HWND SetFocus(HWND window);
HWND GetFocus();
// Moves and resizes; a top-level window's SDL window follows. Sends WM_SIZE
// when the size changed.
BOOL MoveWindow(HWND window, i32 x, i32 y, i32 width, i32 height, BOOL repaint);
// (0, 0, width, height) of the window.
BOOL GetClientRect(HWND window, RECT* rect);
HWND GetParent(HWND window);

// The size of the display mode shown: the desktop's, or the one the
// display backend switched to (display.h); 0 without a display.
i32 GetSystemMetrics(i32 index);

// Stock cursors only; null for another name.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
// A stock icon handle; icons are not shown.
HICON LoadIcon(HINSTANCE instance, const char* name);
// Null hides the pointer over the program's windows. Returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);

// The SDL window that shows the window: its own, or its top-level window's
// for a child. The renderer makes its OpenGL context on it.
SDL_Window* GetSdlWindow(HWND window);
