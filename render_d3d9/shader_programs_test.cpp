#include "render_d3d9/shader_programs.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/testing/record_fixture.h"

namespace {

class ShaderPrograms : public record_fixture_c {};

TEST_F(ShaderPrograms, TheEmbeddedSetMakesEveryShaderAndItsConstantTables)
{
    Make();
    d3d_state_cache_c cache;
    ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, GetShaderPrograms(), 1));
    for (u32 row = 1; row < d3d_shader_row_count; ++row) {
        EXPECT_TRUE(cache.HasVertexShader(row, d3d_shader_vs_1_1)) << row;
    }
    EXPECT_TRUE(cache.HasVertexShader(3, d3d_shader_vs_2_0));
    EXPECT_TRUE(cache.HasPixelShader(1));
    const struct {
        u32 row;
        const char* name;
        i32 reg;
    } constants[] = {{3, "transformation", 0},
                     {3, "orientation", 4},
                     {3, "waves_dir_x", 7},
                     {3, "waves_dir_z", 8},
                     {3, "waves_offset", 9},
                     {3, "waves_amp", 10},
                     {3, "waves_freq", 11},
                     {3, "camera_pos", 12},
                     {3, "inv_caustic_scale", 13},
                     {3, "caustic_intensity", 14},
                     {4, "transform", 0},
                     {4, "lt_dir", 4},
                     {4, "depth", 5},
                     {5, "lt_pos", 4},
                     {5, "depth", 5},
                     {6, "lt_dir", 4},
                     {7, "lt_pos", 4},
                     {1, "camera_pos", -1},
                     {2, "transform", -1}};
    for (const auto& c : constants) {
        EXPECT_EQ(cache.VertexRegister(c.row, c.name), c.reg) << c.row << " " << c.name;
    }
    EXPECT_EQ(cache.PixelRegister(1, "weight"), 0);
    EXPECT_EQ(cache.PixelRegister(1, "delta"), 8);
    cache.SetPixelShader(1);
    cache.SetSamplerByName(1, "image", false, true, false);
    EXPECT_EQ(rec->State().samplerStates[0][D3DSAMP_MAGFILTER], D3DTEXF_LINEAR);
}

}
