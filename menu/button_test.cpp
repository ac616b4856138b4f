#include "menu/button.h"

#include "engine/scene.h"
#include "menu/any_menu.h"
#include "menu/check_box.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

class ButtonTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    void SetUp() override { fixture.AddScene("body.scn"); }

    std::unique_ptr<ButtonControl> Make(const std::string& _script, const menu_rect_c& _rect = {0.1f, 0.1f, 0.5f, 0.2f})
    {
        fixture.AddText("button.txt", _script);
        auto button = std::make_unique<ButtonControl>("Ok", "button.txt", &fixture.renderer, nullptr, nullptr);
        button->SetRect(_rect);
        return button;
    }

    static i32 Poll(ButtonControl& _button)
    {
        menu_ret_c ret;
        _button.GetState(ret);
        return ret.intValue;
    }

    static void Hover(ButtonControl& _button, f32 _time)
    {
        _button.OnMouseMove(0.2f, 0.15f, 0, 0);
        _button.Process(_time);
    }
};

const char* const bodyScript = "BodyFile body.scn\n"
                               "Disabled start=0 end=1 loop=0\nEnabled start=1 end=2 loop=1\n"
                               "MouseOver start=2 end=3 loop=1\nAction start=3 end=3.5 loop=0\n";

TEST_F(ButtonTest, AClickIsReportedOnceWhenItsClipHasRun)
{
    auto button = Make(bodyScript);
    EXPECT_EQ(button->GetControlState(), control_normal);
    Hover(*button, 1.0f);
    EXPECT_EQ(button->GetControlState(), control_over);
    EXPECT_EQ(button->GetHoverTime(), 1.0f);
    button->OnLeftClick();
    EXPECT_EQ(button->GetControlState(), control_captured);
    EXPECT_EQ(button->GetStateTime(), 1.0f);
    EXPECT_EQ(button->GetBody()->GetFirstTime(), 3.0f);
    EXPECT_EQ(Poll(*button), 1);
    button->Process(1.25f);
    EXPECT_EQ(Poll(*button), 1);
    // A second click while the clip runs changes nothing.
    button->OnLeftClick();
    EXPECT_EQ(button->GetStateTime(), 1.0f);
    button->Process(1.5f);
    EXPECT_EQ(Poll(*button), 2);
    EXPECT_EQ(button->GetControlState(), control_over);
    EXPECT_EQ(button->GetBody()->GetFirstTime(), 2.0f);
    EXPECT_EQ(Poll(*button), 0);
}

TEST_F(ButtonTest, AClickAwayFromTheButtonDoesNothing)
{
    auto button = Make(bodyScript);
    button->OnMouseMove(0.9f, 0.9f, 0, 0);
    button->Process(1.0f);
    button->OnLeftClick();
    EXPECT_EQ(button->GetControlState(), control_normal);
    EXPECT_EQ(Poll(*button), 0);
}

TEST_F(ButtonTest, ActionWithoutLengthCompletesOnTheNextProcess)
{
    auto button = Make("Action start=1 end=1 loop=0\n");
    Hover(*button, 0.0f);
    button->OnLeftClick();
    button->OnMouseMove(0.9f, 0.9f, 0, 0);
    button->Process(0.0f);
    EXPECT_EQ(Poll(*button), 2);
    EXPECT_EQ(button->GetControlState(), control_normal);
}

TEST_F(ButtonTest, ADisabledButtonNeitherHoversNorReports)
{
    auto button = Make(bodyScript);
    button->Disable(false);
    EXPECT_FALSE(button->IsDisabled());
    EXPECT_EQ(button->GetBody()->GetFirstTime(), 0.0f);
    Hover(*button, 1.0f);
    button->OnLeftClick();
    EXPECT_EQ(button->GetControlState(), control_disabled);
    EXPECT_EQ(Poll(*button), 0);
    button->Disable(true);
    EXPECT_TRUE(button->IsDisabled());
    Hover(*button, 2.0f);
    EXPECT_EQ(button->GetControlState(), control_over);
}

TEST_F(ButtonTest, AButtonWithoutAPlaceIsHiddenAndNeverHovered)
{
    auto button =
        Make(menu_fixture_c::Script({bodyScript, "Charset name=Arial height=10\n"}), {0.0f, 0.0f, 0.0f, 0.0f});
    button->SetCaption("Hidden");
    button->OnMouseMove(0.0f, 0.0f, 0, 0);
    button->Process(1.0f);
    EXPECT_EQ(button->GetControlState(), control_normal);
    fixture.renderer.ClearCalls();
    button->Render();
    EXPECT_TRUE(fixture.renderer.calls.empty());
}

