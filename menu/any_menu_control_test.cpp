#include "menu/any_menu_control.h"

#include "engine/scene.h"
#include "menu/menu_anim_clip.h"
#include "menu/menu_ret.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The bare base, as a control class that overrides nothing would be.
class bare_control_c : public any_menu_control_c {
public:
    explicit bare_control_c(const char* _script = "") : any_menu_control_c("Bare", _script, nullptr, nullptr, nullptr)
    {}
    f32 lastX = 0.0f;
    f32 lastY = 0.0f;
    void OnMouseMove(f32 _x, f32 _y, i32, i32) override
    {
        lastX = _x;
        lastY = _y;
        state = _x >= 0.0f ? control_over : control_normal;
    }
    void SetControlState(i32 _state) { state = _state; }
};

TEST(MenuRetTest, ConstructionAndClearEmptyEveryMember)
{
    menu_ret_c ret;
    EXPECT_EQ(ret.boolValue, 0);
    EXPECT_EQ(ret.floatValue, 0.0f);
    EXPECT_EQ(ret.intValue, 0);
    EXPECT_TRUE(ret.stringValue.IsEmpty());
    ret.boolValue = 1;
    ret.floatValue = 0.5f;
    ret.intValue = 7;
    ret.stringValue = "pilot";
    ret.Clear();
    EXPECT_EQ(ret.boolValue, 0);
    EXPECT_EQ(ret.floatValue, 0.0f);
    EXPECT_EQ(ret.intValue, 0);
    EXPECT_TRUE(ret.stringValue.IsEmpty());
}

TEST(MenuControlTest, ConstructionStartsNormalWithAnOldStateTime)
{
    menu_fixture_c fixture;
    bare_control_c control;
    EXPECT_EQ(control.GetName(), "bare");
    EXPECT_EQ(control.GetControlState(), control_normal);
    EXPECT_EQ(control.GetStateTime(), -1.0e7f);
    EXPECT_EQ(control.GetTransition(), 0.0f);
    EXPECT_EQ(control.GetToolTipText(), nullptr);
}

TEST(MenuControlTest, DefaultsThatShouldNotBeReachedReportTheirSignature)
{
    menu_fixture_c fixture;
    bare_control_c control;
    menu_ret_c ret;
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { control.Render(); }, "void any_menu_control_c::Render() -  Virtual!"},
        {[&] { control.Process(0.0f); }, "void any_menu_control_c::Process(float Time) - Virtal!"},
        {[&] { control.ProcessScript(); }, "void any_menu_control_c::ProcessScript() - Virtal!"},
        {[&] { control.AddItem("x"); },
         "void any_menu_control_c::AddItem(char *ItemName)- Nieprawidlowa nazwa kontroliki w additem ??"},
        {[&] { control.RemoveItem("x"); },
         "void any_menu_control_c::RemoveItem(char *ItemName)- Nieprawidlowa nazwa kontroliki??"},
        {[&] { control.Disable(false); }, "void any_menu_control_c::Disable(bool Dis = true) -  virtual!"},
        {[&] { EXPECT_FALSE(control.IsDisabled()); }, "bool any_menu_control_c::IsDisabled() - virtual!"},
        {[&] { control.GetState(ret); }, "void any_menu_control_c::GetState(menu_ret_c &Ret) - virtual!"},
        {[&] { control.SetState(&ret); }, "void any_menu_control_c::SetState(menu_ret_c *Ret) - virtual!"},
        {[&] { EXPECT_FALSE(control.IsInside(0.5f, 0.5f)); }, "any_menu_control_c::IsInside(float x, float y)"},
    };
    for (const auto& entry : cases) {
        entry.call();
        EXPECT_EQ(menu_fixture_c::TakeMessages(), std::vector<std::string>{entry.message});
    }
    EXPECT_EQ(control.GetControlState(), control_normal);
}

TEST(MenuControlTest, GoOutAndGoInDropThePointerAndRestartTheHoverWait)
{
    bare_control_c control;
    for (const bool goOut : {true, false}) {
        control.OnMouseMove(0.5f, 0.5f, 0, 0);
        ASSERT_EQ(control.GetControlState(), control_over);
        control.SetCurrentTime(3.5f);
        if (goOut)
            control.GoOut();
        else
            control.GoIn();
        EXPECT_EQ(control.GetControlState(), control_normal);
        EXPECT_EQ(control.lastX, -1.0f);
        EXPECT_EQ(control.lastY, -1.0f);
        EXPECT_EQ(control.GetHoverTime(), 3.5f);
        EXPECT_EQ(control.GetGoOutTime(), 0.0f);
        EXPECT_EQ(control.GetGoInTime(), 0.0f);
    }
}

TEST(MenuControlTest, ToolTipTextShowsOnlyUnderThePointer)
{
    bare_control_c control;
    control.SetToolTipText("Starts the mission");
    EXPECT_EQ(control.GetToolTipText(), nullptr);
    control.SetControlState(control_over);
    EXPECT_STREQ(control.GetToolTipText(), "Starts the mission");
    control.SetToolTipText(nullptr);
    EXPECT_EQ(control.GetToolTipText(), nullptr);
}

TEST(MenuControlTest, TransitionIsStoredAndReturned)
{
    bare_control_c control;
    EXPECT_EQ(control.SetTransition(0.25f), 0.25f);
    EXPECT_EQ(control.GetTransition(), 0.25f);
}

TEST(MenuControlTest, AMissingControlScriptNamesItsFile)
{
    menu_fixture_c fixture;
    try {
        bare_control_c control("menu\\missing.txt");
        ADD_FAILURE();
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "File does not exist!");
    }
}

TEST(MenuAnimClipTest, PlayStartsTheStretchOnTheScene)
{
    menu_fixture_c fixture;
    scene_c scene("body", &fixture.renderer);
    menu_anim_clip_c clip;
    clip.Set(1.0f, 2.0f, true);
    EXPECT_TRUE(clip.Play(&scene, 5.0f));
    EXPECT_EQ(clip.startTime, 5.0f);
    EXPECT_EQ(scene.GetFirstTime(), 1.0f);
    EXPECT_EQ(scene.GetLastTime(), 2.0f);
    EXPECT_TRUE(scene.HasFlags(scene_looping));
    EXPECT_EQ(scene.Animate(5.5f, false), 1.5f);

    clip.Set(0.0f, 1.0f, false);
    EXPECT_FALSE(clip.Play(nullptr, 7.0f));
    EXPECT_EQ(clip.startTime, 7.0f);
}

} // namespace
