#include "input/input_device.h"

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "platform/win32/crt_text.h"
#include "platform/win32/find_files.h"

namespace {

const char* const source_name = "advanced_controllers_device";

void Check(HRESULT _hr, int _line)
{
    if (_hr == DI_OK)
        return;
    string_c text;
    text.Format("Description:\n%s\n\nFile <%s>\nLine %d", DirectInputErrorText(_hr), source_name, _line);
    throw std::runtime_error(text.GetData());
}

bool IsButton(DWORD _type)
{
    return (_type & DIDFT_BUTTON) != 0;
}

bool IsAxis(DWORD _type)
{
    return (_type & DIDFT_AXIS) != 0;
}

u32 RoundUp4(u32 _value)
{
    return (_value + 3) & ~3u;
}

} // namespace

input_device_c::input_device_c(const GUID& _instance_guid, const char* _name_text)
    : _instance(_instance_guid), _name(_name_text)
{}

input_device_c::~input_device_c()
{
    ReleaseAll();
}

void input_device_c::ReleaseAll()
{
    for (effect_group_c& group : _groups)
        for (IDirectInputEffect* effect : group.effects)
            effect->Release();
    _groups.clear();
    if (_device != nullptr) {
        _device->Unacquire();
        _device->Release();
        _device = nullptr;
    }
}

void input_device_c::Setup(IDirectInput8A* _input, HWND _window)
{
    _ready = 0;
    ReleaseAll();
    Check(_input->CreateDevice(_instance, &_device, nullptr), __LINE__);

    _filling = false;
    _format.clear();
    _names.clear();
    _numbers.clear();
    _stateSize = 0;
    _objectCount = 0;
    Check(_device->EnumObjects(ObjectCallback, this, DIDFT_ALL), __LINE__);
    _format.reserve(_objectCount);
    _filling = true;
    _stateSize = 0;
    _objectCount = 0;
    Check(_device->EnumObjects(ObjectCallback, this, DIDFT_ALL), __LINE__);
    _stateSize = RoundUp4(_stateSize);

    DIDEVICEINSTANCEA info;
    Check(_device->GetDeviceInfo(&info), __LINE__);
    const DWORD type = info.dwDevType & 0xFF;
    if (type != DI8DEVTYPE_KEYBOARD && type != DI8DEVTYPE_MOUSE)
        Check(_device->SetCooperativeLevel(_window, DISCL_EXCLUSIVE | DISCL_BACKGROUND), __LINE__);

    DIDATAFORMAT format;
    format.dwFlags = type == DI8DEVTYPE_MOUSE ? DIDF_RELAXIS : DIDF_ABSAXIS;
    format.dwDataSize = _stateSize;
    format.dwNumObjs = static_cast<DWORD>(_format.size());
    format.rgodf = _format.empty() ? nullptr : _format.data();
    Check(_device->SetDataFormat(&format), __LINE__);
    Check(_device->Acquire(), __LINE__);

    _current.assign(_stateSize, 0);
    _previous.assign(_stateSize, 0);
    _ready = 1;
    LoadEffects();
}

BOOL input_device_c::ObjectCallback(const DIDEVICEOBJECTINSTANCEA* _object, void* _context)
{
    input_device_c& self = *static_cast<input_device_c*>(_context);
    const DWORD type = _object->dwType;
    if ((type & 0x0F) == 0)
        return DIENUM_CONTINUE;
    if (IsAxis(type))
        self._stateSize = RoundUp4(self._stateSize);
    if (self._filling) {
        DIOBJECTDATAFORMAT entry;
        entry.pguid = nullptr;
        entry.dwOfs = self._stateSize;
        entry.dwType = type;
        entry.dwFlags = _object->dwFlags;
        self._format.push_back(entry);
        char name[MAX_PATH];
        std::memcpy(name, _object->tszName, MAX_PATH);
        name[MAX_PATH - 1] = '\0';
        self._names.emplace_back(name);
        self._numbers.push_back(_object->dwOfs);
    }
    self._stateSize += IsAxis(type) ? 4 : 1;
    ++self._objectCount;
    return DIENUM_CONTINUE;
}

