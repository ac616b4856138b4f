#include "render_d3d9/draw_geometry.h"
#include "engine/bone.h"
#include "engine/geom_object.h"
#include "engine/material.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <cmath>

namespace {

class DrawGeometry : public draw_fixture_c {
protected:
    // An object with a mesh of _sets surfaces, and one material.
    void MakeObject(u32 _sets = 1)
    {
        object = Own(new geom_object_c("object", renderer.get()));
        object->CreateMesh("mesh", SquaresDefinition("mesh", _sets, true, 1));
        material = object->AddMaterial(new material_c("material", renderer.get()));
    }
    // One bracket drawing surface 0 with the material.
    void DrawOnce(const std::vector<bone_c*>& _bones = {})
    {
        renderer->BeginGeometry(object, _bones, true);
        renderer->DrawGeometry(0, material, 0.0f);
        renderer->EndGeometry();
    }
    D3DCOLORVALUE Diffuse() const { return LastState().material.Diffuse; }

    geom_object_c* object = nullptr;
    material_c* material = nullptr;
};

TEST_F(DrawGeometry, ABracketBindsThePrimaryMeshAndDrawsEachSurfaceAsked)
{
    Start();
    MakeObject(2);
    renderer->DrawGeometry(0, material, 0.0f);
    EXPECT_TRUE(Draws().empty()) << "outside a bracket";
    renderer->BeginGeometry(object, {}, true);
    EXPECT_TRUE(renderer->IsInGeometry());
    renderer->DrawGeometry(1, material, 0.0f);
    renderer->DrawGeometry(0, material, 0.0f);
    renderer->EndGeometry();
    ASSERT_EQ(Draws().size(), 2u);
    EXPECT_EQ(Draws()[0].call, "DrawIndexedPrimitive");
    EXPECT_EQ(Draws()[0].start, 6u) << "the second surface's indices";
    EXPECT_EQ(Draws()[1].start, 0u);
    const d3d9_device_state_c& state = LastState();
    EXPECT_EQ(state.worldMatrices[0].m[3][3], 1.0f);
    EXPECT_NE(state.streams[0].buffer, nullptr);
    EXPECT_EQ(state.streams[1].buffer, nullptr);
    EXPECT_EQ(state.vertexShader, nullptr);
    EXPECT_EQ(state.pixelShader, nullptr);
    EXPECT_EQ(state.renderStates[D3DRS_CLIPPING], 1u);
    EXPECT_EQ(state.renderStates[D3DRS_STENCILENABLE], 0u);
    EXPECT_EQ(state.renderStates[D3DRS_NORMALIZENORMALS], 0u) << "uniform scale, no tween, no skin";
    EXPECT_FALSE(renderer->IsInGeometry());
}

TEST_F(DrawGeometry, NothingIsDrawnForMissingPiecesOrAtTheWrongMoment)
{
    Start();
    MakeObject();
    renderer->BeginGeometry(Own(new geom_object_c("empty", renderer.get())), {}, true);
    EXPECT_FALSE(renderer->IsInGeometry()) << "no primary mesh";
    renderer->BeginGeometry(nullptr, {}, true);
    EXPECT_FALSE(renderer->IsInGeometry());
    renderer->BeginGeometry(object, {}, true);
    renderer->DrawGeometry(0, nullptr, 0.0f);
    renderer->DrawGeometry(5, material, 0.0f);
    renderer->EndGeometry();
    renderer->ResetRenderLists();
    DrawOnce();
    EXPECT_TRUE(Draws().empty()) << "no material, no such surface, no scene";
    SetScene();
    renderer->BeginGeometry(object, {}, true);
    geom_object_c* other = Own(new geom_object_c("other", renderer.get()));
    other->CreateMesh("other", SquaresDefinition("other", 1, true, 1));
    renderer->BeginGeometry(other, {}, true);
    renderer->DrawGeometry(0, material, 0.0f);
    renderer->EndGeometry();
    ASSERT_EQ(Draws().size(), 1u) << "a second bracket is ignored";
}

TEST_F(DrawGeometry, AZeroViewportGivesNoSceneAndNoDraw)
{
    renderer = std::make_unique<d3d_renderer_c>(&flags);
    ASSERT_TRUE(renderer->create_device(window.Get(), true));
    scene = std::make_unique<scene_c>("scene", renderer.get());
    renderer->SetViewport(0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    renderer->BeginScene();
    SetScene();
    MakeObject();
    DrawOnce();
    EXPECT_TRUE(Draws().empty());
}

// The render states one material sets, by its flags and what it shows.
TEST_F(DrawGeometry, MaterialFlagsGiveTheirRenderStates)
{
    struct expected_s {
        DWORD cull, zwrite, blend, source, dest, alphaTest, shade, specular, colorVertex, lighting;
    };
    const struct {
        const char* what;
        u32 flags;
        f32 transparency;
        bool alphaTexture;
        f32 specular;
        expected_s expected;
    } cases[] = {
        {"lit opaque", 16, 0.0f, false, 0.0f, {D3DCULL_CCW, 1, 0, 0, 0, 0, D3DSHADE_FLAT, 0, 0, 1}},
        {"double-sided smooth lit",
         1 | 2 | 16,
         0.0f,
         false,
         0.0f,
         {D3DCULL_NONE, 1, 0, 0, 0, 0, D3DSHADE_GOURAUD, 0, 0, 1}},
        {"smooth without light or colours stays flat",
         2,
         0.0f,
         false,
         0.0f,
         {D3DCULL_CCW, 1, 0, 0, 0, 0, D3DSHADE_FLAT, 0, 0, 0}},
        {"vertex colours", 2 | 8, 0.0f, false, 0.0f, {D3DCULL_CCW, 1, 0, 0, 0, 0, D3DSHADE_GOURAUD, 0, 1, 0}},
        {"additive opaque",
         4 | 16,
         0.0f,
         false,
         0.0f,
         {D3DCULL_CCW, 0, 1, D3DBLEND_ONE, D3DBLEND_ONE, 0, D3DSHADE_FLAT, 0, 0, 1}},
        {"transparent",
         16,
         0.5f,
         false,
         0.0f,
         {D3DCULL_CCW, 0, 1, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0, D3DSHADE_FLAT, 0, 0, 1}},
        {"alpha texture with blending",
         16 | 128,
         0.0f,
         true,
         0.0f,
         {D3DCULL_CCW, 0, 1, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 1, D3DSHADE_FLAT, 0, 0, 1}},
        {"alpha texture without blending is tested only",
         16,
         0.0f,
         true,
         0.0f,
         {D3DCULL_CCW, 1, 0, 0, 0, 1, D3DSHADE_FLAT, 0, 0, 1}},
        {"flat specular", 16, 0.0f, false, 1.0f, {D3DCULL_CCW, 1, 0, 0, 0, 0, D3DSHADE_FLAT, 1, 0, 1}},
        {"unlit specular", 8, 0.0f, false, 1.0f, {D3DCULL_CCW, 1, 0, 0, 0, 0, D3DSHADE_FLAT, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        Start();
        MakeObject();
        material->flags = c.flags;
        material->transparency = c.transparency;
        material->specularLevel = c.specular;
        material->specularColor = {0.05f, 0.05f, 0.05f};
        material->glossiness = 0.0f;
        if (c.alphaTexture) {
            material->SetColorMap(0, MakeMap(format_a8r8g8b8));
        }
        DrawOnce();
        ASSERT_EQ(Draws().size(), 1u) << c.what;
        const expected_s& e = c.expected;
        EXPECT_EQ(RenderState(D3DRS_CULLMODE), e.cull) << c.what;
        EXPECT_EQ(RenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE)) << c.what;
        EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), e.zwrite) << c.what;
        EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), e.blend) << c.what;
        if (e.blend != 0) {
            EXPECT_EQ(RenderState(D3DRS_SRCBLEND), e.source) << c.what;
            EXPECT_EQ(RenderState(D3DRS_DESTBLEND), e.dest) << c.what;
        }
        EXPECT_EQ(RenderState(D3DRS_ALPHATESTENABLE), e.alphaTest) << c.what;
        if (e.alphaTest != 0) {
            EXPECT_EQ(RenderState(D3DRS_ALPHAREF), 2u) << c.what;
        }
        EXPECT_EQ(RenderState(D3DRS_SHADEMODE), e.shade) << c.what;
        EXPECT_EQ(RenderState(D3DRS_SPECULARENABLE), e.specular) << c.what;
        EXPECT_EQ(RenderState(D3DRS_COLORVERTEX), e.colorVertex) << c.what;
        EXPECT_EQ(RenderState(D3DRS_LIGHTING), e.lighting) << c.what;
        EXPECT_EQ(RenderState(D3DRS_POINTSPRITEENABLE), c.alphaTexture ? 1u : 0u) << c.what;
        TearDown();
        SetUp();
    }
}

