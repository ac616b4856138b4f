#include "menu/combo_box.h"

#include "menu/slider.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

// Lines are 0.02 high; the field is 0.04 high.
class ComboBoxTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    std::unique_ptr<ComboBoxControl> Make(const menu_rect_c& _rect = {0.1f, 0.1f, 0.4f, 0.14f},
                                          const std::string& _keys = "", int _items = 3)
    {
        fixture.AddText("combo.txt", "Charset name=Arial height=10\nMaxItems 5\n" + _keys);
        auto combo = std::make_unique<ComboBoxControl>("Mode", "combo.txt", &fixture.renderer, nullptr, nullptr);
        *combo->GetRectangle() = _rect;
        for (int i = 0; i < _items; ++i)
            combo->AddItem(("item" + std::to_string(i)).c_str());
        return combo;
    }

    static void ClickAt(ComboBoxControl& _combo, f32 _x, f32 _y, f32 _time)
    {
        _combo.OnMouseMove(_x, _y, 0, 0);
        _combo.Process(_time);
        _combo.OnLeftButtonDown();
        _combo.OnLeftButtonUp();
        _combo.OnLeftClick();
        _combo.Process(_time);
    }

    static menu_ret_c State(ComboBoxControl& _combo)
    {
        menu_ret_c ret;
        _combo.GetState(ret);
        return ret;
    }
};

TEST_F(ComboBoxTest, AClickOpensTheListAndARowChoosesAndCloses)
{
    auto combo = Make();
    EXPECT_EQ(combo->GetSelected(), 0);
    ClickAt(*combo, 0.2f, 0.12f, 0.0f);
    EXPECT_EQ(combo->GetControlState(), control_captured);
    EXPECT_FLOAT_EQ(combo->GetListRect().top, 0.14f);
    EXPECT_FLOAT_EQ(combo->GetListRect().bottom, 0.2f);
    ClickAt(*combo, 0.2f, 0.165f, 0.1f);
    EXPECT_EQ(combo->GetControlState(), control_normal);
    const menu_ret_c ret = State(*combo);
    EXPECT_EQ(ret.intValue, 1);
    EXPECT_EQ(ret.boolValue, 1);
    EXPECT_EQ(ret.stringValue, "item1");
    EXPECT_EQ(State(*combo).boolValue, 0);
}

TEST_F(ComboBoxTest, TheBottomEdgeOfTheListChoosesItsLastRow)
{
    auto combo = Make();
    ClickAt(*combo, 0.2f, 0.12f, 0.0f);
    ClickAt(*combo, 0.2f, combo->GetListRect().bottom, 0.1f);
    EXPECT_EQ(State(*combo).stringValue, "item2");
}

TEST_F(ComboBoxTest, NearTheBottomOrWhenToldTheListOpensUpward)
{
    auto low = Make({0.1f, 0.92f, 0.4f, 0.96f});
    ClickAt(*low, 0.2f, 0.94f, 0.0f);
    EXPECT_FLOAT_EQ(low->GetListRect().top, 0.86f);
    auto forced = Make({0.1f, 0.1f, 0.4f, 0.14f}, "ForceUp\n");
    ClickAt(*forced, 0.2f, 0.12f, 0.0f);
    EXPECT_FLOAT_EQ(forced->GetListRect().bottom, 0.1f);
}

TEST_F(ComboBoxTest, WideItemsWidenTheListWithinTheScreen)
{
    auto combo = Make({0.8f, 0.1f, 0.95f, 0.14f}, "LeftMargin 0.01\nRightMargin 0.01\n", 0);
    combo->AddItem(std::string(30, 'w').c_str());
    ClickAt(*combo, 0.9f, 0.12f, 0.0f);
    EXPECT_FLOAT_EQ(combo->GetListRect().right, 1.0f);
    EXPECT_FLOAT_EQ(combo->GetListRect().left, 0.68f);
}

