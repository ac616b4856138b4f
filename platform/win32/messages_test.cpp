#include "platform/win32/messages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include <SDL.h>

#include "platform/win32/sdl_events.h"
#include "platform/win32/windows.h"

namespace {

using namespace std::chrono_literals;

constexpr UINT WM_TEST = WM_USER + 7;
constexpr UINT WM_NESTED = WM_USER + 8;

struct record_s {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<record_s> g_records;
LRESULT g_create_result = 0;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_records.push_back({window, message, wParam, lParam});
    switch (message) {
    case WM_CREATE: return g_create_result;
    // A message sent from inside the handling of another is answered at once.
    case WM_TEST: return static_cast<LRESULT>(wParam) + SendMessage(window, WM_NESTED, wParam * 10, 0);
    case WM_NESTED: return static_cast<LRESULT>(wParam);
    default: return DefWindowProc(window, message, wParam, lParam);
    }
}

class Messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_records.clear();
        g_create_result = 0;
        WNDCLASSEXA description;
        description.lpfnWndProc = RecordingProc;
        description.lpszClassName = "test window";
        ASSERT_NE(RegisterClassEx(&description), 0);
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
    }
    void TearDown() override
    {
        for (HWND w : _windows)
            DestroyWindow(w);
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
        UnregisterClass("test window", nullptr);
    }

    HWND Make(DWORD style = WS_POPUP, HWND parent = nullptr, RECT r = {0, 0, 320, 200})
    {
        HWND w = CreateWindowEx(0, "test window", "test", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                parent, nullptr, nullptr, nullptr);
        if (w)
            _windows.push_back(w);
        return w;
    }

    // Every queued message of the given numbers, dispatched in order.
    static std::vector<MSG> Drain(std::initializer_list<UINT> wanted)
    {
        std::vector<MSG> out;
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
            for (UINT w : wanted)
                if (m.message == w)
                    out.push_back(m);
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
        return out;
    }

    static void Push(HWND window, SDL_Event event)
    {
        SDL_Window* sdl = GetSdlWindow(window);
        ASSERT_NE(sdl, nullptr);
        const u32 id = SDL_GetWindowID(sdl);
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: event.key.windowID = id; break;
        case SDL_TEXTINPUT: event.text.windowID = id; break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: event.button.windowID = id; break;
        case SDL_WINDOWEVENT: event.window.windowID = id; break;
        default: break;
        }
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    static SDL_Event Key(u32 type, SDL_Scancode scancode, SDL_Keycode sym, u16 mod = KMOD_NONE, u8 repeat = 0)
    {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        return e;
    }

    std::vector<HWND> _windows;
};

TEST_F(Messages, PostedMessagesComeInOrderAndByFilter)
{
    HWND a = Make(), b = Make();
    ASSERT_TRUE(a && b);
    Drain({});
    ASSERT_TRUE(PostMessage(a, WM_TEST, 1, 0));
    ASSERT_TRUE(PostMessage(b, WM_TEST + 100, 2, 0));
    ASSERT_TRUE(PostMessage(a, WM_TEST, 3, 0));
    ASSERT_TRUE(PostMessage(nullptr, WM_TEST, 4, 0));

    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.wParam, 1u) << "a look without removing leaves the message first";
    ASSERT_TRUE(PeekMessage(&m, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 2u);
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_TEST, WM_TEST, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_FALSE(PeekMessage(&m, b, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 3u);
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_EQ(m.wParam, 4u);
    EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages, QuitComesAfterWhatWasPostedBeforeIt)
{
    PostMessage(nullptr, WM_TEST, 1, 0);
    PostQuitMessage(3);
    MSG m;
    ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_TEST);
    ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) << "the quit is taken once";
}

TEST_F(Messages, SendMessageIsSynchronousAndReentrant)
{
    HWND w = Make();
    ASSERT_TRUE(w);
    g_records.clear();
    EXPECT_EQ(SendMessage(w, WM_TEST, 4, 0), 44);
    ASSERT_EQ(g_records.size(), 2u);
    EXPECT_EQ(g_records[0].message, WM_TEST);
    EXPECT_EQ(g_records[1].message, WM_NESTED);
    EXPECT_EQ(SendMessage(nullptr, WM_TEST, 4, 0), 0);
}