bool input_device_c::Poll()
{
    if (!_ready)
        return false;
    HRESULT hr = _device->Poll();
    if (hr != DI_OK && hr != DI_NOEFFECT) {
        _device->Unacquire();
        // A device left unacquired by an earlier failure would otherwise
        // never read again.
        if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED) {
            u32 attempts = 0;
            do {
                hr = _device->Acquire();
                ++attempts;
                if (hr == DIERR_INPUTLOST)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            } while (hr == DIERR_INPUTLOST && attempts < max_reacquire_attempts);
            if (hr == DIERR_INPUTLOST) {
                _ready = 0;
                return false;
            }
            _device->Poll();
        }
        if (hr != DI_OK && hr != DI_NOEFFECT)
            return false;
    }
    return _device->GetDeviceState(_stateSize, _current.data()) == DI_OK;
}

i32 input_device_c::FindObject(u32 _number) const
{
    for (u32 i = 0; i < _numbers.size(); ++i)
        if (_numbers[i] == _number)
            return static_cast<i32>(i);
    return -1;
}

bool input_device_c::GetRange(u32 _offset, LONG* _min, LONG* _max) const
{
    if (!_ready)
        return false;
    DIPROPRANGE range;
    range.diph.dwObj = _offset;
    range.diph.dwHow = DIPH_BYOFFSET;
    if (_device->GetProperty(DIPROP_RANGE, &range.diph) != DI_OK)
        return false;
    *_min = range.lMin;
    *_max = range.lMax;
    return true;
}

f64 input_device_c::Read(u32 _number, i32* _kind) const
{
    *_kind = kind_none;
    const i32 index = _ready ? FindObject(_number) : -1;
    if (index < 0)
        return 0.0;
    const DIOBJECTDATAFORMAT& entry = _format[static_cast<u32>(index)];
    if (IsButton(entry.dwType)) {
        *_kind = kind_button;
        return (_current[entry.dwOfs] & 0x80) ? 1.0 : 0.0;
    }
    LONG raw;
    std::memcpy(&raw, _current.data() + entry.dwOfs, 4);
    if (IsSystemMouse()) {
        *_kind = kind_mouse_axis;
        return raw;
    }
    *_kind = kind_absolute_axis;
    LONG min = 0, max = 0;
    if (!GetRange(entry.dwOfs, &min, &max) || max == min)
        return 0.0;
    return 2.0 * (static_cast<f64>(raw) - min) / (static_cast<f64>(max) - min) - 1.0;
}

void input_device_c::LoadEffects()
{
    if (!_ready || IsSystemKeyboard() || IsSystemMouse())
        return;
    _effectsStarted = 0;
    _finddata_t found;
    const std::intptr_t search = _findfirst("FFEffects\\*.ffe", &found);
    if (search == -1)
        return;
    do {
        string_c path("FFEffects\\");
        path += found.name;
        string_c base(found.name);
        const char* dot = std::strrchr(found.name, '.');
        if (dot != nullptr)
            base.Truncate(static_cast<int>(dot - found.name));
        _groups.push_back(effect_group_c{base, {}});
        _device->EnumEffectsInFile(path.GetData(), EffectCallback, this, 0);
    } while (_findnext(search, &found) == 0);
    _findclose(search);
}

BOOL input_device_c::EffectCallback(const DIFILEEFFECT* _effect, void* _context)
{
    input_device_c& self = *static_cast<input_device_c*>(_context);
    IDirectInputEffect* effect = nullptr;
    if (self._device->CreateEffect(_effect->GuidEffect, _effect->lpDiEffect, &effect, nullptr) != DI_OK ||
        effect == nullptr)
        return DIENUM_CONTINUE;
    self._groups.back().effects.push_back(effect);
    if (!self._effectsStarted) {
        // Downloads the effect to the device once, so the first start in
        // play has no delay.
        effect->Start(1, DIES_SOLO);
        effect->Stop();
        self._effectsStarted = 1;
    }
    return DIENUM_CONTINUE;
}

void input_device_c::StartEffect(const char* _name)
{
    if (!_ready || _name == nullptr)
        return;
    for (effect_group_c& group : _groups) {
        if (_stricmp(group.name.GetData(), _name) != 0)
            continue;
        for (std::size_t i = 0; i < group.effects.size(); ++i)
            group.effects[i]->Start(1, i == 0 ? DIES_SOLO : 0);
    }
}

void input_device_c::StopEffect(const char* _name)
{
    if (!_ready || _name == nullptr)
        return;
    for (effect_group_c& group : _groups)
        if (_stricmp(group.name.GetData(), _name) == 0)
            for (IDirectInputEffect* effect : group.effects)
                effect->Stop();
}
