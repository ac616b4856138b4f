#include "menu/menu_manager.h"

#include "engine/list_error.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/testing/menu_fixture.h"
#include "platform/win32/window_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

class MenuManagerTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;
    menu_manager_c manager{&fixture.renderer, nullptr};

    void SetUp() override
    {
        fixture.AddText("tb.txt", "Charset name=Arial height=12\nInputMode AllowLetters=1\nInputLenght 8\n");
        fixture.AddText("main.txt", "TextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.5\n");
        fixture.AddText("options.txt", "FullScreenMenu\nTextBoxControl B tb.txt x=0 y=0 w=0.5 h=0.5\n");
        fixture.AddText("credits.txt", "FullScreenMenu\nTextBoxControl C tb.txt x=0 y=0 w=0.5 h=0.5\n");
        fixture.AddText("dialog.txt", "TextBoxControl D tb.txt x=0 y=0 w=0.5 h=0.5\n");
        fixture.AddText("second_dialog.txt", "TextBoxControl E tb.txt x=0 y=0 w=0.5 h=0.5\n");
        fixture.AddScene("bg.scn", 0.25f, 0.25f, 0.5f, 0.5f);
        fixture.AddText("list.txt", "BackgroundScene bg.scn\n"
                                    "AddMenu Main main.txt\n"
                                    "AddMenu Options options.txt\n"
                                    "AddMenu Credits credits.txt\n"
                                    "AddMenu Dialog dialog.txt\n"
                                    "AddMenu Second second_dialog.txt\n");
    }

    void LoadAll() { ASSERT_EQ(manager.Load("list.txt", 0), 1.0f); }

    any_menu_control_c* Control(const char* _menu, const char* _control)
    {
        return manager.GetMenu(_menu)->FindControl(_control);
    }

    f32 Transition(const char* _menu, const char* _control) { return Control(_menu, _control)->GetTransition(); }

    bool BackgroundDrawn()
    {
        fixture.renderer.ClearCalls();
        manager.Render(true);
        for (const recorded_call_c& call : fixture.renderer.calls)
            if (call.name == "SetViewportRect" && call.numbers == std::vector<double>{250, 250, 500, 500})
                return true;
        return false;
    }
};

TEST_F(MenuManagerTest, LoadingEverythingLeavesEveryMenuDisabled)
{
    LoadAll();
    ASSERT_EQ(manager.GetMenus().size(), 5u);
    for (const auto& menu : manager.GetMenus())
        EXPECT_FALSE(menu->IsEnabled()) << menu->GetName();
    EXPECT_NE(manager.GetBackgroundScene(), nullptr);
    EXPECT_EQ(manager.GetCurrentMenu(), nullptr);
    EXPECT_EQ(manager.GetCurrentMenuName(), nullptr);
    EXPECT_NE(manager.GetMenu("main")->FindControl("A"), nullptr);
}

TEST_F(MenuManagerTest, LoadingOneRecordPerCallRisesToOne)
{
    std::vector<f32> shares;
    for (int call = 0; call < 50; ++call) {
        shares.push_back(manager.Load("list.txt", 1));
        if (shares.back() == 1.0f)
            break;
    }
    ASSERT_EQ(shares.back(), 1.0f);
    EXPECT_EQ(shares.front(), 1.0f / 6.0f);
    for (size_t i = 1; i < shares.size(); ++i)
        EXPECT_GE(shares[i], shares[i - 1]);
    // Record k of 6 ends at k / 6.
    for (int k = 1; k <= 6; ++k)
        EXPECT_NE(std::find(shares.begin(), shares.end(), static_cast<f32>(k) / 6.0f), shares.end()) << k;
    for (const auto& menu : manager.GetMenus())
        EXPECT_FALSE(menu->IsEnabled()) << menu->GetName();
    EXPECT_EQ(manager.GetMenus().size(), 5u);
    EXPECT_NE(manager.GetMenu("Second")->FindControl("E"), nullptr);
}

