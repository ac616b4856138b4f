#include "engine/font_handle.h"
#include "engine/testing/recording_renderer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const vec3_c white(1, 1, 1);

} // namespace

TEST(FontHandleTest, DrawsAtPixelsOfTheWholeOutput)
{
    recording_renderer_c renderer(640, 480);
    renderer.SetViewport(0.5f, 0.5f, 0.5f, 0.5f, 2.0f);
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    renderer.ClearCalls();
    font.DrawText(0.5f, 0.5f, "hello", white, 0.25f, 0);
    ASSERT_EQ(renderer.CallNames(), (std::vector<std::string>{"SetViewportRect", "DrawText"}));
    EXPECT_EQ(renderer.calls[0].numbers, (std::vector<double>{0, 0, 640, 480}));
    const recorded_call_c& draw = renderer.calls[1];
    EXPECT_EQ(draw.objects[0], &font);
    EXPECT_EQ(draw.text, "hello");
    EXPECT_EQ(draw.numbers, (std::vector<double>{320, 240, 50, 20, 1, 1, 1, 0.25}));
}

TEST(FontHandleTest, AlignmentMovesTheTextBeforeThePoint)
{
    recording_renderer_c renderer(640, 480);
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    // Ten characters: 100 x 20 pixels.
    font.DrawText(0.5f, 0.5f, "0123456789", white, 0.0f, text_align_right | text_align_bottom);
    const recorded_call_c* draw = renderer.FindCall("DrawText");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->numbers[0], 220);
    EXPECT_EQ(draw->numbers[1], 220);
    font.DrawText(0.5f, 0.5f, "0123456789", white, 0.0f, text_align_bottom);
    EXPECT_EQ(renderer.FindCall("DrawText", 1)->numbers[0], 320);
}

TEST(FontHandleTest, TransparencyOfOneDrawsNothing)
{
    recording_renderer_c renderer(640, 480);
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    font.DrawText(0, 0, "a", white, 1.0f, 0);
    font.DrawText(0, 0, "", white, 0.0f, 0);
    font.DrawText(0, 0, nullptr, white, 0.0f, 0);
    EXPECT_EQ(renderer.CountCalls("DrawText"), 0u);
    font.DrawText(0, 0, "a", white, 0.999f, 0);
    EXPECT_EQ(renderer.CountCalls("DrawText"), 1u);
}

TEST(FontHandleTest, NothingIsDrawnWithoutAnOutput)
{
    recording_renderer_c renderer;
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    font.DrawText(0.1f, 0.1f, "a", white, 0.0f, 0);
    EXPECT_EQ(renderer.CountCalls("DrawText"), 0u);
    EXPECT_EQ(font.GetTextWidth("abc"), 0.0f);
}

TEST(FontHandleTest, SecondFormUsesItsOwnMeasureAndSlot)
{
    recording_renderer_c renderer(640, 480);
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    font.DrawTextB(0.0f, 0.0f, "abc", white, 0.0f, 0);
    ASSERT_EQ(renderer.CountCalls("DrawTextB"), 1u);
    EXPECT_EQ(renderer.FindCall("DrawTextB")->numbers[2], 60);
    EXPECT_FLOAT_EQ(font.GetTextWidthB("abcd"), 80.0f / 640);
}

TEST(FontHandleTest, MeasurementsAreFractionsOfTheOutput)
{
    recording_renderer_c renderer(640, 480);
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    f32 width = -1, height = -1;
    font.MeasureText(width, height, "abcd");
    EXPECT_FLOAT_EQ(width, 40.0f / 640);
    EXPECT_FLOAT_EQ(height, 20.0f / 480);
    EXPECT_FLOAT_EQ(font.GetTextWidth("abcd"), 40.0f / 640);
    EXPECT_FLOAT_EQ(font.GetTextHeight("abcd"), 20.0f / 480);
    EXPECT_FLOAT_EQ(font.GetLineHeight(), 20.0f / 480);
    font.MeasureTextB(width, height, "ab");
    EXPECT_FLOAT_EQ(width, 40.0f / 640);
}

TEST(FontHandleTest, AnEmptyTextMeasuresZeroWithoutTouchingTheViewport)
{
    recording_renderer_c renderer(640, 480);
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    renderer.ClearCalls();
    EXPECT_EQ(font.GetTextWidth(""), 0.0f);
    f32 width = -1, height = -1;
    font.MeasureText(width, height, nullptr);
    EXPECT_EQ(width, 0.0f);
    EXPECT_EQ(height, 0.0f);
    EXPECT_TRUE(renderer.calls.empty());
}

TEST(FontHandleTest, EqualDefinitionsShareOneFont)
{
    recording_renderer_c renderer(640, 480);
    font_c* shared;
    {
        font_handle_c first(font_def_c("Arial", 12), &renderer);
        font_handle_c second(font_def_c("arial", 12), &renderer);
        shared = first.GetFont();
        EXPECT_EQ(second.GetFont(), shared);
        EXPECT_EQ(shared->useCount, 2u);
        EXPECT_EQ(renderer.createdFonts, 1u);
    }
    EXPECT_EQ(shared->useCount, 0u);
    EXPECT_EQ(renderer.font_cache_c::GetCount(), 1u);
    renderer.font_cache_c::Purge();
    EXPECT_EQ(renderer.font_cache_c::GetCount(), 0u);
}

TEST(FontHandleTest, OutlandishPositionsStayWithinIntegers)
{
    recording_renderer_c renderer(640, 480);
    font_handle_c font(font_def_c("Arial", 12), &renderer);
    font.DrawText(1e30f, NAN, "a", white, 0.0f, 0);
    const recorded_call_c* draw = renderer.FindCall("DrawText");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->numbers[0], 1e9);
    EXPECT_EQ(draw->numbers[1], -1e9);
}