TEST_F(DrawGeometry, TheLitMaterialCarriesOpacityColourAndLuminosity)
{
    Start();
    MakeObject();
    material->flags = material_lighting;
    material->color = {1.0f, 0.5f, 0.25f};
    material->diffuse = 0.8f;
    material->luminosity = 0.5f;
    material->transparency = 0.5f;
    object->dissolve = 0.5f;
    DrawOnce();
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_FLOAT_EQ(Diffuse().a, 0.25f);
    EXPECT_FLOAT_EQ(Diffuse().r, 0.8f * 0.25f);
    EXPECT_FLOAT_EQ(Diffuse().g, 0.8f * 0.25f * 0.5f);
    EXPECT_FLOAT_EQ(LastState().material.Emissive.b, 0.5f * 0.25f * 0.25f);
    EXPECT_EQ(RenderState(D3DRS_FOGENABLE), 0u) << "the scene has no fog";
}

TEST_F(DrawGeometry, EightBonesDrawWithoutSkinningAndTwoBlend)
{
    Start();
    object = Own(new geom_object_c("object", renderer.get()));
    object->CreateMesh("skinned", SquaresDefinition("skinned", 1, true, 1, 2));
    material = object->AddMaterial(new material_c("material", renderer.get()));
    bone_c bone("bone");
    DrawOnce(std::vector<bone_c*>(8, &bone));
    EXPECT_EQ(RenderState(D3DRS_VERTEXBLEND), static_cast<DWORD>(D3DVBF_DISABLE));
    EXPECT_EQ(config.Count("SetTransform", D3DTS_WORLDMATRIX(1)), 0u);
    DrawOnce({&bone, nullptr});
    EXPECT_EQ(RenderState(D3DRS_VERTEXBLEND), 2u);
    EXPECT_EQ(RenderState(D3DRS_INDEXEDVERTEXBLENDENABLE), 1u);
    EXPECT_EQ(RenderState(D3DRS_NORMALIZENORMALS), 1u);
    EXPECT_EQ(config.Count("SetTransform", D3DTS_WORLDMATRIX(2)), 1u);
}