TEST_F(MenuManagerTest, ListsWithoutRecordsOrWithUnknownCommandsEnd)
{
    for (const char* list : {"", "; only a comment\n", "Unknown 1\nAddMenu Main main.txt\nUnknown 2\n"}) {
        fixture.AddText("odd.txt", list);
        for (u32 step : {0u, 1u}) {
            menu_manager_c odd(&fixture.renderer, nullptr);
            f32 share = 0.0f;
            for (int call = 0; call < 20 && share < 1.0f; ++call)
                share = odd.Load("odd.txt", step);
            EXPECT_EQ(share, 1.0f) << list << step;
        }
    }
}

TEST_F(MenuManagerTest, RecordsLackingAParameterAreReportedAndSkipped)
{
    fixture.AddText("short.txt", "AddMenu Lonely\nBackgroundScene\nAddMenu Main main.txt\n");
    for (u32 step : {0u, 1u}) {
        menu_manager_c list(&fixture.renderer, nullptr);
        f32 share = 0.0f;
        for (int call = 0; call < 20 && share < 1.0f; ++call)
            share = list.Load("short.txt", step);
        EXPECT_EQ(share, 1.0f);
        ASSERT_EQ(list.GetMenus().size(), 1u);
        EXPECT_EQ(list.GetMenus()[0]->GetName(), "Main");
        const auto messages = menu_fixture_c::TakeMessages();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[0].rfind("short.txt - AddMenu", 0), 0u) << messages[0];
    }
}

TEST_F(MenuManagerTest, SetMenuSwitchesAtOnce)
{
    LoadAll();
    manager.OnMouseMove(0.1f, 0.1f, 0, 0);
    manager.SetMenu("main");
    EXPECT_EQ(manager.GetCurrentMenu(), manager.GetMenu("Main"));
    EXPECT_STREQ(manager.GetCurrentMenuName(), "Main");
    manager.Update(0.0f);
    // The menu was handed the pointer when it became current.
    EXPECT_EQ(Control("Main", "A")->GetControlState(), control_over);
    manager.SetMenu("Options");
    EXPECT_FALSE(manager.GetMenu("Main")->IsEnabled());
    EXPECT_TRUE(manager.GetMenu("Options")->IsEnabled());
    manager.SetMenu("Nobody");
    EXPECT_EQ(manager.GetCurrentMenu(), nullptr);
    for (const auto& menu : manager.GetMenus())
        EXPECT_FALSE(menu->IsEnabled());
    manager.SetMenu(nullptr);
    EXPECT_EQ(manager.GetCurrentMenuName(), nullptr);
}

TEST_F(MenuManagerTest, SwitchGoesOutThenInOverTheDefaultTime)
{
    LoadAll();
    manager.SetMenu("Main");
    manager.Update(1.0f);
    manager.SwitchMenu("Options", 0.5f);
    EXPECT_EQ(manager.GetTransitionState(), transition_out_in);
    EXPECT_EQ(manager.GetTransitionDuration(), 0.5f);
    manager.Update(1.25f);
    EXPECT_FLOAT_EQ(Transition("Main", "A"), 0.5f);
    manager.Update(1.5f);
    EXPECT_EQ(manager.GetTransitionState(), transition_out_in);
    // Over: the leaving menu is dropped and the next one starts in the same
    // frame.
    manager.Update(1.6f);
    EXPECT_EQ(manager.GetTransitionState(), transition_in);
    EXPECT_FALSE(manager.GetMenu("Main")->IsEnabled());
    EXPECT_TRUE(manager.GetMenu("Options")->IsEnabled());
    EXPECT_FLOAT_EQ(Transition("Options", "B"), 1.0f);
    EXPECT_EQ(manager.GetNextMenu(), manager.GetMenu("Options"));
    manager.Update(1.85f);
    EXPECT_FLOAT_EQ(Transition("Options", "B"), 0.5f);
    manager.Update(2.2f);
    EXPECT_EQ(manager.GetTransitionState(), transition_none);
    EXPECT_EQ(manager.GetCurrentMenu(), manager.GetMenu("Options"));
    EXPECT_EQ(manager.GetNextMenu(), nullptr);
    EXPECT_EQ(Transition("Options", "B"), 0.0f);
}

