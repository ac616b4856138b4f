#include "platform/d3d9/shader_tokens.h"

u32 ShaderMajorVersion(DWORD _version)
{
    return (_version >> 8) & 0xFF;
}

u32 ShaderMinorVersion(DWORD _version)
{
    const u32 minor = _version & 0xFF;
    return minor == 0xFF ? 0 : minor;
}

bool IsVertexShaderVersion(DWORD _version)
{
    return (_version & 0xFFFF0000u) == 0xFFFE0000u;
}

bool IsPixelShaderVersion(DWORD _version)
{
    return (_version & 0xFFFF0000u) == 0xFFFF0000u;
}

i32 ShaderParameterCount(DWORD _version, DWORD _instruction)
{
    if (ShaderMajorVersion(_version) >= 2) {
        return static_cast<i32>((_instruction >> 24) & 0xF);
    }
    switch (_instruction & 0xFFFF) {
    case D3DSIO_NOP: return 0;
    case D3DSIO_MOV:
    case D3DSIO_RCP:
    case D3DSIO_RSQ:
    case D3DSIO_EXP:
    case D3DSIO_LOG:
    case D3DSIO_LIT:
    case D3DSIO_FRC:
    case D3DSIO_EXPP:
    case D3DSIO_LOGP:
    case D3DSIO_DCL:
    case D3DSIO_ABS:
    case D3DSIO_NRM: return 2;
    case D3DSIO_ADD:
    case D3DSIO_SUB:
    case D3DSIO_MUL:
    case D3DSIO_DP3:
    case D3DSIO_DP4:
    case D3DSIO_MIN:
    case D3DSIO_MAX:
    case D3DSIO_SLT:
    case D3DSIO_SGE:
    case D3DSIO_DST:
    case D3DSIO_M4x4:
    case D3DSIO_M4x3:
    case D3DSIO_M3x4:
    case D3DSIO_M3x3:
    case D3DSIO_M3x2:
    case D3DSIO_POW: return 3;
    case D3DSIO_MAD:
    case D3DSIO_LRP: return 4;
    case D3DSIO_DEF: return 5;
    default: return -1;
    }
}

u64 ShaderTokenCount(const DWORD* _tokens, u64 _limit)
{
    if (_tokens == nullptr || _limit == 0 ||
        (!IsVertexShaderVersion(_tokens[0]) && !IsPixelShaderVersion(_tokens[0]))) {
        return 0;
    }
    const DWORD version = _tokens[0];
    u64 i = 1;
    while (i < _limit) {
        const DWORD token = _tokens[i];
        if (token == d3d_shader_end_token) {
            return i + 1;
        }
        u64 length = 0;
        if ((token & 0xFFFF) == d3d_comment_opcode) {
            length = (token >> 16) & 0x7FFF;
        } else {
            const i32 count = ShaderParameterCount(version, token);
            if (count < 0) {
                return 0;
            }
            length = static_cast<u64>(count);
        }
        if (length > _limit - i - 1) {
            return 0;
        }
        i += 1 + length;
    }
    return 0;
}
