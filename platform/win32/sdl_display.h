#pragma once
// The display backend on SDL2: full-screen display modes for the program's
// pop-up window. The window layer installs it when it starts SDL's video,
// unless a backend (a test's) is installed already.
//
// A mode is taken from the modes SDL lists for the first display and its
// desktop mode (which some drivers do not list): the same
// width and height, the same colour depth (32 bits also matches SDL's
// formats of four bytes per pixel that it counts as 24, as X8R8G8B8 is) and,
// when a refresh rate is asked, that rate. The switch makes the most
// recently created top-level pop-up window full screen in that mode, and
// every top-level window then gets WM_DISPLAYCHANGE (depth in wParam, width
// and height in lParam), as the system announces a change. Restoring leaves
// full screen and announces the desktop mode the same way. Without a pop-up
// window only the desktop's own mode is accepted, as there is nothing to
// switch.
#include <memory>

#include "platform/win32/display.h"

std::shared_ptr<display_backend_c> MakeSdlDisplayBackend();
