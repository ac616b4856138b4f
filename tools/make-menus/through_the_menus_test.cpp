// The program run in-process on the packed data set, the way a player goes:
// the shell's main window with its window procedure, started without
// "nomenu", the OpenGL renderer on SDL's offscreen driver, frames at fixed
// steps of a stepped clock, and the mouse and keyboard as window messages
// posted to the main window, where the window layer puts them. A new pilot
// is made, training mission 1 chosen with a plane, flown for a while and
// left through the Escape pause; the menus then show the training list
// again. Screens at fixed points are compared with expected pictures.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/command_line.h"
#include "app/pilot_profile.h"
#include "app/program.h"
#include "app/state_factories.h"
#include "app/testing/kept_menu_messages.h"
#include "app/testing/program_fixture.h"
#include "engine/renderer.h"
#include "foundation/file_writer.h"
#include "foundation/memory_file.h"
#include "game/game_world.h"
#include "game/state_game.h"
#include "image/image.h"
#include "menu/any_menu.h"
#include "menu/any_menu_control.h"
#include "menu/menu_manager.h"
#include "menu/menu_rect.h"
#include "menu/text_window.h"
#include "platform/d3d9/testing/expected_image.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"
#include "screens/state_menu.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// Frames of a fifteenth of a second: the menus' animations run on the
// clock, so they take as long as they would at any rate, in fewer frames.
constexpr i64 kFrameTicks = 1000000000 / 15;
// Pictures are compared at a quarter of the screen's size, averaged, so
// that the edges of antialiased letters do not decide the outcome; the
// tolerance allows for drivers rounding colours differently.
constexpr u32 kShrink = 4;
// A button reports its click when its click clip (0.2 s) has run out, and
// the screen acts on it in that frame.
constexpr int kClickFrames = 5;
constexpr u32 kTolerance = 24;

class ThroughTheMenus : public program_fixture_c {
protected:
    // The clock moves only when a frame is due.
    ThroughTheMenus() : program_fixture_c(renderer_e::gl, clock_e::by_test)
    {
        // The program runs in the desktop's own mode.
        UseDesktopMode();
        OpenArchives(DATA_ARCHIVE, DATA1_ARCHIVE);
        // The states the program's main installs.
        SetStates({[] { return std::make_unique<state_menu_c>(); }, {}},
                  {[] { return std::make_unique<state_game_c>(); },
                   [](state_c& _state, timer_c* _timer) { static_cast<state_game_c&>(_state).SetTimer(_timer); }});
        ResetCommandLine();
        ReadCommandLine("");
    }
    ~ThroughTheMenus() override { CloseWindow(); }

    // The start WinMain makes: the window initialised, started and given
    // the focus.
    void Start()
    {
        ASSERT_NE(OpenWindow(), nullptr);
        SendMessage(window, WM_APP_INIT, 0, 0);
        SendMessage(window, WM_APP_START, 0, reinterpret_cast<LPARAM>(""));
        SendMessage(window, WM_ACTIVATEAPP, 1, 0);
        ASSERT_NE(g_application.GetRenderer(), nullptr);
    }