TEST_F(MenuManagerTest, SwitchToNothingLeavesNoCurrentMenu)
{
    LoadAll();
    manager.SetMenu("Main");
    manager.Update(0.0f);
    manager.SwitchMenu(nullptr, 0.5f);
    EXPECT_EQ(manager.GetTransitionState(), transition_out);
    manager.Update(0.3f);
    EXPECT_FLOAT_EQ(Transition("Main", "A"), 0.6f);
    manager.Update(0.6f);
    EXPECT_EQ(manager.GetTransitionState(), transition_none);
    EXPECT_EQ(manager.GetCurrentMenu(), nullptr);
    EXPECT_STREQ(manager.GetCurrentMenuName(), "Main");
    EXPECT_EQ(Transition("Main", "A"), 0.0f);
}

TEST_F(MenuManagerTest, SwitchDuringATransitionDropsTheLeavingMenu)
{
    LoadAll();
    manager.SetMenu("Main");
    manager.Update(0.0f);
    manager.SwitchMenu("Options", 1.0f);
    manager.Update(0.5f);
    manager.SwitchMenu("Credits", 1.0f);
    EXPECT_EQ(manager.GetTransitionState(), transition_in);
    EXPECT_FALSE(manager.GetMenu("Main")->IsEnabled());
    EXPECT_FALSE(manager.GetMenu("Options")->IsEnabled());
    EXPECT_TRUE(manager.GetMenu("Credits")->IsEnabled());
    manager.Update(1.75f);
    EXPECT_EQ(manager.GetCurrentMenu(), manager.GetMenu("Credits"));
}

TEST_F(MenuManagerTest, CrossSwitchMovesBothMenusAtOnce)
{
    LoadAll();
    manager.SetMenu("Main");
    manager.Update(0.0f);
    manager.CrossSwitchMenu("Options", 0.4f);
    EXPECT_EQ(manager.GetTransitionState(), transition_cross);
    manager.Update(0.1f);
    EXPECT_FLOAT_EQ(Transition("Main", "A"), 0.25f);
    EXPECT_FLOAT_EQ(Transition("Options", "B"), 0.75f);
    EXPECT_TRUE(manager.GetMenu("Main")->IsEnabled());
    EXPECT_TRUE(manager.GetMenu("Options")->IsEnabled());
    manager.Update(0.5f);
    EXPECT_EQ(manager.GetTransitionState(), transition_none);
    EXPECT_FALSE(manager.GetMenu("Main")->IsEnabled());
    EXPECT_EQ(manager.GetCurrentMenu(), manager.GetMenu("Options"));
    EXPECT_EQ(Transition("Options", "B"), 0.0f);
    // Without a current menu it is an ordinary switch.
    manager.SetMenu(nullptr);
    manager.CrossSwitchMenu("Main", 0.4f);
    EXPECT_EQ(manager.GetTransitionState(), transition_in);
}

TEST_F(MenuManagerTest, UnknownMenuNamesThrowListErrors)
{
    LoadAll();
    const std::function<void()> calls[] = {
        [&] { manager.GetMenu("Nope"); },
        [&] { manager.SwitchMenu("Nope", 0.1f); },
        [&] { manager.CrossSwitchMenu("Nope", 0.1f); },
        [&] { manager.ShowDialog("Nope", 0.1f); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE();
        } catch (const list_error_c& error) {
            EXPECT_STREQ(error.what(), "Could not find item!");
            EXPECT_EQ(error.GetItem(), "Nope");
        }
    }
    EXPECT_EQ(manager.FindMenu("Nope"), nullptr);
}

