#include "platform/dinput8/script_input.h"

#include <cstring>
#include <stdexcept>

namespace {

class script_effect_object_c : public IDirectInputEffect {
public:
    script_effect_object_c(std::shared_ptr<script_device_c> _device, u32 _index)
        : device(std::move(_device)), index(_index)
    {}

    HRESULT Start(DWORD _iterations, DWORD _flags) override
    {
        ++device->effects[index].starts;
        device->log.push_back("Start " + std::to_string(index) + " " + std::to_string(_iterations) + " " +
                              std::to_string(_flags));
        return DI_OK;
    }
    HRESULT Stop() override
    {
        ++device->effects[index].stops;
        device->log.push_back("Stop " + std::to_string(index));
        return DI_OK;
    }

private:
    std::shared_ptr<script_device_c> device;
    u32 index;
};

class script_device_object_c : public object_device_c {
public:
    explicit script_device_object_c(std::shared_ptr<script_device_c> _device) : device(std::move(_device)) {}

    HRESULT GetDeviceInfo(DIDEVICEINSTANCEA* _info) override
    {
        if (_info == nullptr || _info->dwSize != sizeof(DIDEVICEINSTANCEA))
            return DIERR_INVALIDPARAM;
        const HRESULT hr = device->Take("GetDeviceInfo");
        if (hr != DI_OK)
            return hr;
        Describe(*device, *_info);
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND, DWORD _flags) override
    {
        device->log.push_back("SetCooperativeLevel " + std::to_string(_flags));
        return device->Take("SetCooperativeLevel");
    }

    HRESULT SetDataFormat(const DIDATAFORMAT* _format_in) override
    {
        const HRESULT hr = object_device_c::SetDataFormat(_format_in);
        if (hr == DI_OK)
            device->log.push_back("SetDataFormat " + std::to_string(_format.dwFlags) + " " +
                                  std::to_string(_format.dwDataSize) + " " + std::to_string(_format.dwNumObjs));
        return hr;
    }

    HRESULT Acquire() override
    {
        ++device->acquires;
        const HRESULT hr = device->Take("Acquire");
        if (hr == DI_OK)
            device->acquired = true;
        return hr;
    }

    HRESULT Unacquire() override
    {
        device->acquired = false;
        device->log.push_back("Unacquire");
        return DI_OK;
    }

    HRESULT Poll() override
    {
        ++device->polls;
        if (!device->acquired)
            return DIERR_NOTACQUIRED;
        return device->TakePoll();
    }

    HRESULT CreateEffect(const GUID& _type, const DIEFFECT* _effect, IDirectInputEffect** _out, void*) override
    {
        if (_out == nullptr || _effect == nullptr)
            return DIERR_INVALIDPARAM;
        *_out = nullptr;
        if (!device->forceFeedback)
            return DIERR_UNSUPPORTED;
        const HRESULT hr = device->Take("CreateEffect");
        if (hr != DI_OK)
            return hr;
        device->effects.push_back(script_effect_c{_type, _effect->dwDuration, 0, 0});
        *_out = new script_effect_object_c(device, static_cast<u32>(device->effects.size() - 1));
        return DI_OK;
    }

    static void Describe(const script_device_c& _device, DIDEVICEINSTANCEA& _info)
    {
        _info.guidInstance = _device.guid;
        _info.guidProduct = _device.guid;
        _info.dwDevType = _device.devType;
        std::strncpy(_info.tszInstanceName, _device.name.c_str(), MAX_PATH - 1);
        std::strncpy(_info.tszProductName, _device.name.c_str(), MAX_PATH - 1);
    }

protected:
    const std::vector<device_object_c>& Objects() const override { return device->objects; }

    LONG Value(const device_object_c& _object, bool _relative) override
    {
        LONG& value = device->values[_object.ofs];
        const LONG now = value;
        if (_relative)
            value = 0;
        return now;
    }

    bool IsAcquired() const override { return device->acquired; }
    HRESULT Before(const char* _call) override { return device->Take(_call); }

private:
    std::shared_ptr<script_device_c> device;
};

class script_holder_c : public IDirectInput8A {
public:
    explicit script_holder_c(script_input_c& _input) : input(_input) {}

