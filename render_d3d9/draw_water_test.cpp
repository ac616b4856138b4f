#include "render_d3d9/draw_water.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/water.h"
#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/texture_image.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <cmath>

namespace {

class DrawWater : public draw_fixture_c {
protected:
    void SetUp() override
    {
        draw_fixture_c::SetUp();
        texture_image_c cube;
        cube.Create(4, 4, format_x8r8g8b8, false, true);
        output_file_c out;
        cube.SaveDds(out);
        files.Add("sea\\sky.dds", Bytes(out));
        files.Add("sea\\flat.bmp", PictureBytes(4, 4, format_x8r8g8b8, 0xff4080c0));
        files.Add("sea\\caustic.bmp", PictureBytes(4, 4, format_x8r8g8b8, 0xffffffff));
    }

    // A square of water over a 2x2 geography with a reflection map and,
    // when asked, caustics of that intensity and scale.
    water_c* MakeWater(const char* _reflection = "sea\\sky.dds", f32 _intensity = 0.0f, f32 _scale = 0.0f)
    {
        return Own(FlatWater(renderer.get(), 10.0f, 2, _reflection, "sea\\caustic.bmp", _intensity, _scale));
    }

    // The four floats a named constant of the water program holds.
    std::array<f32, 4> Constant(const char* _name) const
    {
        const i32 reg = renderer->GetStateCache().VertexRegister(3, _name);
        EXPECT_GE(reg, 0) << _name;
        return reg >= 0 ? LastState().vertexConstants[static_cast<u32>(reg)] : std::array<f32, 4>{};
    }
};

TEST_F(DrawWater, TheSurfaceBlendsByVertexAlphaAndWritesNoDepth)
{
    Start();
    renderer->DrawWater(MakeWater(), 0.0f, true);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_NE(LastState().vertexShader, nullptr);
    EXPECT_EQ(LastState().pixelShader, nullptr);
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(RenderState(D3DRS_SHADEMODE), static_cast<DWORD>(D3DSHADE_GOURAUD));
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(StageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(StageState(0, D3DTSS_COLORARG2), static_cast<DWORD>(D3DTA_DIFFUSE));
    EXPECT_EQ(StageState(0, D3DTSS_ALPHAARG1), static_cast<DWORD>(D3DTA_DIFFUSE));
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE)) << "no caustics";
}

TEST_F(DrawWater, CausticsAddOnTopOnlyWithIntensityAndScale)
{
    const struct {
        f32 intensity, scale;
        bool stage;
    } cases[] = {{0.5f, 2.0f, true}, {0.5f, 0.0f, false}, {0.0f, 2.0f, false}};
    for (const auto& c : cases) {
        Start();
        renderer->DrawWater(MakeWater("sea\\sky.dds", c.intensity, c.scale), 0.0f, true);
        ASSERT_EQ(Draws().size(), 1u);
        if (c.stage) {
            EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MULTIPLYADD));
            EXPECT_EQ(StageState(1, D3DTSS_COLORARG2), static_cast<DWORD>(D3DTA_SPECULAR));
            EXPECT_EQ(StageState(1, D3DTSS_TEXCOORDINDEX), 1u);
            EXPECT_EQ(Constant("inv_caustic_scale")[0], 0.5f);
        } else {
            EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
        }
        EXPECT_TRUE(std::isfinite(Constant("inv_caustic_scale")[0])) << "a scale of 0 sends no infinity";
        EXPECT_EQ(Constant("caustic_intensity")[0], c.intensity);
        TearDown();
        SetUp();
    }
}

TEST_F(DrawWater, WavesTravelAlongTheirVelocities)
{
    const f32 amplitudes[3] = {1.0f, 2.0f, 3.0f};
    const f32 lengths[3] = {2.0f, 0.0f, 4.0f};
    const vec3_c velocities[3] = {{3.0f, 0.0f, 4.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 5.0f, -2.0f}};
    const d3d_wave_constants_s waves = WaveConstants(amplitudes, lengths, velocities, 2.0f);
    EXPECT_FLOAT_EQ(waves.directionX.x, 0.6f);
    EXPECT_FLOAT_EQ(waves.directionZ.x, 0.8f);
    EXPECT_FLOAT_EQ(waves.offset.x, 10.0f);
    EXPECT_EQ(waves.directionX.y, 0.0f) << "a still wave points nowhere";
    EXPECT_EQ(waves.offset.y, 0.0f);
    EXPECT_EQ(waves.frequency.y, 0.0f) << "no length, no frequency";
    EXPECT_FLOAT_EQ(waves.directionZ.z, -2.0f / std::sqrt(29.0f)) << "the y part counts in the speed";
    EXPECT_FLOAT_EQ(waves.frequency.x, 3.14159265f);
    EXPECT_EQ(waves.amplitude.z, 3.0f);
}

TEST_F(DrawWater, TheProgramGetsTheWaterItsWavesAndTheCamera)
{
    Start();
    water_c* water = MakeWater();
    water->SetWaveAmplitude(0, 0.5f);
    water->SetWaveLength(0, 8.0f);
    water->SetWaveVelocity(0, {0.0f, 0.0f, 2.0f});
    water->position = {1.0f, 0.0f, 0.0f};
    water->UpdateTransform(nullptr);
    camera.position = {0.0f, 3.0f, 0.0f};
    camera.UpdateTransform(nullptr);
    renderer->DrawWater(water, 1.5f, true);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(Constant("waves_amp")[0], 0.5f);
    EXPECT_EQ(Constant("waves_amp")[3], 1.0f);
    EXPECT_FLOAT_EQ(Constant("waves_freq")[0], 6.283185307179586f / 8.0f);
    EXPECT_EQ(Constant("waves_dir_z")[0], 1.0f);
    EXPECT_EQ(Constant("waves_offset")[0], 3.0f);
    const std::array<f32, 4> camera_pos = Constant("camera_pos");
    EXPECT_FLOAT_EQ(camera_pos[0], -1.0f) << "the camera in the water's space";
    EXPECT_FLOAT_EQ(camera_pos[1], 3.0f);
    EXPECT_EQ(camera_pos[3], 1.0f);
    for (const char* name : {"transformation", "waves_dir_x", "waves_dir_z", "waves_offset", "waves_freq"}) {
        for (const f32 value : Constant(name)) {
            EXPECT_TRUE(std::isfinite(value)) << name;
        }
    }
}

TEST_F(DrawWater, WaterWithoutACubeReflectionIsNotDrawn)
{
    Start();
    renderer->DrawWater(MakeWater("sea\\flat.bmp"), 0.0f, true);
    renderer->DrawWater(MakeWater(nullptr), 0.0f, true);
    renderer->DrawWater(Own(new water_c("dry", renderer.get())), 0.0f, true);
    renderer->DrawWater(nullptr, 0.0f, true);
    EXPECT_TRUE(Draws().empty());
}

}
