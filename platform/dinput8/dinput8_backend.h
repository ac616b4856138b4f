#pragma once
// Which backend DirectInput8Create makes the holder from. The installed
// backend serves every later DirectInput8Create; with none installed the
// SDL2 backend (sdl_input.h) serves. Tests install the script backend
// (script_input.h) for their own duration.
#include "platform/dinput8/dinput8.h"

class direct_input_backend_c {
public:
    virtual ~direct_input_backend_c() = default;
    // A new holder with one reference, or an error result.
    virtual HRESULT CreateInput(IDirectInput8A** _out) = 0;
};

// Installs _backend (not owned; null restores the SDL2 backend) and returns
// the one installed before.
direct_input_backend_c* SetDirectInputBackend(direct_input_backend_c* _backend);
