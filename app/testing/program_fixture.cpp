#include "app/testing/program_fixture.h"

#include "app/file_readers.h"
#include "app/options.h"
#include "app/program.h"
#include "platform/d3d9/gl_backend.h"
#include "platform/win32/display.h"
#include "platform/win32/message_box.h"
#include "platform/win32/messages.h"
#include "platform/win32/performance_counter.h"
#include "platform/win32/process.h"

void PushWindowEvent(HWND _window, SDL_WindowEventID _what)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = static_cast<Uint8>(_what);
    event.window.windowID = SDL_GetWindowID(GetSdlWindow(_window));
    SDL_PushEvent(&event);
}

program_fixture_c::program_fixture_c(renderer_e _renderer, clock_e _clock) : renderer(_renderer)
{
    if (renderer == renderer_e::recorded)
        InstallRecordBackend(direct3d);
    SetDisplayBackend(display);
    if (renderer == renderer_e::gl)
        InstallGlBackend();
    if (_clock == clock_e::each_reading)
        ReplaceClock([this] { return ticks += 1000000; });
    else
        ReplaceClock([this] { return ticks; });
    app_active = false;
}

program_fixture_c::~program_fixture_c()
{
    CloseWindow();
    if (states_set) {
        SetStateFactory("menu", {});
        SetStateFactory("game", {});
    }
    if (boxes_caught)
        SetMessageBoxHook(nullptr, nullptr);
    ReplaceClock({});
    SetDisplayBackend(nullptr);
    if (renderer == renderer_e::recorded)
        RemoveRecordBackend();
    if (folder_replaced) {
        ReplaceModuleFileName({});
        SetCurrentDirectoryA(previous_folder.c_str());
    }
}

void program_fixture_c::AcceptMode(i32 _width, i32 _height)
{
    width = _width;
    height = _height;
    display->modes.insert({static_cast<u32>(width), static_cast<u32>(height), 32});
}

void program_fixture_c::AcceptDesktopMode()
{
    AcceptMode(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void program_fixture_c::UseMode(i32 _width, i32 _height)
{
    AcceptMode(_width, _height);
    options_c options;
    options.width = width;
    options.height = height;
    options.bpp = 32;
    options.Save();
}

void program_fixture_c::UseDesktopMode()
{
    UseMode(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void program_fixture_c::OpenArchives(const char* _data, const char* _data1)
{
    files = std::make_unique<archive_file_system_c>(_data, _data1);
    RegisterFileReaders();
}

void program_fixture_c::SetStates(state_factory_s _menu, state_factory_s _game)
{
    SetStateFactory("menu", std::move(_menu));
    SetStateFactory("game", std::move(_game));
    states_set = true;
}

void program_fixture_c::CatchMessageBoxes()
{
    SetMessageBoxHook([](const char* _text, const char*, UINT,
                         void* _boxes) { static_cast<std::vector<std::string>*>(_boxes)->push_back(_text); },
                      &boxes);
    boxes_caught = true;
}

void program_fixture_c::RunFrom(const std::string& _path)
{
    if (!folder_replaced) {
        char cwd[4096];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        previous_folder = cwd;
    }
    ReplaceModuleFileName(_path);
    folder_replaced = true;
}

int program_fixture_c::Run(const char* _command_line)
{
    static int instance;
    return WinMain(reinterpret_cast<HINSTANCE>(&instance), nullptr, _command_line, SW_SHOWNORMAL);
}

HWND program_fixture_c::OpenWindow()
{
    window = CreateMainWindow();
    window_opened = true;
    return window;
}

void program_fixture_c::CloseWindow()
{
    if (!window_opened)
        return;
    if (IsWindow(window))
        DestroyWindow(window);
    window = nullptr;
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {}
    UnregisterClass(kMainWindowClass, nullptr);
    window_opened = false;
}