TEST_F(ButtonTest, BodiesFadeOrShrinkWithTheTransition)
{
    auto fading = Make(bodyScript);
    fading->SetTransition(0.4f);
    fading->Process(0.0f);
    EXPECT_EQ(fading->GetBody()->dissolve, 0.4f);
    EXPECT_FLOAT_EQ(fading->GetBody()->GetViewportWidth(), 0.4f);
    EXPECT_FLOAT_EQ(fading->GetBody()->GetAspectRatio(), 0.25f);
    EXPECT_EQ(fading->GetBody()->GetNearClipPlane(), 1.0f);
    EXPECT_EQ(fading->GetBody()->GetFarClipPlane(), 1000.0f);

    auto shrinking = Make(menu_fixture_c::Script({bodyScript, "FadeSize\n"}));
    shrinking->SetTransition(1.0f);
    shrinking->Process(0.0f);
    scene_c* body = shrinking->GetBody();
    EXPECT_EQ(body->dissolve, 0.0f);
    EXPECT_FLOAT_EQ(body->GetViewportX(), 0.3f);
    EXPECT_FLOAT_EQ(body->GetViewportY(), 0.15f);
    EXPECT_FLOAT_EQ(body->GetViewportWidth(), 0.0051f);
    EXPECT_FLOAT_EQ(body->GetViewportHeight(), 0.0051f);
    EXPECT_FLOAT_EQ(body->GetAspectRatio(), 3.0f * 0.1f / (4.0f * 0.4f));
}

TEST_F(ButtonTest, CaptionsAreCentredOrPlacedInTheStyleOfTheState)
{
    auto centred = Make("Charset name=Arial height=10\nMouseOver_Charset Color={0 1 0} DeltaX=0.01 DeltaY=0.02\n");
    centred->SetCaption("Go");
    fixture.renderer.ClearCalls();
    centred->Render();
    Hover(*centred, 0.0f);
    centred->Render();
    EXPECT_EQ(fixture.DrawnPositions(), (std::vector<std::pair<i32, i32>>{{290, 140}, {300, 160}}));
    EXPECT_EQ(fixture.renderer.FindCall("DrawText", 1)->numbers[5], 1.0);

    auto placed = Make("Charset name=Arial height=10\nDeltaTextPos x=0.05 y=0.01\n");
    placed->SetCaption("Go");
    fixture.renderer.ClearCalls();
    placed->Render();
    EXPECT_EQ(fixture.DrawnPositions(), (std::vector<std::pair<i32, i32>>{{150, 110}}));
}

TEST_F(ButtonTest, ARidingCheckBoxFollowsTheButtonAndShowsItsValue)
{
    fixture.AddText("box.txt", "Size x=0.02 y=0.02\n");
    auto button = Make("CheckBoxControl Mark box.txt x=0.01 y=0.02\n");
    CheckBoxControl* mark = button->GetCheckBox();
    ASSERT_NE(mark, nullptr);
    button->Process(0.0f);
    EXPECT_FLOAT_EQ(mark->GetX(), 0.11f);
    EXPECT_FLOAT_EQ(mark->GetY(), 0.12f);
    menu_ret_c ret;
    ret.boolValue = 1;
    mark->SetState(&ret);
    EXPECT_TRUE(mark->IsChecked());
    button->Disable(false);
    EXPECT_FALSE(mark->IsDisabled());
}

TEST_F(ButtonTest, OptionsShowTheirChosenElement)
{
    fixture.AddText("button.txt", "");
    OptionsControl options("Weather", "button.txt", &fixture.renderer, nullptr, nullptr);
    options.SetCaption("Weather");
    options.Process(0.0f);
    EXPECT_EQ(options.GetText(), "Weather > ");
    auto element = std::make_unique<ButtonControl>("Rain", "button.txt", &fixture.renderer, nullptr, nullptr);
    element->SetCaption("Rain");
    options.SetChosen(element.get());
    options.AddElement(std::move(element));
    options.Process(0.1f);
    EXPECT_EQ(options.GetText(), "Weather > Rain");
}

