#include <gtest/gtest.h>

#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/text_window.h"
#include "screens/distinction_display.h"
#include "screens/state_menu.h"
#include "screens/testing/screens_fixture.h"

namespace {

using namespace screens_testing;

class Pilots : public ::testing::Test {
protected:
    // Without pilots the main menu sends the user here with a message.
    void OpenPilotsWithoutPilots()
    {
        world.Enter();
        world.Click("Dialog_OK", "OK");
        ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
    }

    void OpenPilots()
    {
        world.Enter();
        world.Click("Main", "Pilot");
        ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
    }

    bool Usable(const char* _control) const { return world.Control("Pilot", _control)->IsDisabled(); }
    menu_ret_c State(const char* _control) const
    {
        menu_ret_c ret;
        world.Menu("Pilot")->ControlGetState(_control, ret);
        return ret;
    }
    std::string Label(const char* _control) const
    {
        auto* window = dynamic_cast<TextWindowControl*>(world.Control("Pilot", _control));
        return window && !window->GetLines().empty() ? window->GetLines()[0].GetData() : "";
    }
    vec3_c NameColor(const char* _control) const
    {
        auto* window = dynamic_cast<TextWindowControl*>(world.Control("Pilot", _control));
        return window ? window->GetColor() : vec3_c(-1.0f, -1.0f, -1.0f);
    }
    void TypeName(const char* _name)
    {
        world.Click("Pilot", "Input");
        world.Type(_name);
        world.Settle();
    }

