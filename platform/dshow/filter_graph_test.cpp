#include "platform/dshow/filter_graph.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <SDL.h>

#include "platform/dshow/testing/movie_clip.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr UINT WM_GRAPH_EVENT = 0x40D;

std::vector<UINT> g_owner_messages;

LRESULT OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_owner_messages.push_back(message);
    return DefWindowProc(window, message, wParam, lParam);
}

// As the movie player widens its names: one byte to a character.
std::wstring Wide(const std::string& text)
{
    std::wstring wide;
    for (const unsigned char c : text)
        wide += static_cast<wchar_t>(c);
    return wide;
}

// The four faces of one graph, as the movie player holds them.
struct graph_s {
    IGraphBuilder* graph = nullptr;
    IMediaControl* control = nullptr;
    IMediaEventEx* events = nullptr;
    IVideoWindow* video = nullptr;

    graph_s()
    {
        EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(&graph)),
                  S_OK);
        EXPECT_EQ(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)), S_OK);
        EXPECT_EQ(graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events)), S_OK);
        EXPECT_EQ(graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&video)), S_OK);
    }
    ~graph_s()
    {
        // Released in any order; the last one ends the graph.
        for (IUnknown* face : std::initializer_list<IUnknown*>{control, graph, video, events})
            if (face)
                face->Release();
    }
};

class FilterGraph : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_owner_messages.clear();
        WNDCLASSEXA description;
        description.lpfnWndProc = OwnerProc;
        description.lpszClassName = "clip owner";
        RegisterClassEx(&description);
        _owner = CreateWindowEx(0, "clip owner", "", WS_POPUP | WS_VISIBLE, 0, 0, 160, 120, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_NE(_owner, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(_owner);
        UnregisterClass("clip owner", nullptr);
    }

    static std::string Clip(const char* name, const movie_testing::clip_s& clip)
    {
        const std::string path = movie_testing::ScratchPath(name);
        movie_testing::WriteClip(path, clip);
        return path;
    }

    // Runs the owner's messages until the graph's notify message arrives;
    // false when it never does.
    bool PumpUntilNotified(std::chrono::seconds limit = 60s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            MSG m;
            while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessage(&m);
                if (m.message == WM_GRAPH_EVENT)
                    return true;
            }
            WaitMessage();
        }
        return false;
    }

    HWND _owner = nullptr;
};

TEST_F(FilterGraph, AClipPlaysToItsEndInTheOwnersWindow)
{
    for (const bool sound : {true, false}) {
        const std::string path = Clip("play.avi", {.frames = 4, .sound = sound});
        graph_s g;
        ASSERT_EQ(g.graph->RenderFile(Wide(path).c_str(), nullptr), S_OK);
        ASSERT_EQ(g.video->put_Owner(reinterpret_cast<OAHWND>(_owner)), S_OK);
        EXPECT_EQ(g.video->put_WindowStyle(static_cast<LONG>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN)), S_OK);
        ASSERT_EQ(g.events->SetNotifyWindow(reinterpret_cast<OAHWND>(_owner), WM_GRAPH_EVENT, 0), S_OK);
        EXPECT_EQ(g.video->SetWindowPosition(0, 0, 160, 120), S_OK);
        EXPECT_EQ(g.video->put_Visible(OATRUE), S_OK);
        ASSERT_EQ(g.control->Run(), S_OK);

        ASSERT_TRUE(PumpUntilNotified()) << "sound " << sound;
        LONG code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        ASSERT_EQ(g.events->GetEvent(&code, &p1, &p2, 0), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        EXPECT_EQ(g.events->FreeEventParams(code, p1, p2), S_OK);
        EXPECT_EQ(g.events->GetEvent(&code, &p1, &p2, 0), E_ABORT) << "one event per clip";
    }
}

TEST_F(FilterGraph, StoppedPlayEndsWithoutAnEvent)
{
    const std::string path = Clip("long.avi", {.frames = 250, .width = 32, .height = 32, .sound = true});
    graph_s g;
    ASSERT_EQ(g.graph->RenderFile(Wide(path).c_str(), nullptr), S_OK);
    ASSERT_EQ(g.events->SetNotifyWindow(reinterpret_cast<OAHWND>(_owner), WM_GRAPH_EVENT, 0), S_OK);
    ASSERT_EQ(g.control->Run(), S_OK);
    ASSERT_EQ(g.control->Stop(), S_OK);
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    EXPECT_EQ(g.events->GetEvent(&code, &p1, &p2, 0), E_ABORT);
}

TEST_F(FilterGraph, ClicksOnTheVideoReachTheOwner)
{
    const std::string path = Clip("click.avi", {.frames = 2, .sound = false});
    graph_s g;
    ASSERT_EQ(g.graph->RenderFile(Wide(path).c_str(), nullptr), S_OK);
    ASSERT_EQ(g.video->put_Owner(reinterpret_cast<OAHWND>(_owner)), S_OK);
    ASSERT_EQ(g.video->put_Visible(OATRUE), S_OK);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.windowID = SDL_GetWindowID(GetSdlWindow(_owner));
    click.button.button = SDL_BUTTON_RIGHT;
    click.button.state = SDL_PRESSED;
    click.button.x = 50;
    click.button.y = 50;
    ASSERT_EQ(SDL_PushEvent(&click), 1);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&m);
    EXPECT_NE(std::find(g_owner_messages.begin(), g_owner_messages.end(), WM_RBUTTONDOWN), g_owner_messages.end());
}

TEST_F(FilterGraph, FilesThatCannotBePlayedAreRefused)
{
    const std::string junk = movie_testing::ScratchPath("junk.avi");
    std::ofstream(junk, std::ios::binary) << "RIFF\x10\x00\x00\x00" << std::string(64, '\x01');
    graph_s g;
    EXPECT_EQ(g.graph->RenderFile(Wide(junk).c_str(), nullptr), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(g.graph->RenderFile(L"/no/such/clip.avi", nullptr), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(g.graph->RenderFile(L"/no/such/\x263A.avi", nullptr), E_INVALIDARG);
    EXPECT_EQ(g.control->Run(), VFW_E_WRONG_STATE);
    // A name whose bytes are not ASCII (UTF-8 on disk) arrives byte for byte.
    const std::string named = Clip("caf\xC3\xA9.avi", {.frames = 1, .sound = false});
    EXPECT_EQ(g.graph->RenderFile(Wide(named).c_str(), nullptr), S_OK);
    IUnknown* other = nullptr;
    const IID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(g.graph->QueryInterface(unknown, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    void* nothing = nullptr;
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &nothing), REGDB_E_CLASSNOTREG);
}

} // namespace
