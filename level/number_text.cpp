#include "level/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

i32 TruncateToInt(double _value)
{
    if (std::isnan(_value))
        return 0;
    if (_value <= static_cast<double>(std::numeric_limits<i32>::min()))
        return std::numeric_limits<i32>::min();
    if (_value >= static_cast<double>(std::numeric_limits<i32>::max()))
        return std::numeric_limits<i32>::max();
    return static_cast<i32>(_value);
}

f32 DoubleToFloat(double _value)
{
    constexpr double largest = std::numeric_limits<f32>::max();
    if (_value > largest)
        return std::numeric_limits<f32>::infinity();
    if (_value < -largest)
        return -std::numeric_limits<f32>::infinity();
    return static_cast<f32>(_value);
}

std::string FormatFixed(f32 _value)
{
    // Large enough for the widest float in fixed notation with six decimals.
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, static_cast<double>(_value), std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}