    screens_world_c world;
};

TEST_F(Pilots, ThePageListsThePilotsAndShowsTheChosenOnesDifficultyLocked)
{
    world.AddPilot("Anna", true).distinctions[2] = 2;
    world.AddPilot("Bert");
    OpenPilots();
    EXPECT_EQ(world.ListItems("Pilot", "PilotsList"), (std::vector<std::string>{"Bert", "Anna"}));
    EXPECT_EQ(State("Input").stringValue, "Bert");
    EXPECT_FALSE(Usable("Poziom"));
    EXPECT_EQ(State("Poziom").intValue, 0);
    EXPECT_TRUE(Usable("Back"));

    world.Menu("Pilot")->ControlSetState("PilotsList", 1);
    world.Settle();
    EXPECT_EQ(State("Input").stringValue, "Anna");
    EXPECT_FALSE(Usable("Poziom"));
    EXPECT_EQ(State("Poziom").intValue, 1);
    EXPECT_EQ(Label("m3"), "   x 2");
    EXPECT_EQ(Label("m1"), "");
    // The names of the distinctions earned are bright, the others dim.
    EXPECT_EQ(NameColor("dupa3"), vec3_c(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(NameColor("dupa1"), vec3_c(0.3f, 0.3f, 0.3f));
    EXPECT_EQ(world.state->GetDistinctions()->GetPilotName(), "Anna");
    const auto& icons = world.state->GetDistinctions()->GetIcons();
    ASSERT_EQ(icons.size(), 8u);
    EXPECT_EQ(icons[2]->dimmed, 0);
    EXPECT_EQ(icons[0]->dimmed, 1);
    EXPECT_FLOAT_EQ(icons[1]->x, 0.575f);
    // The count labels stand beside their icons, alternating columns.
    EXPECT_FLOAT_EQ(world.Control("Pilot", "m1")->GetRectangle()->left, 0.925f);
    EXPECT_FLOAT_EQ(world.Control("Pilot", "m2")->GetRectangle()->top, 0.107f + 0.166f);
    EXPECT_FLOAT_EQ(world.Control("Pilot", "dupa2")->GetRectangle()->top, 0.172f + 0.166f);
}

TEST_F(Pilots, ANewNameTakesTheChosenDifficultyAndLogsIn)
{
    world.AddPilot("Anna");
    OpenPilots();
    TypeName("Cleo");
    EXPECT_TRUE(Usable("Poziom")) << "a new pilot's difficulty can be chosen";
    EXPECT_EQ(State("PilotsList").intValue, -1) << "typing deselects the list";
    world.Menu("Pilot")->ControlSetState("Poziom", 1);
    world.Frame();
    world.Key(VK_RETURN);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_STREQ(world.app.pilots.GetCurrentName(), "Cleo");
    ASSERT_NE(world.app.pilots.GetCurrent(), nullptr);
    EXPECT_TRUE(world.app.pilots.GetCurrent()->HasCreationFlag());
    pilot_list_c stored;
    stored.Load();
    EXPECT_EQ(stored.GetCount(), 2u);
    EXPECT_STREQ(stored.GetCurrentName(), "Cleo");
}

TEST_F(Pilots, ANameAtTheLengthLimitIsKeptToTheProfilesLength)
{
    OpenPilotsWithoutPilots();
    const std::string name(40, 'k');
    TypeName(name.c_str());
    world.Key(VK_RETURN);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_main);
    EXPECT_EQ(std::string(world.app.pilots.GetCurrentName().GetData()), name.substr(0, 31));
    ASSERT_NE(world.app.pilots.GetCurrent(), nullptr);

    // Typing it again in full finds that pilot: its difficulty is locked.
    world.Click("Main", "Pilot");
    TypeName(name.c_str());
    EXPECT_FALSE(Usable("Poziom"));
}

TEST_F(Pilots, EnterInAnEmptyBoxCreatesNoPilot)
{
    OpenPilotsWithoutPilots();
    world.Click("Pilot", "Input");
    world.Key(VK_RETURN);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
    EXPECT_EQ(world.app.pilots.GetCount(), 0u);
    EXPECT_FALSE(Usable("Login"));
    EXPECT_FALSE(Usable("Back"));
    // Without a pilot Escape cannot leave the page.
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
    EXPECT_FALSE(world.state->IsEscapePressed());
}

TEST_F(Pilots, RemovingTheLastPilotLeavesNoneCurrent)
{
    world.AddPilot("Anna");
    OpenPilots();
    ASSERT_EQ(State("PilotsList").intValue, 0);
    world.Click("Pilot", "remove");
    ASSERT_EQ(world.state->GetScreen(), state_menu_c::screen_remove_pilot);
    EXPECT_STREQ(world.Dialog(), "Dialog_Yes_No");
    world.Click("Dialog_Yes_No", "Yes");
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
    EXPECT_EQ(world.app.pilots.GetCount(), 0u);
    EXPECT_TRUE(world.app.pilots.GetCurrentName().IsEmpty());
    EXPECT_TRUE(world.ListItems("Pilot", "PilotsList").empty());
    world.Settle();
    EXPECT_FALSE(Usable("Back"));
    pilot_list_c stored;
    stored.Load();
    EXPECT_EQ(stored.GetCount(), 0u);
}

TEST_F(Pilots, RemovingTheLastOfSeveralSelectsTheNewLast)
{
    world.AddPilot("Anna");
    world.AddPilot("Bert");
    world.AddPilot("Cleo");
    OpenPilots();
    world.Menu("Pilot")->ControlSetState("PilotsList", 2);
    world.Settle();
    world.Click("Pilot", "remove");
    world.Key(VK_ESCAPE);
    world.Settle();
    EXPECT_EQ(world.state->GetScreen(), state_menu_c::screen_pilots);
    EXPECT_EQ(world.app.pilots.GetCount(), 3u) << "No keeps the pilot";
    world.Click("Pilot", "remove");
    world.Click("Dialog_Yes_No", "Yes");
    EXPECT_EQ(world.ListItems("Pilot", "PilotsList"), (std::vector<std::string>{"Cleo", "Bert"}));
    EXPECT_EQ(State("PilotsList").intValue, 1);
    EXPECT_STREQ(world.app.pilots.GetCurrentName(), "Cleo");
}

} // namespace
