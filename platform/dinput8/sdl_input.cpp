#include "platform/dinput8/sdl_input.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/dinput8/object_device.h"
#include "platform/dinput8/sdl_haptic.h"
#include "platform/dinput8/sdl_keys.h"
#include "platform/win32/sdl_events.h"

namespace {

constexpr u32 max_axes = 8;
constexpr u32 max_buttons = 128;
constexpr u32 max_hats = 4;
constexpr DWORD hat_offset = 32;
constexpr DWORD button_offset = 48;
constexpr u32 mouse_buttons = 5;

// Stick objects, keyboard and mouse objects.
std::vector<device_object_c> KeyboardObjects()
{
    std::vector<device_object_c> objects;
    for (const keyboard_key_c& key : KeyboardKeys()) {
        std::string name = SDL_GetScancodeName(key.scancode);
        if (name.empty()) {
            char text[16];
            std::snprintf(text, sizeof text, "Key 0x%02X", key.dik);
            name = text;
        }
        objects.push_back({key.dik, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(key.dik), 0, name, 0, 0});
    }
    return objects;
}

std::vector<device_object_c> MouseObjects()
{
    std::vector<device_object_c> objects;
    const char* axes[] = {"X-axis", "Y-axis", "Wheel"};
    for (u32 i = 0; i < 3; ++i)
        objects.push_back({4 * i, DIDFT_RELAXIS | DIDFT_MAKEINSTANCE(i), 0, axes[i], 0, 0});
    for (u32 i = 0; i < mouse_buttons; ++i)
        objects.push_back({12 + i, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(i), 0, "Button " + std::to_string(i), 0, 0});
    return objects;
}

std::vector<device_object_c> JoystickObjects(SDL_Joystick* _joystick, bool _forceFeedback)
{
    static const char* const axis_names[max_axes] = {"X Axis",     "Y Axis",     "Z Axis",   "X Rotation",
                                                     "Y Rotation", "Z Rotation", "Slider 0", "Slider 1"};
    std::vector<device_object_c> objects;
    const u32 axes = std::min<u32>(static_cast<u32>(std::max(SDL_JoystickNumAxes(_joystick), 0)), max_axes);
    const u32 hats = std::min<u32>(static_cast<u32>(std::max(SDL_JoystickNumHats(_joystick), 0)), max_hats);
    const u32 buttons = std::min<u32>(static_cast<u32>(std::max(SDL_JoystickNumButtons(_joystick), 0)), max_buttons);
    for (u32 i = 0; i < axes; ++i)
        objects.push_back({4 * i, DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(i), _forceFeedback ? DIDOI_FFACTUATOR : 0u,
                           axis_names[i], -32768, 32767});
    for (u32 i = 0; i < hats; ++i)
        objects.push_back({hat_offset + 4 * i, DIDFT_POV | DIDFT_MAKEINSTANCE(i), 0, "Hat " + std::to_string(i), 0, 0});
    for (u32 i = 0; i < buttons; ++i)
        objects.push_back(
            {button_offset + i, DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(i), 0, "Button " + std::to_string(i), 0, 0});
    return objects;
}

// One attached device as enumeration lists it.
struct listed_device_c {
    DIDEVICEINSTANCEA info;
    int joystick = -1; // SDL device index; -1 for the keyboard and mouse
};

void Describe(listed_device_c& _device, const GUID& _guid, DWORD _type, const char* _name)
{
    _device.info.guidInstance = _guid;
    _device.info.guidProduct = _guid;
    _device.info.dwDevType = _type;
    std::strncpy(_device.info.tszInstanceName, _name, MAX_PATH - 1);
    std::strncpy(_device.info.tszProductName, _name, MAX_PATH - 1);
}

std::vector<listed_device_c> ListDevices()
{
    std::vector<listed_device_c> list(2);
    Describe(list[0], GUID_SysKeyboard, DI8DEVTYPE_KEYBOARD, "Keyboard");
    Describe(list[1], GUID_SysMouse, DI8DEVTYPE_MOUSE, "Mouse");
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i) {
        const SDL_JoystickGUID sdlGuid = SDL_JoystickGetDeviceGUID(i);
        GUID guid;
        std::memcpy(&guid, sdlGuid.data, sizeof guid);
        // Identical devices share SDL's GUID; their place tells them apart.
        u8 same = 0;
        for (const listed_device_c& earlier : list) {
            if (earlier.joystick < 0)
                continue;
            const SDL_JoystickGUID earlierGuid = SDL_JoystickGetDeviceGUID(earlier.joystick);
            if (std::memcmp(earlierGuid.data, sdlGuid.data, sizeof sdlGuid.data) == 0)
                ++same;
        }
        guid.Data4[7] = static_cast<u8>(guid.Data4[7] ^ same);
        DWORD type = DI8DEVTYPE_JOYSTICK;
        if (SDL_IsGameController(i))
            type = DI8DEVTYPE_GAMEPAD;
        else if (SDL_JoystickGetDeviceType(i) == SDL_JOYSTICK_TYPE_WHEEL)
            type = DI8DEVTYPE_DRIVING;
        const char* name = SDL_JoystickNameForIndex(i);
        listed_device_c device;
        Describe(device, guid, type, name != nullptr ? name : "Joystick");
        device.joystick = i;
        list.push_back(device);
    }
    return list;
}

