#include "menu/any_menu.h"

#include "foundation/file_error.h"
#include "menu/menu_rect.h"
#include "menu/testing/menu_fixture.h"
#include "menu/text_box.h"
#include "menu/text_window.h"
#include "menu/tool_tip.h"
#include "platform/win32/window_types.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const char* const textBoxScript = "Charset name=Arial height=12\n"
                                  "InputMode AllowNumbers=1 AllowLetters=1 AllowSpace=1\n"
                                  "InputLenght 8\n";

class MenuTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    void SetUp() override
    {
        fixture.AddText("tb.txt", textBoxScript);
        fixture.AddText("tw.txt", "Charset name=Arial height=12\n");
        fixture.AddText("strings.txt", "\n  First line  \n\nSecond\r\n   \nThird\n");
        fixture.AddText("tip.txt", "Charset name=Arial height=12\nTime fadein=0.5 delay=1\n");
    }

    std::unique_ptr<any_menu_c> Load(const std::string& _script)
    {
        fixture.AddText("menu.txt", _script);
        auto menu = std::make_unique<any_menu_c>("Main", &fixture.renderer, nullptr);
        EXPECT_EQ(menu->LoadScript("menu.txt", 0), 1.0f);
        return menu;
    }
};

TEST_F(MenuTest, ControlsAreMadeByKeywordAndFoundByNameInAnyCase)
{
    auto menu = Load("TextBoxControl Name tb.txt x=0.1 y=0.1 w=0.3 h=0.05\n"
                     "textwindowcontrol Page tw.txt x=0.5 y=0.5 w=0.4 h=0.4\n"
                     "TextBoxControl Name tb.txt\n");
    ASSERT_EQ(menu->GetControls().size(), 3u);
    EXPECT_NE(dynamic_cast<TextBoxControl*>(menu->FindControl("NAME")), nullptr);
    EXPECT_NE(dynamic_cast<TextWindowControl*>(menu->FindControl("page")), nullptr);
    EXPECT_EQ(menu->FindControl("Name"), menu->GetControls()[0].get());
    EXPECT_EQ(menu->FindControl("Missing"), nullptr);
    EXPECT_TRUE(menu->IsEnabled());
    EXPECT_FALSE(menu->IsFullScreen());
    EXPECT_TRUE(menu_fixture_c::TakeMessages().empty());
}

TEST_F(MenuTest, RectangleKeysInBothForms)
{
    const struct {
        const char* keys;
        menu_rect_c expected;
    } cases[] = {
        {"x=0.1 y=0.2 w=0.3 h=0.4", {0.1f, 0.2f, 0.1f + 0.3f, 0.2f + 0.4f}},
        {"x1=0.1 y1=0.2 x2=0.5 y2=0.6", {0.1f, 0.2f, 0.5f, 0.6f}},
        {"x=0.0 y=0.0 w=0.1 h=0.1 x1=0.1 y1=0.2 x2=0.5 y2=0.6", {0.1f, 0.2f, 0.5f, 0.6f}},
        {"x=0.1 y=0.2 w=0.3", {0.0f, 0.0f, 0.0f, 0.0f}},
        {"x=0.1 y=0.2 w=0.3 h=0.4 x1=0.9 y1=0.9", {0.1f, 0.2f, 0.1f + 0.3f, 0.2f + 0.4f}},
    };
    for (const auto& entry : cases) {
        auto menu = Load(std::string("TextBoxControl Box tb.txt ") + entry.keys + "\n");
        const menu_rect_c* rect = menu->FindControl("Box")->GetRectangle();
        EXPECT_FLOAT_EQ(rect->left, entry.expected.left) << entry.keys;
        EXPECT_FLOAT_EQ(rect->top, entry.expected.top) << entry.keys;
        EXPECT_FLOAT_EQ(rect->right, entry.expected.right) << entry.keys;
        EXPECT_FLOAT_EQ(rect->bottom, entry.expected.bottom) << entry.keys;
    }
}

