#pragma once
// digit_counter_c: one digit of the HUD, the template hud_digits_file
// whose models are named "0" to "9", placed once in the HUD scene. Without the file the counter shows nothing and
// SetValue only remembers the value.
#include "game/hud_model.h"

inline constexpr char hud_digits_file[] = "data\\game\\hud\\digits.op";

class digit_counter_c {
public:
    void Init(aggregate_c* _scene, const vec3_c& _position, const vec3_c& _scale);
    // Hides all ten digits and shows the one named by the value when it is
    // 0 to 9; any other value (ten planes or more, a negative count) shows
    // nothing.
    void SetValue(i32 _value);
    i32 GetValue() const { return value; }
    const hud_model_c& GetModel() const { return model; }

private:
    hud_model_c model;
    i32 value = -1;
};
