#include "platform/d3d9/shader_tokens.h"
#include "platform/d3dx9/d3dx9_shader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

d3dx_constant_table_s WaterLikeTable()
{
    d3dx_constant_table_s table;
    table.creator = "skyvarn shader-asm";
    table.target = "vs_1_1";
    table.constants = {
        {"transformation", D3DXRS_FLOAT4, 0, 4, D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 4, 4},
        {"camera_pos", D3DXRS_FLOAT4, 12, 1},
        {"image", D3DXRS_SAMPLER, 2, 1, D3DXPC_OBJECT, D3DXPT_SAMPLER2D, 1, 1},
    };
    return table;
}

// Version, the comment, a def whose literal looks like an end token, one
// mov, end.
std::vector<DWORD> Stream(DWORD _version, const std::vector<DWORD>& _comment)
{
    std::vector<DWORD> tokens{_version};
    tokens.insert(tokens.end(), _comment.begin(), _comment.end());
    const DWORD def = D3DSIO_DEF | (ShaderMajorVersion(_version) >= 2 ? 5u << 24 : 0u);
    tokens.insert(tokens.end(), {def, 0xA00F0014u, 0x0000FFFFu, 0u, 0u, 0u});
    const DWORD mov = D3DSIO_MOV | (ShaderMajorVersion(_version) >= 2 ? 2u << 24 : 0u);
    tokens.insert(tokens.end(), {mov, 0xC00F0000u, 0x90E40000u, d3d_shader_end_token});
    return tokens;
}

TEST(ConstantTable, NamesLandOnTheirRegistersThroughAWrittenComment)
{
    for (const DWORD version : {D3DVS_VERSION(1, 1), D3DVS_VERSION(2, 0)}) {
        const std::vector<DWORD> tokens = Stream(version, BuildConstantTableComment(WaterLikeTable()));
        ID3DXConstantTable* table = nullptr;
        ASSERT_EQ(D3DXGetShaderConstantTable(tokens.data(), &table), D3D_OK);
        EXPECT_EQ(table->GetVersion(), version);
        EXPECT_EQ(table->GetConstantCount(), 3u);
        D3DXCONSTANT_DESC desc;
        UINT count = 0;
        ASSERT_EQ(table->GetConstantDesc(table->GetConstantByName(nullptr, "camera_pos"), &desc, &count), D3D_OK);
        EXPECT_EQ(desc.RegisterIndex, 12u);
        EXPECT_EQ(table->GetConstantDesc(table->GetConstantByName(nullptr, "transformation"), &desc, &count), D3D_OK);
        EXPECT_EQ(desc.RegisterCount, 4u);
        EXPECT_EQ(table->GetConstantByName(nullptr, "Camera_pos"), nullptr);
        EXPECT_EQ(table->GetConstantByName(nullptr, "missing"), nullptr);
        table->Release();
    }
}

TEST(ConstantTable, AStreamWithoutACommentGivesAnEmptyTableWithItsVersion)
{
    const std::vector<DWORD> tokens = Stream(D3DVS_VERSION(1, 1), {});
    ID3DXConstantTable* table = nullptr;
    ASSERT_EQ(D3DXGetShaderConstantTable(tokens.data(), &table), D3D_OK);
    EXPECT_EQ(table->GetVersion(), D3DVS_VERSION(1, 1));
    EXPECT_EQ(table->GetConstantCount(), 0u);
    table->Release();
}

TEST(ConstantTable, DamagedCommentsAreRefused)
{
    const std::vector<DWORD> good = BuildConstantTableComment(WaterLikeTable());
    struct case_s {
        const char* what;
        u64 token;
        DWORD value;
    };
    const case_s cases[] = {
        {"constant list past the comment", 6, 0x10000},
        {"constant count past the comment", 5, 1000},
        {"creator text past the comment", 3, 0xFFFF},
    };
    for (const case_s& c : cases) {
        std::vector<DWORD> comment = good;
        comment[c.token] = c.value;
        const std::vector<DWORD> tokens = Stream(D3DVS_VERSION(1, 1), comment);
        ID3DXConstantTable* table = nullptr;
        EXPECT_EQ(D3DXGetShaderConstantTable(tokens.data(), &table), D3DERR_INVALIDCALL) << c.what;
    }
    std::vector<DWORD> truncated = good;
    truncated[0] = 0xFFFEu | (0x7000u << 16);
    const std::vector<DWORD> tokens = Stream(D3DVS_VERSION(1, 1), truncated);
    EXPECT_FALSE(ReadConstantTable(tokens.data(), tokens.size())) << "comment past the end";
}

TEST(ShaderSamplers, NamesStandAtTheirRegisters)
{
    const std::vector<DWORD> tokens = Stream(D3DPS_VERSION(2, 0), BuildConstantTableComment(WaterLikeTable()));
    const char* names[16] = {};
    UINT count = 0;
    ASSERT_EQ(D3DXGetShaderSamplers(tokens.data(), names, &count), D3D_OK);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(names[0], nullptr);
    EXPECT_STREQ(names[2], "image");
    EXPECT_GT(names[2], reinterpret_cast<const char*>(tokens.data()));
}

TEST(ShaderSamplers, TheFaultHookFailsTheQuery)
{
    SetD3DXFaultHook(
        [](const char* _function) { return std::strcmp(_function, "D3DXGetShaderSamplers") == 0 ? E_FAIL : D3D_OK; });
    const std::vector<DWORD> tokens = Stream(D3DPS_VERSION(2, 0), {});
    UINT count = 0;
    EXPECT_EQ(D3DXGetShaderSamplers(tokens.data(), nullptr, &count), E_FAIL);
    SetD3DXFaultHook({});
    EXPECT_EQ(D3DXGetShaderSamplers(tokens.data(), nullptr, &count), D3D_OK);
    EXPECT_EQ(count, 0u);
}

TEST(ShaderTokens, WalksInstructionsNotLiterals)
{
    const std::vector<DWORD> tokens = Stream(D3DVS_VERSION(1, 1), {});
    EXPECT_EQ(ShaderTokenCount(tokens.data(), tokens.size()), tokens.size());
    EXPECT_EQ(ShaderTokenCount(tokens.data(), tokens.size() - 1), 0u) << "no end within the limit";
    std::vector<DWORD> unknown = tokens;
    unknown[1] = 0x0000007Fu;
    EXPECT_EQ(ShaderTokenCount(unknown.data(), unknown.size()), 0u);
    EXPECT_EQ(ShaderMinorVersion(0xFFFE01FFu), 0u);
    EXPECT_EQ(ShaderMajorVersion(D3DVS_VERSION(2, 0)), 2u);
}

}