    // Frames as the message loop runs them: what is queued first, then a
    // frame one step of the clock later.
    void Frames(int _count)
    {
        for (int i = 0; i < _count && IsWindow(window); ++i) {
            MSG message;
            while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessage(&message);
            }
            ticks += kFrameTicks;
            SendMessage(window, WM_APP_FRAME, 0, 0);
        }
    }

    // Frames until the condition holds, at most _limit; whether it held.
    template <typename condition_f>
    bool FramesUntil(condition_f _condition, int _limit)
    {
        for (int i = 0; i < _limit && !_condition(); ++i)
            Frames(1);
        return _condition();
    }

    // Frames until no menu or dialog is coming or going; whether that came.
    bool Settle()
    {
        return FramesUntil(
            [this] {
                const menu_manager_c* manager = Menus() ? Menus()->GetManager() : nullptr;
                return manager && manager->GetTransitionState() == 0 && manager->GetDialogState() == 0;
            },
            30);
    }

    state_menu_c* Menus() const { return dynamic_cast<state_menu_c*>(g_application.menu_state); }
    state_game_c* Game() const { return dynamic_cast<state_game_c*>(g_application.game_state); }
    bool InMenus() const { return g_state_manager.GetCurrentName() == string_c("menu"); }
    bool InGame() const { return g_state_manager.GetCurrentName() == string_c("game"); }
    i32 Screen() const { return Menus() ? Menus()->GetScreen() : -2; }

    // The control of that name on a menu, or on a page of its dialog chain
    // "Content" when _page is given.
    any_menu_control_c* Control(const char* _menu, const char* _control, const char* _page = nullptr) const
    {
        any_menu_c* menu = Menus() ? Menus()->GetManager()->FindMenu(_menu) : nullptr;
        if (menu && _page) {
            const dialog_chain_c* content = menu->FindDialogChain("Content");
            menu = content ? content->FindMenu(_page) : nullptr;
        }
        return menu ? menu->FindControl(_control) : nullptr;
    }

    void PointAt(f32 _x, f32 _y)
    {
        const u32 x = static_cast<u32>(_x * static_cast<f32>(width - 1) + 0.5f);
        const u32 y = static_cast<u32>(_y * static_cast<f32>(height - 1) + 0.5f);
        PostMessage(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    // The pointer goes to the middle of the control, rests there for a
    // frame, and the left button goes down and up; then frames until its
    // click has run out.
    void Click(const char* _menu, const char* _control, const char* _page = nullptr)
    {
        SCOPED_TRACE(std::string(_menu) + " " + _control);
        any_menu_control_c* control = Control(_menu, _control, _page);
        ASSERT_NE(control, nullptr);
        const menu_rect_c* rect = control->GetRectangle();
        ASSERT_NE(rect, nullptr);
        PointAt((rect->left + rect->right) * 0.5f, (rect->top + rect->bottom) * 0.5f);
        Frames(1);
        ASSERT_EQ(control->GetControlState(), control_over) << "the pointer is over it";
        PostMessage(window, WM_LBUTTONDOWN, 1, 0);
        PostMessage(window, WM_LBUTTONUP, 0, 0);
        Frames(kClickFrames);
    }

    void Key(WPARAM _key)
    {
        PostMessage(window, WM_KEYDOWN, _key, 1);
        PostMessage(window, WM_KEYUP, _key, 1);
    }

    // Printable characters come as the window layer makes them from text
    // input: the character message after its key.
    void Type(const std::string& _text)
    {
        for (const char c : _text)
            PostMessage(window, WM_CHAR, static_cast<u8>(c), 1);
    }

    // Every text window of the menus now shown that holds text has room
    // for at least a line of its font: a window lower than its letters
    // shows nothing at all.
    void ExpectTextsFit()
    {
        const menu_manager_c* manager = Menus() ? Menus()->GetManager() : nullptr;
        if (!manager)
            return;
        std::vector<any_menu_c*> shown;
        for (any_menu_c* menu : {manager->GetCurrentMenu(), manager->GetDialogMenu()}) {
            if (!menu)
                continue;
            shown.push_back(menu);
            for (const auto& chain : menu->GetDialogChains())
                for (const auto& page : chain->GetMenus())
                    if (page->IsEnabled())
                        shown.push_back(page.get());
        }
        for (any_menu_c* menu : shown) {
            for (const auto& control : menu->GetControls()) {
                auto* text = dynamic_cast<TextWindowControl*>(control.get());
                if (text && !text->GetLines().empty()) {
                    EXPECT_GE(text->GetVisibleLineCount(), 1u)
                        << menu->GetName().GetData() << ": " << control->GetName().GetData();
                }
            }
        }
    }

    // The screen now, shrunk by averaging, compared with its expected
    // picture; the full screen is kept beside the build for a look.
    void ExpectScreen(const std::string& _name)
    {
        SCOPED_TRACE(_name);
        ExpectTextsFit();
        image_c screen;
        // The capture takes the viewport, which the frame's last drawing
        // left on some control.
        g_application.GetRenderer()->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        g_application.GetRenderer()->CaptureScreen(screen);
        ASSERT_EQ(screen.GetWidth(), width);
        ASSERT_EQ(screen.GetHeight(), height);
        output_file_c png;
        screen.Save(png, image_file_png);
        WriteDiskFileWhole((std::string(SCREENSHOT_FOLDER) + "/" + _name + ".png").c_str(), png.GetData(),
                           png.GetSize());
        const u32 w = static_cast<u32>(width) / kShrink;
        const u32 h = static_cast<u32>(height) / kShrink;
        std::vector<u8> small(static_cast<size_t>(w) * h * 4);
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x)
                for (u32 channel = 0; channel < 4; ++channel) {
                    u32 sum = 0;
                    for (u32 dy = 0; dy < kShrink; ++dy)
                        for (u32 dx = 0; dx < kShrink; ++dx)
                            sum += screen.GetData()[static_cast<size_t>(y * kShrink + dy) * screen.GetPitch() +
                                                    static_cast<size_t>(x * kShrink + dx) * 4 + channel];
                    small[(static_cast<size_t>(y) * w + x) * 4 + channel] =
                        static_cast<u8>((sum + kShrink * kShrink / 2) / (kShrink * kShrink));
                }
        ExpectImageFile(small, w, h, EXPECTED_FOLDER, _name, kTolerance);
    }

    kept_menu_messages_c menu_messages;
};