    HRESULT EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA _callback, void* _ref, DWORD) override
    {
        if (_callback == nullptr)
            return DIERR_INVALIDPARAM;
        for (const std::shared_ptr<script_device_c>& device : input.devices) {
            DIDEVICEINSTANCEA info;
            script_device_object_c::Describe(*device, info);
            if (_callback(&info, _ref) == DIENUM_STOP)
                break;
        }
        return DI_OK;
    }

    HRESULT CreateDevice(const GUID& _instance, IDirectInputDevice8A** _out, void*) override
    {
        if (_out == nullptr)
            return DIERR_INVALIDPARAM;
        *_out = nullptr;
        for (const std::shared_ptr<script_device_c>& device : input.devices) {
            if (!(device->guid == _instance))
                continue;
            const HRESULT hr = device->Take("CreateDevice");
            if (hr != DI_OK)
                return hr;
            *_out = new script_device_object_c(device);
            return DI_OK;
        }
        return DIERR_DEVICENOTREG;
    }

private:
    script_input_c& input;
};

} // namespace

script_device_c::script_device_c(DWORD _devType, const GUID& _guid, const std::string& _name)
    : devType(_devType), guid(_guid), name(_name)
{}

script_device_c& script_device_c::AddButton(DWORD _ofs, const std::string& _name)
{
    objects.push_back({_ofs, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(instances[0]++), 0, _name, 0, 0});
    return *this;
}

script_device_c& script_device_c::AddAxis(DWORD _ofs, const std::string& _name, LONG _min, LONG _max)
{
    objects.push_back({_ofs, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(instances[1]++), 0, _name, _min, _max});
    return *this;
}

script_device_c& script_device_c::AddRelativeAxis(DWORD _ofs, const std::string& _name)
{
    objects.push_back({_ofs, DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(instances[2]++), 0, _name, 0, 0});
    return *this;
}

script_device_c& script_device_c::AddOther(DWORD _ofs, DWORD _type, const std::string& _name)
{
    objects.push_back({_ofs, _type | DIDFT_MAKEINSTANCE(instances[3]++), 0, _name, 0, 0});
    return *this;
}

void script_device_c::SetButton(DWORD _ofs, bool _down)
{
    values[_ofs] = _down ? 1 : 0;
}

void script_device_c::SetAxis(DWORD _ofs, LONG _value)
{
    values[_ofs] = _value;
}

void script_device_c::Move(DWORD _ofs, LONG _delta)
{
    values[_ofs] += _delta;
}

void script_device_c::Fail(const std::string& _call, HRESULT _result, u32 _times)
{
    failures[_call].insert(failures[_call].end(), _times, _result);
}

void script_device_c::QueuePoll(HRESULT _result, u32 _times)
{
    pollResults.insert(pollResults.end(), _times, _result);
}

HRESULT script_device_c::Take(const std::string& _call)
{
    std::deque<HRESULT>& queue = failures[_call];
    if (queue.empty())
        return DI_OK;
    const HRESULT hr = queue.front();
    queue.pop_front();
    return hr;
}

HRESULT script_device_c::TakePoll()
{
    if (pollResults.empty())
        return DI_OK;
    const HRESULT hr = pollResults.front();
    pollResults.pop_front();
    return hr;
}

script_device_c& script_input_c::AddDevice(DWORD _devType, const GUID& _guid, const std::string& _name)
{
    devices.push_back(std::make_shared<script_device_c>(_devType, _guid, _name));
    return *devices.back();
}

script_device_c& script_input_c::Device(const GUID& _guid)
{
    for (const std::shared_ptr<script_device_c>& device : devices)
        if (device->guid == _guid)
            return *device;
    throw std::out_of_range("script_input_c::Device");
}

HRESULT script_input_c::CreateInput(IDirectInput8A** _out)
{
    if (_out == nullptr)
        return DIERR_INVALIDPARAM;
    *_out = nullptr;
    const HRESULT hr = holder.Take("CreateInput");
    if (hr != DI_OK)
        return hr;
    *_out = new script_holder_c(*this);
    return DI_OK;
}