TEST_F(Messages, SendMessageFromAnotherThreadIsAnsweredByTheOwner)
{
    HWND w = Make();
    ASSERT_TRUE(w);
    LRESULT answer = 0;
    std::thread other([&] {
        answer = SendMessage(w, WM_TEST, 2, 0);
        PostMessage(w, WM_TEST + 1, 0, 0);
    });
    MSG m;
    do {
        ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
        DispatchMessage(&m);
    } while (m.message != WM_TEST + 1);
    other.join();
    EXPECT_EQ(answer, 22);
}

TEST_F(Messages, WaitMessageWakesOnAnSdlEventAndOnAPostFromAnotherThread)
{
    HWND w = Make();
    ASSERT_TRUE(w);
    Drain({});
    std::thread pusher([&] {
        std::this_thread::sleep_for(20ms);
        Push(w, Key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE));
    });
    ASSERT_TRUE(WaitMessage());
    pusher.join();
    const std::vector<MSG> keys = Drain({WM_KEYDOWN});
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wParam, VK_SPACE);

    std::thread poster([&] {
        std::this_thread::sleep_for(20ms);
        PostMessage(w, WM_TEST + 2, 0, 0);
    });
    ASSERT_TRUE(WaitMessage());
    poster.join();
    EXPECT_EQ(Drain({WM_TEST + 2}).size(), 1u);
}

TEST_F(Messages, KeysBecomeKeyAndCharacterMessages)
{
    HWND w = Make();
    ASSERT_TRUE(w);
    Drain({});
    Push(w, Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN));
    Push(w, Key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN));
    Push(w, Key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a, KMOD_NONE, 1));
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    // 'a', e acute (typed), the euro sign (not on the single-byte page).
    SDL_strlcpy(text.text.text, "a\xC3\xA9\xE2\x82\xAC", sizeof text.text.text);
    Push(w, text);
    Push(w, Key(SDL_KEYDOWN, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT));

    const std::vector<MSG> got = Drain({WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR});
    struct expected_s {
        UINT message;
        WPARAM wParam;
        u32 lParam;
    };
    const expected_s expected[] = {
        {WM_KEYDOWN, VK_RETURN, 1},
        {WM_CHAR, '\r', 1},
        {WM_KEYUP, VK_RETURN, 0xC0000001},
        {WM_KEYDOWN, 'A', 0x40000001},
        {WM_CHAR, 'a', 1},
        {WM_CHAR, 0xE9, 1},
        {WM_SYSKEYDOWN, VK_F1 + 3, 0x20000001},
    };
    ASSERT_EQ(got.size(), std::size(expected));
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].message, expected[i].message) << i;
        EXPECT_EQ(got[i].wParam, expected[i].wParam) << i;
        EXPECT_EQ(static_cast<u32>(got[i].lParam), expected[i].lParam) << i;
    }
    // Alt+F4 closes the window through the default handling.
    Drain({});
    EXPECT_FALSE(IsWindow(w));
}

TEST(VirtualKeys, KeysTheGameBinds)
{
    struct case_s {
        SDL_Scancode scancode;
        SDL_Keycode sym;
        WPARAM key;
    };
    const case_s cases[] = {
        {SDL_SCANCODE_A, SDLK_a, 'A'},
        {SDL_SCANCODE_Z, SDLK_z, 'Z'},
        {SDL_SCANCODE_Q, SDLK_a, 'A'}, // a layout that puts A elsewhere
        {SDL_SCANCODE_0, SDLK_0, '0'},
        {SDL_SCANCODE_9, SDLK_9, '9'},
        {SDL_SCANCODE_1, SDLK_AMPERSAND, '1'}, // a layout with symbols on the digit row
        {SDL_SCANCODE_F1, SDLK_F1, VK_F1},
        {SDL_SCANCODE_F12, SDLK_F12, VK_F1 + 11},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, VK_SPACE},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, VK_RETURN},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, VK_RETURN},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, VK_ESCAPE},
        {SDL_SCANCODE_TAB, SDLK_TAB, VK_TAB},
        {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, VK_BACK},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, VK_RIGHT},
        {SDL_SCANCODE_UP, SDLK_UP, VK_UP},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, VK_DOWN},
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, VK_SHIFT},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, VK_CONTROL},
        {SDL_SCANCODE_LALT, SDLK_LALT, VK_MENU},
        {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, VK_PRIOR},
        {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, VK_NEXT},
        {SDL_SCANCODE_INSERT, SDLK_INSERT, VK_INSERT},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, VK_DELETE},
        {SDL_SCANCODE_HOME, SDLK_HOME, VK_HOME},
        {SDL_SCANCODE_END, SDLK_END, VK_END},
        {SDL_SCANCODE_PAUSE, SDLK_PAUSE, VK_PAUSE},
        {SDL_SCANCODE_KP_0, SDLK_KP_0, VK_NUMPAD0},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, VK_NUMPAD0 + 9},
        {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, VK_ADD},
        {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, VK_SUBTRACT},
        {SDL_SCANCODE_MINUS, SDLK_MINUS, VK_OEM_MINUS},
        {SDL_SCANCODE_EQUALS, SDLK_EQUALS, VK_OEM_PLUS},
        {SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN, VK_SNAPSHOT},
        {SDL_SCANCODE_MUTE, SDLK_MUTE, 0},
    };
    for (const case_s& c : cases) {
        SDL_Keysym key{};
        key.scancode = c.scancode;
        key.sym = c.sym;
        EXPECT_EQ(VirtualKeyOfSdl(key), c.key) << SDL_GetScancodeName(c.scancode);
    }
}

