#include "app/state_manager.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/testing/app_doubles.h"
#include "engine/font_def.h"
#include "platform/win32/testing/temporary_config_home.h"

namespace {

using namespace app_testing;

class StateManager : public ::testing::Test {
protected:
    StateManager() : devices(log), application(&devices), menu("menu", log), game("game", log)
    {
        application.options->SetDesktopSize(1280, 1024);
        application.renderer = devices.CreateRenderer(nullptr, nullptr);
        manager.Add(&menu);
        manager.Add(&game);
        log.clear();
    }

    temporary_config_home_c home;
    event_log_t log;
    logged_devices_c devices;
    application_c application;
    logged_state_c menu;
    logged_state_c game;
    state_manager_c manager;
};

TEST_F(StateManager, SwitchLeavesRebuildsDevicesThenEnters)
{
    manager.Switch("menu", &application);
    EXPECT_EQ(log, (event_log_t{"sound", "rolloff 1.000000", "gain 1.000000", "enter menu"}));
    EXPECT_TRUE(menu.IsActive());
    EXPECT_EQ(menu.GetApplication(), &application);
    log.clear();

    manager.Switch("GAME", &application);
    EXPECT_EQ(log,
              (event_log_t{"leave menu", "sound deleted", "sound", "rolloff 1.000000", "gain 1.000000", "enter game"}));
    EXPECT_FALSE(menu.IsActive());
    EXPECT_TRUE(game.IsActive());
    EXPECT_EQ(manager.GetCurrentName(), "game");
}

TEST_F(StateManager, PendingOutroPlaysBetweenTheSoundDevices)
{
    manager.Switch("menu", &application);
    application.outro_pending = 1;
    log.clear();
    manager.Switch("game", &application);
    EXPECT_EQ(log, (event_log_t{"leave menu", "sound deleted", "renderer deleted desktop", "outro",
                                "renderer 1280x1024x32", "sound", "rolloff 1.000000", "gain 1.000000", "enter game"}));
    EXPECT_EQ(application.outro_pending, 0);
}

TEST_F(StateManager, SwitchPurgesUnusedRendererResources)
{
    renderer_c& renderer = *application.renderer;
    renderer.GetFont(font_def_c("unused", 10.0f));
    font_c* held = renderer.AddRef(renderer.GetFont(font_def_c("held", 12.0f)));
    ASSERT_EQ(renderer.font_cache_c::GetCount(), 2u);
    manager.Switch("menu", &application);
    EXPECT_EQ(renderer.font_cache_c::GetCount(), 1u);
    EXPECT_EQ(renderer.font_cache_c::GetFirst(), held);
}

TEST_F(StateManager, SwitchToTheCurrentNameDoesNothing)
{
    manager.Switch("menu", &application);
    log.clear();
    manager.Switch("Menu", &application);
    EXPECT_TRUE(log.empty());
    // No state current and no name: nothing either.
    state_manager_c empty;
    empty.Switch("", &application);
    EXPECT_TRUE(log.empty());
}

TEST_F(StateManager, SwitchToNothingLeavesAndRebuildsButEntersNothing)
{
    manager.Switch("game", &application);
    log.clear();
    manager.Switch("", &application);
    EXPECT_EQ(log, (event_log_t{"leave game", "sound deleted", "sound", "rolloff 1.000000", "gain 1.000000"}));
    EXPECT_FALSE(manager.HasCurrent());
    EXPECT_EQ(manager.GetCurrentName(), "");
}

// A state that has left gets no more frames, even when no state of the
// wanted name exists.
TEST_F(StateManager, UnknownNameLeavesNoStaleCurrentState)
{
    manager.Switch("menu", &application);
    manager.Switch("credits", &application);
    EXPECT_FALSE(manager.HasCurrent());
    log.clear();
    EXPECT_EQ(manager.Update(0.5), -1);
    manager.Render(0.5);
    EXPECT_EQ(manager.ForwardMessage(nullptr, 0x100, 0, 0), 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(StateManager, FramesReachTheCurrentStateOnly)
{
    EXPECT_EQ(manager.Update(0.1), -1);
    manager.Render(0.1);
    EXPECT_TRUE(log.empty());
    manager.Switch("game", &application);
    game.result = state_leave;
    log.clear();
    EXPECT_EQ(manager.Update(0.1), state_leave);
    manager.Render(0.1);
    EXPECT_EQ(manager.ForwardMessage(nullptr, 0x201, 0, 0), 0x201);
    EXPECT_EQ(log, (event_log_t{"update game", "render game", "message game"}));
}

TEST_F(StateManager, RemovingTheCurrentStateLeavesNoneCurrent)
{
    manager.Switch("menu", &application);
    manager.Remove("MENU");
    EXPECT_FALSE(manager.HasCurrent());
    EXPECT_EQ(manager.GetCount(), 1u);
    EXPECT_EQ(manager.Find("menu"), nullptr);
    manager.Remove("nothing");
    EXPECT_EQ(manager.GetCount(), 1u);
}

// The shell's round: a state that was left is replaced by a fresh one of the
// same name, which the next switch enters.
TEST_F(StateManager, ReplacedStateIsEnteredNextTime)
{
    manager.Switch("menu", &application);
    manager.Switch("game", &application);
    manager.Remove("menu");
    logged_state_c freshMenu("menu", log);
    manager.Add(&freshMenu);
    log.clear();
    manager.Switch("menu", &application);
    EXPECT_EQ(log.back(), "enter menu");
    EXPECT_TRUE(freshMenu.IsActive());
    EXPECT_FALSE(menu.IsActive());
    manager.RemoveAll();
    EXPECT_EQ(manager.GetCount(), 0u);
    EXPECT_FALSE(manager.HasCurrent());
}

} // namespace
