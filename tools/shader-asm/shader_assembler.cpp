#include "tools/shader-asm/shader_assembler.h"
#include "platform/d3d9/shader_tokens.h"
#include "platform/d3dx9/constant_table_format.h"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <optional>
#include <sstream>

namespace {

enum register_type_e : u32 {
    reg_temp = 0,
    reg_input = 1,
    reg_const = 2,
    reg_addr = 3, // a0 in vertex shaders, t# in pixel shaders
    reg_rastout = 4,
    reg_attrout = 5,
    reg_texcrdout = 6,
    reg_colorout = 8,
    reg_sampler = 10,
};

enum shader_kind_e { kind_vs_1_1, kind_vs_2_0, kind_ps_2_0 };

struct operand_s {
    u32 type = reg_temp;
    u32 index = 0;
    u32 mask = 0xF;      // destinations
    u32 swizzle = 0xE4;  // sources: two bits a component, x first
    bool negate = false; // sources
    bool relative = false;
    bool operator==(const operand_s&) const = default;
};

struct instruction_s {
    std::string name;
    u32 opcode = 0;
    std::vector<operand_s> operands; // destination first
    std::vector<f32> literals;       // def
    u32 usage = 0;                   // dcl
    u32 usageIndex = 0;
    bool sampler2d = false;
};

struct opcode_s {
    const char* name;
    u32 opcode;
    u32 sources;
    bool vs1, vs2, ps2;
};

constexpr opcode_s opcodes[] = {
    {"mov", D3DSIO_MOV, 1, true, true, true},    {"add", D3DSIO_ADD, 2, true, true, true},
    {"sub", D3DSIO_SUB, 2, true, true, true},    {"mad", D3DSIO_MAD, 3, true, true, true},
    {"mul", D3DSIO_MUL, 2, true, true, true},    {"rcp", D3DSIO_RCP, 1, true, true, true},
    {"rsq", D3DSIO_RSQ, 1, true, true, true},    {"dp3", D3DSIO_DP3, 2, true, true, true},
    {"dp4", D3DSIO_DP4, 2, true, true, true},    {"min", D3DSIO_MIN, 2, true, true, true},
    {"max", D3DSIO_MAX, 2, true, true, true},    {"slt", D3DSIO_SLT, 2, true, true, false},
    {"sge", D3DSIO_SGE, 2, true, true, false},   {"exp", D3DSIO_EXP, 1, true, true, true},
    {"log", D3DSIO_LOG, 1, true, true, true},    {"lit", D3DSIO_LIT, 1, true, true, false},
    {"dst", D3DSIO_DST, 2, true, true, false},   {"lrp", D3DSIO_LRP, 3, false, true, true},
    {"frc", D3DSIO_FRC, 1, true, true, true},    {"m4x4", D3DSIO_M4x4, 2, true, true, true},
    {"m4x3", D3DSIO_M4x3, 2, true, true, true},  {"m3x4", D3DSIO_M3x4, 2, true, true, true},
    {"m3x3", D3DSIO_M3x3, 2, true, true, true},  {"m3x2", D3DSIO_M3x2, 2, true, true, true},
    {"pow", D3DSIO_POW, 2, false, true, true},   {"abs", D3DSIO_ABS, 1, false, true, true},
    {"nrm", D3DSIO_NRM, 1, false, true, true},   {"expp", D3DSIO_EXPP, 1, true, true, false},
    {"logp", D3DSIO_LOGP, 1, true, true, false}, {"texld", D3DSIO_TEX, 2, false, false, true},
};

const char* const usages[] = {"position", "blendweight", "blendindices", "normal", "psize", "texcoord", "tangent",
                              "binormal", "tessfactor",  "positiont",    "color",  "fog",   "depth",    "sample"};

[[noreturn]] void Fail(u32 _line, const std::string& _what)
{
    throw shader_asm_error_c("line " + std::to_string(_line) + ": " + _what);
}

std::string Trim(const std::string& _text)
{
    const auto first = _text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = _text.find_last_not_of(" \t\r");
    return _text.substr(first, last - first + 1);
}

std::string Lower(std::string _text)
{
    for (char& c : _text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return _text;
}

std::vector<std::string> SplitOperands(const std::string& _text)
{
    std::vector<std::string> parts;
    std::string current;
    int depth = 0;
    for (const char c : _text) {
        depth += c == '[' ? 1 : (c == ']' ? -1 : 0);
        if (c == ',' && depth == 0) {
            parts.push_back(Trim(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!Trim(current).empty() || !parts.empty()) {
        parts.push_back(Trim(current));
    }
    return parts;
}

std::optional<u32> ParseNumber(const std::string& _text)
{
    if (_text.empty() || _text.size() > 4) {
        return std::nullopt;
    }
    u32 value = 0;
    for (const char c : _text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<u32>(c - '0');
    }
    return value;
}

u32 ComponentOf(char _c)
{
    switch (_c) {
    case 'x':
    case 'r': return 0;
    case 'y':
    case 'g': return 1;
    case 'z':
    case 'b': return 2;
    case 'w':
    case 'a': return 3;
    default: return 4;
    }
}

u32 RegisterLimit(shader_kind_e _kind, u32 _type)
{
    const bool ps = _kind == kind_ps_2_0;
    switch (_type) {
    case reg_temp: return 12;
    case reg_input: return ps ? 2 : 16;
    case reg_const: return _kind == kind_vs_1_1 ? 96 : (ps ? 32 : 256);
    case reg_addr: return ps ? 8 : 1;
    case reg_rastout: return ps ? 0 : 3;
    case reg_attrout: return ps ? 0 : 2;
    case reg_texcrdout: return ps ? 0 : 8;
    case reg_colorout: return ps ? 4 : 0;
    case reg_sampler: return ps ? 16 : 0;
    default: return 0;
    }
}

// A register name without modifiers: its type and index.
void ParseRegister(const std::string& _name, shader_kind_e _kind, u32 _line, operand_s& _operand)
{
    const std::string name = Lower(_name);
    const bool ps = _kind == kind_ps_2_0;
    struct prefix_s {
        const char* prefix;
        u32 type;
        bool pixel;
    };
    static constexpr prefix_s fixed[] = {{"opos", reg_rastout, false},
                                         {"ofog", reg_rastout, false},
                                         {"opts", reg_rastout, false},
                                         {"a0", reg_addr, false}};
    for (u32 i = 0; i < 4; ++i) {
        if (name == fixed[i].prefix && !ps) {
            _operand.type = fixed[i].type;
            _operand.index = i < 3 ? i : 0;
            return;
        }
    }
    static constexpr prefix_s prefixes[] = {
        {"od", reg_attrout, false}, {"ot", reg_texcrdout, false}, {"oc", reg_colorout, true}, {"r", reg_temp, false},
        {"v", reg_input, false},    {"c", reg_const, false},      {"t", reg_addr, true},      {"s", reg_sampler, true}};
    for (const prefix_s& p : prefixes) {
        const size_t length = std::strlen(p.prefix);
        if (name.compare(0, length, p.prefix) != 0) {
            continue;
        }
        const std::optional<u32> index = ParseNumber(name.substr(length));
        if (!index) {
            break;
        }
        if (p.pixel && !ps) {
            Fail(_line, "register " + _name + " is not in vertex shaders");
        }
        if (*index >= RegisterLimit(_kind, p.type)) {
            Fail(_line, "register " + _name + " out of range");
        }
        _operand.type = p.type;
        _operand.index = *index;
        return;
    }
    Fail(_line, "bad register '" + _name + "'");
}

operand_s ParseDestination(const std::string& _text, shader_kind_e _kind, u32 _line)
{
    operand_s operand;
    const auto dot = _text.find('.');
    ParseRegister(_text.substr(0, dot), _kind, _line, operand);
    if (operand.type == reg_const || operand.type == reg_input || operand.type == reg_sampler) {
        Fail(_line, "register " + _text + " cannot be written");
    }
    if (dot != std::string::npos) {
        const std::string mask = Lower(_text.substr(dot + 1));
        operand.mask = 0;
        i32 last = -1;
        for (const char c : mask) {
            const u32 component = ComponentOf(c);
            if (component > 3 || static_cast<i32>(component) <= last) {
                Fail(_line, "bad write mask '" + mask + "'");
            }
            last = static_cast<i32>(component);
            operand.mask |= 1u << component;
        }
        if (operand.mask == 0) {
            Fail(_line, "empty write mask");
        }
    }
    return operand;
}

operand_s ParseSource(const std::string& _text, shader_kind_e _kind, u32 _line)
{
    operand_s operand;
    std::string text = _text;
    if (!text.empty() && text[0] == '-') {
        operand.negate = true;
        text = Trim(text.substr(1));
    }
    std::string swizzle;
    const auto close = text.find(']');
    const auto dot = text.find('.', close == std::string::npos ? 0 : close);
    if (dot != std::string::npos) {
        swizzle = Lower(text.substr(dot + 1));
        text = text.substr(0, dot);
    }
    const auto open = text.find('[');
    if (open != std::string::npos) {
        if (_kind == kind_ps_2_0 || Lower(Trim(text.substr(0, open))) != "c" || close == std::string::npos) {
            Fail(_line, "bad relative address '" + _text + "'");
        }
        std::string inside = Lower(text.substr(open + 1, close - open - 1));
        inside.erase(std::remove(inside.begin(), inside.end(), ' '), inside.end());
        if (inside.compare(0, 4, "a0.x") != 0) {
            Fail(_line, "relative addresses use a0.x");
        }
        u32 base = 0;
        if (inside.size() > 4) {
            const std::optional<u32> number = inside[4] == '+' ? ParseNumber(inside.substr(5)) : std::nullopt;
            if (!number) {
                Fail(_line, "bad relative address '" + _text + "'");
            }
            base = *number;
        }
        if (base >= RegisterLimit(_kind, reg_const)) {
            Fail(_line, "constant c" + std::to_string(base) + " out of range");
        }
        operand.type = reg_const;
        operand.index = base;
        operand.relative = true;
    } else {
        ParseRegister(Trim(text), _kind, _line, operand);
    }
    if (operand.type == reg_rastout || operand.type == reg_attrout || operand.type == reg_texcrdout ||
        operand.type == reg_colorout) {
        Fail(_line, "register " + _text + " cannot be read");
    }
    if (!swizzle.empty()) {
        if (swizzle.size() > 4) {
            Fail(_line, "bad swizzle '" + swizzle + "'");
        }
        operand.swizzle = 0;
        for (u32 i = 0; i < 4; ++i) {
            const u32 component = ComponentOf(swizzle[std::min<size_t>(i, swizzle.size() - 1)]);
            if (component > 3) {
                Fail(_line, "bad swizzle '" + swizzle + "'");
            }
            operand.swizzle |= component << (2 * i);
        }
    }
    return operand;
}

std::string RegisterName(const operand_s& _operand, shader_kind_e _kind)
{
    const std::string index = std::to_string(_operand.index);
    switch (_operand.type) {
    case reg_temp: return "r" + index;
    case reg_input: return "v" + index;
    case reg_const: return _operand.relative ? "c[a0.x + " + index + "]" : "c" + index;
    case reg_addr: return _kind == kind_ps_2_0 ? "t" + index : "a0";
    case reg_rastout: return _operand.index == 0 ? "oPos" : (_operand.index == 1 ? "oFog" : "oPts");
    case reg_attrout: return "oD" + index;
    case reg_texcrdout: return "oT" + index;
    case reg_colorout: return "oC" + index;
    case reg_sampler: return "s" + index;
    default: return "?" + index;
    }
}

std::string Print(const instruction_s& _instruction, shader_kind_e _kind)
{
    std::ostringstream out;
    out << _instruction.name;
    if (_instruction.opcode == D3DSIO_DCL) {
        if (_instruction.sampler2d) {
            out << "_2d";
        } else if (_kind != kind_ps_2_0) {
            out << "_" << usages[_instruction.usage];
            if (_instruction.usageIndex > 0) {
                out << _instruction.usageIndex;
            }
        }
    }
    for (u64 i = 0; i < _instruction.operands.size(); ++i) {
        const operand_s& operand = _instruction.operands[i];
        out << (i == 0 ? " " : ", ") << (operand.negate ? "-" : "") << RegisterName(operand, _kind);
        const bool destination = i == 0 && _instruction.opcode != D3DSIO_DCL && _instruction.operands.size() > 0;
        if (destination && operand.mask != 0xF) {
            out << '.';
            for (u32 c = 0; c < 4; ++c) {
                if ((operand.mask >> c) & 1) {
                    out << "xyzw"[c];
                }
            }
        } else if (!destination && operand.swizzle != 0xE4) {
            char letters[4];
            for (u32 c = 0; c < 4; ++c) {
                letters[c] = "xyzw"[(operand.swizzle >> (2 * c)) & 3];
            }
            u32 length = 4;
            while (length > 1 && letters[length - 1] == letters[length - 2]) {
                --length;
            }
            out << '.' << std::string(letters, length);
        }
    }
    for (const f32 literal : _instruction.literals) {
        out << ", " << std::setprecision(9) << literal;
    }
    return out.str();
}

struct parsed_s {
    shader_kind_e kind = kind_vs_1_1;
    u32 version = 0;
    std::vector<instruction_s> instructions;
    d3dx_constant_table_s table;
};

parsed_s Parse(const std::string& _source)
{
    parsed_s parsed;
    std::istringstream lines(_source);
    std::string raw;
    u32 line = 0;
    bool have_version = false;
    while (std::getline(lines, raw)) {
        ++line;
        for (const char* marker : {";", "//"}) {
            const auto at = raw.find(marker);
            if (at != std::string::npos) {
                raw = raw.substr(0, at);
            }
        }
        const std::string text = Trim(raw);
        if (text.empty()) {
            continue;
        }
        const auto space = text.find_first_of(" \t");
        const std::string word = Lower(text.substr(0, space));
        const std::string rest = space == std::string::npos ? std::string{} : Trim(text.substr(space));
        if (!have_version) {
            static const std::pair<const char*, shader_kind_e> versions[] = {
                {"vs_1_1", kind_vs_1_1}, {"vs_2_0", kind_vs_2_0}, {"ps_2_0", kind_ps_2_0}};
            bool found = false;
            for (const auto& [name, kind] : versions) {
                if (word == name && rest.empty()) {
                    parsed.kind = kind;
                    found = true;
                }
            }
            if (!found) {
                Fail(line, "a program starts with vs_1_1, vs_2_0 or ps_2_0");
            }
            parsed.version = parsed.kind == kind_vs_1_1   ? 0xFFFE0101u
                             : parsed.kind == kind_vs_2_0 ? 0xFFFE0200u
                                                          : 0xFFFF0200u;
            parsed.table.version = parsed.version;
            parsed.table.creator = "skyvarn shader-asm";
            parsed.table.target = word;
            have_version = true;
            continue;
        }
        if (word == ".constant" || word == ".sampler") {
            std::istringstream fields(rest);
            std::string name, reg;
            u32 count = 1;
            fields >> name >> reg;
            if (fields >> count) {
                if (count == 0 || word == ".sampler") {
                    Fail(line, "bad register count");
                }
            }
            const bool sampler = word == ".sampler";
            if (name.empty() || reg.empty()) {
                Fail(line, "bad " + word + " directive");
            }
            operand_s operand;
            ParseRegister(reg, parsed.kind, line, operand);
            if (sampler ? operand.type != reg_sampler
                        : operand.type != reg_const || operand.index + count > RegisterLimit(parsed.kind, reg_const)) {
                Fail(line, "bad " + word + " directive");
            }
            d3dx_constant_s constant;
            constant.name = name;
            constant.registerSet = sampler ? D3DXRS_SAMPLER : D3DXRS_FLOAT4;
            constant.registerIndex = static_cast<u16>(operand.index);
            constant.registerCount = static_cast<u16>(count);
            constant.parameterClass = sampler ? D3DXPC_OBJECT : (count == 4 ? D3DXPC_MATRIX_ROWS : D3DXPC_VECTOR);
            constant.type = sampler ? D3DXPT_SAMPLER2D : D3DXPT_FLOAT;
            constant.rows = static_cast<u16>(sampler ? 1 : (count == 4 ? 4 : 1));
            constant.columns = static_cast<u16>(sampler ? 1 : 4);
            parsed.table.constants.push_back(constant);
            continue;
        }
        instruction_s instruction;
        const std::vector<std::string> operands = SplitOperands(rest);
        if (word.compare(0, 3, "dcl") == 0) {
            instruction.name = "dcl";
            instruction.opcode = D3DSIO_DCL;
            const std::string usage = word.size() > 3 ? word.substr(4) : std::string{};
            if (word.size() > 3 && word[3] != '_') {
                Fail(line, "unknown opcode '" + word + "'");
            }
            if (operands.size() != 1) {
                Fail(line, "dcl takes one register");
            }
            operand_s operand;
            ParseRegister(operands[0], parsed.kind, line, operand);
            if (usage == "2d") {
                if (operand.type != reg_sampler) {
                    Fail(line, "dcl_2d declares a sampler");
                }
                instruction.sampler2d = true;
            } else if (parsed.kind == kind_ps_2_0) {
                if (!usage.empty() || (operand.type != reg_addr && operand.type != reg_input)) {
                    Fail(line, "pixel shaders declare t and v registers with dcl");
                }
            } else {
                if (operand.type != reg_input) {
                    Fail(line, "vertex shaders declare input registers");
                }
                bool found = false;
                for (u32 u = 0; u < std::size(usages) && !found; ++u) {
                    const size_t length = std::strlen(usages[u]);
                    if (usage.compare(0, length, usages[u]) == 0) {
                        const std::string index = usage.substr(length);
                        const std::optional<u32> number = index.empty() ? std::optional<u32>(0) : ParseNumber(index);
                        if (number && *number < 16) {
                            instruction.usage = u;
                            instruction.usageIndex = *number;
                            found = true;
                        }
                    }
                }
                if (!found) {
                    Fail(line, "unknown usage '" + usage + "'");
                }
            }
            instruction.operands.push_back(operand);
        } else if (word == "def") {
            instruction.name = "def";
            instruction.opcode = D3DSIO_DEF;
            if (operands.size() != 5) {
                Fail(line, "def takes a constant and four values");
            }
            operand_s operand;
            ParseRegister(operands[0], parsed.kind, line, operand);
            if (operand.type != reg_const) {
                Fail(line, "def defines a constant register");
            }
            instruction.operands.push_back(operand);
            for (u32 i = 1; i < 5; ++i) {
                char* end = nullptr;
                const f32 value = std::strtof(operands[i].c_str(), &end);
                if (end == operands[i].c_str() || *end != '\0') {
                    Fail(line, "bad number '" + operands[i] + "'");
                }
                instruction.literals.push_back(value);
            }
        } else {
            const opcode_s* found = nullptr;
            for (const opcode_s& op : opcodes) {
                if (word == op.name) {
                    found = &op;
                }
            }
            if (found == nullptr) {
                Fail(line, "unknown opcode '" + word + "'");
            }
            const bool allowed = parsed.kind == kind_vs_1_1   ? found->vs1
                                 : parsed.kind == kind_vs_2_0 ? found->vs2
                                                              : found->ps2;
            if (!allowed) {
                Fail(line, "'" + word + "' is not in " + parsed.table.target);
            }
            if (operands.size() != found->sources + 1) {
                Fail(line, "'" + word + "' takes " + std::to_string(found->sources + 1) + " operands");
            }
            instruction.name = found->name;
            instruction.opcode = found->opcode;
            instruction.operands.push_back(ParseDestination(operands[0], parsed.kind, line));
            for (u32 i = 1; i < operands.size(); ++i) {
                instruction.operands.push_back(ParseSource(operands[i], parsed.kind, line));
            }
            if (parsed.kind == kind_vs_1_1) {
                // vs_1_1 reads at most one constant and one input register
                // per instruction.
                for (const u32 type : {static_cast<u32>(reg_const), static_cast<u32>(reg_input)}) {
                    const operand_s* seen = nullptr;
                    for (u64 k = 1; k < instruction.operands.size(); ++k) {
                        const operand_s& source = instruction.operands[k];
                        if (source.type != type) {
                            continue;
                        }
                        if (seen != nullptr && (seen->index != source.index || seen->relative != source.relative)) {
                            Fail(line, "vs_1_1 reads one " + std::string(type == reg_const ? "constant" : "input") +
                                           " register per instruction");
                        }
                        seen = &source;
                    }
                }
            }
        }
        parsed.instructions.push_back(std::move(instruction));
    }
    if (!have_version) {
        Fail(line, "empty program");
    }
    return parsed;
}

u32 TypeBits(u32 _type)
{
    return ((_type & 7) << 28) | (((_type >> 3) & 3) << 11);
}

u32 TypeOf(u32 _token)
{
    return ((_token >> 28) & 7) | (((_token >> 11) & 3) << 3);
}

}

std::vector<u32> AssembleShader(const std::string& _source)
{
    const parsed_s parsed = Parse(_source);
    const bool model2 = parsed.kind != kind_vs_1_1;
    std::vector<u32> tokens{parsed.version};
    if (!parsed.table.constants.empty()) {
        const std::vector<DWORD> comment = BuildConstantTableComment(parsed.table);
        tokens.insert(tokens.end(), comment.begin(), comment.end());
    }
    for (const instruction_s& instruction : parsed.instructions) {
        std::vector<u32> body;
        if (instruction.opcode == D3DSIO_DCL) {
            const operand_s& operand = instruction.operands[0];
            u32 usage = 0x80000000u;
            if (instruction.sampler2d) {
                usage |= 2u << 27;
            } else if (parsed.kind != kind_ps_2_0) {
                usage |= instruction.usage | (instruction.usageIndex << 16);
            }
            body.push_back(usage);
            body.push_back(0x80000000u | TypeBits(operand.type) | operand.index | (0xFu << 16));
        } else {
            for (u64 i = 0; i < instruction.operands.size(); ++i) {
                const operand_s& operand = instruction.operands[i];
                u32 token = 0x80000000u | TypeBits(operand.type) | operand.index;
                if (i == 0) {
                    token |= operand.mask << 16;
                } else {
                    token |= operand.swizzle << 16;
                    token |= operand.negate ? 1u << 24 : 0u;
                    token |= operand.relative ? 1u << 13 : 0u;
                }
                body.push_back(token);
                if (operand.relative && model2) {
                    body.push_back(0x80000000u | TypeBits(reg_addr) | 0);
                }
            }
            for (const f32 literal : instruction.literals) {
                u32 bits = 0;
                std::memcpy(&bits, &literal, 4);
                body.push_back(bits);
            }
        }
        tokens.push_back(instruction.opcode | (model2 ? static_cast<u32>(body.size()) << 24 : 0u));
        tokens.insert(tokens.end(), body.begin(), body.end());
    }
    tokens.push_back(d3d_shader_end_token);
    return tokens;
}

std::string RetargetShader(const std::string& _source, const std::string& _version)
{
    std::istringstream lines(_source);
    std::string out;
    std::string raw;
    bool replaced = false;
    while (std::getline(lines, raw)) {
        std::string text = raw;
        for (const char* marker : {";", "//"}) {
            const auto at = text.find(marker);
            if (at != std::string::npos) {
                text = text.substr(0, at);
            }
        }
        if (!replaced && !Trim(text).empty()) {
            const std::string word = Lower(Trim(text));
            if (word != "vs_1_1" && word != "vs_2_0" && word != "ps_2_0") {
                throw shader_asm_error_c("no version statement to replace");
            }
            raw = _version;
            replaced = true;
        }
        out += raw + "\n";
    }
    if (!replaced) {
        throw shader_asm_error_c("no version statement to replace");
    }
    return out;
}

std::vector<std::string> CanonicalShaderText(const std::string& _source)
{
    const parsed_s parsed = Parse(_source);
    std::vector<std::string> lines;
    for (const instruction_s& instruction : parsed.instructions) {
        lines.push_back(Print(instruction, parsed.kind));
    }
    return lines;
}

std::vector<std::string> DisassembleShader(const std::vector<u32>& _tokens)
{
    const u64 count = ShaderTokenCount(_tokens.data(), _tokens.size());
    if (count == 0) {
        throw shader_asm_error_c("not a shader token stream");
    }
    const u32 version = _tokens[0];
    const shader_kind_e kind = IsPixelShaderVersion(version)      ? kind_ps_2_0
                               : ShaderMajorVersion(version) >= 2 ? kind_vs_2_0
                                                                  : kind_vs_1_1;
    const bool model2 = kind != kind_vs_1_1;
    std::vector<std::string> lines;
    u64 i = 1;
    while (i + 1 < count) {
        const u32 token = _tokens[i];
        const u32 opcode = token & 0xFFFF;
        const u64 length = (opcode == d3d_comment_opcode) ? (token >> 16) & 0x7FFF
                                                          : static_cast<u64>(ShaderParameterCount(version, token));
        const u32* body = _tokens.data() + i + 1;
        i += 1 + length;
        if (opcode == d3d_comment_opcode) {
            continue;
        }
        instruction_s instruction;
        instruction.opcode = opcode;
        if (opcode == D3DSIO_DCL) {
            instruction.name = "dcl";
            instruction.sampler2d = ((body[0] >> 27) & 0xF) == 2;
            instruction.usage = body[0] & 0x1F;
            instruction.usageIndex = (body[0] >> 16) & 0xF;
            if (instruction.usage >= std::size(usages)) {
                throw shader_asm_error_c("unknown usage in a dcl");
            }
            operand_s operand;
            operand.type = TypeOf(body[1]);
            operand.index = body[1] & 0x7FF;
            instruction.operands.push_back(operand);
            lines.push_back(Print(instruction, kind));
            continue;
        }
        if (opcode == D3DSIO_DEF) {
            instruction.name = "def";
            operand_s operand;
            operand.type = TypeOf(body[0]);
            operand.index = body[0] & 0x7FF;
            instruction.operands.push_back(operand);
            for (u32 k = 1; k < 5; ++k) {
                f32 value = 0.0f;
                std::memcpy(&value, &body[k], 4);
                instruction.literals.push_back(value);
            }
            lines.push_back(Print(instruction, kind));
            continue;
        }
        const opcode_s* found = nullptr;
        for (const opcode_s& op : opcodes) {
            if (op.opcode == opcode) {
                found = &op;
            }
        }
        if (found == nullptr) {
            throw shader_asm_error_c("unknown opcode " + std::to_string(opcode));
        }
        instruction.name = found->name;
        u64 at = 0;
        for (u32 k = 0; k < found->sources + 1; ++k) {
            if (at >= length) {
                throw shader_asm_error_c("instruction cut short");
            }
            const u32 param = body[at++];
            operand_s operand;
            operand.type = TypeOf(param);
            operand.index = param & 0x7FF;
            if (k == 0) {
                operand.mask = (param >> 16) & 0xF;
            } else {
                operand.swizzle = (param >> 16) & 0xFF;
                operand.negate = ((param >> 24) & 0xF) == 1;
                operand.relative = ((param >> 13) & 1) != 0;
                if (operand.relative && model2) {
                    ++at;
                }
            }
            instruction.operands.push_back(operand);
        }
        lines.push_back(Print(instruction, kind));
    }
    return lines;
}
