#include "menu/gfx_button.h"

#include "engine/scene.h"
#include "engine/testing/marker_object.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

// A camera at the origin looking along +z with a zoom of 1, so the point at
// the centre of the screen sees what stands straight ahead.
class GfxButtonTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    std::unique_ptr<GfxButtonControl> Make(const std::string& _keys)
    {
        fixture.AddScene("table.scn");
        fixture.AddText("gfx.txt", "BodyFile table.scn\nEnabled start=1 end=2 loop=1\nMouseOver start=2 end=3 loop=1\n"
                                   "Action start=3 end=3.5 loop=0\nDisabled start=0 end=1 loop=0\n" +
                                       _keys);
        auto button = std::make_unique<GfxButtonControl>("Plane", "gfx.txt", &fixture.renderer, nullptr, nullptr);
        scene_c* scene = button->GetScene();
        scene->GetActiveCamera()->zoom = 1.0f;
        return button;
    }

    marker_object_c* AddMarker(GfxButtonControl& _button, const char* _name, f32 _z)
    {
        auto* marker =
            new marker_object_c(_name, _z, &fixture.renderer, vec3_c(-1.0f, -1.0f, -1.0f), vec3_c(1.0f, 1.0f, 1.0f));
        marker->position = vec3_c(0.0f, 0.0f, _z);
        _button.GetScene()->AddObject(marker);
        return marker;
    }

    static void PointAt(GfxButtonControl& _button, f32 _x, f32 _y, f32 _time)
    {
        _button.OnMouseMove(_x, _y, 0, 0);
        _button.Process(_time);
    }
};

TEST_F(GfxButtonTest, TheNamedObjectUnderThePointerIsTheButton)
{
    auto button = Make("ObjToRayTestName Biplane\n");
    AddMarker(*button, "biplane", 10.0f);
    button->Process(0.0f);
    PointAt(*button, 0.5f, 0.5f, 1.0f);
    EXPECT_EQ(button->GetControlState(), control_over);
    EXPECT_EQ(button->GetHoverTime(), 1.0f);
    PointAt(*button, 0.5f, 0.02f, 2.0f);
    EXPECT_EQ(button->GetControlState(), control_normal);
}

TEST_F(GfxButtonTest, AnotherObjectInFrontHidesTheNamedOne)
{
    auto button = Make("ObjToRayTestName Biplane\n");
    AddMarker(*button, "Biplane", 20.0f);
    AddMarker(*button, "Hangar", 10.0f);
    button->Process(0.0f);
    PointAt(*button, 0.5f, 0.5f, 1.0f);
    EXPECT_EQ(button->GetControlState(), control_normal);
}

TEST_F(GfxButtonTest, WithoutANameAnyObjectCounts)
{
    auto button = Make("");
    AddMarker(*button, "Hangar", 10.0f);
    button->Process(0.0f);
    PointAt(*button, 0.5f, 0.5f, 1.0f);
    EXPECT_EQ(button->GetControlState(), control_over);
}

TEST_F(GfxButtonTest, ASceneWithoutCameraIsNeverHit)
{
    auto button = Make("");
    AddMarker(*button, "Hangar", 10.0f);
    button->GetScene()->SetActiveCamera(nullptr);
    PointAt(*button, 0.5f, 0.5f, 1.0f);
    EXPECT_EQ(button->GetControlState(), control_normal);
}

TEST_F(GfxButtonTest, ClicksAreReportedOnceAsAButtonDoes)
{
    auto button = Make("");
    AddMarker(*button, "Hangar", 10.0f);
    button->Process(0.0f);
    PointAt(*button, 0.5f, 0.5f, 1.0f);
    button->OnLeftClick();
    EXPECT_EQ(button->GetControlState(), control_captured);
    menu_ret_c ret;
    button->GetState(ret);
    EXPECT_EQ(ret.intValue, 1);
    button->Process(1.5f);
    button->GetState(ret);
    EXPECT_EQ(ret.intValue, 2);
    EXPECT_EQ(button->GetControlState(), control_over);
    button->GetState(ret);
    EXPECT_EQ(ret.intValue, 0);
}

TEST_F(GfxButtonTest, GoingInAndOutTakesNoPointerAndRestoresTheEnabledState)
{
    auto button = Make("GoIn start=5 end=6 loop=0\nGoOut start=6 end=6.5 loop=0\n");
    AddMarker(*button, "Hangar", 10.0f);
    EXPECT_EQ(button->GetGoInTime(), 1.0f);
    EXPECT_EQ(button->GetGoOutTime(), 0.5f);
    button->Process(0.0f);
    button->GoIn();
    PointAt(*button, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(button->GetControlState(), control_going_in);
    button->OnLeftClick();
    EXPECT_EQ(button->GetControlState(), control_going_in);
    PointAt(*button, 0.5f, 0.5f, 1.1f);
    EXPECT_EQ(button->GetControlState(), control_over);

    // Disabled while going out: stays disabled.
    button->GoOut();
    button->Disable(false);
    button->Process(3.0f);
    EXPECT_EQ(button->GetControlState(), control_disabled);
    EXPECT_FALSE(button->IsDisabled());
}

} // namespace
