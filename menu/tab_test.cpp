#include "menu/tab.h"

#include "menu/any_menu.h"
#include "menu/button.h"
#include "menu/check_box.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

// The header stands at (0.1, 0.5), 0.2 x 0.04; children are 0.2 x 0.05 and
// finish their click on the next frame.
class TabTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;
    f32 time = 0.0f;

    void SetUp() override
    {
        fixture.AddText("child.txt", "");
        fixture.AddText("element.txt", "CheckBoxControl Mark child.txt x=0 y=0\n");
        fixture.AddText("strings.txt", "Setup\nWeather\nRain\nSnow\nFog\n");
    }

    std::unique_ptr<any_menu_c> Load(const std::string& _children)
    {
        fixture.AddText("tab.txt", "Charset name=Arial height=10\n" + _children);
        fixture.AddText("menu.txt", "StringTableFile strings.txt\nTabControl Setup tab.txt x=0.1 y=0.5 w=0.2 h=0.04 "
                                    "text=0\n");
        auto menu = std::make_unique<any_menu_c>("Main", &fixture.renderer, nullptr);
        menu->LoadScript("menu.txt", 0);
        return menu;
    }

    static TabControl& Tab(any_menu_c& _menu) { return static_cast<TabControl&>(*_menu.FindControl("Setup")); }

    void ClickAt(any_menu_c& _menu, f32 _x, f32 _y)
    {
        _menu.OnMouseMove(_x, _y, 0, 0);
        _menu.Process(time += 0.1f);
        _menu.OnLeftClick();
        _menu.Process(time += 0.1f);
        _menu.Process(time += 0.1f);
    }
};

const char* const children = "ButtonControl A child.txt x=0 y=0 w=0.2 h=0.05\n"
                             "ButtonControl B child.txt x=0 y=0 w=0.2 h=0.05\n"
                             "OptionsControl Weather child.txt x=0 y=0 w=0.2 h=0.05 text=1\n"
                             "OptionsBoard Board child.txt x=0 y=0 w=0.4 h=0.3\n"
                             "HideButtonControl Hide child.txt x=0 y=0 w=0.02 h=0.02\n"
                             "AddOptionsElement Weather Rain element.txt text=2\n"
                             "AddOptionsElement Weather Snow element.txt text=3\n"
                             "AddOptionsElement Weather Fog element.txt text=4\n";

TEST_F(TabTest, TheHeaderOpensAboveAColumnOfItsEnabledChildren)
{
    auto menu = Load(children);
    TabControl& tab = Tab(*menu);
    menu->Process(0.0f);
    EXPECT_TRUE(tab.GetButtons()[0]->GetRect().IsZero());
    ClickAt(*menu, 0.15f, 0.52f);
    ASSERT_TRUE(tab.IsOpen());
    EXPECT_TRUE(menu->ControlGetBool("Setup"));
    // Three children of 0.05 and the gap: the header rises 0.157 and then
    // 0.007 more.
    EXPECT_FLOAT_EQ(tab.GetHeaderY(), 0.5f - 0.157f - 0.007f);
    EXPECT_FLOAT_EQ(tab.GetButtons()[0]->GetRect().top, 0.5f - 0.157f + 0.04f);
    EXPECT_FLOAT_EQ(tab.GetButtons()[1]->GetRect().top, 0.5f - 0.157f + 0.09f);
    EXPECT_FLOAT_EQ(tab.GetOptions()[0]->GetRect().top, 0.5f - 0.157f + 0.147f);
    EXPECT_FLOAT_EQ(tab.GetArea().top, 0.5f - 0.157f);
    // A disabled child takes no room and is hidden.
    tab.GetButtons()[1]->Disable(false);
    menu->Process(time += 0.1f);
    EXPECT_TRUE(tab.GetButtons()[1]->GetRect().IsZero());
    EXPECT_FLOAT_EQ(tab.GetOptions()[0]->GetRect().top, 0.5f - 0.107f + 0.097f);
    // The header's click closes it again.
    ClickAt(*menu, 0.15f, tab.GetHeaderY() + 0.02f);
    EXPECT_FALSE(tab.IsOpen());
}

