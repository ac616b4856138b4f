#include "screens/state_menu.h"

#include <gtest/gtest.h>

#include "menu/any_menu.h"
#include "menu/menu_manager.h"
#include "screens/distinction_display.h"
#include "screens/menu_music.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class StateMenu : public ::testing::Test {
protected:
    const char* CurrentMenu() const { return world.CurrentMenu(); }
    const char* Dialog() const { return world.Dialog(); }

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

TEST_F(StateMenu, WithoutAPilotTheMainMenuAsksForOne)
{
    world.Enter();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilot_message);
    EXPECT_STREQ(CurrentMenu(), "Pilot");
    EXPECT_STREQ(Dialog(), "Dialog_OK");
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

} // namespace
