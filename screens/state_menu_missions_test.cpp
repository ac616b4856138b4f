#include <gtest/gtest.h>

#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/text_window.h"
#include "screens/briefing_voice.h"
#include "screens/distinction_display.h"
#include "screens/menu_music.h"
#include "screens/state_menu.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class Missions : public ::testing::Test {
protected:
    Missions()
    {
        // Mission 1 awards distinctions 0 and 1, unlocks planes 3 and 4 and
        // raises the rank; mission 2 needs mission 1.
        world.AddCareerMission(0, 1, 1, 1);
        world.AddCareerMission(2, -1, -1, 0);
        world.SetCareerOrder({{}, {1}});
    }

    bool Usable(const char* _menu, const char* _control) const
    {
        any_menu_control_c* control = world.Control(_menu, _control);
        return control && control->IsDisabled();
    }

    std::string Text(const char* _menu, const char* _control) const
    {
        auto* window = dynamic_cast<TextWindowControl*>(world.Control(_menu, _control));
        std::string text;
        if (window)
            for (const mb_string_c& line : window->GetLines())
                text += (text.empty() ? "" : " ") + std::string(line.GetData());
        return text;
    }

    void OpenCareerBriefing()
    {
        world.Click("Main", "Career");
        world.Click("Career", "B1");
        world.Click("Career", "B1");
        ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_career_briefing);
    }

    screens_world_c world;
};

TEST_F(Missions, ANewPilotWalksFromTheMainMenuToACareerGame)
{
    world.Enter();
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_pilot_message);
    world.Click("Dialog_OK", "OK");
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);

    world.Click("Pilot", "Input");
    world.Type("Biggles");
    world.Key(VK_RETURN);
    world.Settle();
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    ASSERT_NE(world.app.pilots.GetCurrent(), nullptr);
    EXPECT_STREQ(world.app.pilots.GetCurrentName(), "Biggles");

    world.Click("Main", "Career");
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
    EXPECT_STREQ(world.CurrentMenu(), "Career");
    EXPECT_TRUE(Usable("Career", "B1"));
    EXPECT_FALSE(Usable("Career", "B2")) << "mission 2 needs mission 1";
    EXPECT_FALSE(Usable("Career", "B3")) << "no third mission";
    EXPECT_FALSE(Usable("Career", "Continue"));
    EXPECT_EQ(Text("Career", "pilot_name"), "Biggles");
    EXPECT_EQ(Text("Career", "pilot_rank"), "Cadet");
    EXPECT_EQ(Text("Career", "pilot_dif"), "Normal");
    EXPECT_EQ(Text("Career", "pilot_plane"), "Camel");

    world.Click("Career", "B1");
    EXPECT_EQ(world.state->GetSelectedCareer(), 1);
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
    EXPECT_EQ(Text("Career", "MissionDesc"), "Briefing of career mission 1.");
    EXPECT_EQ(Text("Career", "MissionObj"), "Objectives of career mission 1.");
    EXPECT_TRUE(Usable("Career", "Continue"));
    world.Click("Career", "B1");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career_briefing);

    world.Click("Career", "Plane");
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_career_plane);
    EXPECT_STREQ(world.Dialog(), "SelPlane");
    EXPECT_TRUE(world.state->IsPlanePreviewShown());
    EXPECT_FALSE(Usable("SelPlane", "prev"));
    world.Click("SelPlane", "next");
    EXPECT_EQ(world.app.pilots.GetCurrent()->selected_plane, 2u);
    EXPECT_EQ(Text("Career", "pilot_plane"), "Albatros");
    world.Frame();
    EXPECT_EQ(Text("SelPlane", "plane_name"), "Albatros");
    EXPECT_FALSE(Usable("SelPlane", "next")) << "a new pilot flies planes 1 and 2";

    world.app.primary_reached = 1;
    EXPECT_EQ(world.Click("SelPlane", "continue"), state_start_game);
    EXPECT_EQ(world.app.game_type, 1);
    EXPECT_EQ(world.app.mission_number, 1);
    EXPECT_EQ(world.app.primary_reached, 0);
    EXPECT_EQ(world.app.career_plane_count, 2);
}

TEST_F(Missions, TheBriefingIsSpokenAfterItsDelayUnderQuieterMusic)
{
    world.AddPilot("Anna");
    world.Enter();
    world.Click("Main", "Career");
    world.Click("Career", "B1");
    briefing_voice_c& voice = *world.state->GetVoice();
    EXPECT_EQ(voice.GetFile(), world.app.career_missions[0].briefing_stream);
    // Asked for in the click's third frame; due 2.05 s later.
    world.Frame();
    EXPECT_FALSE(voice.IsPlaying());
    world.Frame();
    ASSERT_TRUE(voice.IsPlaying());
    EXPECT_TRUE(voice.GetSource()->IsPlaying());
    world.Settle();
    EXPECT_FLOAT_EQ(world.state->GetMusic()->GetGain(), state_menu_c::kVoiceMusicGain);

    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_FALSE(voice.IsPlaying());
}

TEST_F(Missions, MissingBriefingVoiceIsNotSpoken)
{
    world.Sound().missing.insert(world.app.career_missions[0].briefing_stream.GetData());
    world.AddPilot("Anna");
    world.Enter();
    world.Click("Main", "Career");
    world.Click("Career", "B1");
    for (int frame = 0; frame < 5; ++frame)
        world.Frame();
    EXPECT_FALSE(world.state->GetVoice()->IsPlaying());
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
}