TEST_F(Messages, ClicksGoToTheChildUnderThePointer)
{
    HWND top = Make(WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(top);
    HWND child = Make(WS_CHILD | WS_VISIBLE, top, {100, 50, 200, 150});
    ASSERT_TRUE(child);
    EXPECT_EQ(GetSdlWindow(child), GetSdlWindow(top));
    Drain({});
    for (const SDL_Point at : {SDL_Point{120, 70}, SDL_Point{10, 10}}) {
        SDL_Event click{};
        click.type = SDL_MOUSEBUTTONDOWN;
        click.button.button = SDL_BUTTON_LEFT;
        click.button.state = SDL_PRESSED;
        click.button.x = at.x;
        click.button.y = at.y;
        Push(top, click);
    }
    const std::vector<MSG> got = Drain({WM_LBUTTONDOWN});
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].hwnd, child);
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 20);
    EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), 20);
    EXPECT_EQ(got[1].hwnd, top);
    EXPECT_EQ(GET_X_LPARAM(got[1].lParam), 10);
}

TEST_F(Messages, WindowLifecycle)
{
    g_create_result = -1;
    EXPECT_EQ(Make(), nullptr) << "a procedure that refuses WM_CREATE fails the creation";
    g_create_result = 0;
    EXPECT_EQ(CreateWindowEx(0, "no such class", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Make(WS_CHILD, nullptr), nullptr) << "a child needs a parent";

    HWND top = Make();
    HWND child = Make(WS_CHILD, top, {0, 0, 10, 10});
    ASSERT_TRUE(top && child);
    RECT r;
    ASSERT_TRUE(GetClientRect(top, &r));
    EXPECT_EQ(r.right, 320);
    EXPECT_EQ(r.bottom, 200);
    g_records.clear();
    ASSERT_TRUE(MoveWindow(top, 0, 0, 640, 480, 0));
    ASSERT_EQ(g_records.size(), 1u);
    EXPECT_EQ(g_records[0].message, WM_SIZE);
    EXPECT_EQ(g_records[0].lParam, MAKELPARAM(640, 480));

    PostMessage(top, WM_TEST, 0, 0);
    g_records.clear();
    SendMessage(top, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    ASSERT_EQ(g_records.size(), 3u);
    EXPECT_EQ(g_records[1].window, child) << "children are destroyed first";
    EXPECT_EQ(g_records[1].message, WM_DESTROY);
    EXPECT_EQ(g_records[2].window, top);
    EXPECT_EQ(g_records[2].message, WM_DESTROY);
    EXPECT_TRUE(Drain({WM_TEST}).empty()) << "a destroyed window's messages are dropped";
    EXPECT_FALSE(PostMessage(top, WM_TEST, 0, 0));
}

TEST_F(Messages, AQuitRequestClosesEveryTopLevelWindow)
{
    HWND first = Make();
    HWND second = Make();
    HWND child = Make(WS_CHILD, first, {0, 0, 10, 10});
    ASSERT_TRUE(first && second && child);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1) << SDL_GetError();
    const std::vector<MSG> closes = Drain({WM_CLOSE});
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[0].hwnd, first);
    EXPECT_EQ(closes[1].hwnd, second);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
}

} // namespace