// A device of fixed objects whose info comes from the enumeration.
class sdl_device_c : public object_device_c {
public:
    sdl_device_c(const listed_device_c& _listed, std::vector<device_object_c> _objects)
        : listed(_listed), objects(std::move(_objects))
    {}

    HRESULT GetDeviceInfo(DIDEVICEINSTANCEA* _info) override
    {
        if (_info == nullptr || _info->dwSize != sizeof(DIDEVICEINSTANCEA))
            return DIERR_INVALIDPARAM;
        *_info = listed.info;
        return DI_OK;
    }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT Unacquire() override
    {
        acquired = false;
        return DI_OK;
    }

protected:
    const std::vector<device_object_c>& Objects() const override { return objects; }
    bool IsAcquired() const override { return acquired; }

    listed_device_c listed;
    std::vector<device_object_c> objects;
    bool acquired = false;
};

class sdl_system_device_c : public sdl_device_c {
public:
    using sdl_device_c::sdl_device_c;

    HRESULT Acquire() override
    {
        acquired = true;
        return DI_OK;
    }
    HRESULT Poll() override { return acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED; }
    HRESULT CreateEffect(const GUID&, const DIEFFECT*, IDirectInputEffect** _out, void*) override
    {
        if (_out != nullptr)
            *_out = nullptr;
        return DIERR_UNSUPPORTED;
    }

protected:
    LONG Value(const device_object_c& _object, bool _relative) override
    {
        sdl_input_backend_c& backend = sdl_input_backend_c::Get();
        const DWORD instance = DIDFT_GETINSTANCE(_object.type);
        if (listed.info.guidInstance == GUID_SysKeyboard)
            return backend.IsKeyDown(static_cast<u8>(_object.ofs)) ? 1 : 0;
        if (_object.type & DIDFT_BUTTON)
            return backend.IsMouseButtonDown(instance) ? 1 : 0;
        // Mouse axes only count movement; read absolute they have none.
        return _relative ? backend.TakeMotion(instance) : 0;
    }
};

class sdl_joystick_device_c : public sdl_device_c {
public:
    sdl_joystick_device_c(const listed_device_c& _listed, SDL_Joystick* _joystick,
                          std::shared_ptr<sdl_haptic_c> _haptic)
        : sdl_device_c(_listed, JoystickObjects(_joystick, _haptic != nullptr)), joystick(_joystick),
          haptic(std::move(_haptic))
    {}
    ~sdl_joystick_device_c() override
    {
        haptic.reset();
        SDL_JoystickClose(joystick);
    }

    HRESULT Acquire() override
    {
        if (!SDL_JoystickGetAttached(joystick))
            return DIERR_INPUTLOST;
        acquired = true;
        return DI_OK;
    }
    HRESULT Poll() override
    {
        if (!acquired)
            return DIERR_NOTACQUIRED;
        if (!SDL_JoystickGetAttached(joystick))
            return DIERR_INPUTLOST;
        SDL_JoystickUpdate();
        return DI_OK;
    }
    HRESULT CreateEffect(const GUID& _type, const DIEFFECT* _effect, IDirectInputEffect** _out, void*) override
    {
        if (_out == nullptr || _effect == nullptr)
            return DIERR_INVALIDPARAM;
        return CreateHapticEffect(haptic, _type, *_effect, _out);
    }

protected:
    LONG Value(const device_object_c& _object, bool) override
    {
        const int instance = static_cast<int>(DIDFT_GETINSTANCE(_object.type));
        if (_object.type & DIDFT_BUTTON)
            return SDL_JoystickGetButton(joystick, instance);
        return SDL_JoystickGetAxis(joystick, instance);
    }

private:
    SDL_Joystick* joystick;
    std::shared_ptr<sdl_haptic_c> haptic;
};

