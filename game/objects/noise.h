#pragma once
// Gradient noise in one, two and three dimensions (lattice gradients,
// a permutation table, s-curve blending) and two fractal sums over it.
// Values lie roughly in -1..1 and are 0 at every integer point.
//
// The tables are built once, on first use, from a generator of our own with
// a fixed seed, so every run (and every machine) sees the same noise.
// Coordinates that are not finite or too large to place on the lattice give
// 0.
#include "foundation/types.h"

inline constexpr int noise_size = 256;
inline constexpr int noise_mask = 255;
inline constexpr int noise_offset = 4096;
// 256 entries, then 258 repeated, so any index up to 513 is inside.
inline constexpr int noise_table_size = noise_size + noise_size + 2;

struct noise_tables_c {
    i32 permutation[noise_table_size];
    f32 gradient1[noise_table_size];
    f32 gradient2[noise_table_size][2];
    f32 gradient3[noise_table_size][3];
};

const noise_tables_c& GetNoiseTables();

f32 Noise1(f32 _x);
f32 Noise2(const f32 _point[2]);
f32 Noise3(const f32 _point[3]);
// 0 when _octaves < 1; else the sum over k < octaves of
// Noise1(x * 2^k) / 2^k.
f32 FractalNoise1(int _octaves, f32 _x);
// 0 when _octaves <= 0 (the tables are not even built); else a copy of the
// point is scaled in place by f = 1, 2, 4, ... before each octave, so the
// octaves sample the point times 1, 2, 8, 64, ... weighted 1, 1/2, 1/4, ...
f32 FractalNoise3(const f32 _point[3], int _octaves);