TEST_F(Missions, ACareerResultIsTakenOnReturn)
{
    world.AddPilot("Anna");
    world.Enter();
    OpenCareerBriefing();
    EXPECT_EQ(world.Click("Career", "continue"), state_start_game);
    world.app.primary_reached = 1;
    world.app.secondary_reached = 1;

    world.ReturnFromGame();
    const pilot_profile_c& pilot = *world.app.pilots.GetCurrent();
    EXPECT_EQ(pilot.missions_done[0], 1u);
    EXPECT_EQ(pilot.mission_results[0][0], 1u);
    EXPECT_EQ(pilot.mission_results[0][1], 1u);
    EXPECT_EQ(pilot.distinctions[0], 1u);
    EXPECT_EQ(pilot.distinctions[1], 1u);
    EXPECT_EQ(pilot.GetRank(), 1u);
    EXPECT_EQ(world.state->GetAvailablePlanes(), (std::vector<i32>{1, 2, 3, 4}));
    // A new plane and a new rank at once: one message, the combined one.
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_new_plane_and_rank);
    EXPECT_STREQ(world.Dialog(), "Dialog_OK");
    EXPECT_STREQ(world.CurrentMenu(), "Career");
    EXPECT_STREQ(world.state->GetMusic()->GetCurrent(), "Career");

    world.Click("Dialog_OK", "OK");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
    EXPECT_TRUE(Usable("Career", "B2")) << "mission 1 is done";
    // The pilot's row of eight and the two grid missions' icons (1 + 2 + 1).
    EXPECT_EQ(world.state->GetDistinctions()->GetIcons().size(), 8u + 2u + 1u);

    // The profile was saved: the stored pilots know it too.
    pilot_list_c stored;
    stored.Load();
    ASSERT_NE(stored.Find("Anna"), nullptr);
    EXPECT_EQ(stored.Find("Anna")->missions_done[0], 1u);
}

TEST_F(Missions, CountersAreRecountedNotAddedToAndBadNumbersAreSkipped)
{
    pilot_profile_c& pilot = world.AddPilot("Anna");
    world.app.career_missions[1].distinction_primary = 99;
    pilot.missions_done[1] = 1;
    pilot.mission_results[1][0] = 1;
    pilot.distinctions[0] = 7;
    world.app.game_type = 1;
    world.app.mission_number = 1;
    world.app.primary_reached = 1;
    world.app.stored_menu_name = "Career";
    world.app.stored_screen = state_menu_c::screen_career;
    world.Enter();
    EXPECT_EQ(pilot.distinctions[0], 1u);
    EXPECT_EQ(pilot.distinctions[1], 0u) << "the secondary objective was missed";
    for (u32 i = 2; i < 8; ++i)
        EXPECT_EQ(pilot.distinctions[i], 0u) << i;
}

TEST_F(Missions, AFailedMissionChangesNothingButTheRankRecount)
{
    pilot_profile_c& pilot = world.AddPilot("Anna");
    world.app.game_type = 1;
    world.app.mission_number = 1;
    world.app.primary_reached = 0;
    world.app.career_plane_count = 2;
    world.app.stored_menu_name = "Career";
    world.app.stored_screen = state_menu_c::screen_career_briefing;
    world.Enter();
    EXPECT_EQ(pilot.missions_done[0], 0u);
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
    EXPECT_FALSE(world.state->IsPromoted());
    EXPECT_STREQ(world.Dialog(), "");
}

TEST_F(Missions, EscapeOnTheNewRankMessageReturnsToTheCareerListOnly)
{
    pilot_profile_c& pilot = world.AddPilot("Anna");
    pilot.missions_done[0] = 1;
    world.app.game_type = 1;
    world.app.career_plane_count = 4;
    world.app.stored_menu_name = "Career";
    world.app.stored_screen = state_menu_c::screen_career;
    world.Enter();
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_new_rank);
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
    EXPECT_STREQ(world.CurrentMenu(), "Career");
}

TEST_F(Missions, ATrainingMissionDoneOpensTheNextOne)
{
    pilot_profile_c& pilot = world.AddPilot("Anna");
    world.Enter();
    world.Click("Main", "Training");
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_training);
    EXPECT_TRUE(Usable("Training", "B1"));
    EXPECT_FALSE(Usable("Training", "B2")) << pilot.unlock_level;
    world.Click("Training", "B1");
    world.Click("Training", "Continue");
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_training_briefing);
    EXPECT_EQ(world.Click("Training", "continue"), state_start_game);
    EXPECT_EQ(world.app.game_type, 2);
    EXPECT_EQ(world.app.mission_number, 1);
    world.app.primary_reached = 1;

    world.ReturnFromGame();
    EXPECT_EQ(pilot.unlock_level, 1u);
    EXPECT_EQ(world.app.game_type, 0) << "the game set-up is cleared";
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_training);
    EXPECT_STREQ(world.CurrentMenu(), "Training");
    EXPECT_TRUE(Usable("Training", "B2"));
    EXPECT_FALSE(Usable("Training", "B3")) << "there are two training missions";
}

TEST_F(Missions, EscapeOnABriefingReturnsToItsList)
{
    world.AddPilot("Anna");
    world.Enter();
    OpenCareerBriefing();
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    // The music crosses over to the main menu's in 2.5 s.
    world.Settle();
    EXPECT_STREQ(world.state->GetMusic()->GetCurrent(), "Main");
}

} // namespace
