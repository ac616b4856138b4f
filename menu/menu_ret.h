#pragma once
// menu_ret_c: the value every control reports and takes. Each control fills
// or reads the members of its kind (a text box the string, a slider the
// float, a check box the bool, a list the int and the string); the others
// stay as Clear left them.
#include "foundation/text_string.h"
#include "foundation/types.h"

class menu_ret_c {
public:
    u8 boolValue = 0;
    f32 floatValue = 0.0f;
    i32 intValue = 0;
    string_c stringValue;

    menu_ret_c() { Clear(); }
    // False, 0, 0 and the empty string.
    void Clear();
};

// A control's value under its name, as the menu caches it every frame.
class menu_state_record_c : public menu_ret_c {
public:
    string_c name;
};
