#include "input/controllers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

void controllers_c::BeginCapture(u32 _actionIndex)
{
    _devices->PollAll();
    _captureAction = _actionIndex;
    for (u32 d = 0; d < _devices->GetDeviceCount(); ++d) {
        input_device_c& device = *_devices->GetDevice(d);
        if (!device.IsReady() || device.GetStateSize() == 0)
            continue;
        if (device.IsSystemMouse())
            std::memset(device.GetPreviousState(), 0, device.GetStateSize());
        else
            std::memcpy(device.GetPreviousState(), device.GetCurrentState(), device.GetStateSize());
    }
}

bool controllers_c::CaptureChanged(input_device_c& _device, u32 _index)
{
    const DIOBJECTDATAFORMAT& entry = _device.GetObjectFormat(_index);
    u8* current = _device.GetCurrentState() + entry.dwOfs;
    u8* previous = _device.GetPreviousState() + entry.dwOfs;
    if (entry.dwType & DIDFT_BUTTON) {
        if (*current & 0x80) {
            *previous = 0x80;
            return false;
        }
        return (*previous & 0x80) != 0;
    }
    if (!(entry.dwType & DIDFT_AXIS))
        return false;
    LONG now, before;
    std::memcpy(&now, current, 4);
    std::memcpy(&before, previous, 4);
    if (_device.IsSystemMouse())
        return std::llabs(static_cast<long long>(now) - before) > 10;
    LONG min = 0, max = 0;
    if (!_device.GetRange(entry.dwOfs, &min, &max) || max == min)
        return false;
    const f64 span = static_cast<f64>(max) - min;
    const f64 n1 = 2.0 * (static_cast<f64>(now) - min) / span - 1.0;
    const f64 n0 = 2.0 * (static_cast<f64>(before) - min) / span - 1.0;
    return std::fabs(n1 - n0) > static_cast<f64>(0.15f);
}

bool controllers_c::CaptureInput()
{
    _devices->PollAll();
    for (u32 d = 0; d < _devices->GetDeviceCount(); ++d) {
        input_device_c& device = *_devices->GetDevice(d);
        if (!device.IsReady())
            continue;
        for (u32 k = 0; k < device.GetObjectCount(); ++k) {
            if (!CaptureChanged(device, k))
                continue;
            if (_captureAction < _actions.size()) {
                action_c& action = _actions[_captureAction];
                action.device = &device;
                action.device_guid = device.GetInstance();
                action.object_number = device.GetObjectNumber(k);
                action.object_name = device.GetObjectName(k);
            }
            return true;
        }
    }
    return false;
}
