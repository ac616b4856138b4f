#include "menu/text_box.h"

#include "engine/scene.h"
#include "menu/testing/menu_fixture.h"
#include "platform/win32/window_types.h"

#include <gtest/gtest.h>

namespace {

class TextBoxTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    std::unique_ptr<TextBoxControl> Make(const std::string& _keys)
    {
        fixture.AddText("tb.txt", "Charset name=Arial height=12\nCursor char=| color={1 1 1}\n" + _keys);
        auto box = std::make_unique<TextBoxControl>("Box", "tb.txt", &fixture.renderer, nullptr, nullptr);
        *box->GetRectangle() = {0.1f, 0.1f, 0.5f, 0.2f};
        return box;
    }

    // Pointer over the box, a click: editing.
    static void StartEditing(TextBoxControl& _box, f32 _time = 0.0f)
    {
        _box.OnMouseMove(0.2f, 0.15f, 0, 0);
        _box.Process(_time);
        _box.OnLeftClick();
        ASSERT_EQ(_box.GetControlState(), control_captured);
    }

    static void Type(TextBoxControl& _box, const std::string& _text)
    {
        for (char c : _text)
            _box.OnChar(static_cast<unsigned char>(c));
    }
};

const char* const allClasses = "InputMode AllowNumbers=1 AllowLetters=1 AllowOther=1 AllowSpace=1\nInputLenght 40\n";

TEST_F(TextBoxTest, CharacterClassesDecideWhatIsTyped)
{
    const struct {
        const char* mode;
        const char* typed;
        const char* kept;
    } cases[] = {
        {"AllowNumbers=1", "a1 b2-", "12"},
        {"AllowLetters=1", "a1 B2-z", "aBz"},
        {"AllowOther=1", "!a/:@[`{}~\x7f", "!/:@[`{}"},
        {"AllowSpace=1", "a b c", "  "},
        {"AllowNumbers=1 AllowLetters=1 AllowOther=1 AllowSpace=1", "Kestrel 7~\xe9", "Kestrel 7"},
    };
    for (const auto& entry : cases) {
        auto box = Make(menu_fixture_c::Script({"InputMode ", entry.mode, "\nInputLenght 40\n"}));
        StartEditing(*box);
        Type(*box, entry.typed);
        EXPECT_EQ(std::string(box->GetText()), entry.kept) << entry.mode;
    }
}

TEST_F(TextBoxTest, TheLengthLimitStopsTypingButNotDeleting)
{
    auto box = Make("InputMode AllowLetters=1\nInputLenght 8\n");
    StartEditing(*box);
    Type(*box, "abcdefghij");
    EXPECT_EQ(box->GetText(), "abcdefgh");
    box->OnKeyDown(static_cast<u32>(VK_BACK));
    EXPECT_EQ(box->GetText(), "abcdefg");
    Type(*box, "xy");
    EXPECT_EQ(box->GetText(), "abcdefgx");
}

TEST_F(TextBoxTest, CursorKeysEditAtTheCursor)
{
    auto box = Make(allClasses);
    StartEditing(*box);
    Type(*box, "abcd");
    box->OnKeyDown(static_cast<u32>(VK_LEFT));
    box->OnKeyDown(static_cast<u32>(VK_LEFT));
    Type(*box, "X");
    EXPECT_EQ(box->GetText(), "abXcd");
    EXPECT_EQ(box->GetCursor(), 3u);
    box->OnKeyDown(static_cast<u32>(VK_DELETE));
    EXPECT_EQ(box->GetText(), "abXd");
    box->OnKeyDown(static_cast<u32>(VK_HOME));
    box->OnKeyDown(static_cast<u32>(VK_LEFT));
    EXPECT_EQ(box->GetCursor(), 0u);
    box->OnKeyDown(static_cast<u32>(VK_BACK));
    EXPECT_EQ(box->GetText(), "abXd");
    box->OnKeyDown(static_cast<u32>(VK_END));
    box->OnKeyDown(static_cast<u32>(VK_RIGHT));
    EXPECT_EQ(box->GetCursor(), 4u);
    // Delete at the end has nothing to remove.
    box->OnKeyDown(static_cast<u32>(VK_DELETE));
    EXPECT_EQ(box->GetText(), "abXd");
    EXPECT_EQ(box->GetCursor(), 4u);
}

