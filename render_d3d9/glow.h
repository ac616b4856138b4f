#pragma once
// The glow blur's numbers. The blur is separable with 15 taps i = -7..7 of
// weight w(|i|) = e^(-0.055555 i^2) (the single-precision factor), each
// normalised by the sum S of the fifteen and scaled by the strength, so the
// weights sum to the strength. The one-eighth target's viewport is the
// renderer's viewport with every value divided by 8, truncated toward zero;
// one texel of it is du = 1 / (w / 8) across and dv = 1 / (h / 8) down.
#include "foundation/types.h"
#include "render_d3d9/screen_quad.h"

#include <array>

constexpr u32 d3d_glow_taps = 8;
constexpr u32 d3d_glow_divisor = 8;

// W(0)..W(7) for the strength.
std::array<f32, d3d_glow_taps> GlowWeights(f32 _strength);
d3d_screen_rect_s GlowTargetRect(const d3d_screen_rect_s& _viewport);
