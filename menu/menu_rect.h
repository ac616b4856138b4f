#pragma once
// menu_rect_c: a control's rectangle in screen fractions (0..1, origin top
// left).
#include "foundation/types.h"

class menu_rect_c {
public:
    f32 left = 0.0f;
    f32 top = 0.0f;
    f32 right = 0.0f;
    f32 bottom = 0.0f;

    f32 GetWidth() const { return right - left; }
    f32 GetHeight() const { return bottom - top; }
    // Both edges count as inside.
    bool IsInside(f32 _x, f32 _y) const { return left <= _x && _x <= right && top <= _y && _y <= bottom; }
    // Both corners at the origin: a control that is not placed.
    bool IsZero() const { return left == 0.0f && top == 0.0f && right == 0.0f && bottom == 0.0f; }
};
