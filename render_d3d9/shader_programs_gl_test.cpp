// The renderer's own programs on the OpenGL backend: every program of the
// set is accepted, and the trail program draws its live head where the
// head edge stands now, not where its vertices were laid.
#include "platform/d3d9/testing/gl_scene.h"
#include "render_d3d9/shader_programs.h"

namespace {

class RendererProgramsOnGl : public gl_scene_c {
protected:
    void SetUp() override
    {
        gl_scene_c::SetUp();
        BeginUnlitScene();
    }
};

TEST_F(RendererProgramsOnGl, EveryProgramOfTheSetIsAccepted)
{
    const d3d_shader_set_s& programs = GetShaderPrograms();
    for (u32 row = 0; row < d3d_shader_row_count; ++row) {
        for (const DWORD* tokens : programs.vertex[row]) {
            if (tokens == nullptr) {
                continue;
            }
            IDirect3DVertexShader9* shader = nullptr;
            EXPECT_EQ(device->CreateVertexShader(tokens, &shader), D3D_OK) << "row " << row;
            if (shader != nullptr) {
                shader->Release();
            }
        }
    }
    for (const DWORD* tokens : programs.pixel) {
        if (tokens == nullptr) {
            continue;
        }
        IDirect3DPixelShader9* shader = nullptr;
        EXPECT_EQ(device->CreatePixelShader(tokens, &shader), D3D_OK);
        if (shader != nullptr) {
            shader->Release();
        }
    }
    device->EndScene();
}

// A ribbon vertex as the engine lays it: position, (birth, head mark, age
// mark), texture coordinates.
struct ribbon_vertex_s {
    f32 x, y, z;
    f32 birth, head, age;
    f32 u, v;
};

TEST_F(RendererProgramsOnGl, TrailHeadFollowsTheHeadEdge)
{
    IDirect3DVertexShader9* shader = nullptr;
    ASSERT_EQ(device->CreateVertexShader(GetShaderPrograms().vertex[2][d3d_shader_vs_1_1], &shader), D3D_OK);
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                          {0, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 0},
                                          {0, 24, D3DDECLTYPE_FLOAT2, 0, D3DDECLUSAGE_TEXCOORD, 0},
                                          D3DDECL_END};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    device->CreateVertexDeclaration(elements, &declaration);
    // World is clip space; time 0, lifetime 1, full opacity; the head edge
    // stands at x = 0.8 while the head's vertices still say the origin.
    const f32 constants[11][4] = {{1, 0, 0, 0}, {0, 1, 0, 0},          {0, 0, 1, 0},          {0, 0, 0, 1},
                                  {0, 0, 0, 0}, {0, 0, 0, 0},          {0, 0, 0, 0},          {0, 0, 0, 0},
                                  {1, 0, 1, 1}, {0.8f, 0.5f, 0.5f, 1}, {0.8f, -0.5f, 0.5f, 1}};
    device->SetVertexShaderConstantF(0, constants[0], 11);
    device->SetVertexShader(shader);
    device->SetVertexDeclaration(declaration);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    const ribbon_vertex_s ribbon[4] = {{-0.8f, 0.5f, 0.5f, 0, 0, 1, 0, 0},
                                       {-0.8f, -0.5f, 0.5f, 0, 0, 1, 1, 0},
                                       {0, 0, 0.5f, 0, 1, 1, 0, 1},
                                       {0, 0, 0.5f, 0, 2, 1, 1, 1}};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, ribbon, sizeof(ribbon_vertex_s)), D3D_OK);
    device->SetVertexShader(nullptr);
    device->SetVertexDeclaration(nullptr);
    shader->Release();
    declaration->Release();
    device->EndScene();
    const std::vector<u8> shot = Capture();
    // A fresh segment is white; the ribbon reaches x = 0.8 (pixel 57).
    EXPECT_EQ(Pixel(shot, 8, 32) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 50, 32) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 60, 32) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(shot, 32, 8) & 0xFFFFFF, 0u);
}

} // namespace