TEST_F(TabTest, AnOptionsBoardLaysItsElementsInTwoColumnsAndAClickChoosesOne)
{
    auto menu = Load(children);
    TabControl& tab = Tab(*menu);
    ClickAt(*menu, 0.15f, 0.52f);
    OptionsControl& weather = *tab.GetOptions()[0];
    EXPECT_EQ(weather.GetText(), "Weather > ");
    ClickAt(*menu, 0.15f, weather.GetRect().top + 0.02f);
    ASSERT_EQ(tab.GetOpenOptions(), &weather);
    const menu_rect_c& board = tab.GetBoard()->GetRect();
    // Three elements: two rows of half the board's width (0.2 each).
    EXPECT_FLOAT_EQ(board.GetHeight(), 0.4f + 0.01f);
    EXPECT_FLOAT_EQ(board.top, 0.5f - (0.4f + 0.15f + 0.014f) - 0.01f);
    const menu_rect_c& third = weather.GetElements()[2]->GetRect();
    EXPECT_FLOAT_EQ(third.left, 0.11f);
    EXPECT_FLOAT_EQ(third.top, board.top + 0.01f + 0.2f);
    EXPECT_FLOAT_EQ(third.GetWidth(), 0.4f * 5.0f / 11.0f);
    EXPECT_FLOAT_EQ(weather.GetElements()[1]->GetRect().left, 0.31f);
    EXPECT_FLOAT_EQ(tab.GetHideButton()->GetRect().right, board.right);

    const menu_rect_c snow = weather.GetElements()[1]->GetRect();
    ClickAt(*menu, snow.left + 0.01f, snow.top + 0.01f);
    EXPECT_EQ(tab.GetOpenOptions(), nullptr);
    EXPECT_EQ(weather.GetChosen(), weather.GetElements()[1].get());
    EXPECT_TRUE(weather.GetElements()[1]->GetCheckBox()->IsChecked());
    EXPECT_FALSE(weather.GetElements()[0]->GetCheckBox()->IsChecked());
    // The caption and the layout follow from the next frame on.
    EXPECT_EQ(weather.GetText(), "Weather > ");
    menu->Process(time += 0.1f);
    EXPECT_EQ(weather.GetText(), "Weather > Snow");
    EXPECT_TRUE(tab.GetBoard()->GetRect().IsZero());
}

TEST_F(TabTest, ElementsNeedTheirOptionsControlFirst)
{
    auto menu =
        Load("AddOptionsElement Weather Rain child.txt\nOptionsControl Weather child.txt x=0 y=0 w=0.2 h=0.05\n");
    EXPECT_EQ(menu_fixture_c::TakeMessages(), std::vector<std::string>{"Options not found!"});
    EXPECT_TRUE(Tab(*menu).GetOptions()[0]->GetElements().empty());
}

TEST_F(TabTest, ShutChildrenNeverSeeThePointer)
{
    auto menu = Load("ButtonControl Kamikaze child.txt x=0 y=0 w=0.2 h=0.05\n"
                     "ButtonControl Eject child.txt x=0 y=0 w=0.2 h=0.05\n");
    TabControl& tab = Tab(*menu);
    ClickAt(*menu, 0.15f, 0.52f);
    for (const auto& button : tab.GetButtons()) {
        menu->OnMouseMove(0.15f, button->GetRect().top + 0.02f, 0, 0);
        menu->Process(time += 0.1f);
        EXPECT_EQ(button->GetControlState(), button->GetName() == "Eject" ? control_over : control_normal)
            << button->GetName();
    }
}

TEST_F(TabTest, ATabWithoutChildrenOpensOnItsHeaderAlone)
{
    auto menu = Load("");
    TabControl& tab = Tab(*menu);
    ClickAt(*menu, 0.15f, 0.52f);
    EXPECT_TRUE(tab.IsOpen());
    EXPECT_FLOAT_EQ(tab.GetHeaderY(), 0.5f - 0.014f);
    fixture.renderer.ClearCalls();
    menu->Render();
    EXPECT_EQ(fixture.DrawnTexts(), std::vector<std::string>{"Setup"});
    tab.Disable(false);
    menu_ret_c ret;
    ret.boolValue = 0;
    tab.SetState(&ret);
    EXPECT_FALSE(tab.IsOpen());
}

} // namespace
