#include "tools/shader-asm/shader_assembler.h"
#include "platform/d3d9/shader_tokens.h"
#include "platform/d3dx9/d3dx9_shader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

// A program file; "<file>:<version>" retargets it.
std::string ReadProgram(const std::string& _name)
{
    const auto colon = _name.find(':');
    std::ifstream file(std::string(SHADER_SOURCE_DIR) + "/" + _name.substr(0, colon), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return colon == std::string::npos ? text.str() : RetargetShader(text.str(), _name.substr(colon + 1));
}

struct program_s {
    const char* file;
    u32 version;
    std::map<std::string, u32> constants; // name to register
};

const program_s programs[] = {
    {"particles.vs11.asm", 0xFFFE0101u, {}},
    {"trails.vs11.asm", 0xFFFE0101u, {}},
    {"water.asm",
     0xFFFE0101u,
     {{"transformation", 0},
      {"orientation", 4},
      {"waves_dir_x", 7},
      {"waves_dir_z", 8},
      {"waves_offset", 9},
      {"waves_amp", 10},
      {"waves_freq", 11},
      {"camera_pos", 12},
      {"inv_caustic_scale", 13},
      {"caustic_intensity", 14}}},
    {"water.asm:vs_2_0", 0xFFFE0200u, {{"transformation", 0}, {"camera_pos", 12}, {"caustic_intensity", 14}}},
    {"shadow_dir_depth.vs11.asm", 0xFFFE0101u, {{"transform", 0}, {"lt_dir", 4}, {"depth", 5}}},
    {"shadow_point_depth.vs11.asm", 0xFFFE0101u, {{"transform", 0}, {"lt_pos", 4}, {"depth", 5}}},
    {"shadow_dir.vs11.asm", 0xFFFE0101u, {{"transform", 0}, {"lt_dir", 4}}},
    {"shadow_point.vs11.asm", 0xFFFE0101u, {{"transform", 0}, {"lt_pos", 4}}},
    {"glow.ps20.asm", 0xFFFF0200u, {{"weight", 0}, {"delta", 8}, {"image", 0}}},
};

TEST(ShaderPrograms, EachAssemblesAndDecodesToItsInstructions)
{
    for (const program_s& program : programs) {
        const std::string source = ReadProgram(program.file);
        ASSERT_FALSE(source.empty()) << program.file;
        const std::vector<u32> tokens = AssembleShader(source);
        EXPECT_EQ(tokens.front(), program.version) << program.file;
        EXPECT_EQ(tokens.back(), d3d_shader_end_token) << program.file;
        EXPECT_EQ(ShaderTokenCount(tokens.data(), tokens.size()), tokens.size()) << program.file;
        EXPECT_EQ(DisassembleShader(tokens), CanonicalShaderText(source)) << program.file;
    }
}

TEST(ShaderPrograms, ConstantTablesNameTheirRegisters)
{
    for (const program_s& program : programs) {
        const std::vector<u32> tokens = AssembleShader(ReadProgram(program.file));
        ID3DXConstantTable* table = nullptr;
        ASSERT_EQ(D3DXGetShaderConstantTable(tokens.data(), &table), D3D_OK) << program.file;
        if (program.constants.empty()) {
            EXPECT_EQ(table->GetConstantCount(), 0u) << program.file << " sets its constants by register";
        }
        for (const auto& [name, reg] : program.constants) {
            D3DXCONSTANT_DESC desc;
            UINT count = 1;
            ASSERT_EQ(table->GetConstantDesc(table->GetConstantByName(nullptr, name.c_str()), &desc, &count), D3D_OK)
                << program.file << " " << name;
            EXPECT_EQ(desc.RegisterIndex, reg) << program.file << " " << name;
        }
        table->Release();
    }
    const std::vector<u32> glow = AssembleShader(ReadProgram("glow.ps20.asm"));
    const char* names[16] = {};
    UINT count = 0;
    ASSERT_EQ(D3DXGetShaderSamplers(glow.data(), names, &count), D3D_OK);
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(names[0], "image");
}

TEST(ShaderAssembler, EncodesTokensAsTheDeviceReadsThem)
{
    const std::vector<u32> vs11 = AssembleShader("vs_1_1\ndcl_texcoord1 v3\nmad r0.xz, -v3.y, c[a0.x + 5], r1\n");
    const std::vector<u32> expected11 = {0xFFFE0101u, 0x0000001Fu, 0x80010005u, 0x900F0003u, 0x00000004u,
                                         0x80050000u, 0x91550003u, 0xA0E42005u, 0x80E40001u, 0x0000FFFFu};
    EXPECT_EQ(vs11, expected11);
    const std::vector<u32> ps20 = AssembleShader("ps_2_0\ndcl_2d s0\ntexld r1, t0, s0\nmov oC0, r1\n");
    const std::vector<u32> expected20 = {0xFFFF0200u, 0x0200001Fu, 0x90000000u, 0xA00F0800u, 0x03000042u, 0x800F0001u,
                                         0xB0E40000u, 0xA0E40800u, 0x02000001u, 0x800F0800u, 0x80E40001u, 0x0000FFFFu};
    EXPECT_EQ(ps20, expected20);
}

TEST(ShaderAssembler, RefusesWithTheLineNumber)
{
    const struct {
        const char* source;
        const char* message;
    } cases[] = {
        {"vs_1_1\nmov r0, v0\nfoo r0, r1\n", "line 3: unknown opcode 'foo'"},
        {"vs_1_1\nmov r12, v0\n", "line 2: register r12 out of range"},
        {"vs_1_1\n\nmov r0, c96\n", "line 3: register c96 out of range"},
        {"vs_2_0\nmov r0, c[a0.x + 300]\n", "line 2: constant c300 out of range"},
        {"vs_1_1\nmov r0, q1\n", "line 2: bad register 'q1'"},
        {"vs_1_1\nmov r0.yx, v0\n", "line 2: bad write mask 'yx'"},
        {"vs_1_1\nmov r0, v0.xyzwx\n", "line 2: bad swizzle 'xyzwx'"},
        {"vs_1_1\nadd r0, c1, c2\n", "line 2: vs_1_1 reads one constant register per instruction"},
        {"vs_1_1\nadd r0, r1\n", "line 2: 'add' takes 3 operands"},
        {"vs_1_1\nnrm r0, r1\n", "line 2: 'nrm' is not in vs_1_1"},
        {"ps_2_0\nmov oPos, r0\n", "line 2: bad register 'oPos'"},
        {"vs_1_1\nmov c0, r0\n", "line 2: register c0 cannot be written"},
        {"vs_1_1\n.constant big c90 8\n", "line 2: bad .constant directive"},
        {"mov r0, r1\n", "line 1: a program starts with vs_1_1, vs_2_0 or ps_2_0"},
        {"vs_1_1\ndef c0, 1, 2, x, 4\n", "line 2: bad number 'x'"},
    };
    for (const auto& c : cases) {
        try {
            AssembleShader(c.source);
            ADD_FAILURE() << c.source;
        } catch (const shader_asm_error_c& error) {
            EXPECT_STREQ(error.what(), c.message) << c.source;
        }
    }
}

TEST(ShaderAssembler, RetargetingReplacesOnlyTheVersion)
{
    const std::string source = "; comment first\nvs_2_0\nnrm r0.xyz, r1\n";
    EXPECT_EQ(AssembleShader(RetargetShader(source, "vs_2_0")), AssembleShader(source));
    try {
        AssembleShader(RetargetShader(source, "vs_1_1"));
        ADD_FAILURE();
    } catch (const shader_asm_error_c& error) {
        EXPECT_STREQ(error.what(), "line 3: 'nrm' is not in vs_1_1");
    }
    EXPECT_THROW(RetargetShader("mov r0, r1\n", "vs_1_1"), shader_asm_error_c);
}

}
