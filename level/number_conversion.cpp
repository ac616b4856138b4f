#include "level/number_conversion.h"

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
