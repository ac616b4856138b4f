#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "app/program.h"
#include "app/testing/app_doubles.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"

namespace {

using app_testing::event_log_t;
using app_testing::logged_state_c;

// The main window on its own, outside a run: no application devices, and
// states put in the manager by the test.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        app_active = false;
        window = CreateMainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        g_state_manager.RemoveAll();
        DestroyWindow(window);
        MSG message;
        while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {}
        UnregisterClass(kMainWindowClass, nullptr);
        app_active = false;
    }

    // Makes the state current without an application, so nothing else runs.
    void MakeCurrent(logged_state_c& _state)
    {
        g_state_manager.Add(&_state);
        g_state_manager.Switch(_state.GetName(), nullptr);
        log.clear();
    }

    HWND window = nullptr;
    event_log_t log;
};

TEST_F(MainWindow, CoversTheScreenAndItsClassIsRegisteredOnce)
{
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYSCREEN));
    try {
        CreateMainWindow();
        FAIL() << "a second registration went through";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Unable to register window class!");
    }
}

TEST_F(MainWindow, FollowsANewDisplayMode)
{
    SendMessage(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
}

TEST_F(MainWindow, NoFrameWhileInactiveOrBeforeTheTimer)
{
    logged_state_c menu("menu", log);
    MakeCurrent(menu);
    EXPECT_EQ(SendMessage(window, WM_APP_FRAME, 0, 0), 1) << "inactive: wait for a message";
    SendMessage(window, WM_ACTIVATEAPP, 1, 0);
    EXPECT_TRUE(app_active);
    ASSERT_EQ(frame_timer, nullptr);
    EXPECT_EQ(SendMessage(window, WM_APP_FRAME, 0, 0), 1) << "no timer: nothing to measure a frame with";
    EXPECT_EQ(std::count(log.begin(), log.end(), "update menu"), 0);
    SendMessage(window, WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(app_active);
}

TEST_F(MainWindow, EveryMessageReachesTheCurrentStateFirst)
{
    logged_state_c menu("menu", log);
    MakeCurrent(menu);
    for (UINT message : {WM_KEYDOWN, WM_ERASEBKGND, WM_SYSCOMMAND, WM_APP_FRAME})
        SendMessage(window, message, 0, 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "message menu"), 4);
}

TEST_F(MainWindow, TheCursorIsHiddenOnlyInTheGame)
{
    const struct {
        const char* state;
        HCURSOR cursor;
    } cases[] = {{"menu", LoadCursor(nullptr, IDC_HAND)}, {"game", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        logged_state_c state(c.state, log);
        MakeCurrent(state);
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        EXPECT_EQ(SendMessage(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), 0), 1);
        EXPECT_EQ(SetCursor(nullptr), c.cursor);
        g_state_manager.RemoveAll();
    }
}

} // namespace
