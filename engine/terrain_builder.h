#pragma once
// A patch tree made from a height field, for the tools that make terrain
// files and for measuring the terrain. The game itself loads its terrains.
#include "foundation/types.h"

class renderer_c;
class terrain_c;

// Samples _heights (_side x _side, row by row) stand _spacing apart, sample
// (r, c) at x = c * _spacing, z = -r * _spacing. Every patch holds a grid of
// _patch_cells x _patch_cells squares; the root spans the whole field and
// each level halves the span until a patch takes every sample it covers.
// _side - 1 must be _patch_cells times a power of two. Patch geometries are
// named "name:level:row:column". Throws std::invalid_argument otherwise.
terrain_c* BuildTerrain(const char* _name, renderer_c* _renderer, const f32* _heights, u32 _side, f32 _spacing,
                        u32 _patch_cells);
