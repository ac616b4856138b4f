#pragma once
// SDL's events as the messages of the program's windows. The message layer
// is the only reader of SDL's event queue: each time the thread that made
// the windows looks at its queue, the events waiting at SDL become messages
// here, and key and mouse events are also handed to the input layer's
// observer, so that both see the same input.
//
// Keys become WM_KEYDOWN and WM_KEYUP, or WM_SYSKEYDOWN and WM_SYSKEYUP while
// Alt is held and for F10, with the virtual-key code in wParam and in lParam
// a repeat count of 1, bit 29 with Alt held, bit 30 for a repeat or a release
// and bit 31 for a release. Typed text becomes WM_CHAR, one message per
// character of the single-byte page (U+0001..U+00FF; other characters are
// not typed). Mouse buttons, motion and wheel go to the window under the
// pointer (a child over its rectangle, else the top-level window) with
// client coordinates and MK_ flags; WM_SETCURSOR is sent before each
// motion. Focus gained and lost become WM_ACTIVATEAPP 1 and 0, a new size
// WM_SIZE, the window's close button WM_CLOSE. A request to quit (the end of
// the desktop session, SIGINT, SIGTERM) becomes WM_CLOSE to every top-level
// window.
#include <functional>
#include <vector>

#include <SDL.h>

#include "platform/win32/window_types.h"

// The virtual-key code of a key; 0 for keys without one.
WPARAM VirtualKeyOfSdl(const SDL_Keysym& key);

// The messages an event becomes, in order; none for events that concern no
// live window of the program.
std::vector<MSG> MessagesOfSdlEvent(const SDL_Event& event);

// Sees every key and mouse event, and the loss of the focus, before it
// becomes a message; empty to stop.
void SetSdlInputObserver(std::function<void(const SDL_Event&)> observer);
// Hands an event to the observer, if any.
void ObserveSdlInput(const SDL_Event& event);