TEST_F(ComboBoxTest, TheFieldOrAPressElsewhereClosesWithoutChoosing)
{
    auto combo = Make();
    ClickAt(*combo, 0.2f, 0.12f, 0.0f);
    ClickAt(*combo, 0.2f, 0.12f, 0.1f);
    EXPECT_EQ(combo->GetControlState(), control_over);
    EXPECT_EQ(State(*combo).boolValue, 0);
    ClickAt(*combo, 0.2f, 0.12f, 0.2f);
    ASSERT_EQ(combo->GetControlState(), control_captured);
    combo->OnMouseMove(0.8f, 0.8f, 0, 0);
    combo->OnLeftButtonDown();
    EXPECT_EQ(combo->GetControlState(), control_normal);
    EXPECT_EQ(combo->GetSelected(), 0);
}

TEST_F(ComboBoxTest, TheOpenListFadesInAndShowsTheRowUnderThePointer)
{
    auto combo = Make({0.1f, 0.1f, 0.4f, 0.14f}, "SelectedCharsetColor {1 0 0}\n");
    ClickAt(*combo, 0.2f, 0.12f, 1.0f);
    // Invisible at the click, then fading in.
    fixture.renderer.ClearCalls();
    combo->Render();
    EXPECT_EQ(fixture.DrawnTexts(), std::vector<std::string>{"item0"});
    combo->OnMouseMove(0.2f, 0.165f, 0, 0);
    combo->Process(1.1f);
    fixture.renderer.ClearCalls();
    combo->Render();
    ASSERT_EQ(fixture.DrawnTexts(), (std::vector<std::string>{"item0", "item0", "item1", "item2"}));
    EXPECT_NEAR(fixture.renderer.FindCall("DrawText", 1)->numbers[7], 0.25 / 0.35, 1e-5);
    EXPECT_EQ(fixture.renderer.FindCall("DrawText", 2)->numbers[4], 1.0);
    EXPECT_EQ(fixture.renderer.FindCall("DrawText", 1)->numbers[4], 0.0);
    combo->Process(1.5f);
    fixture.renderer.ClearCalls();
    combo->Render();
    EXPECT_EQ(fixture.renderer.FindCall("DrawText", 1)->numbers[7], 0.0);
}

TEST_F(ComboBoxTest, WithoutSelectionTheListIsHiddenButClicksStillChoose)
{
    auto combo = Make();
    menu_ret_c ret;
    ret.intValue = 7;
    combo->SetState(&ret);
    EXPECT_EQ(combo->GetSelected(), -1);
    EXPECT_EQ(State(*combo).stringValue, "");
    ClickAt(*combo, 0.2f, 0.12f, 0.0f);
    fixture.renderer.ClearCalls();
    combo->Render();
    EXPECT_TRUE(fixture.DrawnTexts().empty());
    ClickAt(*combo, 0.2f, 0.185f, 0.1f);
    EXPECT_EQ(combo->GetSelected(), 2);
    combo->RemoveItem("item2");
    EXPECT_EQ(combo->GetSelected(), 2);
    combo->RemoveItem(nullptr);
    EXPECT_EQ(combo->GetSelected(), -1);
    ClickAt(*combo, 0.2f, 0.12f, 0.2f);
    ClickAt(*combo, 0.2f, 0.15f, 0.3f);
    EXPECT_EQ(combo->GetSelected(), -1);
}

TEST_F(ComboBoxTest, ManyItemsScrollWithTheSlider)
{
    fixture.AddText("slider.txt", "Speed 2\n");
    auto combo = Make({0.1f, 0.1f, 0.4f, 0.14f}, "SliderFile slider.txt\nMaxItems 4\n", 10);
    ClickAt(*combo, 0.2f, 0.12f, 0.0f);
    ASSERT_NE(combo->GetSlider(), nullptr);
    EXPECT_FLOAT_EQ(combo->GetSlider()->GetRectangle()->left, 0.4f);
    EXPECT_FLOAT_EQ(combo->GetSlider()->GetRectangle()->bottom, 0.14f + 0.08f);
    EXPECT_FLOAT_EQ(combo->GetSlider()->GetSpeed(), 2.0f / 6.0f);
    combo->GetSlider()->SetValue(1.0f);
    EXPECT_EQ(combo->GetFirstShown(), 6);
    ClickAt(*combo, 0.2f, 0.145f, 0.1f);
    EXPECT_EQ(combo->GetSelected(), 6);
}

} // namespace
