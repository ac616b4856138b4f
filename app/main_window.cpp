#include <stdexcept>

#include "app/command_line.h"
#include "app/pilot_profile.h"
#include "app/program.h"
#include "app/state_factories.h"
#include "engine/renderer.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"

HINSTANCE app_instance = nullptr;
bool app_active = false;
std::unique_ptr<timer_c> frame_timer;
application_c g_application;
state_manager_c g_state_manager;

namespace {

constexpr char kMenu[] = "menu";
constexpr char kGame[] = "game";

// The shell owns the two states; the application and the manager point to
// them.
std::unique_ptr<state_c> g_menu_state;
std::unique_ptr<state_c> g_game_state;
// Set while an error ends the run: the current state is not left.
bool g_abandoning = false;
HWND g_main_window = nullptr;

std::unique_ptr<state_c>& OwnerOf(const char* _name)
{
    return string_c(_name) == kMenu ? g_menu_state : g_game_state;
}

state_c*& ApplicationSlotOf(const char* _name)
{
    return string_c(_name) == kMenu ? g_application.menu_state : g_application.game_state;
}

void AddNewState(const char* _name)
{
    std::unique_ptr<state_c>& owner = OwnerOf(_name);
    owner = MakeState(_name);
    ApplicationSlotOf(_name) = owner.get();
    g_state_manager.Add(owner.get());
}

// A state is used for one visit: once left it is replaced by a new one.
void ReplaceState(const char* _name)
{
    g_state_manager.Remove(_name);
    ApplicationSlotOf(_name) = nullptr;
    OwnerOf(_name).reset();
    AddNewState(_name);
}

void DropStates()
{
    g_state_manager.RemoveAll();
    g_application.menu_state = nullptr;
    g_application.game_state = nullptr;
    g_menu_state.reset();
    g_game_state.reset();
}

void Initialise(HWND _hwnd)
{
    g_application.Init(_hwnd, app_instance);
    // Level loading indexes the plane list with the selection, so a number
    // outside the list is not taken.
    pilot_profile_c* pilot = g_application.pilots.GetCurrent();
    if (cmd_plane != -1 && pilot && cmd_plane >= 1 && static_cast<size_t>(cmd_plane) <= g_application.planes.size())
        pilot->selected_plane = static_cast<u32>(cmd_plane);
    AddNewState(kMenu);
    AddNewState(kGame);
    SetStateFrameTimer(*g_game_state, frame_timer.get());
}

void Start()
{
    // Level loading has mission lists for the game types 1 to 4 only; the
    // command line can name the career and training ones.
    if (cmd_nomenu && (cmd_game_type == 1 || cmd_game_type == 2)) {
        g_application.game_type = cmd_game_type;
        g_application.mission_number = cmd_mission_number;
        g_state_manager.Switch(kGame, &g_application);
    } else {
        g_state_manager.Switch(kMenu, &g_application);
    }
    renderer_c* renderer = g_application.GetRenderer();
    if (!renderer)
        return;
    const vec3_c black(0.0f, 0.0f, 0.0f);
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    renderer->Clear(black, 0, true, false, false, false);
    renderer->Present();
    renderer->Clear(black, 0, true, false, false, false);
    frame_timer = std::make_unique<timer_c>();
    // A game started from the command line was entered before the timer
    // existed.
    if (g_game_state)
        SetStateFrameTimer(*g_game_state, frame_timer.get());
}

LRESULT Frame(HWND _hwnd)
{
    if (!app_active || !frame_timer)
        return 1;
    const double t = frame_timer->GetTime();
    const i32 result = g_state_manager.Update(t);
    const string_c current = g_state_manager.GetCurrentName();
    if (current == kMenu && result == state_leave) {
        DestroyWindow(_hwnd);
        return 0;
    }
    if (current == kMenu && result == state_start_game) {
        SetCursor(nullptr);
        if (g_application.game_type >= 1 && g_application.game_type <= 4) {
            frame_timer->Reset();
            SetStateFrameTimer(*g_game_state, frame_timer.get());
            g_state_manager.Switch(kGame, &g_application);
            ReplaceState(kMenu);
        }
    } else if (current == kGame && result == state_leave) {
        if (cmd_nomenu && !g_state_manager.GetCurrent()->GetFailure().empty())
            throw std::runtime_error(g_state_manager.GetCurrent()->GetFailure());
        frame_timer->Reset();
        g_state_manager.Switch(kMenu, &g_application);
        ReplaceState(kGame);
        SetCursor(LoadCursor(nullptr, IDC_HAND));
    }
    if (renderer_c* renderer = g_application.GetRenderer()) {
        renderer->BeginScene();
        g_state_manager.Render(t);
        renderer->EndScene();
        renderer->Present();
    }
    return 0;
}

void Destroy()
{
    if (!g_abandoning)
        g_state_manager.Switch("", &g_application);
    DropStates();
    frame_timer.reset();
    g_application.Shutdown();
    PostQuitMessage(0);
}

} // namespace

HWND CreateMainWindow()
{
    WNDCLASSEXA description;
    description.style = CS_CLASSDC;
    description.lpfnWndProc = MainWindowProc;
    description.hInstance = app_instance;
    description.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    description.hIconSm = description.hIcon;
    description.lpszClassName = kMainWindowClass;
    if (!RegisterClassEx(&description))
        throw std::runtime_error("Unable to register window class!");
    g_main_window = CreateWindowEx(WS_EX_TOPMOST | WS_EX_APPWINDOW, kMainWindowClass, kMainWindowClass,
                                   WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, app_instance, nullptr);
    return g_main_window;
}

LRESULT MainWindowProc(HWND _hwnd, UINT _msg, WPARAM _wparam, LPARAM _lparam)
{
    g_state_manager.ForwardMessage(_hwnd, _msg, _wparam, _lparam);
    switch (_msg) {
    case WM_CREATE:
    case WM_ERASEBKGND: return 0;
    case WM_DESTROY: Destroy(); return 0;
    case WM_ACTIVATEAPP: app_active = _wparam == 1; break;
    case WM_SETCURSOR:
        SetCursor(g_state_manager.GetCurrentName() == kGame ? nullptr : LoadCursor(nullptr, IDC_HAND));
        return 1;
    case WM_DISPLAYCHANGE:
        MoveWindow(_hwnd, 0, 0, LOWORD(static_cast<std::uintptr_t>(_lparam)),
                   HIWORD(static_cast<std::uintptr_t>(_lparam)), 0);
        break;
    case WM_SYSCOMMAND:
        if ((_wparam & 0xFFF0) == SC_SCREENSAVE || (_wparam & 0xFFF0) == SC_MONITORPOWER)
            return 0;
        break;
    case WM_APP_INIT: Initialise(_hwnd); return 0;
    case WM_APP_START: Start(); return 0;
    case WM_APP_FRAME: return Frame(_hwnd);
    default: break;
    }
    return DefWindowProc(_hwnd, _msg, _wparam, _lparam);
}

void AbandonRun()
{
    g_abandoning = true;
    try {
        // The states go first, so that none sees the window's last messages.
        DropStates();
        if (IsWindow(g_main_window))
            DestroyWindow(g_main_window);
        frame_timer.reset();
        g_application.Shutdown();
    } catch (...) {
        // The error that ended the run is the one reported; what is left of
        // the run goes with the process.
    }
    g_abandoning = false;
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {}
}
