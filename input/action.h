#pragma once
// One named game action bound to one object (a button or an axis) of one
// input device, with its current value in [-1, 1]. The binding store keeps
// the name, the device's instance GUID, the object number, the times and
// the paired flag; the rest is found again at load time.
#include "foundation/text_string.h"
#include "foundation/types.h"
#include "platform/dinput8/dinput8.h"

class input_device_c;

class action_c {
public:
    string_c name;            // "name"
    GUID device_guid;         // "devg"
    string_c object_name;     // the bound object's name; not stored
    input_device_c* device{}; // found by GUID; null when not attached
    u32 object_number = 0;    // "objn": the object's dwOfs
    f32 ramp_time = 0;        // "mmxt": seconds for a held button to reach full; 0 at once
    f32 fall_back_time = 0;   // "cent": seconds for a released button to return to 0; 0 stays
    u8 paired = 0;            // "conn": this action and the next are two halves of one axis
    f32 value = 0;
};
