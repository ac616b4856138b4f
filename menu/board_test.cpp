#include "menu/board.h"

#include "engine/scene.h"
#include "menu/any_menu.h"
#include "menu/drag.h"
#include "menu/testing/menu_fixture.h"

#include <gtest/gtest.h>

namespace {

class BoardTest : public ::testing::Test {
protected:
    menu_fixture_c fixture;

    void SetUp() override { fixture.AddScene("body.scn", 0.2f, 0.2f, 0.3f, 0.3f); }
};

TEST_F(BoardTest, GoInAndGoOutRunTheirClipsThenShowTheBoard)
{
    fixture.AddText("board.txt", "BodyFile body.scn\nGoIn start=0 end=0.5 loop=0\nGoOut start=1 end=2 loop=0\n"
                                 "Enabled start=3 end=4 loop=1\n");
    BoardControl board("Panel", "board.txt", &fixture.renderer, nullptr, nullptr);
    EXPECT_EQ(board.GetGoInTime(), 0.5f);
    EXPECT_EQ(board.GetGoOutTime(), 1.0f);
    EXPECT_EQ(board.GetControlState(), control_normal);
    board.SetCurrentTime(10.0f);
    board.GoIn();
    EXPECT_EQ(board.GetControlState(), control_going_in);
    EXPECT_EQ(board.GetBody()->GetFirstTime(), 0.0f);
    board.Process(10.5f);
    EXPECT_EQ(board.GetControlState(), control_going_in);
    board.Process(10.6f);
    EXPECT_EQ(board.GetControlState(), control_normal);
    EXPECT_EQ(board.GetBody()->GetFirstTime(), 3.0f);
    board.GoOut();
    EXPECT_EQ(board.GetControlState(), control_going_out);
    board.Process(11.7f);
    EXPECT_EQ(board.GetControlState(), control_normal);
    // A board is never disabled and keeps its scene's own viewport.
    board.Disable(false);
    EXPECT_TRUE(board.IsDisabled());
    EXPECT_FLOAT_EQ(board.GetBody()->GetViewportX(), 0.2f);
    EXPECT_FALSE(board.IsInside(0.3f, 0.3f));
}

TEST_F(BoardTest, ABoardWithoutGoInLeavesItOnTheNextProcess)
{
    fixture.AddText("board.txt", "");
    BoardControl board("Panel", "board.txt", &fixture.renderer, nullptr, nullptr);
    EXPECT_EQ(board.GetGoInTime(), 0.0f);
    board.GoIn();
    board.Process(0.01f);
    EXPECT_EQ(board.GetControlState(), control_normal);
}

TEST_F(BoardTest, BoardsSetTheTransitionTimesOfTheirMenu)
{
    fixture.AddText("short.txt", "GoIn start=0 end=0.25 loop=0\nGoOut start=0 end=0.75 loop=0\n");
    fixture.AddText("long.txt", "GoIn start=0 end=0.5 loop=0\n");
    fixture.AddText("menu.txt", "BoardControl A short.txt\nBoardControl B long.txt\n");
    any_menu_c menu("Main", &fixture.renderer, nullptr);
    menu.LoadScript("menu.txt", 0);
    EXPECT_EQ(menu.GetGoInTime(), 0.5f);
    EXPECT_EQ(menu.GetGoOutTime(), 0.75f);
}

TEST_F(BoardTest, AProgressBarShowsItsValueAsAFrame)
{
    fixture.AddText("bar.txt",
                    "BarFile body.scn\nBar_Disabled start=0 end=1 loop=0\nBar_Action start=2 end=6 loop=0\n");
    ProgressBarControl bar("Loading", "bar.txt", &fixture.renderer, nullptr, nullptr);
    *bar.GetRectangle() = {0.1f, 0.8f, 0.9f, 0.85f};
    scene_c* scene = bar.GetBar();
    EXPECT_EQ(scene->GetFirstTime(), 2.0f);
    menu_ret_c ret;
    ret.floatValue = 1.0f;
    bar.SetState(&ret);
    bar.Process(100.0f);
    EXPECT_EQ(scene->Animate(4.0f, false), 6.0f);
    EXPECT_FLOAT_EQ(scene->GetViewportWidth(), 0.8f);
    ret.Clear();
    bar.GetState(ret);
    EXPECT_EQ(ret.floatValue, 1.0f);
    bar.Disable(false);
    EXPECT_FALSE(bar.IsDisabled());
    EXPECT_EQ(scene->GetFirstTime(), 0.0f);
}

TEST_F(BoardTest, DragItemsLookLikeButtonsButAreNeverMovedByTheMenu)
{
    fixture.AddText("item.txt", "BodyFile body.scn\nEnabled start=1 end=2 loop=0\nMouseOver start=2 end=3 loop=0\n");
    fixture.AddText("menu.txt", "DragItemControl Piece item.txt x=0.1 y=0.1 w=0.1 h=0.1\n"
                                "DragSquareControl Slot x=0.5 y=0.5 w=0.2 h=0.2\n"
                                "AddItemToDragSquare Piece Slot\n");
    any_menu_c menu("Board", &fixture.renderer, nullptr);
    menu.LoadScript("menu.txt", 0);
    EXPECT_TRUE(menu_fixture_c::TakeMessages().empty());
    auto* item = static_cast<DragItemControl*>(menu.FindControl("Piece"));
    auto* slot = static_cast<DragSquareControl*>(menu.FindControl("Slot"));
    menu.OnMouseMove(0.15f, 0.15f, 0, 0);
    menu.Process(1.0f);
    EXPECT_EQ(item->GetControlState(), control_normal);
    EXPECT_FALSE(item->IsDisabled());
    menu.OnMouseMove(0.6f, 0.6f, 0, 0);
    EXPECT_TRUE(slot->IsInside(0.0f, 0.0f));
    EXPECT_TRUE(slot->GetItems().empty());
    // Whoever moves items writes the point: then it hovers like a body.
    item->SetPoint(0.15f, 0.15f);
    menu.Process(2.0f);
    EXPECT_EQ(item->GetControlState(), control_over);
    EXPECT_EQ(item->GetBody()->GetFirstTime(), 2.0f);
    // Held by a square it is not drawn.
    fixture.renderer.ClearCalls();
    item->Render();
    const u32 drawn = fixture.renderer.CountCalls("SetViewportRect");
    item->SetSquare(slot);
    fixture.renderer.ClearCalls();
    item->Render();
    EXPECT_GT(drawn, 0u);
    EXPECT_EQ(fixture.renderer.CountCalls("SetViewportRect"), 0u);
}

} // namespace
