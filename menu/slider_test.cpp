#include "menu/slider.h"

#include "engine/scene.h"
#include "menu/any_menu.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

// A horizontal slider from 0.1 to 0.9, 0.05 thick: arrow B (left) 0.1..0.15,
// the bar 0.15..0.85, arrow A (right) 0.85..0.9.
class SliderTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    template <typename T = SliderHorizontalControl>
    std::unique_ptr<T> Make(const menu_rect_c& _rect = {0.1f, 0.5f, 0.9f, 0.55f}, const std::string& _extra = "")
    {
        fixture.AddScene("part.scn");
        fixture.AddText("slider.txt", "BarFile part.scn\nArrowRightFile part.scn\nArrowUpFile part.scn\n"
                                      "Arrow_Enabled start=1 end=2 loop=0\nArrow_MouseOver start=2 end=3 loop=0\n"
                                      "Arrow_Action start=3 end=4 loop=0\nBar_Action start=10 end=14 loop=0\n"
                                      "Speed 0.25\n" +
                                          _extra);
        auto slider = std::make_unique<T>("Volume", "slider.txt", &fixture.renderer, nullptr, nullptr);
        *slider->GetRectangle() = _rect;
        return slider;
    }

    static void MoveTo(SliderControl& _slider, f32 _x, f32 _y, f32 _time)
    {
        _slider.OnMouseMove(_x, _y, 0, 0);
        _slider.Process(_time);
    }
};

TEST_F(SliderTest, HoldingAnArrowRunsTheValueAtItsSpeed)
{
    auto slider = Make();
    MoveTo(*slider, 0.875f, 0.525f, 0.0f);
    EXPECT_EQ(slider->GetArrowAState(), control_over);
    EXPECT_EQ(slider->GetControlState(), control_over);
    slider->OnLeftButtonDown();
    slider->Process(0.1f);
    // The press only starts the action clip.
    EXPECT_EQ(slider->GetArrowAState(), control_captured);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    slider->Process(2.1f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
    slider->Process(10.0f);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    slider->OnLeftButtonUp();
    EXPECT_EQ(slider->GetArrowAState(), control_over);
    // Arrow B runs it back down and lets go when the pointer leaves it.
    MoveTo(*slider, 0.125f, 0.525f, 10.0f);
    slider->OnLeftButtonDown();
    slider->Process(10.1f);
    slider->Process(11.1f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.75f);
    MoveTo(*slider, 0.125f, 0.9f, 11.2f);
    EXPECT_EQ(slider->GetArrowBState(), control_normal);
    slider->Process(20.0f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.75f);
}

TEST_F(SliderTest, TheBarFollowsThePointerUntilTheRelease)
{
    auto slider = Make();
    MoveTo(*slider, 0.5f, 0.52f, 0.0f);
    slider->OnLeftButtonDown();
    slider->Process(0.1f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f);
    MoveTo(*slider, 0.0f, 0.9f, 0.2f);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    MoveTo(*slider, 2.0f, 0.9f, 0.3f);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    slider->OnLeftButtonUp();
    MoveTo(*slider, 0.5f, 0.52f, 0.4f);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    // The bar's scene shows the value as a frame of its action clip.
    EXPECT_EQ(slider->GetBarScene()->Animate(4.0f, false), 14.0f);
}

TEST_F(SliderTest, APressOutsideDoesNotDragWhenThePointerComesOn)
{
    auto slider = Make();
    MoveTo(*slider, 0.5f, 0.9f, 0.0f);
    slider->OnLeftButtonDown();
    MoveTo(*slider, 0.5f, 0.52f, 0.1f);
    EXPECT_EQ(slider->GetValue(), 0.0f);
}

TEST_F(SliderTest, AVerticalSlidersUpArrowLowersTheValue)
{
    auto slider = Make<SliderControl>({0.9f, 0.1f, 0.95f, 0.9f});
    menu_ret_c ret;
    ret.floatValue = 0.5f;
    slider->SetState(&ret);
    MoveTo(*slider, 0.925f, 0.12f, 0.0f);
    slider->OnLeftButtonDown();
    slider->Process(0.1f);
    slider->Process(0.5f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.4f);
    slider->OnLeftButtonUp();
    // Dragging along the bar: 0.15 at the top, 0.85 at the bottom.
    MoveTo(*slider, 0.925f, 0.675f, 1.0f);
    slider->OnLeftButtonDown();
    slider->Process(1.1f);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.75f);
}

