#pragma once
// Pictures painted pixel by pixel for the data set: every pixel a function
// of its coordinates only, so a run writes the same bytes every time.
#include "foundation/types.h"

#include <functional>

class image_c;

// Colour 0xAARRGGBB of pixel (x, y).
using paint_f = std::function<u32(int x, int y)>;

// Fills a 32-bit picture (A8R8G8B8 or X8R8G8B8) made with image_c::Create.
void PaintPicture(image_c& _picture, const paint_f& _pixel);
// a..b by t per channel, t clamped to 0..1.
u32 BlendColour(u32 _a, u32 _b, f32 _t);
