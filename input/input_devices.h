#pragma once
// The holder of the program's one input interface and of one input_device_c
// per attached keyboard, mouse, joystick, gamepad or wheel, in enumeration
// order. Flight sticks (device type 0x17) and other types are passed over.
// Devices are enumerated once; a device attached later is not seen.
//
// When the interface cannot be made the holder stays unready and has no
// devices. A device whose set-up fails stays in the list, unready.
#include <memory>
#include <vector>

#include "input/input_device.h"
#include "platform/dinput8/dinput8.h"

class input_devices_c {
public:
    input_devices_c();
    ~input_devices_c();
    input_devices_c(const input_devices_c&) = delete;
    input_devices_c& operator=(const input_devices_c&) = delete;

    // Enumerates the attached devices and sets each one up with the window.
    void CreateDevices(HWND _window);
    // The first device of an instance GUID (ready or not), or null.
    input_device_c* FindDevice(const GUID& _instance) const;
    // Polls every device; results are not looked at.
    void PollAll();

    bool IsReady() const { return _ready != 0; }
    u32 GetDeviceCount() const { return static_cast<u32>(_devices.size()); }
    input_device_c* GetDevice(u32 _index) const { return _devices[_index].get(); }

private:
    static BOOL DeviceCallback(const DIDEVICEINSTANCEA* _instance, void* _context);

    IDirectInput8A* _input = nullptr;
    u8 _ready = 0;
    std::vector<std::unique_ptr<input_device_c>> _devices;
};
