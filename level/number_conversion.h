#pragma once
// Number conversions that must not overflow on values taken from files.
#include "foundation/types.h"

// Truncates toward zero and holds the result inside the i32 range; NaN gives 0.
i32 TruncateToInt(double _value);
// Narrows to float; values beyond the float range become the signed infinity.
f32 DoubleToFloat(double _value);
