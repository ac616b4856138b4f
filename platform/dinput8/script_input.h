#pragma once
// The script backend: input devices that a test describes and drives.
//
// A test fills a script_input_c with devices (type byte, instance GUID, name,
// objects with their native offsets, type words and ranges), installs it
// with SetDirectInputBackend, and between polls sets the objects' values.
// The devices implement the caller's data format as the real ones do:
// GetDeviceState writes each format entry's object (matched by its type
// word) at the entry's offset, buttons as 0x80 or 0, axes as LONG; with
// DIDF_RELAXIS an axis reports the movement since the previous read.
//
// Failures are scripted per call name ("CreateDevice", "EnumObjects",
// "GetDeviceInfo", "SetCooperativeLevel", "SetDataFormat", "Acquire",
// "GetDeviceState", "CreateEffect", "CreateInput"): a queue of results per
// name is used up first, then the call succeeds. Poll results come from
// their own queue the same way. Calls that matter to the layer above are
// logged in order on the device ("SetCooperativeLevel 9", "Start 0 1 1",
// "Stop 0", ...).
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dinput8/dinput8_backend.h"
#include "platform/dinput8/object_device.h"

struct script_effect_c {
    GUID type;
    DWORD duration = 0;
    u32 starts = 0;
    u32 stops = 0;
};

class script_device_c {
public:
    script_device_c(DWORD _devType, const GUID& _guid, const std::string& _name);

    // Appends objects; each gets the next instance number of its kind.
    script_device_c& AddButton(DWORD _ofs, const std::string& _name);
    script_device_c& AddAxis(DWORD _ofs, const std::string& _name, LONG _min = 0, LONG _max = 65535);
    script_device_c& AddRelativeAxis(DWORD _ofs, const std::string& _name);
    // Objects left out of data formats (point-of-view hats, collections).
    script_device_c& AddOther(DWORD _ofs, DWORD _type, const std::string& _name);

    // Values by native offset.
    void SetButton(DWORD _ofs, bool _down);
    void SetAxis(DWORD _ofs, LONG _value);
    // Adds movement to a relative axis, reported and cleared by the next read.
    void Move(DWORD _ofs, LONG _delta);

    // Scripted results: the next calls of that name give these.
    void Fail(const std::string& _call, HRESULT _result, u32 _times = 1);
    void QueuePoll(HRESULT _result, u32 _times = 1);

    DWORD devType;
    GUID guid;
    std::string name;
    std::vector<device_object_c> objects;
    std::map<DWORD, LONG> values;
    bool forceFeedback = false;

    // What happened.
    std::vector<std::string> log;
    std::vector<script_effect_c> effects;
    bool acquired = false;
    u32 polls = 0;
    u32 acquires = 0;

    HRESULT Take(const std::string& _call);
    HRESULT TakePoll();

private:
    std::map<std::string, std::deque<HRESULT>> failures;
    std::deque<HRESULT> pollResults;
    DWORD instances[4] = {0, 0, 0, 0};
};

class script_input_c : public direct_input_backend_c {
public:
    script_device_c& AddDevice(DWORD _devType, const GUID& _guid, const std::string& _name);
    // The device of an instance GUID; throws std::out_of_range when absent.
    script_device_c& Device(const GUID& _guid);

    HRESULT CreateInput(IDirectInput8A** _out) override;

    // Failures of CreateInput itself ("CreateInput").
    script_device_c holder{0, GUID{}, "holder"};
    std::vector<std::shared_ptr<script_device_c>> devices;
};

// Installs a script backend for the lifetime of the guard.
class script_input_scope_c {
public:
    explicit script_input_scope_c(script_input_c& _input) : _old(SetDirectInputBackend(&_input)) {}
    ~script_input_scope_c() { SetDirectInputBackend(_old); }
    script_input_scope_c(const script_input_scope_c&) = delete;
    script_input_scope_c& operator=(const script_input_scope_c&) = delete;

private:
    direct_input_backend_c* _old;
};
