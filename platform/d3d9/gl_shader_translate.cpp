#include "platform/d3d9/gl_shader_translate.h"
#include "platform/d3d9/shader_tokens.h"

#include <cstring>
#include <map>
#include <set>
#include <stdexcept>

namespace {

enum register_e : u32 {
    reg_temp = 0,
    reg_input = 1,
    reg_const = 2,
    reg_addr = 3, // a0 in vertex programs, t# in pixel programs
    reg_rastout = 4,
    reg_attrout = 5,
    reg_texcrdout = 6, // also the outputs of vs_3_0, not read here
    reg_colorout = 8,
    reg_depthout = 9,
    reg_sampler = 10,
};

u32 RegisterType(DWORD _token)
{
    return ((_token >> 28) & 7) | (((_token >> 11) & 3) << 3);
}

u32 RegisterIndex(DWORD _token)
{
    return _token & 0x7FF;
}

std::string Str(u32 _v)
{
    return std::to_string(_v);
}

[[noreturn]] void Unsupported(const std::string& _what)
{
    throw std::runtime_error("shader translation: " + _what + " is not implemented");
}

class translator_c {
public:
    translator_c(const DWORD* _tokens, u64 _count, bool _pixel) : tokens(_tokens), count(_count), pixel(_pixel) {}

    std::string Run();

private:
    std::string Source(DWORD _token, bool _relative, DWORD _relative_token);
    std::string Destination(DWORD _token);
    void Instruction(DWORD _opcode, const std::vector<DWORD>& _params);

