#include "app/movie_player.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

constexpr const char* kClassName = "videoClassName_windowclassname";
constexpr UINT WM_GRAPHNOTIFY = 0x40D;
constexpr i32 kMaxPath = 260;

movie_player_c* g_player = nullptr;

template <class interface_t>
void ReleaseInterface(interface_t*& _pointer)
{
    if (_pointer)
        _pointer->Release();
    _pointer = nullptr;
}

bool FileExists(const char* _file_name)
{
    FILE* file = std::fopen(_file_name, "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

} // namespace

void movie_player_c::Init()
{
    *this = movie_player_c();
    g_player = this;
}

bool movie_player_c::CreateWindow(HINSTANCE _instance, HWND _parent)
{
    if (!class_registered) {
        WNDCLASSEXA description;
        description.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
        description.lpfnWndProc = WindowProc;
        description.hInstance = _instance;
        description.lpszClassName = kClassName;
        // Registered by an earlier player of the same run: still ours.
        RegisterClassEx(&description);
        class_registered = 1;
    }
    const DWORD style = _parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
    window = CreateWindowEx(0, kClassName, "", style, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN), _parent, nullptr, _instance, nullptr);
    return window != nullptr;
}

void movie_player_c::Play(const char* _file_name)
{
    if (!FileExists(_file_name))
        return;
    try {
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                    reinterpret_cast<void**>(&graph))) ||
            FAILED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control))) ||
            FAILED(graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events))) ||
            FAILED(graph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&video)))) {
            Stop();
            return;
        }
        std::wstring wide;
        for (const char* c = _file_name; *c && wide.size() < kMaxPath; ++c)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        if (FAILED(graph->RenderFile(wide.c_str(), nullptr))) {
            Stop();
            return;
        }
        const OAHWND owner = reinterpret_cast<OAHWND>(window);
        video->put_Owner(owner);
        video->put_WindowStyle(static_cast<LONG>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
        events->SetNotifyWindow(owner, WM_GRAPHNOTIFY, 0);
        RECT area;
        GetClientRect(window, &area);
        video->SetWindowPosition(0, 0, area.right, area.bottom);
        video->put_Visible(OATRUE);
        UpdateWindow(window);
        SetFocus(window);
        SetCursor(nullptr);
        finished = 0;
        if (FAILED(control->Run())) {
            Stop();
            return;
        }
        MSG message;
        while (!finished) {
            const BOOL got = GetMessage(&message, nullptr, 0, 0);
            if (got <= 0) {
                Stop();
                if (got == 0)
                    PostQuitMessage(static_cast<i32>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessage(&message);
        }
        while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<i32>(message.wParam));
                break;
            }
            TranslateMessage(&message);
            DispatchMessage(&message);
        }
    } catch (const std::exception&) {
        Stop();
    }
}

void movie_player_c::Stop()
{
    ReleaseInterface(unused);
    ReleaseInterface(video);
    ReleaseInterface(events);
    ReleaseInterface(control);
    ReleaseInterface(graph);
    finished = 1;
}

void movie_player_c::Close()
{
    // No clip plays any more: a player that never played one (no clip
    // found) must close too, not stay over the screen.
    finished = 1;
    SendMessage(window, WM_CLOSE, 0, 0);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void movie_player_c::PlayClips(HINSTANCE _instance, HWND _parent, const char* _pattern)
{
    movie_player_c player;
    player.Init();
    if (!player.CreateWindow(_instance, _parent))
        return;
    for (int n = 1; n <= 8; ++n) {
        char name[kMaxPath];
        std::snprintf(name, sizeof name, _pattern, n);
        player.Play(name);
    }
    player.Close();
    g_player = nullptr;
}

void movie_player_c::HandleGraphEvents()
{
    LONG code = 0;
    LONG_PTR first = 0, second = 0;
    while (events && SUCCEEDED(events->GetEvent(&code, &first, &second, 0))) {
        events->FreeEventParams(code, first, second);
        if (code == EC_COMPLETE || code == EC_USERABORT)
            Stop();
    }
}

LRESULT movie_player_c::WindowProc(HWND _hwnd, UINT _message, WPARAM _wparam, LPARAM _lparam)
{
    movie_player_c* player = g_player;
    switch (_message) {
    case WM_CLOSE:
        if (player && !player->finished)
            return 0;
        break;
    case WM_SETCURSOR: SetCursor(nullptr); return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (player && (_wparam == VK_ESCAPE || _wparam == VK_SPACE || _wparam == VK_RETURN))
            player->Stop();
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (player)
            player->Stop();
        return 0;
    case WM_SYSCOMMAND:
        if ((_wparam & 0xFFF0) == SC_SCREENSAVE || (_wparam & 0xFFF0) == SC_MONITORPOWER)
            return 0;
        break;
    case WM_GRAPHNOTIFY:
        if (player)
            player->HandleGraphEvents();
        return 0;
    default: break;
    }
    return DefWindowProc(_hwnd, _message, _wparam, _lparam);
}
