#pragma once
// Number conversions of the level description that must not depend on the
// process locale or overflow on values taken from files.
#include "foundation/types.h"

#include <string>

// Truncates toward zero and holds the result inside the i32 range; NaN gives 0.
i32 TruncateToInt(double _value);
// Narrows to float; values beyond the float range become the signed infinity.
f32 DoubleToFloat(double _value);
// The value as "%f" formats it in the "C" locale (six decimals).
std::string FormatFixed(f32 _value);
