#pragma once
// A display mode: width, height, bits per pixel and refresh rate (Hz; 0 lets
// the display choose). The options store one, the renderer lists and sets
// them.
#include <compare>

#include "foundation/types.h"

struct display_mode_s {
    u32 width = 0;
    u32 height = 0;
    u32 bpp = 0;
    u32 refresh = 0;
    auto operator<=>(const display_mode_s&) const = default;
};