TEST_F(TextBoxTest, ScrollingBoxesKeepTheCursorAtTheEnd)
{
    auto box = Make(menu_fixture_c::Script({allClasses, "scrool_text\nLeftMargin 0.05\n"}));
    StartEditing(*box);
    Type(*box, "abcdefghijklmnopqrstuvwxyz0123456789");
    box->OnKeyDown(static_cast<u32>(VK_LEFT));
    EXPECT_EQ(box->GetCursor(), 36u);
    // 0.1 + 2 x 0.05 + width < 0.5: at most 29 characters of 0.01 show.
    EXPECT_EQ(box->GetShownText(), "hijklmnopqrstuvwxyz0123456789");
    fixture.renderer.ClearCalls();
    box->Render();
    EXPECT_EQ(fixture.DrawnTexts(), (std::vector<std::string>{"hijklmnopqrstuvwxyz0123456789", "|"}));
    // The cursor stands after the shown text.
    EXPECT_EQ(fixture.DrawnPositions()[1].first, 150 + 290);
}

TEST_F(TextBoxTest, NumericBoxesClampOnEnter)
{
    const struct {
        const char* keys;
        const char* typed;
        const char* result;
    } cases[] = {
        {"MinVal 1\nMaxVal 16\n", "40", "16"},
        {"MinVal 1\nMaxVal 16\n", "abc", "1"},
        {"MinVal 1\nMaxVal 16\n", "7", "7"},
        {"MinVal 5\n", "1234", "1234"},
        {"MinVal 5\n", "2", "5"},
        {"MaxVal 10\n", "-3", "0"},
        {"", "40", "40"},
    };
    for (const auto& entry : cases) {
        auto box = Make(menu_fixture_c::Script({allClasses, entry.keys}));
        StartEditing(*box);
        Type(*box, entry.typed);
        box->OnKeyDown(static_cast<u32>(VK_RETURN));
        EXPECT_EQ(std::string(box->GetText()), entry.result) << entry.keys << entry.typed;
        EXPECT_EQ(box->GetControlState(), control_over);
        EXPECT_LE(box->GetCursor(), box->GetText().GetLength());
    }
}

TEST_F(TextBoxTest, AClickEmptiesTheBoxUnlessToldToKeepIt)
{
    for (const bool keep : {false, true}) {
        auto box = Make(menu_fixture_c::Script({allClasses, (keep ? "ClickDontClear\n" : "")}));
        box->SetCaption("Pilot");
        EXPECT_EQ(box->GetCursor(), 5u);
        StartEditing(*box);
        EXPECT_EQ(std::string(box->GetText()), keep ? "Pilot" : "");
        EXPECT_EQ(box->GetCursor(), box->GetText().GetLength());
    }
}

TEST_F(TextBoxTest, ClickingOutsideEndsEditing)
{
    auto box = Make(allClasses);
    StartEditing(*box);
    box->OnMouseMove(0.9f, 0.9f, 0, 0);
    box->OnLeftButtonDown();
    EXPECT_EQ(box->GetControlState(), control_normal);
    box->Process(0.1f);
    EXPECT_EQ(box->GetControlState(), control_normal);
    // Enter outside the box ends editing with the normal look too.
    box->OnMouseMove(0.2f, 0.15f, 0, 0);
    box->Process(0.2f);
    box->OnLeftClick();
    box->OnMouseMove(0.9f, 0.9f, 0, 0);
    box->OnKeyDown(static_cast<u32>(VK_RETURN));
    EXPECT_EQ(box->GetControlState(), control_normal);
}

