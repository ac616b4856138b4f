#pragma once
// Message queues in the shape of the system's calls, one per thread.
//
// PostMessage queues a message for the thread that owns the window (or the
// calling thread for a null window); SendMessage calls the window procedure
// at once on the owner's thread: directly when that is the caller, else the
// caller waits while the owner handles it inside its next Peek, Get or
// WaitMessage. Messages are taken in the order they were posted, SDL's
// events (sdl_events.h) joining the queue of the thread that made the
// windows each time it looks at its queue. PostQuitMessage makes the queue
// answer WM_QUIT once everything posted before it has been taken.
//
// The queue of the thread that made SDL windows also wakes from WaitMessage
// on SDL events; a message posted from another thread wakes it as well.
//
// Where the system has no meaning here: COM initialisation (CoInitialize)
// does nothing; WM_PAINT is never generated, as the program draws its frames
// itself; WM_SYSCOMMAND with SC_SCREENSAVE or SC_MONITORPOWER never arrives,
// and SDL is asked to keep the screen saver off while a window is shown.
#include "platform/win32/window_types.h"

// PeekMessage options.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// With window null, messages of every window of the thread and the thread's
// own; first..last, when not both 0, limits the message numbers taken.
BOOL PeekMessage(MSG* message, HWND window, UINT first, UINT last, UINT remove);
// Blocks until a message comes; FALSE for WM_QUIT, -1 for a bad window.
BOOL GetMessage(MSG* message, HWND window, UINT first, UINT last);
// Blocks until the queue holds a message it did not hold at the last look.
BOOL WaitMessage();
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// 0 for a window that is not one.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(i32 exitCode);

// Key messages bring their character messages: WM_CHAR after WM_KEYDOWN,
// WM_SYSCHAR after WM_SYSKEYDOWN, for the keys that type a control
// character (Enter, Backspace, Tab, Escape). Printable characters come from
// SDL's text input, already queued after their key. TRUE when it queued one.
BOOL TranslateMessage(const MSG* message);
// Calls the window procedure; 0 for a message without a window.
LRESULT DispatchMessage(const MSG* message);
// The default handling: WM_CLOSE destroys the window, WM_SETCURSOR shows the
// class cursor, WM_SYSKEYDOWN with F4 closes the window, the rest answers 0.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

using HRESULT = i32;
constexpr HRESULT S_OK = 0;
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
