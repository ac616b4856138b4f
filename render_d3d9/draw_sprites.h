#pragma once
// Which quad of the shared sprite geometry a sprite draws. Quad i of the 256
// carries the vertex alpha i / 255, so a sprite's opacity is picked rather
// than written: o = (1 - dissolve) x scene opacity held in [0, 1] (a NaN
// counts as 0); below 1 the quad is trunc(o x 255) with vertex colours on,
// at 1 the quad is 255 with vertex colours off.
#include "foundation/types.h"

struct d3d_sprite_quad_s {
    f32 opacity = 1.0f;
    u32 index = 255;
    bool vertexColors = false;
};

d3d_sprite_quad_s SpriteQuad(f32 _dissolve, f32 _scene_opacity);
