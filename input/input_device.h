#pragma once
// One attached input device: its objects, a data format of its own making,
// the state read every frame, and its force-feedback effect groups.
//
// Set-up builds the format from the device's objects in two passes of the
// same enumeration (count, then fill): every button takes one byte and every
// axis a 4-aligned LONG, in enumeration order; point-of-view hats,
// collections and objects without data are left out. An object is known
// from then on by its native offset (dwOfs), its "object number", which the
// binding store keeps.
//
// Every set-up call's result is checked; a failure throws std::runtime_error
// with the text "Description:\n%s\n\nFile <%s>\nLine %d" (the result's
// description, `advanced_controllers_device` and the line of the call), and
// the device stays unready. An unready device is skipped by polling,
// reading, capture and effects.
//
// Effect groups: each file "FFEffects\*.ffe" on disk (relative to the
// working folder, in name order) becomes a group named by the file's base
// name on every device other than the system keyboard and mouse. Starting a
// group plays its effects; the first with DIES_SOLO, so the other groups of
// the device stop, and the rest beside it, so a group of several effects is
// heard whole.
#include <memory>
#include <vector>

#include "foundation/text_string.h"
#include "foundation/types.h"
#include "platform/dinput8/dinput8.h"

class input_device_c {
public:
    // Kinds of Read.
    enum kind_e : i32 {
        kind_none = -1, // no such object (or the device is not ready)
        kind_button = 0,
        kind_absolute_axis = 1,
        kind_mouse_axis = 2,
    };

    // Input-loss re-acquisition gives up after this many attempts, 10 ms
    // apart; the device then stops reporting until the program restarts,
    // rather than stalling every frame (an unplugged joystick).
    static constexpr u32 max_reacquire_attempts = 20;

    input_device_c(const GUID& _instance, const char* _name);
    ~input_device_c();
    input_device_c(const input_device_c&) = delete;
    input_device_c& operator=(const input_device_c&) = delete;

    // Creates the device, builds the format, sets the cooperative level
    // (exclusive, background; not for the keyboard and mouse), the format
    // (relative axes for the mouse) and acquires it; then loads the effects.
    // Throws on the first failing call.
    void Setup(IDirectInput8A* _input, HWND _window);

    // Reads the device's state into the current buffer; true when it was
    // read. Input loss (or a device left unacquired) re-acquires, see
    // max_reacquire_attempts; any other failure leaves the device
    // unacquired and the buffer as it was.
    bool Poll();

    // The value of an object by its number: a button 1.0 or 0.0; a mouse
    // axis its relative count; any other axis 2(raw - min)/(max - min) - 1
    // over its range (0.0 for an empty range). An unknown number gives 0.0
    // and kind_none.
    f64 Read(u32 _number, i32* _kind) const;

    // The range of the axis at a state offset; false when it cannot be had.
    bool GetRange(u32 _offset, LONG* _min, LONG* _max) const;

    bool IsReady() const { return _ready != 0; }
    bool IsSystemMouse() const { return _instance == GUID_SysMouse; }
    bool IsSystemKeyboard() const { return _instance == GUID_SysKeyboard; }
    const GUID& GetInstance() const { return _instance; }
    const string_c& GetName() const { return _name; }

    u32 GetObjectCount() const { return static_cast<u32>(_format.size()); }
    u32 GetObjectNumber(u32 _index) const { return _numbers[_index]; }
    const string_c& GetObjectName(u32 _index) const { return _names[_index]; }
    const DIOBJECTDATAFORMAT& GetObjectFormat(u32 _index) const { return _format[_index]; }
    // Index of an object number, or -1.
    i32 FindObject(u32 _number) const;

    u32 GetStateSize() const { return _stateSize; }
    u8* GetCurrentState() { return _current.data(); }
    u8* GetPreviousState() { return _previous.data(); }

    // Effects.
    void LoadEffects();
    void StartEffect(const char* _name);
    void StopEffect(const char* _name);
    u32 GetEffectGroupCount() const { return static_cast<u32>(_groups.size()); }
    const string_c& GetEffectGroupName(u32 _index) const { return _groups[_index].name; }
    u32 GetEffectCount(u32 _group) const { return static_cast<u32>(_groups[_group].effects.size()); }

private:
    struct effect_group_c {
        string_c name;
        std::vector<IDirectInputEffect*> effects;
    };

    static BOOL ObjectCallback(const DIDEVICEOBJECTINSTANCEA* _object, void* _context);
    static BOOL EffectCallback(const DIFILEEFFECT* _effect, void* _context);
    void ReleaseAll();

    u8 _ready = 0;
    GUID _instance;
    string_c _name;
    std::vector<DIOBJECTDATAFORMAT> _format;
    std::vector<string_c> _names;
    std::vector<u32> _numbers;
    IDirectInputDevice8A* _device = nullptr;
    u32 _stateSize = 0;
    std::vector<u8> _current;
    std::vector<u8> _previous;
    std::vector<effect_group_c> _groups;
    u8 _effectsStarted = 0;

    // Object enumeration: the pass being run and its running offset.
    bool _filling = false;
    u32 _objectCount = 0;
};