TEST_F(MenuTest, StringTableIndicesCountNonEmptyLinesAcrossFiles)
{
    fixture.AddText("more.txt", "Fourth\n");
    auto menu = Load("StringTableFile strings.txt\n"
                     "StringTableFile more.txt\n"
                     "TextBoxControl A tb.txt text=0\n"
                     "TextBoxControl B tb.txt text=3 tooltiptext=2\n");
    const menu_string_table_c& table = menu->GetStringTable();
    ASSERT_EQ(table.GetCount(), 4u);
    EXPECT_STREQ(table.Find(0), "First line");
    EXPECT_STREQ(table.Find(1), "Second");
    EXPECT_STREQ(table.Find(2), "Third");
    EXPECT_EQ(menu->ControlGetString("A"), "First line");
    EXPECT_EQ(menu->ControlGetString("B"), "Fourth");
    auto* box = static_cast<TextBoxControl*>(menu->FindControl("B"));
    EXPECT_EQ(box->GetCursor(), 6u);
}

TEST_F(MenuTest, StringIndicesOutsideTheTableShowNothing)
{
    auto menu = Load("StringTableFile strings.txt\n"
                     "TextBoxControl A tb.txt text=3 tooltiptext=-1 x=0 y=0 w=1 h=1\n"
                     "AddItem A 99\n");
    EXPECT_EQ(menu->ControlGetString("A"), "");
    menu->OnMouseMove(0.5f, 0.5f, 0, 0);
    menu->Process(1.0f);
    EXPECT_EQ(menu->FindControl("A")->GetControlState(), control_over);
    EXPECT_EQ(menu->FindControl("A")->GetToolTipText(), nullptr);
    EXPECT_EQ(menu_fixture_c::TakeMessages(),
              (std::vector<std::string>{"3 - string index out of range!", "-1 - string index out of range!",
                                        "99 - string index out of range!"}));
}

TEST_F(MenuTest, LongStringTableLinesAreCutAtTheirLimit)
{
    std::string text(300, 'a');
    text.append("\nnext\n");
    fixture.AddText("long.txt", text);
    auto menu = Load("StringTableFile long.txt\n");
    ASSERT_EQ(menu->GetStringTable().GetCount(), 2u);
    EXPECT_EQ(std::string(menu->GetStringTable().Find(0)), std::string(255, 'a'));
    EXPECT_STREQ(menu->GetStringTable().Find(1), "next");
}

TEST_F(MenuTest, AMissingStringTableIsReportedAndAddsNothing)
{
    auto menu = Load("StringTableFile absent.txt\n");
    EXPECT_EQ(menu->GetStringTable().GetCount(), 0u);
    EXPECT_EQ(menu_fixture_c::TakeMessages(), std::vector<std::string>{"absent.txt - File does not exist!"});
}

TEST_F(MenuTest, ScriptCommandsReportWhatTheyCannotFind)
{
    auto menu = Load("StringTableFile strings.txt\n"
                     "TextBoxControl A tb.txt\n"
                     "AddItem Missing 0\n"
                     "Disable Missing\n"
                     "AddItemToDragSquare Item Square\n"
                     "AddItem A 0\n"
                     "Disable A\n");
    EXPECT_EQ(menu_fixture_c::TakeMessages(),
              (std::vector<std::string>{
                  "Additem - nzla nazwa kontrolik!", "Disable - nzla nazwa kontrolik!",
                  "Item - item Not found - (AddItemToDragSquare)", "Square - Square Not found - (AddItemToDragSquare)",
                  "void any_menu_control_c::AddItem(char *ItemName)- Nieprawidlowa nazwa kontroliki w additem ??"}));
    EXPECT_FALSE(menu->ControlIsDisabled("A"));
}