class sdl_holder_c : public IDirectInput8A {
public:
    sdl_holder_c()
    {
        joysticks = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
        haptics = SDL_InitSubSystem(SDL_INIT_HAPTIC) == 0;
    }
    ~sdl_holder_c() override
    {
        if (haptics)
            SDL_QuitSubSystem(SDL_INIT_HAPTIC);
        if (joysticks)
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    }

    HRESULT EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA _callback, void* _ref, DWORD) override
    {
        if (_callback == nullptr)
            return DIERR_INVALIDPARAM;
        listed = ListDevices();
        for (const listed_device_c& device : listed)
            if (_callback(&device.info, _ref) == DIENUM_STOP)
                break;
        return DI_OK;
    }

    HRESULT CreateDevice(const GUID& _instance, IDirectInputDevice8A** _out, void*) override
    {
        if (_out == nullptr)
            return DIERR_INVALIDPARAM;
        *_out = nullptr;
        if (listed.empty())
            listed = ListDevices();
        for (const listed_device_c& device : listed) {
            if (!(device.info.guidInstance == _instance))
                continue;
            if (device.joystick < 0) {
                const bool keyboard = _instance == GUID_SysKeyboard;
                *_out = new sdl_system_device_c(device, keyboard ? KeyboardObjects() : MouseObjects());
                return DI_OK;
            }
            SDL_Joystick* joystick = SDL_JoystickOpen(device.joystick);
            if (joystick == nullptr)
                return DIERR_DEVICENOTREG;
            std::shared_ptr<sdl_haptic_c> haptic;
            if (haptics && SDL_JoystickIsHaptic(joystick) == SDL_TRUE)
                if (SDL_Haptic* opened = SDL_HapticOpenFromJoystick(joystick))
                    haptic = std::make_shared<sdl_haptic_c>(opened);
            *_out = new sdl_joystick_device_c(device, joystick, haptic);
            return DI_OK;
        }
        return DIERR_DEVICENOTREG;
    }

private:
    bool joysticks = false;
    bool haptics = false;
    std::vector<listed_device_c> listed;
};

} // namespace

sdl_input_backend_c::sdl_input_backend_c()
{
    SetSdlInputObserver([this](const SDL_Event& _event) { HandleEvent(_event); });
}

sdl_input_backend_c& sdl_input_backend_c::Get()
{
    static sdl_input_backend_c backend;
    return backend;
}

HRESULT sdl_input_backend_c::CreateInput(IDirectInput8A** _out)
{
    if (_out == nullptr)
        return DIERR_INVALIDPARAM;
    *_out = new sdl_holder_c();
    return DI_OK;
}

void sdl_input_backend_c::HandleEvent(const SDL_Event& _event)
{
    switch (_event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const u8 dik = DikFromScancode(_event.key.keysym.scancode))
            _keys[dik] = _event.type == SDL_KEYDOWN;
        break;
    case SDL_MOUSEMOTION:
        _motion[0] += _event.motion.xrel;
        _motion[1] += _event.motion.yrel;
        break;
    case SDL_MOUSEWHEEL: {
        const LONG notches = _event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -_event.wheel.y : _event.wheel.y;
        _motion[2] += notches * 120;
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        // SDL numbers left, middle, right, side 1, side 2.
        static const int order[] = {-1, 0, 2, 1, 3, 4};
        if (_event.button.button < 6 && order[_event.button.button] >= 0)
            _buttons[order[_event.button.button]] = _event.type == SDL_MOUSEBUTTONDOWN;
        break;
    }
    case SDL_WINDOWEVENT:
        if (_event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            Clear();
        break;
    default: break;
    }
}

LONG sdl_input_backend_c::TakeMotion(u32 _axis)
{
    if (_axis >= 3)
        return 0;
    const LONG motion = _motion[_axis];
    _motion[_axis] = 0;
    return motion;
}

void sdl_input_backend_c::Clear()
{
    std::memset(_keys, 0, sizeof _keys);
    std::memset(_buttons, 0, sizeof _buttons);
    std::memset(_motion, 0, sizeof _motion);
}