TEST_F(DrawGeometry, TheHeaviestOtherMeshIsTheTweenTarget)
{
    Start();
    MakeObject();
    mesh_c* light = object->CreateMesh("light", SquaresDefinition("light", 1, true, 1));
    mesh_c* heavy = object->CreateMesh("heavy", SquaresDefinition("heavy", 1, true, 1));
    light->firstValue = 0.25f;
    heavy->firstValue = 0.75f;
    DrawOnce();
    EXPECT_EQ(RenderState(D3DRS_VERTEXBLEND), static_cast<DWORD>(D3DVBF_TWEENING));
    EXPECT_EQ(LastState().RenderStateFloat(D3DRS_TWEENFACTOR), 0.75f);
    EXPECT_NE(LastState().streams[1].buffer, nullptr);
    EXPECT_EQ(RenderState(D3DRS_NORMALIZENORMALS), 1u);
}

TEST_F(DrawGeometry, ColourLayersChainByBlendMode)
{
    const struct {
        u32 mode;
        DWORD op; // of stage 1; DISABLE when the mode adds none
    } cases[] = {{1, D3DTOP_MODULATE},          {2, D3DTOP_MODULATE2X}, {3, D3DTOP_ADD},
                 {4, D3DTOP_BLENDCURRENTALPHA}, {5, D3DTOP_DISABLE},    {0, D3DTOP_DISABLE}};
    for (const auto& c : cases) {
        Start();
        MakeObject();
        material->flags = 0;
        material->SetColorMap(0, MakeMap(format_x8r8g8b8, 1));
        material->SetColorMap(1, MakeMap(format_x8r8g8b8, c.mode));
        DrawOnce();
        EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1)) << "unlit";
        EXPECT_EQ(StageState(0, D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TEXTURE));
        EXPECT_EQ(StageState(1, D3DTSS_COLOROP), c.op) << c.mode;
        EXPECT_EQ(StageState(2, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
        EXPECT_EQ(LastState().textures[1] != nullptr, c.op != D3DTOP_DISABLE) << c.mode;
        TearDown();
        SetUp();
    }
}

