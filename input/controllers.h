#pragma once
// The game's input layer: an ordered list of named actions, each bound to
// one device object, turned into values in [-1, 1] once per frame. The
// game reads actions by index; the order of the list is the contract with
// the game and with "data\common\actions.txt", and only the binding store
// changes it.
//
// Update, per action in list order (so the first half of a pair writes its
// partner before the partner reads its own object):
//   absolute axis: value = -position;
//   mouse axis:    value += counts / mouse divisor (negated for the second
//                  half of a pair); it never falls back by itself;
//   button r:      negated for either half of a pair; ramp 0: value = r
//                  (a half adds r); ramp t: value += dt * r / t; released
//                  with a fall-back time f: value steps to 0 by dt / f;
//   an object the device no longer lists reads 0 and changes only by its
//   fall-back time;
// then the value is clamped, and when the object read non-zero the partner
// of a pair takes -value. An action without a ready device is left alone.
//
// Binding store: one "acac" chunk (SerializeActions, both ways) kept in the
// registry value "controllers" with "controllers_size" and
// "controllers_version", and shipped as "actions.accfg":
//   "musS" f32 mouse divisor, "nuac" i32 N, then per action "name",
//   "devg" (16-byte GUID), "objn" u32, "conn" u8, "cent" f32, "mmxt" f32.
// A chunk is read whole before anything changes: a damaged one, or one whose
// action count is negative or more than the chunk holds, is refused and the
// actions stay as they were.
//
// Capture (controls screen): BeginCapture snapshots every device;
// CaptureInput binds the capture action to the first object that changed:
// a button pressed and released, the mouse moved by more than 10 counts in
// one frame, or another axis moved by more than 0.15 of its normalised
// span. No operation throws.
#include <memory>
#include <vector>

#include "input/action.h"
#include "input/input_devices.h"
#include "platform/win32/window_types.h"

class CChunkSaver;

class controllers_c {
public:
    explicit controllers_c(HWND _window);
    ~controllers_c();
    controllers_c(const controllers_c&) = delete;
    controllers_c& operator=(const controllers_c&) = delete;

    void Update(f32 _frameSeconds);
    void ResetActionValues();

    // The binding store.
    // True when the chunk was written, or read and taken.
    bool SerializeActions(CChunkSaver& _saver);
    // False when the values are missing, older than _minVersion, of another
    // size than stored, or hold a damaged chunk; true otherwise (also when
    // they hold no binding chunk).
    bool LoadFromRegistry(const char* _company, const char* _product, const char* _valueName, u32 _minVersion);
    void SaveToRegistry(const char* _company, const char* _product, const char* _valueName, u32 _version);
    // Through the current file system; a missing or damaged file leaves the
    // actions as they were.
    void LoadFromFile(const char* _fileName);

    // Binding capture.
    void BeginCapture(u32 _actionIndex);
    bool CaptureInput();

    // Force feedback on the device of an action: every effect group of that
    // name (letters compared without regard to case).
    void StartEffect(u32 _actionIndex, const char* _name);
    void StopEffect(u32 _actionIndex, const char* _name);

    u32 GetActionCount() const { return static_cast<u32>(_actions.size()); }
    action_c& GetAction(u32 _index) { return _actions[_index]; }
    const action_c& GetAction(u32 _index) const { return _actions[_index]; }
    f32 GetMouseDivisor() const { return _mouseDivisor; }
    void SetMouseDivisor(f32 _divisor) { _mouseDivisor = _divisor; }
    input_devices_c& GetDevices() { return *_devices; }

    // Largest action count a stored chunk may ask for.
    static constexpr i32 max_actions = 4096;

private:
    enum read_e { read_absent, read_done, read_refused };
    read_e ReadActions(CChunkSaver& _saver);
    void BindToDevice(action_c& _action) const;
    bool CaptureChanged(input_device_c& _device, u32 _index);
    action_c* ActionWithDevice(u32 _index);

    u32 _captureAction = 0;
    std::unique_ptr<input_devices_c> _devices;
    std::vector<action_c> _actions;
    f32 _mouseDivisor = 10.0f;
};
