#include "menu/text_window.h"

#include "engine/scene.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Characters are 0.02 wide in the wrapping form and lines 0.02 high, so the
// inner width of 0.21 holds ten characters.
class TextWindowTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    std::unique_ptr<TextWindowControl> Make(const std::string& _script,
                                            const menu_rect_c& _rect = {0.0f, 0.0f, 0.21f, 0.105f})
    {
        fixture.AddText("tw.txt", _script);
        auto window = std::make_unique<TextWindowControl>("Page", "tw.txt", &fixture.renderer, nullptr, nullptr);
        *window->GetRectangle() = _rect;
        return window;
    }

    static std::vector<std::string> Lines(const TextWindowControl& _window)
    {
        std::vector<std::string> lines;
        for (const mb_string_c& line : _window.GetLines())
            lines.emplace_back(line.GetData());
        return lines;
    }
};

const char* const fontScript = "Charset name=Arial height=12\n";

TEST_F(TextWindowTest, WrapsAtTheLastBlankThatFits)
{
    auto window = Make(fontScript);
    window->SetText("the quick brown fox jumps", false);
    EXPECT_EQ(Lines(*window), (std::vector<std::string>{"the quick", "brown fox", "jumps"}));
    window->SetText("over", true);
    EXPECT_EQ(Lines(*window), (std::vector<std::string>{"the quick", "brown fox", "jumps", "over"}));
    window->SetText("dog", false);
    EXPECT_EQ(Lines(*window), (std::vector<std::string>{"dog"}));
    window->SetText(nullptr, true);
    EXPECT_TRUE(window->GetLines().empty());
}

TEST_F(TextWindowTest, AWordWiderThanTheWindowIsCutAndGoesOnAfterAnEmptyLine)
{
    auto window = Make(fontScript);
    window->SetText("abcdefghijklmnopqrstuvwxyz", false);
    EXPECT_EQ(Lines(*window), (std::vector<std::string>{"abcdefghij", "", "klmnopqrst", "", "uvwxyz"}));
}

TEST_F(TextWindowTest, EveryLineHoldsAtLeastOneCharacterHoweverNarrow)
{
    for (const menu_rect_c& rect : {menu_rect_c{0.5f, 0.0f, 0.5f, 0.5f}, menu_rect_c{0.5f, 0.0f, 0.51f, 0.5f}}) {
        auto window = Make(menu_fixture_c::Script({fontScript, "LeftMargin 0.2\n"}), rect);
        window->SetText("abc", false);
        EXPECT_EQ(Lines(*window), (std::vector<std::string>{"a", "", "b", "", "c"}));
    }
}

TEST_F(TextWindowTest, TextFileParagraphsAreSeparatedByOneEmptyLine)
{
    fixture.AddText("brief.txt", "  First\r\n  paragraph\n\n\tSecond one  \n");
    auto window = Make(fontScript);
    window->LoadTextFile("brief.txt");
    EXPECT_EQ(Lines(*window), (std::vector<std::string>{"First", "paragraph", "", "Second one"}));
}

TEST_F(TextWindowTest, EmptyAndMissingFilesLeaveNoLines)
{
    fixture.AddText("empty.txt", "");
    auto window = Make(fontScript);
    window->SetText("old", false);
    window->LoadTextFile("empty.txt");
    EXPECT_TRUE(window->GetLines().empty());
    EXPECT_FALSE(window->NeedsScrollBar());
    window->LoadTextFile("absent.txt");
    EXPECT_TRUE(window->GetLines().empty());
    EXPECT_EQ(menu_fixture_c::TakeMessages(), std::vector<std::string>{"absent.txt - File does not exist!"});
}

TEST_F(TextWindowTest, OverlongFileLinesAreCutAtTheirLimit)
{
    std::string text(3000, 'x');
    text.append("\nEnd\n");
    fixture.AddText("long.txt", text);
    auto window = Make(fontScript);
    window->LoadTextFile("long.txt");
    size_t xs = 0;
    for (const std::string& line : Lines(*window))
        xs += static_cast<size_t>(std::count(line.begin(), line.end(), 'x'));
    EXPECT_EQ(xs, 2047u);
    EXPECT_EQ(Lines(*window).back(), "End");
}

