#pragma once
// A rectangle of screen pixels in one colour, drawn from memory as a
// triangle strip of two triangles with pre-transformed vertices (x - 0.5,
// y - 0.5, z 1, rhw FLT_EPSILON, colour; 20 bytes each), so that pixel
// centres fall inside exactly. The caller sets the pass (row 0 with a
// position-less format that has a diffuse colour) and unbinds the streams.
#include "platform/d3d9/d3d9.h"

void DrawScreenQuad(IDirect3DDevice9* _device, f32 _x0, f32 _y0, f32 _x1, f32 _y1, D3DCOLOR _color);
