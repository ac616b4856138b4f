#include "render_d3d9/font.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/renderer.h"
#include "platform/d3dx9/d3dx9_shader.h"
#include "render_d3d9/testing/record_fixture.h"
#include "render_d3d9/testing/test_window.h"

#include <cstring>

namespace {

class Font : public record_fixture_c {};

TEST(FontHeight, FollowsTheDisplayResolution)
{
    EXPECT_EQ(d3d_font_c::CharacterHeight(768, 12.0f), -18) << "768 x 0.14111111 x 12 / 72 = 18.06";
    EXPECT_EQ(d3d_font_c::CharacterHeight(480, 10.0f), -9);
    EXPECT_EQ(d3d_font_c::CharacterHeight(0, 10.0f), 0);
}

TEST_F(Font, DefinitionsBecomeDescriptions)
{
    Make();
    const font_def_c definition("DejaVu Sans Mono Very Long Face Name Beyond", 12.0f, 1, 1, 0, 1, 0, 1);
    d3d_font_c font(device, "font", definition, 768);
    EXPECT_EQ(font.GetDesc().Height, -18);
    EXPECT_EQ(font.GetDesc().Weight, FW_BOLD);
    EXPECT_EQ(font.GetDesc().Italic, 1);
    EXPECT_EQ(font.GetDesc().StrikeOut, 1);
    EXPECT_EQ(font.GetDesc().Quality, NONANTIALIASED_QUALITY);
    EXPECT_EQ(std::strlen(font.GetDesc().FaceName), 31u);
    i32 width = 0, height = 0;
    font.MeasureText("Hello", width, height);
    EXPECT_GT(width, 0);
    EXPECT_GE(height, 18);
}

TEST_F(Font, RefusalsGiveTheirMessages)
{
    Make();
    try {
        d3d_font_c font(device, "zero", font_def_c("DejaVu Sans", 0.0f), 768);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Invalid font definition!");
    }
    SetD3DXFaultHook([](const char*) { return E_FAIL; });
    try {
        d3d_font_c font(device, "failing", font_def_c("DejaVu Sans", 10.0f), 768);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Could not create font!");
    }
    SetD3DXFaultHook({});
}

TEST_F(Font, TextIsDrawnWithAlphaFromTransparency)
{
    Make();
    d3d_font_c font(device, "font", font_def_c("DejaVu Sans", 10.0f), 768);
    device->BeginScene();
    font.Draw("A", 10, 10, 100, 20, {1.0f, 0.0f, 0.0f}, 0.25f);
    device->EndScene();
    ASSERT_EQ(rec->Draws().size(), 1u);
    u32 color = 0;
    std::memcpy(&color, rec->Draws()[0].vertices.data() + 16, 4);
    EXPECT_EQ(color, 0xBFFF0000u) << "alpha 0.75 x 255 truncated";
}

TEST_F(Font, TheRendererMakesFontsForItsCache)
{
    test_window_c window(320, 200);
    u32 flags = 0;
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(window.Get(), true));
    font_c* font = renderer.GetFont(font_def_c("DejaVu Sans", 12.0f));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(static_cast<d3d_font_c*>(font)->GetDesc().Height,
              d3d_font_c::CharacterHeight(GetSystemMetrics(SM_CYSCREEN), 12.0f));
    EXPECT_THROW(renderer.GetFont(font_def_c("DejaVu Sans", -1.0f)), d3d_error_c);
}

}
