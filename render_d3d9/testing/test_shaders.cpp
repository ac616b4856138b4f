#include "render_d3d9/testing/test_shaders.h"
#include "platform/d3d9/d3d9_caps.h"
#include "platform/d3d9/shader_tokens.h"

std::vector<DWORD> TestShader(DWORD _version, const std::vector<d3dx_constant_s>& _constants, bool _with_table)
{
    std::vector<DWORD> tokens{_version};
    if (_with_table) {
        d3dx_constant_table_s table;
        table.creator = "test";
        table.target = "test";
        table.constants = _constants;
        const std::vector<DWORD> comment = BuildConstantTableComment(table);
        tokens.insert(tokens.end(), comment.begin(), comment.end());
    }
    const DWORD mov = D3DSIO_MOV | (ShaderMajorVersion(_version) >= 2 ? 2u << 24 : 0u);
    tokens.insert(tokens.end(), {mov, 0xC00F0000u, 0x90E40000u, d3d_shader_end_token});
    return tokens;
}

test_shader_set_s MakeTestShaderSet()
{
    const std::vector<d3dx_constant_s> water = {
        {"transformation", D3DXRS_FLOAT4, 0, 4, D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 4, 4},
        {"camera_pos", D3DXRS_FLOAT4, 12, 1},
        {"inv_caustic_scale", D3DXRS_FLOAT4, 13, 1},
    };
    const std::vector<d3dx_constant_s> shadow = {
        {"transform", D3DXRS_FLOAT4, 0, 4, D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 4, 4},
        {"lt_dir", D3DXRS_FLOAT4, 4, 1},
        {"depth", D3DXRS_FLOAT4, 5, 1},
    };
    const std::vector<d3dx_constant_s> glow = {
        {"weight", D3DXRS_FLOAT4, 0, 8},
        {"delta", D3DXRS_FLOAT4, 8, 7},
        {"image", D3DXRS_SAMPLER, 0, 1, D3DXPC_OBJECT, D3DXPT_SAMPLER2D, 1, 1},
    };
    test_shader_set_s holder;
    holder.blobs.push_back(TestShader(D3DVS_VERSION(1, 1), {}, false));
    holder.blobs.push_back(TestShader(D3DVS_VERSION(1, 1), water));
    holder.blobs.push_back(TestShader(D3DVS_VERSION(2, 0), water));
    holder.blobs.push_back(TestShader(D3DVS_VERSION(1, 1), shadow));
    holder.blobs.push_back(TestShader(D3DPS_VERSION(2, 0), glow));
    holder.set.vertex[1][d3d_shader_vs_1_1] = holder.blobs[0].data();
    holder.set.vertex[3][d3d_shader_vs_1_1] = holder.blobs[1].data();
    holder.set.vertex[3][d3d_shader_vs_2_0] = holder.blobs[2].data();
    holder.set.vertex[4][d3d_shader_vs_1_1] = holder.blobs[3].data();
    holder.set.pixel[1] = holder.blobs[4].data();
    return holder;
}
