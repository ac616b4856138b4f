#pragma once
// Force-feedback effects on SDL's haptic devices.
//
// Effect records translate as: constant force, ramp, the periodic shapes
// (sine, triangle, both saw-tooths; square, which SDL lacks, plays as a
// sine) and the conditions (spring, damper, inertia, friction, one
// condition per axis for up to three axes). Durations and delays go from
// microseconds to milliseconds (INFINITE_DURATION stays infinite), levels
// from 0..10000 to SDL's 16-bit ranges scaled by the effect's gain, and
// directions keep their coordinate system (cartesian, polar or
// spherical). Other effect types are refused.
#include <SDL2/SDL_haptic.h>

#include <memory>

#include "platform/dinput8/dinput8.h"

// False when the type or the record cannot be played.
bool TranslateEffect(const GUID& _type, const DIEFFECT& _effect, SDL_HapticEffect& _out);

// An open haptic device shared by the device object and its effects.
class sdl_haptic_c {
public:
    explicit sdl_haptic_c(SDL_Haptic* _haptic) : haptic(_haptic) {}
    ~sdl_haptic_c();
    sdl_haptic_c(const sdl_haptic_c&) = delete;
    sdl_haptic_c& operator=(const sdl_haptic_c&) = delete;

    SDL_Haptic* haptic;
};

// Creates an effect on the device: DIERR_UNSUPPORTED when the device cannot
// play that kind, DIERR_GENERIC when SDL refuses it.
HRESULT CreateHapticEffect(const std::shared_ptr<sdl_haptic_c>& _haptic, const GUID& _type, const DIEFFECT& _effect,
                           IDirectInputEffect** _out);