    const DWORD* tokens;
    u64 count;
    bool pixel;
    DWORD version = 0;
    std::string declarations;
    std::string body;
    std::map<u32, std::string> literals;
    std::set<u32> temps;
    std::set<u32> colorOutputs;
    std::map<u32, bool> cubeSamplers;
    bool usesAddress = false;
    bool writesPosition = false;
};

std::string translator_c::Source(DWORD _token, bool _relative, DWORD _relative_token)
{
    const u32 type = RegisterType(_token);
    const u32 index = RegisterIndex(_token);
    std::string base;
    switch (type) {
    case reg_temp:
        temps.insert(index);
        base = "r" + Str(index);
        break;
    case reg_input:
        if (pixel) {
            base = index == 0 ? "v_diffuse" : "v_specular";
        } else {
            base = "a_v" + Str(index);
        }
        break;
    case reg_const:
        if (_relative) {
            usesAddress = true;
            const u32 component = ShaderMajorVersion(version) >= 2 ? (_relative_token >> 16) & 3 : 0;
            base = std::string(pixel ? "pc" : "vc") + "[clamp(a0." + "xyzw"[component] + " + " + Str(index) + ", 0, " +
                   (pixel ? "31" : "255") + ")]";
        } else if (literals.contains(index)) {
            base = literals[index];
        } else {
            base = std::string(pixel ? "pc[" : "vc[") + Str(index) + "]";
        }
        break;
    case reg_addr:
        if (pixel) {
            base = "v_tex[" + Str(index) + "]";
        } else {
            usesAddress = true;
            base = "vec4(a0)";
        }
        break;
    case reg_sampler: return "s" + Str(index);
    default: Unsupported("source register type " + Str(type));
    }
    const u32 swizzle = (_token >> 16) & 0xFF;
    if (swizzle != 0xE4) {
        base += ".";
        for (u32 c = 0; c < 4; ++c) {
            base += "xyzw"[(swizzle >> (c * 2)) & 3];
        }
    }
    switch ((_token >> 24) & 0xF) {
    case 0: return base;
    case 1: return "(-" + base + ")";
    case 2: return "(" + base + " - 0.5)";
    case 3: return "(0.5 - " + base + ")";
    case 4: return "(2.0 * " + base + " - 1.0)";
    case 5: return "(1.0 - 2.0 * " + base + ")";
    case 6: return "(1.0 - " + base + ")";
    case 7: return "(2.0 * " + base + ")";
    case 8: return "(-2.0 * " + base + ")";
    case 11: return "abs(" + base + ")";
    case 12: return "(-abs(" + base + "))";
    default: Unsupported("source modifier " + Str((_token >> 24) & 0xF));
    }
}

std::string translator_c::Destination(DWORD _token)
{
    const u32 type = RegisterType(_token);
    const u32 index = RegisterIndex(_token);
    switch (type) {
    case reg_temp: temps.insert(index); return "r" + Str(index);
    case reg_addr:
        if (pixel) {
            Unsupported("writing a texture register");
        }
        usesAddress = true;
        return "a0f";
    case reg_rastout:
        if (index == 0) {
            writesPosition = true;
            return "o_pos";
        }
        return index == 1 ? "o_fog" : "o_size";
    case reg_attrout: return index == 0 ? "v_diffuse" : "v_specular";
    case reg_texcrdout: return "v_tex[" + Str(index & 7) + "]";
    case reg_colorout: colorOutputs.insert(index & 3); return "o_color" + Str(index & 3);
    case reg_depthout: return "o_depth";
    default: Unsupported("destination register type " + Str(type));
    }
}

void translator_c::Instruction(DWORD _opcode, const std::vector<DWORD>& _params)
{
    const DWORD op = _opcode & 0xFFFF;
    if (op == D3DSIO_NOP) {
        return;
    }
    if (op == D3DSIO_DCL) {
        if (_params.size() < 2) {
            Unsupported("a short dcl");
        }
        const DWORD usage = _params[0];
        const DWORD reg = _params[1];
        if (RegisterType(reg) == reg_sampler) {
            cubeSamplers[RegisterIndex(reg)] = ((usage >> 27) & 0xF) == 3;
        } else if (!pixel && RegisterType(reg) == reg_input) {
            const i32 slot = GlAttributeSlot(static_cast<u8>(usage & 0x1F), static_cast<u8>((usage >> 16) & 0xF));
            if (slot < 0) {
                Unsupported("input usage " + Str(usage & 0x1F));
            }
            declarations +=
                "layout(location = " + Str(static_cast<u32>(slot)) + ") in vec4 a_v" + Str(RegisterIndex(reg)) + ";\n";
        }
        return;
    }
    if (op == D3DSIO_DEF) {
        if (_params.size() < 5) {
            Unsupported("a short def");
        }
        f32 v[4];
        std::memcpy(v, &_params[1], sizeof(v));
        std::string literal = "vec4(";
        for (u32 i = 0; i < 4; ++i) {
            char text[32];
            std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(v[i]));
            std::string number = text;
            if (number.find_first_of(".eEn") == std::string::npos) {
                number += ".0";
            }
            literal += (i != 0 ? ", " : "") + number;
        }
        literals[RegisterIndex(_params[0])] = literal + ")";
        return;
    }
    if (_params.empty()) {
        Unsupported("instruction " + Str(op) + " without operands");
    }
    // Sources, each with its relative-address token when it has one.
    std::vector<std::string> s;
    std::vector<DWORD> raw;
    const bool model2 = ShaderMajorVersion(version) >= 2;
    for (u64 i = 1; i < _params.size(); ++i) {
        const DWORD token = _params[i];
        const bool relative = (token & (1u << 13)) != 0;
        DWORD relative_token = 0;
        if (relative && model2) {
            if (i + 1 >= _params.size()) {
                Unsupported("a relative source without its address token");
            }
            relative_token = _params[++i];
        }
        s.push_back(Source(token, relative, relative_token));
        raw.push_back(token);
    }
    // The scalar a replicate-swizzle instruction reads: the first component
    // its swizzle names, or w for a source written without one.
    const auto Scalar = [&](const std::string& _source) {
        const u64 i = static_cast<u64>(&_source - s.data());
        return "(" + _source + ")" + (((raw[i] >> 16) & 0xFF) == 0xE4 ? ".w" : ".x");
    };
    const auto need = [&](u64 _n) {
        if (s.size() < _n) {
            Unsupported("instruction " + Str(op) + " with too few sources");
        }
    };
    std::string value;
    const DWORD dst = _params[0];
    switch (op) {
    case D3DSIO_MOV:
        need(1);
        value = s[0];
        break;
    case D3DSIO_ADD:
        need(2);
        value = s[0] + " + " + s[1];
        break;
    case D3DSIO_SUB:
        need(2);
        value = s[0] + " - " + s[1];
        break;
    case D3DSIO_MUL:
        need(2);
        value = s[0] + " * " + s[1];
        break;
    case D3DSIO_MAD:
        need(3);
        value = s[0] + " * " + s[1] + " + " + s[2];
        break;
    case D3DSIO_RCP:
        need(1);
        value = "vec4(1.0 / " + Scalar(s[0]) + ")";
        break;
    case D3DSIO_RSQ:
        need(1);
        value = "vec4(inversesqrt(abs(" + Scalar(s[0]) + ")))";
        break;
    case D3DSIO_DP3:
        need(2);
        value = "vec4(dot((" + s[0] + ").xyz, (" + s[1] + ").xyz))";
        break;
    case D3DSIO_DP4:
        need(2);
        value = "vec4(dot(" + s[0] + ", " + s[1] + "))";
        break;
    case D3DSIO_MIN:
        need(2);
        value = "min(" + s[0] + ", " + s[1] + ")";
        break;
    case D3DSIO_MAX:
        need(2);
        value = "max(" + s[0] + ", " + s[1] + ")";
        break;
    case D3DSIO_SLT:
        need(2);
        value = "vec4(lessThan(" + s[0] + ", " + s[1] + "))";
        break;
    case D3DSIO_SGE:
        need(2);
        value = "vec4(greaterThanEqual(" + s[0] + ", " + s[1] + "))";
        break;
    case D3DSIO_FRC:
        need(1);
        value = "fract(" + s[0] + ")";
        break;
    case D3DSIO_ABS:
        need(1);
        value = "abs(" + s[0] + ")";
        break;
    case D3DSIO_NRM:
        need(1);
        value = "vec4(normalize((" + s[0] + ").xyz), 1.0)";
        break;
    case D3DSIO_EXP:
    case D3DSIO_EXPP:
        need(1);
        value = "vec4(exp2(" + Scalar(s[0]) + "))";
        break;
    case D3DSIO_LOG:
    case D3DSIO_LOGP:
        need(1);
        value = "vec4(log2(abs(" + Scalar(s[0]) + ")))";
        break;
    case D3DSIO_POW:
        need(2);
        value = "vec4(pow(abs(" + Scalar(s[0]) + "), " + Scalar(s[1]) + "))";
        break;
    case D3DSIO_LRP:
        need(3);
        value = "mix(" + s[2] + ", " + s[1] + ", " + s[0] + ")";
        break;
    case D3DSIO_DST:
        need(2);
        value = "vec4(1.0, (" + s[0] + ").y * (" + s[1] + ").y, (" + s[0] + ").z, (" + s[1] + ").w)";
        break;
    case D3DSIO_LIT:
        need(1);
        value = "vec4(1.0, max((" + s[0] + ").x, 0.0), (" + s[0] + ").x > 0.0 ? pow(max((" + s[0] +
                ").y, 0.0), clamp((" + s[0] + ").w, -128.0, 128.0)) : 0.0, 1.0)";
        break;
    case D3DSIO_SINCOS:
        need(1);
        value = "vec4(cos(" + Scalar(s[0]) + "), sin(" + Scalar(s[0]) + "), 0.0, 0.0)";
        break;
    case D3DSIO_M4x4:
    case D3DSIO_M4x3:
    case D3DSIO_M3x4:
    case D3DSIO_M3x3:
    case D3DSIO_M3x2: {
        need(2);
        const u32 rows = op == D3DSIO_M4x4 || op == D3DSIO_M3x4 ? 4 : op == D3DSIO_M3x2 ? 2 : 3;
        const bool three = op != D3DSIO_M4x4 && op != D3DSIO_M4x3;
        const DWORD matrix = _params[2];
        if (RegisterType(matrix) != reg_const || (matrix & (1u << 13)) != 0) {
            Unsupported("a matrix outside the constant registers");
        }
        value = "vec4(";
        for (u32 r = 0; r < 4; ++r) {
            const DWORD row = (matrix & ~0x7FFu) | (RegisterIndex(matrix) + r);
            const std::string m = Source(row, false, 0);
            value += r != 0 ? ", " : "";
            value += r < rows ? (three ? "dot((" + s[0] + ").xyz, (" + m + ").xyz)" : "dot(" + s[0] + ", " + m + ")")
                              : "0.0";
        }
        value += ")";
        break;
    }
    case D3DSIO_TEX: {
        need(2);
        const u32 sampler = RegisterIndex(_params[2]);
        const bool cube = cubeSamplers[sampler];
        value = "texture(s" + Str(sampler) + ", (" + s[0] + ")." + (cube ? "xyz" : "xy") + ")";
        break;
    }
    default: Unsupported("instruction " + Str(op));
    }
    const std::string target = Destination(dst);
    const u32 mask = (dst >> 16) & 0xF;
    std::string swizzle;
    for (u32 c = 0; c < 4; ++c) {
        if ((mask & (1u << c)) != 0) {
            swizzle += "xyzw"[c];
        }
    }
    std::string result = "(" + value + ")";
    if ((dst & (1u << 20)) != 0) {
        result = "clamp(" + result + ", 0.0, 1.0)";
    }
    if (target == "a0f") {
        body += "    a0f." + swizzle + " = " + result + "." + swizzle + ";\n";
        body += "    a0 = ivec4(floor(a0f + 0.5));\n";
        return;
    }
    body += "    " + target + "." + swizzle + " = " + result + "." + swizzle + ";\n";
}

