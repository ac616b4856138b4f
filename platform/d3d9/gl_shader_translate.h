#pragma once
// Direct3D 9 shader token streams as GLSL 3.30, translated once when the
// shader is made. The subset is what the renderer's own programs use:
// vs_1_1 and vs_2_0 with mov, add, sub, mad, mul, rcp, rsq, dp3, dp4, min,
// max, slt, sge, frc, abs, nrm, exp, log, lit, dst, lrp, pow, sincos and
// the m4x4 family, the address register, def constants, and the outputs
// oPos, oD0, oD1, oT0-7, oFog and oPts; ps_2_0 with the same arithmetic
// and texld on 2D and cube samplers, writing oC0-3 and oDepth.
//
// The programs meet the generated fixed-function ones on the same
// interface (gl_fixed_function.h): attributes by declaration usage,
// varyings v_diffuse, v_specular, v_tex[8], v_fog and v_distance, vertex
// constants in "vc" (256 registers), pixel constants in "pc" (32), and
// the position fixup. A pixel program ends with the fixed-function alpha
// test and fog of GlShaderPixelTail, as on Direct3D.
//
// An instruction or register outside the subset throws std::runtime_error
// naming it.
#include "platform/d3d9/gl_fixed_function.h"

#include <string>

std::string GlTranslateVertexShader(const DWORD* _tokens, u64 _count);
// The body of a pixel program up to its colour results, which it leaves
// in o_color0 ... o_color3; GlShaderPixelTail closes it.
std::string GlTranslatePixelShader(const DWORD* _tokens, u64 _count);
// Alpha test and fog after a translated pixel program, from "pf": (alpha
// reference), fog colour, fog (start, end, density).
std::string GlShaderPixelTail(const gl_fixed_key_s& _key);
