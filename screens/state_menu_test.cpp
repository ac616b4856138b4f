#include "screens/state_menu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "menu/any_menu.h"
#include "engine/scene.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "menu/menu_rect.h"
#include "screens/distinction_display.h"
#include "screens/menu_music.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class StateMenu : public ::testing::Test {
protected:
    const char* CurrentMenu() const { return world.CurrentMenu(); }
    const char* Dialog() const { return world.Dialog(); }
    // A fresh state entered; the frames the loading screen presented.
    size_t EnterCountingFrames()
    {
        world.state = std::make_unique<state_menu_c>(&world.app);
        world.Renderer().ClearCalls();
        world.state->Enter(&world.app);
        size_t frames = 0;
        for (const recorded_call_c& call : world.Renderer().calls)
            frames += call.name == "Present";
        return frames;
    }

    screens_world_c world;
};

TEST_F(StateMenu, FirstEntryShowsTheMainMenuWithItsMusic)
{
    world.AddPilot("Anna");
    world.Enter();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_STREQ(CurrentMenu(), "Main");
    EXPECT_STREQ(world.state->GetMusic()->GetCurrent(), "Main");
    EXPECT_EQ(world.state->GetRankNames().size(), 3u);
    EXPECT_EQ(world.state->GetPlaneObjects().size(), 4u);
    EXPECT_EQ(world.state->GetPreviewCount(2), 2u);
}

TEST_F(StateMenu, VolumesFollowTheOptionsEveryFrame)
{
    world.AddPilot("Anna");
    world.Enter();
    world.app.options->music_volume = 0.5f;
    world.Frame();
    const auto& sources = world.Sound().sources;
    const auto main = std::find_if(sources.begin(), sources.end(), [](const silent_source_c* _source) {
        return _source->name.find("mainmenu") != std::string::npos;
    });
    ASSERT_NE(main, sources.end());
    EXPECT_NEAR((*main)->decibels, -6.0206f, 1e-3);
    EXPECT_TRUE((*main)->playing);
    EXPECT_GT(world.Sound().updates, 0) << "the sound device's 3D state is committed every frame";
}

TEST_F(StateMenu, WithoutAPilotTheMainMenuAsksForOne)
{
    world.Enter();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilot_message);
    EXPECT_STREQ(CurrentMenu(), "Pilot");
    EXPECT_STREQ(Dialog(), "Dialog_OK");
    // The name box waits for typing.
    EXPECT_EQ(world.Control("Pilot", "Input")->GetControlState(), control_captured);
    world.Click("Dialog_OK", "OK");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
}

TEST_F(StateMenu, EscapeOnTheMainMenuAsksBeforeQuitting)
{
    world.AddPilot("Anna");
    world.Enter();
    world.Key(VK_ESCAPE);
    EXPECT_EQ(world.Settle(), 0);
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_exit);
    EXPECT_STREQ(CurrentMenu(), "Exit");
    EXPECT_FALSE(world.state->IsEscapePressed());
    world.Click("Exit", "No");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    world.Click("Main", "Exit");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_exit);
    EXPECT_EQ(world.Click("Exit", "Yes"), state_leave);
}

TEST_F(StateMenu, EscapeOnTheCreatePilotMessageReturnsToThePilotsPage)
{
    world.Enter();
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_pilot_message);
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
    EXPECT_FALSE(world.state->IsEscapePressed());
    EXPECT_STREQ(world.Dialog(), "");
}

TEST_F(StateMenu, AReleaseFarFromThePressIsNoClick)
{
    world.AddPilot("Anna");
    world.Enter();
    const menu_rect_c rect = *world.Control("Main", "Exit")->GetRectangle();
    const f32 x = rect.left + 0.01f;
    const f32 y = (rect.top + rect.bottom) * 0.5f;
    world.MoveTo(x, y);
    world.Frame();
    world.Message(WM_LBUTTONDOWN);
    // Still on the button, but 0.05 away from the press.
    world.MoveTo(x + 0.05f, y);
    world.Message(WM_LBUTTONUP);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);

    world.Message(WM_LBUTTONDOWN);
    world.MoveTo(x + 0.08f, y);
    world.Message(WM_LBUTTONUP);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_exit) << "0.03 from the press";
}

TEST_F(StateMenu, AWindowWithoutSizeKeepsThePointerScale)
{
    world.AddPilot("Anna");
    world.Enter();
    world.Message(WM_SIZE, 0, 0);
    world.Message(WM_MOUSEMOVE, 0, (999 << 16) | 999);
    EXPECT_FLOAT_EQ(world.state->GetMouseX(), 1.0f);
    world.Message(WM_SIZE, 0, (101 << 16) | 201);
    world.Message(WM_MOUSEMOVE, 0, (50 << 16) | 100);
    EXPECT_FLOAT_EQ(world.state->GetMouseX(), 0.5f);
    EXPECT_FLOAT_EQ(world.state->GetMouseY(), 0.5f);
}

