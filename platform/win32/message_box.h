#pragma once
// Modal message boxes: the text, a caption and an OK button. Shown with
// SDL's message box; where there is no display (no video, or SDL's
// offscreen or dummy video driver, as in tests and CI) the caption and
// text go to standard error as one line each, so nothing waits for a
// click that cannot come. A hook may take the boxes instead (tests that
// check what the game reports).
#include "platform/win32/window_types.h"

constexpr UINT MB_OK = 0x00;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;

// Shows the box and returns IDOK when it is closed. The owner window is not
// used; text and caption may be null (empty).
int MessageBoxA(HWND _owner, const char* _text, const char* _caption, UINT _type);

using message_box_hook_t = void (*)(const char* _text, const char* _caption, UINT _type, void* _context);
// Installs a hook that receives every box instead of the screen (null
// removes it).
void SetMessageBoxHook(message_box_hook_t _hook, void* _context);
