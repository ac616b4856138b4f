#include "input/controllers.h"

#include <cmath>
#include <cstring>

controllers_c::controllers_c(HWND _window) : _devices(std::make_unique<input_devices_c>())
{
    _devices->CreateDevices(_window);
}

controllers_c::~controllers_c()
{
    _devices.reset();
    _actions.clear();
}

void controllers_c::Update(f32 _dt)
{
    _devices->PollAll();
    const std::size_t count = _actions.size();
    for (std::size_t i = 0; i < count; ++i) {
        action_c& action = _actions[i];
        const bool secondHalf = i > 0 && _actions[i - 1].paired;
        const bool firstHalf = action.paired && i + 1 < count;
        if (action.device == nullptr || !action.device->IsReady())
            continue;
        i32 kind = input_device_c::kind_none;
        f64 r = action.device->Read(action.object_number, &kind);
        f32 value = action.value;
        switch (kind) {
        case input_device_c::kind_absolute_axis: value = static_cast<f32>(-r); break;
        case input_device_c::kind_mouse_axis:
            if (secondHalf)
                r = -r;
            value = static_cast<f32>(value + r / _mouseDivisor);
            break;
        default: {
            // A button, or an object the device no longer lists, which
            // reads 0 and so only falls back.
            if (kind == input_device_c::kind_button) {
                if (firstHalf || secondHalf)
                    r = -r;
                if (action.ramp_time == 0.0f)
                    value = (firstHalf || secondHalf) ? static_cast<f32>(value + r) : static_cast<f32>(r);
                else
                    value = static_cast<f32>(value + _dt * r / action.ramp_time);
            }
            if (action.fall_back_time != 0.0f && r == 0.0) {
                const f32 step = _dt / action.fall_back_time;
                if (value > 0)
                    value = std::fmax(value - step, 0.0f);
                else if (value < 0)
                    value = std::fmin(value + step, 0.0f);
            }
            break;
        }
        }
        action.value = std::fmin(std::fmax(value, -1.0f), 1.0f);
        if (r != 0.0) {
            if (firstHalf)
                _actions[i + 1].value = -action.value;
            else if (secondHalf)
                _actions[i - 1].value = -action.value;
        }
    }
}

void controllers_c::ResetActionValues()
{
    for (action_c& action : _actions)
        action.value = 0.0f;
}

action_c* controllers_c::ActionWithDevice(u32 _index)
{
    if (_index >= _actions.size() || _actions[_index].device == nullptr || !_actions[_index].device->IsReady())
        return nullptr;
    return &_actions[_index];
}

void controllers_c::StartEffect(u32 _actionIndex, const char* _name)
{
    if (action_c* action = ActionWithDevice(_actionIndex))
        action->device->StartEffect(_name);
}

void controllers_c::StopEffect(u32 _actionIndex, const char* _name)
{
    if (action_c* action = ActionWithDevice(_actionIndex))
        action->device->StopEffect(_name);
}
