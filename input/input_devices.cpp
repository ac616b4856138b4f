#include "input/input_devices.h"

#include <cstring>
#include <exception>

input_devices_c::input_devices_c()
{
    void* input = nullptr;
    if (DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &input, nullptr) == DI_OK &&
        input != nullptr) {
        _input = static_cast<IDirectInput8A*>(input);
        _ready = 1;
    }
}

input_devices_c::~input_devices_c()
{
    _devices.clear();
    if (_input != nullptr)
        _input->Release();
}

void input_devices_c::CreateDevices(HWND _window)
{
    if (!_ready)
        return;
    _input->EnumDevices(DI8DEVCLASS_ALL, DeviceCallback, this, DIEDFL_ATTACHEDONLY);
    for (const std::unique_ptr<input_device_c>& device : _devices) {
        try {
            device->Setup(_input, _window);
        } catch (const std::exception&) {
            // The device stays unready and is skipped from now on.
        }
    }
}

BOOL input_devices_c::DeviceCallback(const DIDEVICEINSTANCEA* _instance, void* _context)
{
    input_devices_c& self = *static_cast<input_devices_c*>(_context);
    switch (_instance->dwDevType & 0xFF) {
    case DI8DEVTYPE_MOUSE:
    case DI8DEVTYPE_KEYBOARD:
    case DI8DEVTYPE_JOYSTICK:
    case DI8DEVTYPE_GAMEPAD:
    case DI8DEVTYPE_DRIVING: {
        char name[MAX_PATH];
        std::memcpy(name, _instance->tszInstanceName, MAX_PATH);
        name[MAX_PATH - 1] = '\0';
        self._devices.push_back(std::make_unique<input_device_c>(_instance->guidInstance, name));
        break;
    }
    default: break;
    }
    return DIENUM_CONTINUE;
}

input_device_c* input_devices_c::FindDevice(const GUID& _instance) const
{
    for (const std::unique_ptr<input_device_c>& device : _devices)
        if (device->GetInstance() == _instance)
            return device.get();
    return nullptr;
}

void input_devices_c::PollAll()
{
    for (const std::unique_ptr<input_device_c>& device : _devices)
        device->Poll();
}
