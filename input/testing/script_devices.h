#pragma once
// Script devices shaped like the system keyboard and mouse and a joystick,
// for the input tests: the same objects every time, so tests can name them
// by their native offsets.
#include "platform/dinput8/script_input.h"

// Keys at their scan-code offsets: Escape 0x01, A 0x1E, S 0x1F, D 0x20.
constexpr DWORD key_escape = 0x01, key_a = 0x1E, key_s = 0x1F, key_d = 0x20;
// Mouse: X, Y and wheel axes at 0, 4, 8; buttons at 12, 13, 14.
constexpr DWORD mouse_x = 0, mouse_y = 4, mouse_wheel = 8, mouse_left = 12, mouse_right = 13;
// Joystick: a POV hat (left out of formats), X and Y axes over 0..1000,
// and two buttons, enumerated button, axis, button, axis, hat.
constexpr DWORD stick_trigger = 48, stick_x = 0, stick_thumb = 49, stick_y = 4, stick_hat = 32;

constexpr GUID stick_guid = MakeGuid(0x51C4A001, 0x1, 0x2, 1, 2, 3, 4, 5, 6, 7, 8);
constexpr GUID other_stick_guid = MakeGuid(0x51C4A002, 0x1, 0x2, 1, 2, 3, 4, 5, 6, 7, 8);

inline script_device_c& AddKeyboard(script_input_c& _input)
{
    script_device_c& keyboard = _input.AddDevice(DI8DEVTYPE_KEYBOARD, GUID_SysKeyboard, "Keyboard");
    keyboard.AddButton(key_escape, "Esc").AddButton(key_a, "A").AddButton(key_s, "S").AddButton(key_d, "D");
    return keyboard;
}

inline script_device_c& AddMouse(script_input_c& _input)
{
    script_device_c& mouse = _input.AddDevice(DI8DEVTYPE_MOUSE, GUID_SysMouse, "Mouse");
    mouse.AddRelativeAxis(mouse_x, "X-axis").AddRelativeAxis(mouse_y, "Y-axis").AddRelativeAxis(mouse_wheel, "Wheel");
    mouse.AddButton(mouse_left, "Button 0").AddButton(mouse_right, "Button 1");
    return mouse;
}

inline script_device_c& AddStick(script_input_c& _input, const GUID& _guid = stick_guid)
{
    script_device_c& stick = _input.AddDevice(DI8DEVTYPE_JOYSTICK, _guid, "Stick");
    stick.AddButton(stick_trigger, "Trigger").AddAxis(stick_x, "X Axis", 0, 1000);
    stick.AddButton(stick_thumb, "Thumb").AddAxis(stick_y, "Y Axis", 0, 1000);
    stick.AddOther(stick_hat, DIDFT_POV, "Hat");
    stick.SetAxis(stick_x, 500);
    stick.SetAxis(stick_y, 500);
    return stick;
}