TEST_F(TextWindowTest, ScrollingShowsAPageOfLines)
{
    auto window = Make(fontScript, {0.0f, 0.0f, 0.21f, 0.205f});
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "line" + std::to_string(100000 + i) + " ";
    window->SetText(text.c_str(), false);
    ASSERT_EQ(window->GetLines().size(), 30u);
    EXPECT_EQ(window->GetVisibleLineCount(), 10u);
    EXPECT_TRUE(window->NeedsScrollBar());
    const struct {
        f32 position;
        u32 first;
    } cases[] = {{0.0f, 0}, {0.5f, 10}, {1.0f, 20}, {5.0f, 20}, {-1.0f, 0}};
    for (const auto& entry : cases) {
        window->SetScrollBar(entry.position);
        EXPECT_EQ(window->GetFirstVisibleLine(), entry.first) << entry.position;
    }
    window->SetScrollBar(1.0f);
    fixture.renderer.ClearCalls();
    window->Render();
    const auto texts = fixture.DrawnTexts();
    ASSERT_EQ(texts.size(), 10u);
    EXPECT_EQ(texts.front(), "line100020");
    EXPECT_EQ(texts.back(), "line100029");
    EXPECT_EQ(fixture.DrawnPositions()[1], std::make_pair(0, 20));
}

TEST_F(TextWindowTest, JustifiedLinesSpreadTheirWordsWithinTheLargestGap)
{
    auto window = Make(menu_fixture_c::Script({fontScript, "Justyfy 1\nJustyfyMaxSpace 0.06\n"}));
    window->SetText("the quick brown fox jumps a b", false);
    ASSERT_EQ(Lines(*window), (std::vector<std::string>{"the quick", "brown fox", "jumps a b"}));
    window->SetText("the quick brown fox jumps a", false);
    ASSERT_EQ(Lines(*window), (std::vector<std::string>{"the quick", "brown fox", "jumps a"}));
    window->SetText("abcdefghij", true);
    fixture.renderer.ClearCalls();
    window->Render();
    EXPECT_EQ(fixture.DrawnTexts(),
              (std::vector<std::string>{"the", "quick", "brown", "fox", "jumps a", "abcdefghij"}));
    const auto positions = fixture.DrawnPositions();
    // Words of 8 characters (0.16) leave a gap of 0.05 on a line of 0.21:
    // "quick" starts at 0.06 + 0.05, "fox" at 0.10 + 0.05.
    EXPECT_EQ(positions[1], std::make_pair(110, 0));
    EXPECT_EQ(positions[3], std::make_pair(150, 20));
    // The gap of "jumps a" would be 0.09, wider than allowed: drawn as is.
    EXPECT_EQ(positions[4], std::make_pair(0, 40));
}

TEST_F(TextWindowTest, TextFadesWithTheTransition)
{
    auto window = Make(menu_fixture_c::Script({fontScript, "CharsetColor {1 0.5 0}\n"}));
    window->SetText("fade", false);
    window->SetTransition(0.25f);
    fixture.renderer.ClearCalls();
    window->Render();
    const recorded_call_c* call = fixture.renderer.FindCall("DrawTextB");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->numbers[4], 1.0);
    EXPECT_EQ(call->numbers[5], 0.5);
    EXPECT_EQ(call->numbers[7], 0.25);
}

TEST_F(TextWindowTest, WithoutFontOrPlaceNothingIsDrawn)
{
    auto unplaced = Make(fontScript, {0.0f, 0.0f, 0.0f, 0.0f});
    unplaced->SetText("hidden", false);
    auto fontless = Make("");
    fontless->SetText("no font at all\nsecond", false);
    EXPECT_EQ(Lines(*fontless), (std::vector<std::string>{"no font at all", "", "second"}));
    EXPECT_FALSE(fontless->NeedsScrollBar());
    fixture.renderer.ClearCalls();
    unplaced->Render();
    fontless->Render();
    EXPECT_TRUE(fixture.DrawnTexts().empty());
}

TEST_F(TextWindowTest, MarginsShrinkTheWrapWidthAndMoveTheText)
{
    auto window =
        Make(menu_fixture_c::Script({fontScript, "LeftMargin 0.04\nRightMargin 0.02\nUpMargin 0.01\nDownMargin 0.0\n"
                                                 "YSpacing 0.01\n"}),
             {0.1f, 0.1f, 0.31f, 0.5f});
    window->SetText("abc defg hi", false);
    EXPECT_EQ(Lines(*window), (std::vector<std::string>{"abc", "defg hi"}));
    fixture.renderer.ClearCalls();
    window->Render();
    EXPECT_EQ(fixture.DrawnPositions(), (std::vector<std::pair<i32, i32>>{{140, 110}, {140, 140}}));
}

TEST_F(TextWindowTest, ItsBodySceneFillsTheRectangle)
{
    fixture.AddScene("body.scn");
    auto window = Make("BodyFile body.scn\n", {0.1f, 0.2f, 0.5f, 0.4f});
    window->Process(1.0f);
    fixture.renderer.ClearCalls();
    window->Render();
    EXPECT_EQ(fixture.renderer.FindCall("SetViewportRect")->numbers, (std::vector<double>{100, 200, 400, 200}));
    EXPECT_FALSE(window->IsInside(0.2f, 0.3f));
    EXPECT_FALSE(window->IsDisabled());
}

} // namespace