TEST_F(MenuTest, UnknownKeywordsAndLinesMissingParametersAreSkipped)
{
    auto menu = Load("NoSuchKeyword 1 2 3\n"
                     "FullScreenMenu\n"
                     "TextBoxControl\n"
                     "TextBoxControl A tb.txt\n");
    EXPECT_TRUE(menu->IsFullScreen());
    ASSERT_EQ(menu->GetControls().size(), 1u);
    const auto messages = menu_fixture_c::TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("menu.txt - TextBoxControl", 0), 0u) << messages[0];
}

TEST_F(MenuTest, MissingFilesNamedByTheScriptThrowWithTheirName)
{
    fixture.AddText("body.txt", "BodyFile menu\\absent.scn\n");
    const struct {
        const char* script;
        const char* file;
    } cases[] = {
        {"TextBoxControl A absent.txt\n", "absent.txt"},
        {"TextBoxControl A body.txt\n", "menu\\absent.scn"},
        {"ToolTip nothing.txt\n", "nothing.txt"},
    };
    for (const auto& entry : cases) {
        fixture.AddText("menu.txt", entry.script);
        any_menu_c menu("Main", &fixture.renderer, nullptr);
        try {
            menu.LoadScript("menu.txt", 0);
            ADD_FAILURE() << entry.script;
        } catch (const file_error_c& error) {
            EXPECT_STREQ(error.what(), "File does not exist!");
            EXPECT_EQ(std::string(error.GetFileName()), entry.file);
        }
    }
}

TEST_F(MenuTest, ScriptLoadsAFewCommandsPerCall)
{
    fixture.AddText("menu.txt", "TextBoxControl A tb.txt\nTextBoxControl B tb.txt\nTextBoxControl C tb.txt\n");
    any_menu_c menu("Main", &fixture.renderer, nullptr);
    const f32 first = menu.LoadScript("menu.txt", 1);
    EXPECT_GT(first, 0.0f);
    EXPECT_LT(first, 1.0f);
    EXPECT_EQ(menu.GetControls().size(), 1u);
    const f32 second = menu.LoadScript("menu.txt", 1);
    EXPECT_GT(second, first);
    // The third command, then the end of the file, which may take one more
    // call when the last line's end is not yet consumed.
    f32 share = menu.LoadScript("menu.txt", 1);
    if (share < 1.0f)
        share = menu.LoadScript("menu.txt", 1);
    EXPECT_EQ(share, 1.0f);
    EXPECT_EQ(menu.GetControls().size(), 3u);
    // The snapshot is filled at the end of loading.
    EXPECT_EQ(menu.ControlGetString("C"), "");
    EXPECT_TRUE(menu_fixture_c::TakeMessages().empty());
}

TEST_F(MenuTest, StateIsReadFromTheSnapshotOfTheLastProcess)
{
    auto menu = Load("TextBoxControl A tb.txt\n");
    menu->ControlSetState("A", "Kestrel");
    EXPECT_EQ(menu->ControlGetString("A"), "");
    menu->Process(0.1f);
    EXPECT_EQ(menu->ControlGetString("A"), "Kestrel");

    menu_ret_c ret;
    ret.stringValue = "Osprey";
    menu->ControlSetState("A", &ret);
    menu->Process(0.2f);
    menu_ret_c read;
    read.intValue = 99;
    menu->ControlGetState("A", read);
    EXPECT_EQ(read.stringValue, "Osprey");
    EXPECT_EQ(read.intValue, 0);
    EXPECT_EQ(menu->ControlGetInt("A"), 0);
    EXPECT_FALSE(menu->ControlGetBool("A"));
    EXPECT_EQ(menu->ControlGetFloat("A"), 0.0f);
}

