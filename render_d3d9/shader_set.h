#pragma once
// The renderer's shader programs as token streams, by row and version.
// Row 0 is the fixed-function pipeline (no program); rows 1 to 7 are the
// particle, trail, water and four shadow-volume programs; pixel entry 1 is
// the glow blur. A null stream is a program the set does not have. The
// state cache makes the device shaders from these.
#include "platform/d3d9/d3d9_types.h"

constexpr u32 d3d_shader_row_count = 8;
constexpr u32 d3d_pixel_entry_count = 2;

enum d3d_shader_column_e : u32 { d3d_shader_vs_1_1 = 0, d3d_shader_vs_2_0 = 1 };

struct d3d_shader_set_s {
    const DWORD* vertex[d3d_shader_row_count][2] = {};
    const DWORD* pixel[d3d_pixel_entry_count] = {};
};
