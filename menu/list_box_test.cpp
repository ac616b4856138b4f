#include "menu/list_box.h"

#include "menu/any_menu.h"
#include "menu/slider.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

// Lines are 0.02 high, so the list from 0.1 to 0.185 shows four of them; its
// slider is the 0.02 at its right edge.
class ListBoxTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    std::unique_ptr<ListBoxControl> Make(const std::string& _keys, bool _slider = true)
    {
        fixture.AddText("slider.txt", "Speed 1\n");
        fixture.AddText("list.txt", std::string("Charset name=Arial height=10\nRightMargin 0.005\n") +
                                        (_slider ? "SliderFile slider.txt\n" : "") + _keys);
        auto list = std::make_unique<ListBoxControl>("Servers", "list.txt", &fixture.renderer, nullptr, nullptr);
        *list->GetRectangle() = {0.1f, 0.1f, 0.5f, 0.185f};
        return list;
    }

    static void Fill(ListBoxControl& _list, int _count)
    {
        for (int i = 0; i < _count; ++i)
            _list.AddItem(("item" + std::to_string(i)).c_str());
    }

    static void ClickAt(ListBoxControl& _list, f32 _x, f32 _y, f32 _time)
    {
        _list.OnMouseMove(_x, _y, 0, 0);
        _list.Process(_time);
        _list.OnLeftClick();
    }

    static menu_ret_c State(ListBoxControl& _list)
    {
        menu_ret_c ret;
        _list.GetState(ret);
        return ret;
    }
};

TEST_F(ListBoxTest, TheSliderPicksThePageOfItems)
{
    auto list = Make("");
    Fill(*list, 10);
    list->Process(0.0f);
    EXPECT_EQ(list->GetVisibleCount(), 4u);
    // A new list starts at its end.
    EXPECT_EQ(list->GetFirstShown(), 6);
    list->GetSlider()->SetValue(0.5f);
    EXPECT_EQ(list->GetFirstShown(), 3);
    fixture.renderer.ClearCalls();
    list->Render();
    EXPECT_EQ(fixture.DrawnTexts(), (std::vector<std::string>{"item3", "item4", "item5", "item6"}));
    // The slider runs over the hidden items at its speed per item, from the
    // frame after the count of visible lines is known.
    list->Process(0.1f);
    EXPECT_FLOAT_EQ(list->GetSlider()->GetSpeed(), 1.0f / 6.0f);
}

TEST_F(ListBoxTest, ClicksSelectTheLineUnderThePointer)
{
    auto list = Make("");
    Fill(*list, 3);
    ClickAt(*list, 0.2f, 0.125f, 0.0f);
    menu_ret_c ret = State(*list);
    EXPECT_EQ(ret.intValue, 1);
    EXPECT_EQ(ret.boolValue, 1);
    EXPECT_EQ(ret.stringValue, "item1");
    EXPECT_EQ(State(*list).boolValue, 0);
    // Below the last item of a list that is not full: nothing selected, a
    // change.
    ClickAt(*list, 0.2f, 0.175f, 0.1f);
    ret = State(*list);
    EXPECT_EQ(ret.intValue, -1);
    EXPECT_EQ(ret.boolValue, 1);
    EXPECT_EQ(ret.stringValue, "");
    // On the scroll bar: no line.
    ClickAt(*list, 0.2f, 0.105f, 0.2f);
    ClickAt(*list, 0.49f, 0.125f, 0.3f);
    EXPECT_EQ(State(*list).intValue, 0);
}

TEST_F(ListBoxTest, SelectionsSetFromOutsideStayWithinTheItems)
{
    auto list = Make("");
    Fill(*list, 3);
    menu_ret_c ret;
    ret.stringValue = "ITEM2";
    list->SetState(&ret);
    EXPECT_EQ(list->GetSelected(), 2);
    ret.stringValue = "missing";
    list->SetState(&ret);
    EXPECT_EQ(list->GetSelected(), 2);
    for (const i32 index : {3, 100, -5}) {
        ret.Clear();
        ret.intValue = index;
        list->SetState(&ret);
        EXPECT_EQ(list->GetSelected(), -1) << index;
        EXPECT_EQ(State(*list).stringValue, "");
    }
}

