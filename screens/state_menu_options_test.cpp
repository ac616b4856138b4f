#include <gtest/gtest.h>

#include "foundation/registry.h"
#include "menu/any_menu.h"
#include "screens/state_menu.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class Options : public ::testing::Test {
protected:
    Options()
    {
        world.adapter_modes = {{640, 480, 32, 60},  {800, 600, 16, 60},  {1280, 1024, 32, 60}, {1024, 768, 32, 60},
                               {1024, 768, 32, 75}, {1280, 720, 32, 60}, {1000, 1000, 32, 60}, {1600, 1200, 32, 60}};
        world.AddPilot("Anna");
        world.app.options->FFire = 1;
        world.app.options->Save();
        world.Enter();
    }

    void OpenOptions()
    {
        world.Click("Main", "Options");
        ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_options);
    }

    screens_world_c world;
};

TEST_F(Options, OnlyFourByThreeModesOfThirtyTwoBitsAreOfferedOncePerSize)
{
    OpenOptions();
    EXPECT_EQ(world.ListItems("Options", "Resolution"),
              (std::vector<std::string>{"640x480x32bpp ", "1024x768x32bpp ", "1600x1200x32bpp "}));
    // The stored mode (1000 x 1000) is not among them: the first is shown,
    // and nothing changes.
    EXPECT_EQ(world.Menu("Options")->ControlGetInt("Resolution"), 0);
    EXPECT_TRUE(world.Menu("Options")->ControlGetBool("FFire")) << "as stored";
    world.Settle();
    EXPECT_EQ(world.app.options->width, 1000);
    EXPECT_EQ(world.devices.made.size(), 1u);
}

TEST_F(Options, ChangedValuesAreSavedOnTheWayBack)
{
    OpenOptions();
    any_menu_c& options = *world.Menu("Options");
    const size_t ramps = world.Renderer().gammaRamps.size();
    options.ControlSetState("music_volume", 0.25f);
    options.ControlSetState("sound_volume", 0.5f);
    options.ControlSetState("gamma", 0.8f);
    options.ControlSetState("FFire", false);
    world.Settle();
    EXPECT_FLOAT_EQ(world.app.options->music_volume, 0.25f);
    EXPECT_FLOAT_EQ(world.app.options->gamma, 0.8f);
    EXPECT_GT(world.Renderer().gammaRamps.size(), ramps) << "the gamma shows at once";

    options_c stored;
    stored.Load();
    EXPECT_NE(stored.music_volume, 0.25f) << "nothing is saved before leaving";
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    stored.Load();
    EXPECT_FLOAT_EQ(stored.music_volume, 0.25f);
    EXPECT_FLOAT_EQ(stored.sound_volume, 0.5f);
    EXPECT_FLOAT_EQ(stored.gamma, 0.8f);
    EXPECT_EQ(stored.FFire, 0);
}

TEST_F(Options, ANewDisplayModeRemakesTheRendererAndTheMenus)
{
    OpenOptions();
    world.Menu("Options")->ControlSetState("Resolution", 1);
    world.Settle();
    EXPECT_EQ(world.devices.made.back(), "1024x768");
    EXPECT_EQ(world.Renderer().GetOutputWidth(), 1024);
    options_c stored;
    stored.Load();
    EXPECT_EQ(stored.width, 1024);
    EXPECT_EQ(stored.height, 768);
    EXPECT_EQ(stored.bpp, 32);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_STREQ(world.CurrentMenu(), "Main");
}

TEST_F(Options, TheCreditsLeadBackToTheOptions)
{
    OpenOptions();
    world.Click("Options", "credits");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_credits);
    world.Click("Credits", "back");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_options);
}

TEST_F(Options, TheBindingsListNamesEveryActionWithItsDevice)
{
    OpenOptions();
    // A device name of more than nine characters is cut to nine and "..".
    EXPECT_EQ(world.ListItems("Options", "Controls"),
              (std::vector<std::string>{"Fire|Keyboard|A", "Climb|Flight St..|Trigger"}));
}

TEST_F(Options, ACapturedBindingIsShownAndSaved)
{
    OpenOptions();
    world.Menu("Options")->ControlSetState("Controls", 0);
    world.Settle();
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_controls);
    EXPECT_STREQ(world.Dialog(), "Dialog");
    EXPECT_EQ(world.state->GetMouseX(), -1.0f);

    world.input.Device(kStickGuid).SetButton(kStickTrigger, true);
    world.Frame();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_controls);
    world.input.Device(kStickGuid).SetButton(kStickTrigger, false);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_options);
    EXPECT_EQ(world.ListItems("Options", "Controls"),
              (std::vector<std::string>{"Fire|Flight St..|Trigger", "Climb|Flight St..|Trigger"}));
    EXPECT_EQ(world.Menu("Options")->ControlGetInt("Controls"), -1);

    controllers_c stored(nullptr);
    ASSERT_TRUE(stored.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100));
    EXPECT_TRUE(stored.GetAction(0).device_guid == kStickGuid);
    EXPECT_EQ(stored.GetAction(0).object_number, kStickTrigger);
}

TEST_F(Options, EscapeCancelsTheCaptureAndKeepsTheBindings)
{
    OpenOptions();
    world.Menu("Options")->ControlSetState("Controls", 1);
    world.Settle();
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_controls);
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_options);
    EXPECT_EQ(world.Menu("Options")->ControlGetInt("Controls"), -1);
    EXPECT_EQ(world.ListItems("Options", "Controls")[1], "Climb|Flight St..|Trigger");
    controllers_c stored(nullptr);
    EXPECT_FALSE(stored.LoadFromRegistry(kRegistryCompany, kRegistryProduct, "controllers", 100));
}

} // namespace
