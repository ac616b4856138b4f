#include "render_d3d9/draw_landscape.h"
#include "engine/forest.h"
#include "engine/mesh.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "engine/testing/landscape_fixtures.h"
#include "image/image.h"
#include "render_d3d9/testing/draw_fixture.h"

namespace {

class DrawLandscape : public draw_fixture_c {
protected:
    void SetUp() override
    {
        draw_fixture_c::SetUp();
        files.Add("sky\\face.bmp", PictureBytes(8, 8, format_x8r8g8b8, 0xff4080c0));
        files.Add("wood\\opaque.bmp", PictureBytes(16, 8, format_x8r8g8b8, 0xff40a040));
        files.Add("wood\\trees.bmp", PictureBytes(16, 8, format_a8r8g8b8, 0x8040a040));
    }

    // A terrain patch of one square with a colour map and, when given, a
    // detail map of that blend mode.
    terrain_c* MakeTerrain(u32 _detail_mode)
    {
        auto* terrain = Own(new terrain_c("land", renderer.get()));
        terrain->SetMesh(new mesh_c("patch", SquaresDefinition("patch", 1, false, 1), renderer.get()));
        terrain->SetColorMap(0, MakeMap(format_x8r8g8b8).release());
        if (_detail_mode != 0) {
            terrain->SetColorMap(1, MakeMap(format_x8r8g8b8, _detail_mode).release());
        }
        return terrain;
    }

    forest_c* MakeForest(const char* _picture)
    {
        auto* forest = Own(new forest_c("wood", renderer.get()));
        forest->SetExtent(40.0f);
        forest->SetTreeDensity(0.5f);
        image_c density;
        density.Create(4, 4, format_l8);
        density.Fill(0xFFFFFFFF);
        forest->SetDensityMap(density);
        forest->SetFlags(forest_fixed);
        forest->SetColorMap(_picture);
        forest->Generate(nullptr);
        forest->BuildMeshes();
        return forest;
    }
};

TEST_F(DrawLandscape, TerrainDrawsItsColourMapAndADetailMapByBlendMode)
{
    const struct {
        u32 mode;
        DWORD op; // of stage 1
    } cases[] = {
        {1, D3DTOP_MODULATE}, {2, D3DTOP_MODULATE2X}, {3, D3DTOP_ADD}, {4, D3DTOP_DISABLE}, {0, D3DTOP_DISABLE}};
    for (const auto& c : cases) {
        Start();
        renderer->DrawTerrain(MakeTerrain(c.mode), true);
        ASSERT_EQ(Draws().size(), 1u) << c.mode;
        EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
        EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 1u);
        EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), 0u);
        EXPECT_EQ(RenderState(D3DRS_ALPHATESTENABLE), 0u);
        EXPECT_EQ(RenderState(D3DRS_LIGHTING), 0u);
        EXPECT_EQ(RenderState(D3DRS_CLIPPING), 1u);
        EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
        EXPECT_EQ(StageState(1, D3DTSS_COLOROP), c.op) << c.mode;
        if (c.op != D3DTOP_DISABLE) {
            EXPECT_EQ(StageState(1, D3DTSS_TEXCOORDINDEX), D3DTSS_TCI_CAMERASPACEPOSITION);
            EXPECT_EQ(StageState(1, D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_COUNT2));
        }
        EXPECT_EQ(StageState(2, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
        TearDown();
        SetUp();
    }
}

TEST_F(DrawLandscape, TheDetailTransformTakesCameraSpaceBackIntoTheTerrain)
{
    Start();
    terrain_c* terrain = MakeTerrain(1);
    renderer->DrawTerrain(terrain, false);
    ASSERT_EQ(Draws().size(), 1u);
    // An identity object-to-camera matrix gives an identity transform.
    const D3DMATRIX& transform = LastState().textureTransforms[1];
    EXPECT_EQ(transform.m[0][0], 1.0f);
    EXPECT_EQ(transform.m[3][0], 0.0f);
    EXPECT_EQ(transform.m[3][3], 1.0f);
}

TEST_F(DrawLandscape, ATerrainWithoutMeshOrColourMapIsNotDrawn)
{
    Start();
    auto* bare = Own(new terrain_c("bare", renderer.get()));
    renderer->DrawTerrain(bare, true);
    renderer->DrawTerrain(nullptr, true);
    terrain_c* terrain = MakeTerrain(0);
    terrain->SetColorMap(0, nullptr);
    renderer->DrawTerrain(terrain, true);
    EXPECT_TRUE(Draws().empty());
}

TEST_F(DrawLandscape, ForestsAlphaTestOnlyWithAnAlphaColourMap)
{
    for (const bool alpha : {true, false}) {
        Start();
        forest_c* forest = MakeForest(alpha ? "wood\\trees.bmp" : "wood\\opaque.bmp");
        ASSERT_GT(forest->GetMeshCount(), 0u);
        renderer->DrawForest(forest, true);
        ASSERT_EQ(Draws().size(), forest->GetMeshCount()) << "one draw per tree mesh";
        EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
        EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 1u);
        EXPECT_EQ(RenderState(D3DRS_ALPHATESTENABLE), alpha ? 1u : 0u);
        if (alpha) {
            EXPECT_EQ(RenderState(D3DRS_ALPHAREF), 127u);
        }
        EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
        EXPECT_EQ(StageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG1));
        EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
        TearDown();
        SetUp();
    }
}

TEST_F(DrawLandscape, AForestWithoutColourMapIsNotDrawn)
{
    Start();
    forest_c* forest = MakeForest(nullptr);
    renderer->DrawForest(forest, true);
    EXPECT_TRUE(Draws().empty());
}

TEST_F(DrawLandscape, TheSkyBoxDrawsMappedFacesOnlyAndWritesNoDepth)
{
    Start();
    auto* sky = Own(new sky_box_c("sky", renderer.get()));
    renderer->DrawSkyBox(sky, true);
    EXPECT_TRUE(Draws().empty()) << "no face mapped";
    sky->SetFaceMap(0, "sky\\face.bmp");
    sky->SetFaceMap(5, "sky\\face.bmp");
    renderer->DrawSkyBox(sky, true);
    ASSERT_EQ(Draws().size(), 2u);
    EXPECT_EQ(Draws()[0].start, 0u);
    EXPECT_GT(Draws()[1].start, Draws()[0].start) << "the last face's set";
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
}

TEST_F(DrawLandscape, LandscapeDrawsWaitForASetScene)
{
    Start();
    auto* sky = Own(new sky_box_c("sky", renderer.get()));
    sky->SetFaceMap(0, "sky\\face.bmp");
    renderer->ResetRenderLists();
    renderer->DrawSkyBox(sky, true);
    renderer->DrawTerrain(MakeTerrain(0), true);
    EXPECT_TRUE(Draws().empty());
}

TEST_F(DrawLandscape, FogFollowsTheEntityFlagAndIsNeverBlack)
{
    Start();
    scene->SetFlag(0x2000000, true);
    scene->fogColor = {1.0f, 1.0f, 1.0f};
    renderer->ResetRenderLists();
    SetScene();
    terrain_c* terrain = MakeTerrain(0);
    renderer->DrawTerrain(terrain, true);
    EXPECT_EQ(RenderState(D3DRS_FOGENABLE), 1u);
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0x00FFFFFFu);
    terrain->ClearFlags(object_fog | object_depth_test);
    renderer->DrawTerrain(terrain, true);
    EXPECT_EQ(RenderState(D3DRS_FOGENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
}

}