std::string translator_c::Run()
{
    if (count < 2) {
        Unsupported("an empty shader");
    }
    version = tokens[0];
    u64 at = 1;
    while (at < count && tokens[at] != d3d_shader_end_token) {
        const DWORD token = tokens[at];
        if ((token & 0xFFFF) == d3d_comment_opcode) {
            at += 1 + ((token >> 16) & 0x7FFF);
            continue;
        }
        const i32 params = ShaderParameterCount(version, token);
        if (params < 0 || at + 1 + static_cast<u64>(params) > count) {
            Unsupported("instruction " + Str(token & 0xFFFF));
        }
        Instruction(token, std::vector<DWORD>(tokens + at + 1, tokens + at + 1 + params));
        at += 1 + static_cast<u64>(params);
    }
    std::string out = "#version 330 core\n";
    if (pixel) {
        out += "uniform vec4 pc[32];\nuniform vec4 pf[3];\n";
        for (const auto& [sampler, cube] : cubeSamplers) {
            out += std::string("uniform ") + (cube ? "samplerCube" : "sampler2D") + " s" + Str(sampler) + ";\n";
        }
        out += "in vec4 v_diffuse;\nin vec4 v_specular;\nin vec4 v_tex[8];\nin float v_fog;\nin float v_distance;\n";
        for (u32 i = 0; i < 4; ++i) {
            out += "layout(location = " + Str(i) + ") out vec4 o_color" + Str(i) + ";\n";
        }
    } else {
        out += declarations;
        out += "uniform vec4 vc[256];\n";
        out += "out vec4 v_diffuse;\nout vec4 v_specular;\nout vec4 v_tex[8];\nout float v_fog;\nout float "
               "v_distance;\n";
        out += gl_position_fixup_glsl;
    }
    out += "void main()\n{\n";
    for (u32 t : temps) {
        out += "    vec4 r" + Str(t) + " = vec4(0.0);\n";
    }
    if (usesAddress) {
        out += "    vec4 a0f = vec4(0.0);\n    ivec4 a0 = ivec4(0);\n";
    }
    if (pixel) {
        out += "    float o_depth = gl_FragCoord.z;\n";
        for (u32 i = 0; i < 4; ++i) {
            out += "    o_color" + Str(i) + " = vec4(0.0);\n";
        }
    } else {
        out += "    vec4 o_pos = vec4(0.0, 0.0, 0.0, 1.0);\n    vec4 o_fog = vec4(1.0);\n    vec4 o_size = "
               "vec4(1.0);\n";
        out += "    v_diffuse = vec4(1.0);\n    v_specular = vec4(0.0);\n";
        out += "    for (int i = 0; i < 8; ++i) v_tex[i] = vec4(0.0, 0.0, 0.0, 1.0);\n";
    }
    out += body;
    if (pixel) {
        out += "    gl_FragDepth = o_depth;\n";
    } else {
        out += "    gl_Position = GlPositionFixup(o_pos);\n    v_fog = o_fog.x;\n    v_distance = o_pos.w;\n";
        out += "    gl_PointSize = o_size.x;\n}\n";
    }
    return out;
}

}