TEST_F(ListBoxTest, RemovingTakesTheSelectedItemOrEverything)
{
    auto list = Make("");
    Fill(*list, 3);
    list->RemoveItem("anything");
    EXPECT_EQ(list->GetItems().size(), 3u);
    menu_ret_c ret;
    ret.intValue = 1;
    list->SetState(&ret);
    list->RemoveItem("anything");
    EXPECT_EQ(list->GetItems().size(), 2u);
    EXPECT_EQ(list->GetItems()[1], "item2");
    EXPECT_EQ(list->GetSelected(), -1);
    list->RemoveItem(nullptr);
    EXPECT_TRUE(list->GetItems().empty());
}

TEST_F(ListBoxTest, TheScrollBarWakesWhenTheItemsOverflow)
{
    auto list = Make("");
    Fill(*list, 2);
    list->Process(0.0f);
    EXPECT_FALSE(list->GetSlider()->IsDisabled());
    Fill(*list, 5);
    list->Process(0.1f);
    EXPECT_TRUE(list->GetSlider()->IsDisabled());
    EXPECT_FLOAT_EQ(list->GetSlider()->GetRectangle()->left, 0.48f);
}

TEST_F(ListBoxTest, ColumnsSplitAtBarsAndLongCellsEndInDots)
{
    auto list = Make("ColumnsNo 2\nSetColumnSpace 0 0.01\nSetColumnSpace 1 0.2\nSetColumnSpace 2 0.3\n");
    EXPECT_EQ(menu_fixture_c::TakeMessages(), std::vector<std::string>{"SetColumnSpace - column index out of range!"});
    list->AddItem("Alpha|Bravo|Charlie");
    list->AddItem("Solo");
    list->Process(0.0f);
    fixture.renderer.ClearCalls();
    list->Render();
    EXPECT_EQ(fixture.DrawnTexts(), (std::vector<std::string>{"Alpha", "Bravo", "Solo"}));
    EXPECT_EQ(fixture.DrawnPositions()[1], std::make_pair(300, 100));

    auto single = Make("");
    single->AddItem(std::string(50, 'x').c_str());
    single->Process(0.0f);
    fixture.renderer.ClearCalls();
    single->Render();
    std::string shortened(36, 'x');
    shortened.append("...");
    EXPECT_EQ(fixture.DrawnTexts(), std::vector<std::string>{shortened});
}

TEST_F(ListBoxTest, DamagedScriptsStayWithinTheList)
{
    auto noColumns = Make("ColumnsNo 0\n");
    EXPECT_EQ(noColumns->GetColumnCount(), 1);
    auto noSlider = Make("", false);
    Fill(*noSlider, 10);
    noSlider->Process(0.0f);
    EXPECT_EQ(noSlider->GetFirstShown(), 0);
    fixture.renderer.ClearCalls();
    noSlider->Render();
    EXPECT_EQ(fixture.DrawnTexts().size(), 4u);

    fixture.AddText("plain.txt", "");
    ListBoxControl noFont("Plain", "plain.txt", &fixture.renderer, nullptr, nullptr);
    *noFont.GetRectangle() = {0.1f, 0.1f, 0.5f, 0.3f};
    noFont.AddItem("a");
    noFont.OnMouseMove(0.2f, 0.15f, 0, 0);
    noFont.Process(0.0f);
    noFont.OnLeftClick();
    noFont.Render();
    EXPECT_EQ(noFont.GetVisibleCount(), 0u);
    EXPECT_EQ(noFont.GetSelected(), -1);
}

TEST_F(ListBoxTest, MenuScriptsFillListsWithAddItem)
{
    fixture.AddText("list.txt", "Charset name=Arial height=10\n");
    fixture.AddText("strings.txt", "First\nSecond\n");
    fixture.AddText("menu.txt", "StringTableFile strings.txt\n"
                                "ListBoxControl Pilots list.txt x=0.1 y=0.1 w=0.4 h=0.2\n"
                                "AddItem Pilots 1\nAddItem Pilots 0\n");
    any_menu_c menu("Pilots", &fixture.renderer, nullptr);
    menu.LoadScript("menu.txt", 0);
    auto* list = static_cast<ListBoxControl*>(menu.FindControl("Pilots"));
    EXPECT_EQ(list->GetItems(), (std::vector<string_c>{"Second", "First"}));
    menu.ControlSetState("Pilots", "first");
    menu.Process(0.0f);
    EXPECT_EQ(menu.ControlGetInt("Pilots"), 1);
}

} // namespace