TEST_F(ThroughTheMenus, ANewPilotFliesTheFirstTrainingMissionAndComesBack)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(InMenus());

    // Without a pilot the main menu sends the player to the pilots page
    // with a message.
    ASSERT_TRUE(FramesUntil([this] { return Screen() == state_menu_c::screen_pilot_message; }, 5));
    ASSERT_TRUE(Settle());
    ExpectScreen("create_pilot");
    ASSERT_NO_FATAL_FAILURE(Click("Dialog_OK", "OK"));
    ASSERT_EQ(Screen(), state_menu_c::screen_pilots);
    ASSERT_TRUE(Settle());

    // The name field holds the default name, ready for typing: it is
    // replaced by the player's own.
    for (int i = 0; i < 30; ++i)
        Key(VK_BACK);
    Type("Baxter");
    Frames(1);
    ExpectScreen("pilots");
    Key(VK_RETURN);
    ASSERT_TRUE(FramesUntil([this] { return Screen() == state_menu_c::screen_main; }, 3));
    ASSERT_NE(g_application.pilots.GetCurrent(), nullptr);
    EXPECT_STREQ(g_application.pilots.GetCurrentName().GetData(), "Baxter");
    ASSERT_TRUE(Settle());
    ExpectScreen("main");

    // The training list: mission 1 chosen shows its briefing, "Continue"
    // leads to the briefing page and "Plane" to the plane selection.
    ASSERT_NO_FATAL_FAILURE(Click("Main", "Training"));
    ASSERT_EQ(Screen(), state_menu_c::screen_training);
    ASSERT_TRUE(Settle());
    ASSERT_NO_FATAL_FAILURE(Click("Training", "B1", "C1"));
    EXPECT_EQ(Menus()->GetSelectedTraining(), 1);
    ExpectScreen("training_list");
    ASSERT_NO_FATAL_FAILURE(Click("Training", "Continue", "C1"));
    ASSERT_EQ(Screen(), state_menu_c::screen_training_briefing);
    ASSERT_NO_FATAL_FAILURE(Click("Training", "Plane", "C2"));
    ASSERT_EQ(Screen(), state_menu_c::screen_training_plane);
    ASSERT_TRUE(Settle());
    ASSERT_NO_FATAL_FAILURE(Click("SelPlane", "next"));
    EXPECT_EQ(g_application.pilots.GetCurrent()->selected_plane, 2u);
    ExpectScreen("plane");
    ASSERT_NO_FATAL_FAILURE(Click("SelPlane", "continue"));

    // The mission starts and flies.
    ASSERT_TRUE(FramesUntil([this] { return InGame(); }, 3));
    EXPECT_EQ(g_application.game_type, 2);
    EXPECT_EQ(g_application.mission_number, 1);
    Frames(30);
    ASSERT_TRUE(InGame());
    ASSERT_NE(Game(), nullptr);
    EXPECT_TRUE(Game()->GetFailure().empty()) << Game()->GetFailure();
    ExpectScreen("flight");

    // Escape pauses, Enter ends the mission; after the fade the menus come
    // back on the training list.
    Key(VK_ESCAPE);
    Frames(1);
    Key(VK_RETURN);
    ASSERT_TRUE(FramesUntil([this] { return InMenus(); }, 60));
    ASSERT_EQ(Screen(), state_menu_c::screen_training);
    // The training menu is shown at once in the first update.
    ASSERT_TRUE(FramesUntil(
        [this] {
            const char* current = Menus()->GetManager()->GetCurrentMenuName();
            return current && string_c(current) == "Training";
        },
        2));
    Frames(2);
    EXPECT_EQ(g_application.game_type, 0) << "the game's set-up is cleared";
    EXPECT_EQ(g_application.pilots.GetCurrent()->unlock_level, 0u) << "a mission left unfinished opens nothing";
    ExpectScreen("back_in_training");

    for (const std::string& message : menu_messages.Get())
        ADD_FAILURE() << "menu library: " << message;
}

} // namespace
