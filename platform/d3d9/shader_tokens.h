#pragma once
// Walking a shader token stream: a version token (0xFFFE0000 | major << 8 |
// minor for vertex shaders, 0xFFFF.... for pixel shaders), instructions,
// comments (opcode 0xFFFE, length in tokens in bits 16-30) and the end token
// 0x0000FFFF. From shader model 2 on an instruction token carries its
// parameter count in bits 24-27; before that the count follows from the
// opcode. Literal floats of "def" may look like any token, so the stream is
// walked instruction by instruction, never searched.
#include "platform/d3d9/d3d9_types.h"

constexpr DWORD d3d_shader_end_token = 0x0000FFFFu;
constexpr DWORD d3d_comment_opcode = 0xFFFEu;

enum D3DSHADER_INSTRUCTION_OPCODE_TYPE : u16 {
    D3DSIO_NOP = 0,
    D3DSIO_MOV = 1,
    D3DSIO_ADD = 2,
    D3DSIO_SUB = 3,
    D3DSIO_MAD = 4,
    D3DSIO_MUL = 5,
    D3DSIO_RCP = 6,
    D3DSIO_RSQ = 7,
    D3DSIO_DP3 = 8,
    D3DSIO_DP4 = 9,
    D3DSIO_MIN = 10,
    D3DSIO_MAX = 11,
    D3DSIO_SLT = 12,
    D3DSIO_SGE = 13,
    D3DSIO_EXP = 14,
    D3DSIO_LOG = 15,
    D3DSIO_LIT = 16,
    D3DSIO_DST = 17,
    D3DSIO_LRP = 18,
    D3DSIO_FRC = 19,
    D3DSIO_M4x4 = 20,
    D3DSIO_M4x3 = 21,
    D3DSIO_M3x4 = 22,
    D3DSIO_M3x3 = 23,
    D3DSIO_M3x2 = 24,
    D3DSIO_DCL = 31,
    D3DSIO_POW = 32,
    D3DSIO_ABS = 35,
    D3DSIO_NRM = 36,
    D3DSIO_SINCOS = 37,
    D3DSIO_TEX = 66,
    D3DSIO_EXPP = 78,
    D3DSIO_LOGP = 79,
    D3DSIO_DEF = 81,
};

// Major and minor version of a version token; a minor byte of 0xFF counts
// as 0.
u32 ShaderMajorVersion(DWORD _version);
u32 ShaderMinorVersion(DWORD _version);
bool IsVertexShaderVersion(DWORD _version);
bool IsPixelShaderVersion(DWORD _version);

// Parameter tokens following an instruction token in a stream of the given
// version; -1 for an opcode the walk does not know in a 1.x stream.
i32 ShaderParameterCount(DWORD _version, DWORD _instruction);

// Tokens of the stream up to and including the end token, reading at most
// _limit tokens; 0 when it has no version token, an unknown opcode, a
// comment or instruction running past _limit, or no end.
u64 ShaderTokenCount(const DWORD* _tokens, u64 _limit);
