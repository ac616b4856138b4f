#pragma once
// Small procedural pictures for the data set's models and effects, written
// as PNG through the current file writer. Every picture is a function of its
// pixel coordinates only, so a run writes the same bytes every time.
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <functional>

// Colour 0xAARRGGBB of pixel (x, y).
using picture_f = std::function<u32(int x, int y)>;

// A 32-bit PNG of the given sides (with alpha when _alpha) under _file_name.
void WritePicture(const char* _file_name, int _width, int _height, bool _alpha, const picture_f& _pixel);

// A value in [0, 1) that depends only on its arguments, for grain and noise.
float Hash01(u32 _x, u32 _y, u32 _seed);
// 0xFFRRGGBB of a colour in [0, 1] per channel, scaled by _shade and clipped.
u32 Colour(float _r, float _g, float _b, float _shade = 1.0f);

// Grey patterns (shade 0..1 of pixel x, y) that the models' surfaces wear.
enum pattern_e { pattern_canvas, pattern_wood, pattern_metal, pattern_sandbag };
// The pattern tinted with _colour (a colour map replaces the surface's own
// colour, so each colour has its picture), 64 pixels square.
void WritePattern(const char* _file_name, pattern_e _pattern, const vec3_c& _colour);
