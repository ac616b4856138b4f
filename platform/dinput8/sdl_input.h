#pragma once
// The SDL2 backend: the devices of a play session.
//
// System keyboard (GUID_SysKeyboard): one push button per key, numbered by
// DirectInput key code (sdl_keys.h), its object number and offset alike,
// named by SDL's key name. System mouse (GUID_SysMouse): relative axes
// "X-axis" (offset 0), "Y-axis" (4) and "Wheel" (8, 120 per notch, as
// window messages count it), and buttons "Button 0" to "Button 4" (12 to
// 16: left, right, middle, the two side buttons). Both keep their state
// from the key, mouse and focus events the window layer hands over
// (platform/win32/sdl_events.h), so injected events reach the actions; motion and the
// wheel add up between reads. Focus loss releases every key and button.
//
// Joysticks and game controllers (game controllers as gamepads, wheels as
// driving devices, everything else as joysticks): up to 8 absolute axes at
// offsets 0, 4, ..., 28 ("X Axis", "Y Axis", "Z Axis", "X Rotation",
// "Y Rotation", "Z Rotation", "Slider 0", "Slider 1") over SDL's range
// -32768..32767, hats at 32 + 4n (listed, never read), up to 128 buttons
// at 48 + n ("Button n"). A device's instance GUID is SDL's joystick GUID,
// made unique per session by the device's place among identical ones. A
// device that is unplugged reports DIERR_INPUTLOST from then on.
//
// Force feedback runs through SDL's haptic devices (sdl_haptic.h); devices
// without one refuse effects with DIERR_UNSUPPORTED.
#include <SDL2/SDL_events.h>

#include "platform/dinput8/dinput8_backend.h"

class sdl_input_backend_c : public direct_input_backend_c {
public:
    // The one backend of the process; it listens to the window layer's
    // events from its first use on.
    static sdl_input_backend_c& Get();

    HRESULT CreateInput(IDirectInput8A** _out) override;

    // The keyboard and mouse state kept from the events.
    void HandleEvent(const SDL_Event& _event);
    bool IsKeyDown(u8 _dik) const { return _keys[_dik]; }
    bool IsMouseButtonDown(u32 _button) const { return _button < 5 && _buttons[_button]; }
    // The movement since the last take, then zero.
    LONG TakeMotion(u32 _axis);
    // Forgets every key, button and movement.
    void Clear();

private:
    sdl_input_backend_c();

    bool _keys[256] = {};
    bool _buttons[5] = {};
    LONG _motion[3] = {0, 0, 0};
};
