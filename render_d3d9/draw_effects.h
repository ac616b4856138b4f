#pragma once
// The vertex-shader constants of the particle and trail draws, beside the
// clip transform in c0-c3 (draw_common.h for its space). The shaders read
// the vertex layouts the engine's emitter and trail write (emitter.h,
// trail.h).
//
// Particles, c8-c13: (time, 0, 0, 0); (gravity / 2, 1); (s0 / kx, -s0 / ky,
// 0, 1); ((s1 - s0) / kx, -(s1 - s0) / ky, 0, 1); (C0, opacity); (C1 - C0,
// -opacity), with the start and end sizes s0, s1 and colours C0, C1, and kx,
// ky the camera's view extents at unit distance.
// Trails, c8-c10: (opacity, time, L, 1 / L) for the lifetime L; the trail's
// two vectors (trail_c::GetVectors) each with w 1.
//
// A set that would carry a NaN or an infinity (a camera without extent, a
// lifetime of 0, a time that is not a number) is refused: the draw then
// draws nothing rather than hand the device values it cannot use.
#include "foundation/types.h"

class emitter_c;
class trail_c;

constexpr u32 d3d_effect_first_register = 8;

struct d3d_effect_constants_s {
    f32 values[6][4] = {};
    u32 count = 0;
};

bool ParticleConstants(const emitter_c& _emitter, f32 _time, f32 _kx, f32 _ky, f32 _opacity,
                       d3d_effect_constants_s& _out);
bool TrailConstants(const trail_c& _trail, f32 _time, f32 _opacity, d3d_effect_constants_s& _out);