TEST_F(MenuTest, ByNameOperationsReportAMissingControl)
{
    auto menu = Load("TextBoxControl A tb.txt\n");
    menu_ret_c ret;
    ret.intValue = 5;
    menu->ControlGetState("Nope", ret);
    EXPECT_EQ(ret.intValue, 5);
    menu->ControlDisable("Nope", false);
    EXPECT_FALSE(menu->ControlIsDisabled("Nope"));
    menu->ControlSetState("Nope", 1.0f);
    menu->ControlSetState("Nope", 1);
    menu->ControlSetState("Nope", "x");
    menu->ControlSetState("Nope", true);
    const std::string set = "Nope Not found! - void any_menu_c::ControlSetState(char *ControlName, menu_ret_c *Ret)";
    EXPECT_EQ(menu_fixture_c::TakeMessages(),
              (std::vector<std::string>{
                  "Nope Not found! - void any_menu_c::ControlGetState(char *ControlName, menu_ret_c &Ret)",
                  "Nope Not found! - void any_menu_c::ControlDisable(char *ControlName, bool dis)",
                  "Nope Not found! - bool any_menu_c::ControlIsDisabled(char *ControlName)", set, set, set, set}));
}

TEST_F(MenuTest, DisableTakesTheEnabledState)
{
    auto menu = Load("TextBoxControl A tb.txt\nDisable A\n");
    EXPECT_FALSE(menu->ControlIsDisabled("A"));
    EXPECT_EQ(menu->FindControl("A")->GetControlState(), control_disabled);
    menu->ControlDisable("A", true);
    EXPECT_TRUE(menu->ControlIsDisabled("A"));
    EXPECT_EQ(menu->FindControl("A")->GetControlState(), control_normal);
}

TEST_F(MenuTest, KeysAndCharactersReachTheControlsOnlyWhileEnabled)
{
    auto menu = Load("TextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.1\n");
    menu->OnMouseMove(0.2f, 0.05f, 0, 0);
    menu->Process(0.1f);
    menu->OnLeftClick();
    ASSERT_EQ(menu->FindControl("A")->GetControlState(), control_captured);
    menu->OnChar('h');
    menu->OnChar('i');
    menu->Enable(false);
    menu->OnChar('x');
    menu->Process(0.2f);
    EXPECT_EQ(menu->ControlGetString("A"), "hi");
    // A disabled menu's controls are still processed.
    auto* box = static_cast<TextBoxControl*>(menu->FindControl("A"));
    EXPECT_FLOAT_EQ(box->GetCursorBlink(), 0.5f * std::sin(15.0f * 0.2f) + 0.5f);
    menu->Enable(true);
    menu->OnKeyDown(static_cast<u32>(VK_RETURN));
    menu->Process(0.3f);
    EXPECT_EQ(menu->ControlGetInt("A"), 13);
}

TEST_F(MenuTest, ACapturedControlTakesThePointerFromTheOthers)
{
    auto menu = Load("TextBoxControl Top tb.txt x=0 y=0 w=0.5 h=0.5\n"
                     "TextBoxControl Under tb.txt x=0 y=0 w=0.5 h=0.5\n");
    any_menu_control_c* top = menu->FindControl("Top");
    any_menu_control_c* under = menu->FindControl("Under");
    // Editing the second box captures it; then the pointer is over both.
    menu->OnMouseMove(0.1f, 0.1f, 0, 0);
    menu->Process(0.1f);
    static_cast<TextBoxControl*>(under)->Clear();
    ASSERT_EQ(top->GetControlState(), control_over);
    ASSERT_EQ(under->GetControlState(), control_captured);
    menu->OnMouseMove(0.2f, 0.2f, 0, 0);
    menu->Process(0.2f);
    EXPECT_EQ(top->GetControlState(), control_normal);
    EXPECT_EQ(under->GetControlState(), control_captured);
    // The captured control is drawn last.
    fixture.renderer.ClearCalls();
    menu_ret_c ret;
    ret.stringValue = "under";
    under->SetState(&ret);
    top->SetCaption("top");
    menu->Render();
    const auto texts = fixture.DrawnTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], "top");
    EXPECT_EQ(texts[1], "under");
}

