#include "tools/make-data/bindings.h"

namespace {

// Keyboard objects are numbered by scan code.
constexpr u32 key_up = 0xC8, key_down = 0xD0, key_left = 0xCB, key_right = 0xCD;
constexpr u32 key_z = 0x2C, key_x = 0x2D, key_space = 0x39, key_b = 0x30, key_r = 0x13;
constexpr u32 key_equals = 0x0D, key_minus = 0x0C, key_a = 0x1E, key_l = 0x26, key_c = 0x2E, key_m = 0x32;
constexpr u32 key_f1 = 0x3B, key_p = 0x19;
constexpr f32 axis_ramp = 0.25f;
constexpr f32 axis_fall_back = 0.3f;
// What the options' middle mouse speed gives.
constexpr f32 mouse_divisor = 950.0f;

binding_s Key(const char* _name, u32 _key)
{
    return {_name, GUID_SysKeyboard, _key, 0.0f, 0.0f, 0};
}

binding_s AxisKey(const char* _name, u32 _key, bool _first)
{
    return {_name, GUID_SysKeyboard, _key, axis_ramp, axis_fall_back, static_cast<u8>(_first ? 1 : 0)};
}

} // namespace

std::vector<binding_s> DefaultBindings()
{
    return {
        AxisKey("up", key_up, true),
        AxisKey("down", key_down, false),
        AxisKey("left", key_right, true),
        AxisKey("right", key_left, false),
        AxisKey("tail-left", key_x, true),
        AxisKey("tail-right", key_z, false),
        Key("fire", key_space),
        Key("bomb", key_b),
        Key("rocket", key_r),
        Key("thrust up", key_equals),
        Key("thrust down", key_minus),
        Key("auto-level", key_a),
        Key("look", key_l),
        Key("camera", key_c),
        Key("map", key_m),
        Key("cokpit view", key_f1 + 4),
        Key("guns view", key_f1 + 5),
        Key("outside view", key_f1 + 6),
        Key("chase view", key_f1 + 7),
        Key("follow_me", key_f1),
        Key("attack", key_f1 + 1),
        Key("patrol", key_f1 + 2),
        Key("help", key_f1 + 3),
        Key("pause", key_p),
    };
}

void AddDefaultBindings(data_files_t& _files)
{
    _files[kDefaultBindingsFile] = WriteBindings(DefaultBindings(), mouse_divisor);
}
