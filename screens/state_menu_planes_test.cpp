#include <gtest/gtest.h>

#include "app/message/net_message.h"
#include "app/message/net_message_type.h"
#include "app/testing/app_doubles.h"
#include "engine/null_object.h"
#include "menu/menu_manager.h"
#include "level/object_template.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "screens/state_menu.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class Planes : public ::testing::Test {
protected:
    Planes()
    {
        // Missions 1 and 2 unlock pair 1, mission 3 pair 3, mission 4 an
        // unknown pair.
        for (const i32 unlock : {1, 1, 3, 5})
            world.AddCareerMission(-1, -1, unlock, 0);
        for (int extra = 5; extra <= 12; ++extra)
            world.AddPlane({"Plane " + std::to_string(extra), 0.1f, 0.2f, 0.3f, 0.4f});
    }

    void OpenCareerPlaneSelection()
    {
        world.Enter();
        world.Click("Main", "Career");
        world.Click("Career", "B1");
        world.Click("Career", "Continue");
        world.Click("Career", "Plane");
        ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_career_plane);
    }

    screens_world_c world;
};

TEST_F(Planes, APilotMayFlyWhatTheCareerUnlocked)
{
    struct case_s {
        std::vector<u32> done;
        bool multiplayer;
        std::vector<i32> planes;
    };
    const case_s cases[] = {
        {{}, false, {1, 2}},           {{}, true, {1, 2, 11, 12}},
        {{1, 2}, false, {1, 2, 3, 4}}, {{2, 3}, true, {1, 2, 11, 12, 3, 4, 13, 14, 7, 8, 17, 18}},
        {{4}, false, {1, 2}},
    };
    pilot_profile_c& pilot = world.AddPilot("Anna");
    world.Enter();
    for (const case_s& c : cases) {
        std::fill(std::begin(pilot.missions_done), std::end(pilot.missions_done), 0u);
        for (const u32 mission : c.done)
            pilot.missions_done[mission - 1] = 1;
        world.state->BuildAvailablePlanes(c.multiplayer);
        EXPECT_EQ(world.state->GetAvailablePlanes(), c.planes) << c.done.size() << c.multiplayer;
    }
}

TEST_F(Planes, CyclingStopsAtBothEnds)
{
    pilot_profile_c& pilot = world.AddPilot("Anna");
    pilot.missions_done[0] = 1;
    world.Enter();
    world.state->BuildAvailablePlanes(false);
    EXPECT_FALSE(world.state->HasPrevPlane());
    EXPECT_TRUE(world.state->HasNextPlane());
    for (u32 expected : {2u, 3u, 4u}) {
        world.state->SelectNextPlane();
        EXPECT_EQ(pilot.selected_plane, expected);
    }
    EXPECT_FALSE(world.state->HasNextPlane());
    world.state->SelectNextPlane();
    EXPECT_EQ(pilot.selected_plane, 4u);
    world.state->SelectPrevPlane();
    EXPECT_EQ(pilot.selected_plane, 3u);

    // A plane not in the list: "next" goes to the second, "prev" nowhere.
    pilot.selected_plane = 9;
    EXPECT_FALSE(world.state->HasPrevPlane());
    ASSERT_TRUE(world.state->HasNextPlane());
    world.state->SelectNextPlane();
    EXPECT_EQ(pilot.selected_plane, 2u);
}

TEST_F(Planes, TheChosenPlaneTurnsAtAThirdOfARadianPerSecond)
{
    world.AddPilot("Anna");
    OpenCareerPlaneSelection();
    world.time = 2.0;
    world.Frame();
    const auto& planes = world.state->GetPlaneObjects();
    EXPECT_FLOAT_EQ(planes[0]->GetNode()->rotation.x, 1.0f);
    EXPECT_TRUE(world.state->IsPlanePreviewShown());
    world.Click("SelPlane", "back");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career_briefing);
    EXPECT_FALSE(world.state->IsPlanePreviewShown());
}

TEST_F(Planes, APlaneWithoutATemplateShowsNoStatistics)
{
    world.AddPilot("Anna");
    OpenCareerPlaneSelection();
    world.app.pilots.GetCurrent()->selected_plane = 40;
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career_plane);
    EXPECT_TRUE(world.Control("SelPlane", "next")->IsDisabled());
    world.Click("SelPlane", "next");
    EXPECT_EQ(world.app.pilots.GetCurrent()->selected_plane, 2u);
}

TEST_F(Planes, TheStatisticsOfTheChosenPlaneAreShown)
{
    world.AddPilot("Anna");
    OpenCareerPlaneSelection();
    any_menu_c& selection = *world.Menu("SelPlane");
    EXPECT_FLOAT_EQ(selection.ControlGetFloat("plane_max_altitude"), 0.5f);
    EXPECT_FLOAT_EQ(selection.ControlGetFloat("plane_max_speed"), 0.6f);
    EXPECT_FLOAT_EQ(selection.ControlGetFloat("plane_handling"), 0.7f);
    EXPECT_FLOAT_EQ(selection.ControlGetFloat("plane_durability"), 0.8f);
}

} // namespace

namespace {

TEST_F(Planes, AMultiplayerChoiceIsAnnouncedToTheSession)
{
    app_testing::event_log_t log;
    auto session = std::make_unique<app_testing::logged_session_c>(log);
    app_testing::logged_session_c& sent = *session;
    world.app.net_manager = std::move(session);
    world.AddPilot("Anna", true).SetRank(2);
    world.Enter();
    world.state->BuildAvailablePlanes(true);
    world.state->GetManager()->ShowDialog("SelPlane", 0.5f);
    world.state->SetScreen(state_menu_c::screen_multiplayer_plane);
    world.Settle();
    EXPECT_FALSE(world.Control("SelPlane", "continue")->IsDisabled()) << "a joined player waits for the game";

    world.Click("SelPlane", "next");
    ASSERT_EQ(sent.sent.size(), 1u);
    EXPECT_EQ(sent.sent[0].type_word, net_player_record);
    net_message_c expected;
    expected.WriteU16(net_player_update).WriteU16(sent.local_id).WriteCString("Anna").WriteU32(2).WriteU32(0x80000002u);
    EXPECT_EQ(sent.sent[0].payload,
              std::vector<u8>(expected.GetPayload(), expected.GetPayload() + expected.GetLength()));

    net_message_c state;
    world.state->OnNetMessage(net_game_state, state, nullptr);
    world.Settle();
    EXPECT_TRUE(world.Control("SelPlane", "continue")->IsDisabled());
    world.Click("SelPlane", "back");
    EXPECT_EQ(sent.sent.size(), 1u) << "back sends nothing";
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_multiplayer_setup);
}

TEST_F(Planes, TheHostStartsAMultiplayerGameFromThePlaneSelection)
{
    world.AddPilot("Anna");
    world.Enter();
    world.app.is_server = 1;
    world.state->GetManager()->ShowDialog("SelPlane", 0.5f);
    world.state->SetScreen(state_menu_c::screen_multiplayer_plane);
    world.Settle();
    EXPECT_EQ(world.Click("SelPlane", "continue"), state_start_game);
    EXPECT_EQ(world.app.game_type, 3);
}

} // namespace
