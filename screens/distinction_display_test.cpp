#include "screens/distinction_display.h"

#include <gtest/gtest.h>

#include "engine/scene.h"
#include "screens/career_order.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class DistinctionDisplay : public ::testing::Test {
protected:
    screens_world_c world;
};

TEST_F(DistinctionDisplay, ThePilotsRowDimsWhatIsNotEarned)
{
    pilot_profile_c& pilot = world.AddPilot("Anna");
    pilot.distinctions[5] = 2;
    distinction_display_c display(&world.app, "data\\common\\distinctions_order.txt");
    ASSERT_EQ(display.GetModelCount(), 8u);
    display.BuildPilotRow();
    const auto& icons = display.GetIcons();
    ASSERT_EQ(icons.size(), 8u);
    for (u32 i = 0; i < 8; ++i) {
        EXPECT_EQ(icons[i]->dimmed, i == 5 ? 0 : 1) << i;
        EXPECT_FLOAT_EQ(icons[i]->x, 0.568f + 0.024f * static_cast<f32>(i));
    }
    EXPECT_EQ(display.GetPilotName(), "Anna");

    display.Update(4.0f);
    EXPECT_FLOAT_EQ(icons[0]->scene->GetViewportWidth(), 0.021f);
    EXPECT_FLOAT_EQ(icons[0]->scene->GetAspectRatio(), 0.0505f / 0.021f);
    display.GoOut();
    EXPECT_EQ(icons[0]->scene->GetFirstTime(), 1.0f);
    EXPECT_EQ(icons[0]->scene->GetLastTime(), 1.5f);
}

// The shell draws a state in the frame it enters it, before its first
// update: icons made on entering are already in their places.
TEST_F(DistinctionDisplay, AnIconIsInItsPlaceBeforeTheFirstUpdate)
{
    world.AddPilot("Anna");
    distinction_display_c display(&world.app, "data\\common\\distinctions_order.txt");
    display.BuildPilotRow();
    ASSERT_FALSE(display.GetIcons().empty());
    const scene_c& scene = *display.GetIcons()[3]->scene;
    EXPECT_FLOAT_EQ(scene.GetViewportX(), 0.568f + 0.024f * 3.0f);
    EXPECT_FLOAT_EQ(scene.GetViewportY(), 0.2f);
    EXPECT_FLOAT_EQ(scene.GetViewportWidth(), 0.021f);
    EXPECT_FLOAT_EQ(scene.GetViewportHeight(), 0.0505f);
    EXPECT_FLOAT_EQ(scene.GetAspectRatio(), 0.0505f / 0.021f);
}

TEST_F(DistinctionDisplay, TheGridShowsTheDistinctionsOfAvailableMissions)
{
    world.AddCareerMission(0, 1, -1, 0);
    world.AddCareerMission(-1, -1, -1, 0);
    world.AddCareerMission(3, 99, -1, 0);
    world.AddCareerMission(4, -1, -1, 0);
    world.SetCareerOrder({{}, {}, {}, {1}});
    pilot_profile_c& pilot = world.AddPilot("Anna");
    pilot.mission_results[0][1] = 1;
    const career_order_c order("data\\common\\career_missions_order.txt");
    distinction_display_c display(&world.app, "data\\common\\distinctions_order.txt");
    display.BuildMissionIcons(order);
    const auto& icons = display.GetIcons();
    // Mission 1 two icons, mission 2 none, mission 3 one (99 has no model),
    // mission 4 is locked.
    ASSERT_EQ(icons.size(), 3u);
    EXPECT_EQ(icons[0]->index, 0);
    EXPECT_EQ(icons[0]->dimmed, 1);
    EXPECT_EQ(icons[1]->index, 1);
    EXPECT_EQ(icons[1]->dimmed, 0);
    EXPECT_FLOAT_EQ(icons[1]->x, icons[0]->x + 0.018f);
    EXPECT_EQ(icons[2]->index, 3);
    f32 x = 0.0f;
    f32 y = 0.0f;
    MissionTilePosition(2, x, y);
    EXPECT_FLOAT_EQ(icons[2]->x, x);
    EXPECT_FLOAT_EQ(icons[2]->y, y);
}

} // namespace