TEST_F(SliderTest, SlidersTooShortForTheirArrowsHaveABarThatDoesNotMove)
{
    for (const menu_rect_c& rect : {menu_rect_c{0.1f, 0.5f, 0.18f, 0.55f}, menu_rect_c{0.1f, 0.5f, 0.2f, 0.55f},
                                    menu_rect_c{0.0f, 0.0f, 0.0f, 0.0f}}) {
        auto slider = Make(rect);
        menu_ret_c ret;
        ret.floatValue = 0.3f;
        slider->SetState(&ret);
        MoveTo(*slider, rect.left + 0.05f, 0.52f, 0.0f);
        slider->OnLeftButtonDown();
        MoveTo(*slider, rect.left + 0.05f, 0.52f, 0.1f);
        MoveTo(*slider, 0.9f, 0.52f, 0.2f);
        EXPECT_EQ(slider->GetValue(), 0.3f) << rect.right;
    }
}

TEST_F(SliderTest, ValuesAreStoredAsGivenAndClampedByTheNextStep)
{
    auto slider = Make();
    menu_ret_c ret;
    ret.floatValue = 1.5f;
    slider->SetState(&ret);
    ret.Clear();
    slider->GetState(ret);
    EXPECT_EQ(ret.floatValue, 1.5f);
    MoveTo(*slider, 0.875f, 0.525f, 0.0f);
    slider->OnLeftButtonDown();
    slider->Process(0.1f);
    slider->Process(0.2f);
    EXPECT_EQ(slider->GetValue(), 1.0f);
}

TEST_F(SliderTest, ADisabledSliderTakesNoPointer)
{
    auto slider = Make();
    slider->Disable(false);
    EXPECT_FALSE(slider->IsDisabled());
    MoveTo(*slider, 0.875f, 0.525f, 0.0f);
    slider->OnLeftButtonDown();
    slider->Process(0.1f);
    slider->Process(2.0f);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    EXPECT_EQ(slider->GetArrowAState(), control_disabled);
    EXPECT_EQ(slider->GetControlState(), control_disabled);
}

TEST_F(SliderTest, MenuScriptsMakeBothOrientations)
{
    fixture.AddText("slider.txt", "Speed 1\n");
    fixture.AddText("menu.txt", "SliderControl Scroll slider.txt x=0.9 y=0.1 w=0.05 h=0.8\n"
                                "SliderHorizontalControl Volume slider.txt x1=0.1 y1=0.5 x2=0.9 y2=0.55\n");
    any_menu_c menu("Options", &fixture.renderer, nullptr);
    menu.LoadScript("menu.txt", 0);
    ASSERT_EQ(menu.GetControls().size(), 2u);
    EXPECT_EQ(dynamic_cast<SliderHorizontalControl*>(menu.FindControl("Scroll")), nullptr);
    EXPECT_NE(dynamic_cast<SliderHorizontalControl*>(menu.FindControl("Volume")), nullptr);
    menu.OnMouseMove(0.5f, 0.52f, 0, 0);
    menu.Process(0.0f);
    menu.OnLeftButtonDown();
    menu.Process(0.1f);
    EXPECT_FLOAT_EQ(menu.ControlGetFloat("Volume"), 0.5f);
    EXPECT_EQ(menu.ControlGetFloat("Scroll"), 0.0f);
}

} // namespace