TEST_F(StateMenu, LeavingRemembersWhereTheUserWas)
{
    world.AddPilot("Anna");
    world.Enter();
    world.Click("Main", "Options");
    world.state->Leave();
    EXPECT_STREQ(world.app.stored_menu_name, "Options");
    EXPECT_EQ(world.app.stored_screen, state_menu_c::screen_options);
    EXPECT_EQ(world.state->GetManager(), nullptr);
    EXPECT_EQ(world.state->GetMusic(), nullptr);
    EXPECT_EQ(world.state->GetPlaneScene(), nullptr);
    // Back from anywhere but a mission list: the main menu.
    world.app.BetweenStates();
    world.Enter();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_STREQ(world.CurrentMenu(), "Main");
}

TEST_F(StateMenu, MissingNameListsLeaveTheirListsEmptyAndLongLinesAreCut)
{
    world.files.files.erase("data\\common\\dif.txt");
    world.files.Add("data\\common\\rank.txt", std::vector<u8>(300, 'r'));
    world.AddPilot("Anna", true);
    world.Enter();
    EXPECT_TRUE(world.state->GetDifficultyNames().empty());
    ASSERT_EQ(world.state->GetRankNames().size(), 1u);
    EXPECT_EQ(world.state->GetRankNames()[0].GetLength(), state_menu_c::kNameLineLimit);
    // The career page has no difficulty name to show: an empty label.
    world.AddCareerMission(0, 1, -1, 0);
    world.Click("Main", "Career");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_career);
}

TEST_F(StateMenu, TheGlowMarksTheSelectedTile)
{
    world.AddPilot("Anna");
    world.AddTrainingMission();
    world.AddTrainingMission();
    world.AddTrainingMission();
    world.AddTrainingMission();
    world.app.pilots.GetCurrent()->unlock_level = 5;
    world.Enter();
    world.Click("Main", "Training");
    world.Click("Training", "B6");
    ASSERT_EQ(world.state->GetSelectedTraining(), 6);
    const scene_c& glow = *world.state->GetGlowScene();
    // Tile (1, 1), three units of margin around it.
    EXPECT_FLOAT_EQ(glow.GetViewportX(), 0.12795937f + 0.0419921875f - 3.0f * 0.005859375f);
    EXPECT_FLOAT_EQ(glow.GetViewportY(), 0.15661499f + 0.04296875f - 3.0f * 0.006875f);
    EXPECT_FLOAT_EQ(glow.GetViewportWidth(), 6.0f * 0.005859375f + 0.1221f);
    EXPECT_FLOAT_EQ(glow.GetAspectRatio(), (6.0f * 0.006875f + 0.14974f) / (6.0f * 0.005859375f + 0.1221f));
}

TEST_F(StateMenu, EnterShowsItsProgressOnTheLoadingScreen)
{
    world.AddPilot("Anna");
    const size_t frames = EnterCountingFrames();
    // Progress 0, a frame per part of each of the 11 menu records read, 1.
    EXPECT_GE(frames, 13u);
}

// A long menu script moves the bar in many small steps; the screen is drawn
// once per hundredth of the way, as each drawing waits for the display.
TEST_F(StateMenu, TheLoadingScreenIsDrawnWhenItsBarMoves)
{
    world.AddPilot("Anna");
    std::string script;
    for (int n = 0; n < 3000; ++n)
        script += "TextWindowControl t" + std::to_string(n) + " menu\\window.txt x=0 y=0 w=0.1 h=0.1\n";
    world.files.Add("menu\\long.menu", std::vector<u8>(script.begin(), script.end()));
    std::string longer(world.files.GetSize("DATA\\MENU\\Menu.txt"), '\0');
    world.files.Load("DATA\\MENU\\Menu.txt", longer.data(), static_cast<u32>(longer.size()));
    longer += "AddMenu Long menu\\long.menu\n";
    world.files.Add("DATA\\MENU\\Menu.txt", std::vector<u8>(longer.begin(), longer.end()));
    const size_t frames = EnterCountingFrames();
    EXPECT_GE(frames, 13u);
    EXPECT_LE(frames, 102u) << "progress 0, a frame per hundredth, 1";
    ASSERT_NE(world.Menu("Long"), nullptr);
    EXPECT_EQ(world.Menu("Long")->GetControls().size(), 3000u) << "everything is still read";
}

TEST_F(StateMenu, TrainingAndCareerStartFromTheFirstPlane)
{
    world.AddPilot("Anna").selected_plane = 2;
    world.Enter();
    world.Click("Main", "Training");
    EXPECT_EQ(world.app.pilots.GetCurrent()->selected_plane, 1u);
    world.Key(VK_ESCAPE);
    world.Settle();
    world.app.pilots.GetCurrent()->selected_plane = 2;
    world.Click("Main", "Career");
    EXPECT_EQ(world.app.pilots.GetCurrent()->selected_plane, 1u);
    EXPECT_EQ(world.state->GetDistinctions()->GetIcons().size(), 8u) << "the pilot's row, no missions";
}

} // namespace