TEST_F(DrawGeometry, ReflectionAddsAtFullStrengthAndMultipliesBelow)
{
    for (const f32 reflectivity : {1.0f, 0.5f, 0.05f}) {
        Start();
        MakeObject();
        material->flags = material_lighting;
        material->SetColorMap(0, MakeMap(format_x8r8g8b8, 1));
        material->reflectivity = reflectivity;
        material->SetReflectionMap(MakeMap(format_x8r8g8b8, 0, true));
        DrawOnce();
        EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
        if (reflectivity < 0.1f) {
            EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE)) << "too weak to show";
        } else {
            EXPECT_EQ(StageState(1, D3DTSS_TEXCOORDINDEX), D3DTSS_TCI_CAMERASPACENORMAL);
            EXPECT_EQ(StageState(1, D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_COUNT3)) << "a cube";
            if (reflectivity >= 1.0f) {
                EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_ADD));
            } else {
                EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MULTIPLYADD));
                EXPECT_EQ(StageState(1, D3DTSS_COLORARG0), static_cast<DWORD>(D3DTA_CURRENT));
                EXPECT_EQ(StageState(1, D3DTSS_COLORARG2), static_cast<DWORD>(D3DTA_TFACTOR));
                EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x007F7F7Fu);
            }
        }
        TearDown();
        SetUp();
    }
}

TEST_F(DrawGeometry, GlossinessPicksTheSpecularFalloffMap)
{
    EXPECT_EQ(SpecularMapIndex(3.0f), 0u);
    EXPECT_EQ(SpecularMapIndex(16.0f), 2u);
    EXPECT_EQ(SpecularMapIndex(4096.0f), 9u);
    EXPECT_EQ(SpecularMapIndex(0.0f), 0u);
    EXPECT_EQ(SpecularMapIndex(std::nanf("")), 0u);

    for (const f32 glossiness : {3.0f, 4096.0f}) {
        AddLight(16);
        Start();
        MakeObject();
        material->flags = material_lighting | material_smooth;
        material->specularLevel = 1.0f;
        material->specularColor = {1.0f, 1.0f, 1.0f};
        material->glossiness = glossiness;
        DrawOnce();
        EXPECT_EQ(RenderState(D3DRS_SPECULARENABLE), 0u) << "the map does the highlight";
        EXPECT_EQ(LastState().material.Power, 2.0f);
        EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MULTIPLYADD));
        EXPECT_EQ(StageState(0, D3DTSS_COLORARG2), static_cast<DWORD>(D3DTA_SPECULAR));
        EXPECT_EQ(StageState(0, D3DTSS_TEXCOORDINDEX), D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
        const u32 index = glossiness < 4.0f ? 0 : 9;
        EXPECT_EQ(LastState().textures[0], renderer->GetSpecularMap(index)->GetD3DTexture()) << glossiness;
        TearDown();
        ownedLights.clear();
        lights.clear();
        SetUp();
    }
}

TEST_F(DrawGeometry, BumpMappingUsesOnlyTheFirstDiffuseLight)
{
    AddLight(8);
    AddLight(8);
    Start();
    MakeObject();
    material->flags = material_lighting;
    material->diffuse = 1.0f;
    material->color = {1.0f, 1.0f, 1.0f};
    material->bumpAmplitude = 0.5f;
    material->SetBumpMap(MakeMap(format_x8r8g8b8));
    DrawOnce();
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_BUMPENVMAP));
    EXPECT_EQ(LastState().stageStates[0][D3DTSS_BUMPENVMAT00], FloatToDword(0.5f));
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(LastState().textures[1], renderer->GetDiffuseMap()->GetD3DTexture());
    EXPECT_EQ(StageState(2, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE)) << "one light after a bump";
    EXPECT_FLOAT_EQ(LastState().material.Emissive.r, 1.0f) << "diffuse moves into the emissive colour";
    EXPECT_FLOAT_EQ(Diffuse().r, 0.0f);
}

TEST_F(DrawGeometry, AnIlluminationMapReplacesLighting)
{
    Start();
    scene->SetIlluminationMap(MakeMap(format_x8r8g8b8, 0, true));
    renderer->ResetRenderLists();
    SetScene();
    MakeObject();
    material->flags = material_lighting;
    material->diffuse = 1.0f;
    material->color = {1.0f, 0.0f, 0.0f};
    material->transparency = 0.5f;
    DrawOnce();
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(StageState(0, D3DTSS_COLORARG2), static_cast<DWORD>(D3DTA_TFACTOR));
    EXPECT_EQ(StageState(0, D3DTSS_TEXCOORDINDEX), D3DTSS_TCI_CAMERASPACENORMAL);
    EXPECT_EQ(RenderState(D3DRS_TEXTUREFACTOR), 0x7F7F0000u) << "half-opaque red, alpha the opacity";
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
}

}
