#pragma once
// Keyboard key numbers: SDL scancodes (the key's place on the keyboard)
// to DirectInput key codes, the PC scan-code numbers that stored bindings
// and the default binding file use as the keyboard's object numbers
// (Escape 0x01, A 0x1E, Space 0x39, Up 0xC8, ...). The mapping is fixed so
// that a binding keeps its meaning between runs and machines.
#include <SDL2/SDL_scancode.h>

#include <vector>

#include "foundation/types.h"

// The key code of a scancode; 0 for scancodes without one.
u8 DikFromScancode(SDL_Scancode _scancode);

struct keyboard_key_c {
    u8 dik;
    SDL_Scancode scancode; // the first scancode of that key code
};

// Every key code the keyboard has, ascending, once each.
const std::vector<keyboard_key_c>& KeyboardKeys();