TEST_F(TextBoxTest, TheStateCarriesTheTextAndTheLastKey)
{
    auto box = Make(allClasses);
    StartEditing(*box);
    Type(*box, "ab");
    box->OnKeyDown(static_cast<u32>(VK_RETURN));
    menu_ret_c ret;
    ret.floatValue = 3.0f;
    box->GetState(ret);
    EXPECT_EQ(ret.stringValue, "ab");
    EXPECT_EQ(ret.intValue, 13);
    EXPECT_EQ(ret.floatValue, 0.0f);
    box->GetState(ret);
    EXPECT_EQ(ret.intValue, 0);
    // A shorter text keeps the cursor inside it.
    ret.stringValue = "x";
    box->SetState(&ret);
    EXPECT_EQ(box->GetText(), "x");
    EXPECT_EQ(box->GetCursor(), 1u);
    box->OnLeftClick();
    StartEditing(*box);
    Type(*box, "yz");
    EXPECT_EQ(box->GetText(), "yz");
}

TEST_F(TextBoxTest, DisablingAndEnablingFollowTheEnabledState)
{
    auto box = Make(allClasses);
    box->SetCaption("abc");
    box->Disable(false);
    EXPECT_FALSE(box->IsDisabled());
    box->OnMouseMove(0.2f, 0.15f, 0, 0);
    box->Process(0.0f);
    EXPECT_EQ(box->GetControlState(), control_disabled);
    box->OnLeftClick();
    box->OnChar('x');
    EXPECT_EQ(box->GetText(), "abc");
    box->Disable(true);
    EXPECT_TRUE(box->IsDisabled());
    EXPECT_EQ(box->GetCursor(), 3u);
    box->Process(0.1f);
    EXPECT_EQ(box->GetControlState(), control_over);
    EXPECT_EQ(box->GetHoverTime(), 0.0f);
}

TEST_F(TextBoxTest, ADisabledDisplayBoxDrawsNoText)
{
    auto box = Make("InputMode AllowSpace=1\n");
    box->SetCaption("shown");
    fixture.renderer.ClearCalls();
    box->Render();
    EXPECT_EQ(fixture.DrawnTexts(), std::vector<std::string>{"shown"});
    box->Disable(false);
    fixture.renderer.ClearCalls();
    box->Render();
    EXPECT_TRUE(fixture.DrawnTexts().empty());
}

TEST_F(TextBoxTest, ABoxThatTakesNoCharactersNeverHighlights)
{
    auto box = Make("");
    box->OnMouseMove(0.2f, 0.15f, 0, 0);
    box->Process(0.0f);
    EXPECT_EQ(box->GetControlState(), control_normal);
    EXPECT_TRUE(box->IsInside(0.1f, 0.2f));
    EXPECT_FALSE(box->IsInside(0.09f, 0.2f));
}

TEST_F(TextBoxTest, ClearPutsTheBoxIntoEditing)
{
    auto box = Make(allClasses);
    box->SetCaption("old");
    box->Clear();
    EXPECT_EQ(box->GetControlState(), control_captured);
    EXPECT_EQ(box->GetText(), "");
    EXPECT_EQ(box->GetCursor(), 0u);
}

TEST_F(TextBoxTest, ClipsPlayOnTheBodyScene)
{
    fixture.AddScene("box.scn");
    auto box =
        Make(menu_fixture_c::Script({allClasses, "BodyFile box.scn\n"
                                                 "Disabled start=0 end=1 loop=0\nEnabled start=1 end=2 loop=1\n"
                                                 "MouseOver start=2 end=3 loop=0\nAction start=3 end=4 loop=0\n"}));
    scene_c* scene = box->GetBodyScene();
    ASSERT_NE(scene, nullptr);
    EXPECT_FALSE(scene->HasFlags(4));
    box->OnMouseMove(0.2f, 0.15f, 0, 0);
    box->Process(0.0f);
    EXPECT_EQ(scene->GetFirstTime(), 2.0f);
    box->OnLeftClick();
    EXPECT_EQ(scene->GetFirstTime(), 3.0f);
    box->Disable(false);
    EXPECT_EQ(scene->GetFirstTime(), 0.0f);
    box->Disable(true);
    EXPECT_EQ(scene->GetFirstTime(), 1.0f);
    EXPECT_TRUE(scene->HasFlags(scene_looping));
    box->SetTransition(0.75f);
    box->Process(1.0f);
    EXPECT_EQ(scene->dissolve, 0.75f);
    EXPECT_FLOAT_EQ(scene->GetAspectRatio(), 0.25f);
}

} // namespace
