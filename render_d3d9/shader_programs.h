#pragma once
// The renderer's own shader programs (render_d3d9/shaders), assembled at
// build time: rows 1 (particles) and 2 (trails) without constant tables,
// row 3 (water) in vs_1_1 and vs_2_0, rows 4 to 7 (shadow volumes:
// directional and point light, with a depth and to infinity) and the glow
// blur as pixel entry 1.
#include "render_d3d9/shader_set.h"

const d3d_shader_set_s& GetShaderPrograms();
