#pragma once
// One binding as the binding store keeps it, and the "acac" chunk of a list
// of them, laid out as controllers_c::SerializeActions reads and writes it.
// For the tools that make the default binding file and for tests that need
// a given action list.
#include <string>
#include <vector>

#include "platform/dinput8/dinput8.h"

struct binding_s {
    std::string name;
    GUID device;
    u32 object = 0;
    f32 ramp = 0;
    f32 fall_back = 0;
    u8 paired = 0;
};

// The whole chunk stream: "acac" with the mouse divisor and every binding.
std::vector<u8> WriteBindings(const std::vector<binding_s>& _bindings, f32 _divisor = 10.0f);