std::string GlTranslateVertexShader(const DWORD* _tokens, u64 _count)
{
    if (_count == 0 || !IsVertexShaderVersion(_tokens[0])) {
        Unsupported("a vertex shader without a vertex shader version");
    }
    return translator_c(_tokens, _count, false).Run();
}

std::string GlTranslatePixelShader(const DWORD* _tokens, u64 _count)
{
    if (_count == 0 || !IsPixelShaderVersion(_tokens[0]) || ShaderMajorVersion(_tokens[0]) < 2) {
        Unsupported("a pixel shader before version 2.0");
    }
    return translator_c(_tokens, _count, true).Run();
}

std::string GlShaderPixelTail(const gl_fixed_key_s& _key)
{
    std::string s;
    if (_key.alphaFunc != 0 && _key.alphaFunc != D3DCMP_ALWAYS) {
        static const char* const tests[] = {"", "false", "a < r", "a == r", "a <= r", "a > r", "a != r", "a >= r"};
        s += "    { float a = floor(clamp(o_color0.a, 0.0, 1.0) * 255.0 + 0.5); float r = pf[0].x;\n";
        s += std::string("      if (!(") + tests[_key.alphaFunc < 8 ? _key.alphaFunc : 1] + ")) discard; }\n";
    }
    if (_key.tableFog != D3DFOG_NONE || _key.vertexFog != D3DFOG_NONE) {
        s += "    o_color0.rgb = mix(pf[1].rgb, o_color0.rgb, clamp(v_fog, 0.0, 1.0));\n";
    }
    return s + "}\n";
}
