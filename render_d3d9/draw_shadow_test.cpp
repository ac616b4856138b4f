#include "render_d3d9/draw_shadow.h"
#include "engine/geom_object.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <cmath>
#include <cstring>

namespace {

class DrawShadow : public draw_fixture_c {
protected:
    // A shadow light of the type (1 directional, 2 point), set before Start.
    void UseShadowLight(u32 _type)
    {
        shadowLight = AddLight(8 | 128);
        shadowLight->SetType(_type);
    }
    // An object casting a shadow volume from two triangles sharing an edge.
    geom_object_c* MakeCaster()
    {
        auto* object = Own(new geom_object_c("caster", renderer.get()));
        object->CreateMesh("caster", SquaresDefinition("caster", 1, true, 0));
        object->SetFlags(object_shadow_casting);
        object->BuildShadowVolume();
        return object;
    }
    bool HasConstant(u32 _row, const char* _name) const
    {
        return renderer->GetStateCache().VertexRegister(_row, _name) >= 0;
    }
    std::array<f32, 4> Constant(u32 _row, const char* _name) const
    {
        const i32 reg = renderer->GetStateCache().VertexRegister(_row, _name);
        return reg >= 0 ? LastState().vertexConstants[static_cast<u32>(reg)] : std::array<f32, 4>{};
    }
    void Shade(f32 _value)
    {
        const f32 color[4] = {1.0f, 0.5f, 0.0f, 1.0f};
        renderer->DrawShadowShade(color, _value);
    }
};

TEST_F(DrawShadow, TwoSidedStencilCountsBothFacesInOnePass)
{
    UseShadowLight(1);
    Start();
    renderer->DrawShadow(MakeCaster(), {0.0f, 0.0f, 0.0f}, 1.0f);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(RenderState(D3DRS_STENCILENABLE), 1u);
    EXPECT_EQ(RenderState(D3DRS_STENCILFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    EXPECT_EQ(RenderState(D3DRS_STENCILREF), 0u);
    EXPECT_EQ(RenderState(D3DRS_STENCILPASS), static_cast<DWORD>(D3DSTENCILOP_KEEP));
    EXPECT_EQ(RenderState(D3DRS_STENCILZFAIL), static_cast<DWORD>(D3DSTENCILOP_DECR));
    EXPECT_EQ(RenderState(D3DRS_TWOSIDEDSTENCILMODE), 1u);
    EXPECT_EQ(RenderState(D3DRS_CCW_STENCILZFAIL), static_cast<DWORD>(D3DSTENCILOP_INCR));
    EXPECT_EQ(RenderState(D3DRS_COLORWRITEENABLE), 0u) << "colour left alone";
    EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_CLIPPING), 1u);
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_NE(LastState().vertexShader, nullptr);
}

TEST_F(DrawShadow, WithoutTwoSidedStencilTheVolumeIsDrawnTwiceWithOppositeCulling)
{
    config.caps.StencilCaps &= ~D3DSTENCILCAPS_TWOSIDED;
    config.caps.PrimitiveMiscCaps &= ~D3DPMISCCAPS_COLORWRITEENABLE;
    UseShadowLight(1);
    Start();
    renderer->DrawShadow(MakeCaster(), {0.0f, 0.0f, 0.0f}, 1.0f);
    ASSERT_EQ(Draws().size(), 2u);
    const d3d9_device_state_c& first = *Draws()[0].state;
    EXPECT_EQ(first.renderStates[D3DRS_CULLMODE], static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(first.renderStates[D3DRS_STENCILZFAIL], static_cast<DWORD>(D3DSTENCILOP_DECR));
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(RenderState(D3DRS_STENCILZFAIL), static_cast<DWORD>(D3DSTENCILOP_INCR));
    EXPECT_EQ(RenderState(D3DRS_STENCILFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    EXPECT_EQ(RenderState(D3DRS_TWOSIDEDSTENCILMODE), 0u);
    EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), 1u) << "no channel mask: blend the colour away";
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
}

TEST_F(DrawShadow, AVisibleVolumeIsShownInItsColour)
{
    UseShadowLight(1);
    Start();
    renderer->DrawShadow(MakeCaster(), {0.5f, 0.5f, 0.5f}, 0.75f);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(RenderState(D3DRS_STENCILENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(RenderState(D3DRS_COLORWRITEENABLE), 0xFu);
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x3F7F7F7Fu);
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(StageState(0, D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TFACTOR));
    EXPECT_EQ(LastState().textures[0], nullptr);
}

// A directional light's travel, taken into a turned caster's space, must
// come back to the light's own forward axis when the caster turns it out
// again; otherwise the volume leans the wrong way.
TEST_F(DrawShadow, TheLightDirectionIsTakenIntoTheCastersSpace)
{
    UseShadowLight(1);
    shadowLight->rotation = {0.5f, 0.3f, 0.0f};
    shadowLight->UpdateTransform(nullptr);
    Start();
    geom_object_c* caster = MakeCaster();
    caster->rotation = {-0.7f, 0.2f, 0.4f};
    caster->UpdateTransform(nullptr);
    renderer->DrawShadow(caster, {0.0f, 0.0f, 0.0f}, 1.0f);
    ASSERT_EQ(Draws().size(), 1u);
    const std::array<f32, 4> local = Constant(6, "lt_dir");
    const vec3_c world = vec3_c(local[0], local[1], local[2]) * caster->GetMatrix().GetRotation();
    const mat4x3_c& light = shadowLight->GetMatrix();
    EXPECT_NEAR(world.x, light.m[2][0], 1e-5f);
    EXPECT_NEAR(world.y, light.m[2][1], 1e-5f);
    EXPECT_NEAR(world.z, light.m[2][2], 1e-5f);
}

TEST_F(DrawShadow, TheLightAndTheDepthChooseTheProgram)
{
    const struct {
        u32 type;
        f32 depth;
        u32 row;
        const char* light;
    } cases[] = {{1, 3.4028235e38f, 6, "lt_dir"},
                 {1, 50.0f, 4, "lt_dir"},
                 {2, 3.4028235e38f, 7, "lt_pos"},
                 {2, 50.0f, 5, "lt_pos"}};
    for (const auto& c : cases) {
        UseShadowLight(c.type);
        shadowLight->position = {0.0f, 10.0f, 0.0f};
        shadowLight->UpdateTransform(nullptr);
        Start();
        geom_object_c* caster = MakeCaster();
        caster->shadowDepth = c.depth;
        renderer->DrawShadow(caster, {0.0f, 0.0f, 0.0f}, 1.0f);
        ASSERT_EQ(Draws().size(), 1u) << c.row;
        EXPECT_TRUE(HasConstant(c.row, c.light)) << c.row;
        EXPECT_EQ(HasConstant(c.row, "depth"), c.row == 4 || c.row == 5) << c.row;
        const std::array<f32, 4> light = Constant(c.row, c.light);
        EXPECT_EQ(light[3], 1.0f);
        if (c.type == 2) {
            EXPECT_FLOAT_EQ(light[1], 10.0f) << "the light in the object's space";
        } else {
            EXPECT_FLOAT_EQ(std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]), 1.0f);
        }
        if (c.depth < 1e30f) {
            EXPECT_EQ(Constant(c.row, "depth")[0], 50.0f);
        }
        for (const f32 value : Constant(c.row, "transform")) {
            EXPECT_TRUE(std::isfinite(value));
        }
        TearDown();
        ownedLights.clear();
        lights.clear();
        SetUp();
    }
}

TEST_F(DrawShadow, NoShadowWithoutLightVolumeOrScene)
{
    Start();
    geom_object_c* caster = MakeCaster();
    renderer->DrawShadow(caster, {0.0f, 0.0f, 0.0f}, 1.0f);
    EXPECT_TRUE(Draws().empty()) << "no shadow light";
    TearDown();
    SetUp();
    UseShadowLight(1);
    Start();
    caster = MakeCaster();
    auto* plain = Own(new geom_object_c("plain", renderer.get()));
    renderer->DrawShadow(plain, {0.0f, 0.0f, 0.0f}, 1.0f);
    renderer->DrawShadow(nullptr, {0.0f, 0.0f, 0.0f}, 1.0f);
    renderer->ResetRenderLists();
    renderer->DrawShadow(caster, {0.0f, 0.0f, 0.0f}, 1.0f);
    EXPECT_TRUE(Draws().empty());
}

TEST_F(DrawShadow, TheShadeCoversTheViewportWhereTheStencilCounted)
{
    Start();
    Shade(0.5f);
    EXPECT_TRUE(Draws().empty()) << "the render lists are still set";
    renderer->ResetRenderLists();
    Shade(0.0f);
    Shade(std::nanf(""));
    EXPECT_TRUE(Draws().empty()) << "no darkness";
    Shade(0.5f);
    ASSERT_EQ(Draws().size(), 1u);
    const record_draw_s& draw = Draws()[0];
    EXPECT_EQ(draw.call, "DrawPrimitiveUP");
    EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draw.count, 2u);
    EXPECT_EQ(draw.stride, 20u);
    ASSERT_EQ(draw.vertices.size(), 80u);
    f32 corner[4];
    std::memcpy(corner, draw.vertices.data() + 60, sizeof(corner));
    EXPECT_EQ(corner[0], 639.5f);
    EXPECT_EQ(corner[1], 479.5f);
    EXPECT_EQ(corner[2], 1.0f);
    EXPECT_EQ(corner[3], 1.1920929e-07f);
    DWORD color = 0;
    std::memcpy(&color, draw.vertices.data() + 16, sizeof(color));
    EXPECT_EQ(color, 0x7FFF7F00u);
    EXPECT_EQ(RenderState(D3DRS_STENCILENABLE), 1u);
    EXPECT_EQ(RenderState(D3DRS_STENCILFUNC), static_cast<DWORD>(D3DCMP_LESS));
    EXPECT_EQ(RenderState(D3DRS_STENCILREF), 0u);
    EXPECT_EQ(RenderState(D3DRS_STENCILZFAIL), static_cast<DWORD>(D3DSTENCILOP_KEEP));
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
    EXPECT_EQ(RenderState(D3DRS_COLORVERTEX), 1u);
    EXPECT_EQ(LastState().fvf, static_cast<DWORD>(D3DFVF_XYZRHW | D3DFVF_DIFFUSE));
    EXPECT_EQ(LastState().streams[0].buffer, nullptr);
    renderer->EndScene();
    Shade(0.5f);
    EXPECT_EQ(Draws().size(), 1u) << "only inside the frame's scene";
}

}