TEST_F(ButtonTest, MenuScriptsMakeButtonsAndCheckBoxes)
{
    fixture.AddText("button.txt", bodyScript);
    fixture.AddText("box.txt", "Size x=0.05 y=0.05\n");
    fixture.AddText("strings.txt", "Start\nStarts the mission\nSound on\n");
    fixture.AddText("menu.txt", "StringTableFile strings.txt\n"
                                "ButtonControl Start button.txt x=0.1 y=0.1 w=0.2 h=0.1 text=0 tooltiptext=1\n"
                                "CheckBoxControl Sound box.txt x=0.5 y=0.5 text=2\n"
                                "CheckBoxControl Broken box.txt x=0.5\n");
    any_menu_c menu("Main", &fixture.renderer, nullptr);
    menu.LoadScript("menu.txt", 0);
    ASSERT_EQ(menu.GetControls().size(), 2u);
    EXPECT_EQ(menu_fixture_c::TakeMessages().size(), 1u);
    auto* start = static_cast<ButtonControl*>(menu.FindControl("Start"));
    EXPECT_EQ(start->GetText(), "Start");
    EXPECT_FLOAT_EQ(start->GetRect().right, 0.3f);
    auto* sound = static_cast<CheckBoxControl*>(menu.FindControl("Sound"));
    EXPECT_EQ(sound->GetX(), 0.5f);

    menu.OnMouseMove(0.52f, 0.52f, 0, 0);
    menu.Process(1.0f);
    menu.OnLeftClick();
    menu.Process(1.1f);
    EXPECT_TRUE(menu.ControlGetBool("Sound"));
    menu.OnMouseMove(0.15f, 0.15f, 0, 0);
    menu.Process(1.2f);
    EXPECT_STREQ(start->GetToolTipText(), "Starts the mission");
    menu.OnLeftClick();
    menu.Process(1.3f);
    EXPECT_EQ(menu.ControlGetInt("Start"), 1);
    menu.Process(1.8f);
    // The snapshot's poll took the click: it is reported once.
    EXPECT_EQ(menu.ControlGetInt("Start"), 2);
    menu.Process(1.9f);
    EXPECT_EQ(menu.ControlGetInt("Start"), 0);
}

class CheckBoxTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    std::unique_ptr<CheckBoxControl> Make(const std::string& _script)
    {
        fixture.AddScene("border.scn");
        fixture.AddText("box.txt", "BorderFile border.scn\nCheckFile border.scn\n"
                                   "Check_ON start=1 end=2 loop=0\nCheck_OFF start=2 end=3 loop=0\n"
                                   "Check_Disabled start=3 end=4 loop=0\nSize x=0.05 y=0.05\n"
                                   "Charset name=Arial height=10\n" +
                                       _script);
        auto box = std::make_unique<CheckBoxControl>("Box", "box.txt", &fixture.renderer, nullptr, nullptr);
        box->SetPosition(0.1f, 0.1f);
        box->SetCaption("Caption");
        return box;
    }

    static void ClickAt(CheckBoxControl& _box, f32 _x, f32 _y, f32 _time)
    {
        _box.OnMouseMove(_x, _y, 0, 0);
        _box.Process(_time);
        _box.OnLeftClick();
    }
};

TEST_F(CheckBoxTest, ClicksOnTheCaptionToggleOnlyBesideTheBox)
{
    auto beside = Make("");
    ClickAt(*beside, 0.2f, 0.12f, 0.0f);
    EXPECT_TRUE(beside->IsChecked());
    EXPECT_EQ(beside->GetCheckScene()->GetFirstTime(), 1.0f);
    ClickAt(*beside, 0.12f, 0.12f, 0.1f);
    EXPECT_FALSE(beside->IsChecked());

    auto placed = Make("DeltaTextPos x=0.1 y=0\n");
    ClickAt(*placed, 0.2f, 0.12f, 0.0f);
    EXPECT_FALSE(placed->IsChecked());
    ClickAt(*placed, 0.12f, 0.12f, 0.1f);
    EXPECT_TRUE(placed->IsChecked());
}

TEST_F(CheckBoxTest, SetStateOnADisabledBoxShowsItUnchecked)
{
    auto box = Make("");
    box->Disable(false);
    EXPECT_EQ(box->GetCheckScene()->GetFirstTime(), 3.0f);
    menu_ret_c ret;
    ret.boolValue = 1;
    box->SetState(&ret);
    EXPECT_EQ(box->GetCheckScene()->GetFirstTime(), 2.0f);
    menu_ret_c read;
    read.intValue = 4;
    box->GetState(read);
    EXPECT_EQ(read.boolValue, 1);
    EXPECT_EQ(read.intValue, 0);
    ClickAt(*box, 0.12f, 0.12f, 0.0f);
    EXPECT_TRUE(box->IsChecked());
    box->Disable(true);
    EXPECT_EQ(box->GetCheckScene()->GetFirstTime(), 1.0f);
}

TEST_F(CheckBoxTest, CaptionStandsRightOfTheBoxAndFadesLessWhenDisabled)
{
    auto box = Make("InverseRenderOrder\n");
    box->SetTransition(0.5f);
    box->Disable(false);
    fixture.renderer.ClearCalls();
    box->Render();
    EXPECT_EQ(fixture.DrawnPositions(), (std::vector<std::pair<i32, i32>>{{150, 115}}));
    EXPECT_EQ(fixture.renderer.FindCall("DrawText")->numbers[7], 0.25);
}

} // namespace
