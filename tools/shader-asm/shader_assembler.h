#pragma once
// Our assembler for the Direct3D 9 shader assembly the renderer's programs
// are written in, and the matching decoder. It knows the subset those
// programs use: vs_1_1, vs_2_0 and ps_2_0; registers r, v, c (with c[a0.x +
// n] relative addressing in vertex shaders), a0, oPos, oFog, oPts, oD0-1,
// oT0-7, t, s and oC0-3; write masks and swizzles; negated sources; dcl_*,
// def, and the arithmetic, matrix and texture instructions listed in
// shader_assembler.cpp.
//
// Two directives name constants for the constant-table comment:
//   .constant <name> c<register> [<count>]
//   .sampler <name> s<register>
// A program without them has no constant table. ';' and '//' start a
// comment. The output is a real token stream: version, the constant-table
// comment, instructions (with their length from shader model 2 on), end.
//
// Unknown opcodes, bad or out-of-range registers, malformed masks or
// swizzles, wrong operand counts and instructions the version lacks are
// refused with shader_asm_error_c "line N: ...".
#include "foundation/types.h"

#include <stdexcept>
#include <string>
#include <vector>

class shader_asm_error_c : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::vector<u32> AssembleShader(const std::string& _source);
// The source with its version statement replaced by _version ("vs_2_0"),
// so that one program serves two versions; throws shader_asm_error_c for a
// source without one.
std::string RetargetShader(const std::string& _source, const std::string& _version);

// The instructions of a token stream, one canonical line each ("dcl_texcoord0
// v2", "def c20, 0.5, 0, 0, 0", "mad r0.xyz, -v1, c4.x, r1"), in the form
// CanonicalShaderText gives the source; throws shader_asm_error_c on a
// stream it cannot read.
std::vector<std::string> DisassembleShader(const std::vector<u32>& _tokens);
// The source's instruction lines in that canonical form.
std::vector<std::string> CanonicalShaderText(const std::string& _source);
