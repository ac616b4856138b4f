#pragma once
// The surface of a water: a grid over the square -extent/2..extent/2 in x and
// z cut to the water pixels of a square format_l8 geography map (0 is dry
// land), faded out towards the edges and shaded at random.
#include "foundation/types.h"

class image_c;
class triangle_set_c;

// The edge fade of one distance to an edge: d * k below 1.0, else 1.0 (also
// when d * k is not a number, as with a border of 0).
f32 WaterEdgeFade(f32 _distance, f32 _k);

// Grid point (r, c) for r, c in 0..N lies at x = -h + c * step, z = h - r * step
// (h = extent / 2, step = extent / N). A point touching a water pixel gets a
// vertex (position, colour: grey = trunc(random 0..255 * a), alpha =
// trunc(255 * a), a the product of the four edge fades with k = 1 / (border *
// extent)); every cell with four vertices gives two triangles. _set is
// emptied first. A geography that is not valid leaves it empty.
void BuildWaterSurface(triangle_set_c& _set, const image_c& _geography, f32 _extent, f32 _border);

// True when the local point (_x, _z) lies over a water pixel; the pixel is
// found by truncation and clamped to the map. A square of extent 0 (or not a
// number) holds no water.
bool IsWaterAt(const image_c& _geography, f32 _extent, f32 _x, f32 _z);