TEST_F(MenuManagerTest, ADialogTakesTheInputWhileShown)
{
    LoadAll();
    manager.SetMenu("Main");
    manager.OnMouseMove(0.1f, 0.1f, 0, 0);
    manager.Update(0.0f);
    ASSERT_EQ(Control("Main", "A")->GetControlState(), control_over);
    manager.OnLeftClick();
    ASSERT_EQ(Control("Main", "A")->GetControlState(), control_captured);

    manager.ShowDialog("Dialog", 0.2f);
    EXPECT_EQ(manager.GetDialogState(), 3);
    manager.OnMouseMove(0.2f, 0.2f, 0, 0);
    manager.Update(0.1f);
    EXPECT_FLOAT_EQ(Transition("Dialog", "D"), 0.5f);
    EXPECT_EQ(Control("Dialog", "D")->GetControlState(), control_over);
    manager.OnChar('q');
    manager.OnKeyDown(static_cast<u32>(VK_HOME));
    manager.OnLeftClick();
    manager.OnChar('z');
    manager.Update(0.3f);
    EXPECT_EQ(manager.GetDialogState(), 0);
    EXPECT_EQ(manager.GetMenu("Main")->ControlGetString("A"), "");
    EXPECT_EQ(manager.GetMenu("Dialog")->ControlGetString("D"), "z");

    // Switching menus leaves the dialog shown and live.
    manager.SetMenu("Options");
    EXPECT_TRUE(manager.GetMenu("Dialog")->IsEnabled());
    manager.OnChar('y');
    manager.Update(0.4f);
    EXPECT_EQ(manager.GetMenu("Dialog")->ControlGetString("D"), "zy");

    manager.ShowDialog(nullptr, 0.2f);
    EXPECT_EQ(manager.GetDialogState(), 1);
    manager.Update(0.5f);
    EXPECT_FLOAT_EQ(Transition("Dialog", "D"), 0.5f);
    manager.Update(0.7f);
    EXPECT_EQ(manager.GetDialogMenu(), nullptr);
    EXPECT_FALSE(manager.GetMenu("Dialog")->IsEnabled());
}

TEST_F(MenuManagerTest, PointerUnderADialogLeavesEveryOtherMenu)
{
    LoadAll();
    manager.SetMenu("Main");
    manager.OnMouseMove(0.1f, 0.1f, 0, 0);
    manager.Update(0.0f);
    ASSERT_EQ(Control("Main", "A")->GetControlState(), control_over);
    manager.ShowDialog("Dialog", 0.0f);
    manager.OnMouseMove(0.1f, 0.1f, 0, 0);
    manager.Update(0.1f);
    EXPECT_EQ(Control("Main", "A")->GetControlState(), control_normal);
    EXPECT_EQ(manager.GetMenu("Main")->GetPointerX(), -1.0f);
    // Rendering with and without the dialog.
    fixture.renderer.ClearCalls();
    manager.Render(false);
    const u32 withoutDialog = fixture.renderer.CountCalls("DrawDebug28");
    fixture.renderer.ClearCalls();
    manager.Render(true);
    EXPECT_EQ(fixture.renderer.CountCalls("DrawDebug28"), withoutDialog + 1);
    fixture.renderer.ClearCalls();
    manager.RenderDialog();
    EXPECT_EQ(fixture.renderer.CountCalls("DrawDebug28"), 1u);
}

TEST_F(MenuManagerTest, ASecondDialogRetiresTheFirst)
{
    LoadAll();
    manager.ShowDialog("Dialog", 0.1f);
    manager.ShowDialog("Second", 0.1f);
    EXPECT_FALSE(manager.GetMenu("Dialog")->IsEnabled());
    EXPECT_TRUE(manager.GetMenu("Second")->IsEnabled());
    EXPECT_EQ(manager.GetDialogMenu(), manager.GetMenu("Second"));
}

TEST_F(MenuManagerTest, BackgroundHidesBehindFullScreenMenusOnly)
{
    LoadAll();
    EXPECT_TRUE(BackgroundDrawn());
    manager.SetMenu("Main");
    EXPECT_TRUE(BackgroundDrawn());
    manager.SetMenu("Options");
    EXPECT_FALSE(BackgroundDrawn());
    manager.Update(0.0f);
    manager.CrossSwitchMenu("Credits", 1.0f);
    EXPECT_FALSE(BackgroundDrawn());
    manager.Update(2.0f);
    manager.CrossSwitchMenu("Main", 1.0f);
    EXPECT_TRUE(BackgroundDrawn());
}

TEST_F(MenuManagerTest, ClearFreesEverything)
{
    LoadAll();
    manager.SetMenu("Main");
    manager.ShowDialog("Dialog", 0.1f);
    manager.Clear();
    EXPECT_TRUE(manager.GetMenus().empty());
    EXPECT_EQ(manager.GetBackgroundScene(), nullptr);
    EXPECT_EQ(manager.GetDialogMenu(), nullptr);
    EXPECT_EQ(manager.GetCurrentMenuName(), nullptr);
    LoadAll();
    EXPECT_EQ(manager.GetMenus().size(), 5u);
}

} // namespace