TEST_F(MenuTest, RenderClearsDepthOverTheWholeOutputFirst)
{
    auto menu = Load("TextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.5 text=0\nStringTableFile strings.txt\n");
    fixture.renderer.ClearCalls();
    menu->Render();
    const auto names = fixture.renderer.CallNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], "SetViewportRect");
    EXPECT_EQ(fixture.renderer.FindCall("SetViewportRect")->numbers, (std::vector<double>{0, 0, 1000, 1000}));
    EXPECT_EQ(names[1], "DrawDebug28");
    EXPECT_EQ(fixture.renderer.FindCall("DrawDebug28")->numbers, (std::vector<double>{0, 0, 0, 1, 0}));
    fixture.renderer.ClearCalls();
    menu->Enable(false);
    menu->Render();
    EXPECT_TRUE(fixture.renderer.calls.empty());
}

TEST_F(MenuTest, ToolTipShowsAfterThePointerRestsAndFadesIn)
{
    auto menu = Load("StringTableFile strings.txt\n"
                     "ToolTip tip.txt\n"
                     "TextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.5 tooltiptext=1\n");
    ToolTip* tip = menu->GetToolTip();
    ASSERT_NE(tip, nullptr);
    menu->Process(0.0f);
    menu->OnMouseMove(0.1f, 0.1f, 0, 0);
    menu->Process(0.0f); // the box sees the pointer and starts the wait
    EXPECT_STREQ(tip->GetText(), "Second");
    EXPECT_EQ(tip->transparency, 1.0f);
    // The pointer keeps moving: the wait starts again.
    menu->Process(0.5f);
    menu->OnMouseMove(0.11f, 0.1f, 0, 0);
    menu->Process(0.9f);
    EXPECT_EQ(tip->transparency, 1.0f);
    menu->Process(1.8f);
    EXPECT_EQ(tip->transparency, 1.0f);
    // Rested since 0.9 (the last reset): shows after the delay of 1, fully
    // opaque half a second later.
    menu->Process(2.15f);
    EXPECT_FLOAT_EQ(tip->transparency, 1.0f - (2.15f - 0.9f - 1.0f) / 0.5f);
    menu->Process(3.0f);
    EXPECT_EQ(tip->transparency, 0.0f);
    menu->OnMouseMove(0.9f, 0.9f, 0, 0);
    menu->Process(3.1f);
    EXPECT_EQ(tip->GetText(), nullptr);
}

TEST_F(MenuTest, AToolTipWithoutFadeInShowsAtOnceAfterItsDelay)
{
    fixture.AddText("sudden.txt", "Charset name=Arial height=12\nTime fadein=0 delay=1\n");
    auto menu = Load("StringTableFile strings.txt\n"
                     "ToolTip sudden.txt\n"
                     "TextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.5 tooltiptext=0\n");
    menu->OnMouseMove(0.1f, 0.1f, 0, 0);
    menu->Process(0.0f);
    menu->Process(0.5f);
    EXPECT_EQ(menu->GetToolTip()->transparency, 1.0f);
    menu->Process(1.5f);
    EXPECT_EQ(menu->GetToolTip()->transparency, 0.0f);
}

TEST_F(MenuTest, AMenuWithoutToolTipShowsNone)
{
    auto menu = Load("StringTableFile strings.txt\nTextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.5 tooltiptext=1\n");
    menu->OnMouseMove(0.1f, 0.1f, 0, 0);
    menu->Process(5.0f);
    fixture.renderer.ClearCalls();
    menu->Render();
    EXPECT_TRUE(fixture.DrawnTexts().empty());
}

