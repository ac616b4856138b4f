#pragma once
// A sparse linear system on the pixel grid: a five-point diffusion stencil
// from per-pixel conductance planes with fixed values on the border, stored
// by rows, and its Gauss-Seidel solver.
#include "dxt/float_plane.h"
#include "foundation/types.h"

#include <vector>

struct grid_system_c {
    i32 rows = 0;               // width x height, row index y x width + x
    std::vector<i32> row_count; // 1 for a border pixel, 5 for an interior one
    i32 entries = 0;
    std::vector<i32> columns; // own pixel, then right, left, lower, upper neighbours
    std::vector<f32> values;
};

// g(v) = 1/v for mode 0, v for mode 1; other modes leave the values zero.
void BuildGridSystem(grid_system_c& out, const float_plane_c& conductance, f32 lambda, i32 mode);
void BuildGridSystemWeighted(grid_system_c& out, const float_plane_c& conductance, const float_plane_c& data_weight,
                             f32 lambda);
void ReleaseGridSystem(grid_system_c& system);

std::vector<f32> MultiplyGridSystem(const grid_system_c& system, const f32* x);
// One sweep in row order; the residual |Ax - b| when asked, else 1e20; 0
// after "tiny pivot!!" on standard error.
f32 GaussSeidelSweep(const grid_system_c& system, f32* x, const f32* b, bool want_residual);
// `fixed_count`: ceil(limit) sweeps, returns limit rounded. Otherwise sweeps
// until the residual is below `limit` (at most kMaxSweeps), reporting each on
// standard error unless `quiet`; returns the count.
i32 SolveGridSystem(const grid_system_c& system, f32* x, const f32* b, f32 limit, bool fixed_count, bool quiet);

inline constexpr u32 kMaxSweeps = 100000;
