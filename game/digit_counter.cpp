#include "game/digit_counter.h"

namespace {

constexpr const char* digit_names[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

} // namespace

void digit_counter_c::Init(aggregate_c* _scene, const vec3_c& _position, const vec3_c& _scale)
{
    model.Load(hud_digits_file, _scene, _position, _scale);
    SetValue(-1);
}

void digit_counter_c::SetValue(i32 _value)
{
    value = _value;
    for (const char* name : digit_names)
        model.Show(name, false);
    if (_value >= 0 && _value <= 9)
        model.Show(digit_names[_value], true);
}