TEST_F(MenuTest, DialogChainsShowOneChildAtATime)
{
    fixture.AddText("one.txt", "TextBoxControl A tb.txt\n");
    fixture.AddText("two.txt", "TextBoxControl B tb.txt\n");
    auto menu = Load("AddDialogChain Content C1 one.txt\n"
                     "AddDialogChain Content C2 two.txt\n"
                     "AddDialogChain Other C3 one.txt\n");
    dialog_chain_c* chain = menu->FindDialogChain("content");
    ASSERT_NE(chain, nullptr);
    ASSERT_EQ(chain->GetMenus().size(), 2u);
    EXPECT_EQ(menu->GetDialogChains().size(), 2u);
    any_menu_c* c1 = chain->GetMenus()[0].get();
    any_menu_c* c2 = chain->GetMenus()[1].get();
    EXPECT_FALSE(c1->IsEnabled());
    chain->ShowOnlyChild("C2");
    EXPECT_FALSE(c1->IsEnabled());
    EXPECT_TRUE(c2->IsEnabled());
    chain->ShowOnlyChild("Nobody");
    EXPECT_EQ(menu_fixture_c::TakeMessages(), std::vector<std::string>{"Wrong!"});
    EXPECT_FALSE(c2->IsEnabled());
    chain->ShowOnlyChild("c1");
    chain->ShowOnlyChild(nullptr);
    EXPECT_FALSE(c1->IsEnabled());
    EXPECT_TRUE(menu_fixture_c::TakeMessages().empty());
}

TEST_F(MenuTest, ChainedMenusFollowTheMenuAndItsPointer)
{
    fixture.AddText("one.txt", "TextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.5\n");
    auto menu = Load("AddDialogChain Content C1 one.txt\n");
    any_menu_c* child = menu->FindDialogChain("Content")->GetMenus()[0].get();
    menu->FindDialogChain("Content")->ShowOnlyChild("C1");
    menu->OnMouseMove(0.1f, 0.1f, 0, 0);
    menu->Process(1.0f);
    EXPECT_EQ(child->FindControl("A")->GetControlState(), control_over);
    menu->SetTransition(0.25f);
    EXPECT_EQ(child->FindControl("A")->GetTransition(), 0.25f);
    menu->OnLeftClick();
    EXPECT_EQ(child->FindControl("A")->GetControlState(), control_captured);
    menu->OnChar('z');
    child->Process(1.1f);
    EXPECT_EQ(child->ControlGetString("A"), "z");
}

TEST_F(MenuTest, DialogChainsThatLoopAreRefused)
{
    fixture.AddText("loop.txt", "TextBoxControl A tb.txt\nAddDialogChain Again Inner loop2.txt\n");
    fixture.AddText("loop2.txt", "AddDialogChain Back Outer loop.txt\n");
    auto menu = Load("AddDialogChain Content Looping loop.txt\n");
    any_menu_c* looping = menu->FindDialogChain("Content")->GetMenus()[0].get();
    any_menu_c* inner = looping->FindDialogChain("Again")->GetMenus()[0].get();
    EXPECT_EQ(inner->GetDialogChains().size(), 0u);
    EXPECT_EQ(menu_fixture_c::TakeMessages(),
              std::vector<std::string>{"loop.txt - dialog chain loops back to its own menu script!"});

    fixture.AddText("self.txt", "AddDialogChain Self Me self.txt\n");
    auto self = Load("AddDialogChain Content Me self.txt\n");
    EXPECT_EQ(menu_fixture_c::TakeMessages(),
              std::vector<std::string>{"self.txt - dialog chain loops back to its own menu script!"});
}

TEST_F(MenuTest, GoTimesAndTransitionsReachEveryControl)
{
    auto menu = Load("TextBoxControl A tb.txt x=0 y=0 w=0.5 h=0.5\nTextBoxControl B tb.txt\n");
    EXPECT_EQ(menu->GetGoOutTime(), 0.0f);
    EXPECT_EQ(menu->GetGoInTime(), 0.0f);
    menu->SetTransition(0.5f);
    for (const auto& control : menu->GetControls())
        EXPECT_EQ(control->GetTransition(), 0.5f);
    menu->OnMouseMove(0.1f, 0.1f, 0, 0);
    menu->Process(2.0f);
    menu->GoOut();
    EXPECT_EQ(menu->FindControl("A")->GetHoverTime(), 2.0f);
}

} // namespace
