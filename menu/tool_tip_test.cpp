#include "menu/tool_tip.h"

#include "engine/scene.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

class ToolTipTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    std::unique_ptr<ToolTip> Make(const std::string& _script)
    {
        fixture.AddText("tip.txt", _script);
        return std::make_unique<ToolTip>("tip.txt", &fixture.renderer, nullptr, nullptr);
    }
};

TEST_F(ToolTipTest, ReadsItsTimesAndOffset)
{
    auto tip = Make("Time fadein=0.25 delay=0.75\nOffset x=0.02 y=0.03\n");
    EXPECT_EQ(tip->GetName(), "ToolTip");
    EXPECT_EQ(tip->fadeInTime, 0.25f);
    EXPECT_EQ(tip->delay, 0.75f);
    EXPECT_EQ(tip->transparency, 0.5f);
}

TEST_F(ToolTipTest, TheBoxStandsBesideThePointerInsideTheScreen)
{
    auto tip = Make("Charset name=Arial height=10\nOffset x=0.02 y=0.03\n");
    const struct {
        f32 x, y;
        menu_rect_c box;
    } cases[] = {
        // "Hint" is 0.04 wide and 0.02 high; the background reaches 0.01 past it.
        {0.5f, 0.5f, {0.52f, 0.53f, 0.56f, 0.55f}},
        {0.97f, 0.5f, {0.95f, 0.53f, 0.99f, 0.55f}},
        {0.5f, 0.99f, {0.52f, 0.97f, 0.56f, 0.99f}},
        {-0.5f, -0.5f, {0.01f, 0.01f, 0.05f, 0.03f}},
    };
    for (const auto& entry : cases) {
        tip->Process(1.0f, entry.x, entry.y, "Hint");
        EXPECT_NEAR(tip->GetBox().left, entry.box.left, 1e-5f) << entry.x << " " << entry.y;
        EXPECT_NEAR(tip->GetBox().top, entry.box.top, 1e-5f) << entry.x << " " << entry.y;
        EXPECT_NEAR(tip->GetBox().right, entry.box.right, 1e-5f) << entry.x << " " << entry.y;
        EXPECT_NEAR(tip->GetBox().bottom, entry.box.bottom, 1e-5f) << entry.x << " " << entry.y;
    }
}

TEST_F(ToolTipTest, TheBackgroundFillsTheBoxAndFadesWithTheTip)
{
    fixture.AddScene("tip.scn");
    auto tip = Make("Charset name=Arial height=10\nCharsetColor {0 0 1}\nBodyFile tip.scn\n");
    tip->transparency = 0.3f;
    tip->Process(1.0f, 0.97f, 0.5f, "Hint");
    ASSERT_NE(tip->GetBodyScene(), nullptr);
    EXPECT_EQ(tip->GetBodyScene()->dissolve, 0.3f);
    EXPECT_NEAR(tip->GetBodyScene()->GetViewportX() + tip->GetBodyScene()->GetViewportWidth(), 1.0f, 1e-5f);
    fixture.renderer.ClearCalls();
    tip->Render();
    const recorded_call_c* text = fixture.renderer.FindCall("DrawText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, "Hint");
    EXPECT_EQ(text->numbers[6], 1.0);
    EXPECT_NEAR(text->numbers[7], 0.3, 1e-6);
}

TEST_F(ToolTipTest, NothingShowsWithoutTextOrFont)
{
    auto tip = Make("Charset name=Arial height=10\n");
    tip->Process(1.0f, 0.5f, 0.5f, nullptr);
    EXPECT_EQ(tip->GetText(), nullptr);
    fixture.renderer.ClearCalls();
    tip->Render();
    EXPECT_TRUE(fixture.renderer.calls.empty());

    auto fontless = Make("Offset x=0.1 y=0.1\n");
    fontless->Process(1.0f, 0.5f, 0.5f, "Hint");
    EXPECT_STREQ(fontless->GetText(), "Hint");
    EXPECT_NEAR(fontless->GetBox().left, 0.6f, 1e-6f);
    EXPECT_NEAR(fontless->GetBox().right, 0.6f, 1e-6f);
    fixture.renderer.ClearCalls();
    fontless->Render();
    EXPECT_TRUE(fixture.renderer.calls.empty());
}

} // namespace
