#include <new>
#include <stdexcept>
#include <string>

#include "app/command_line.h"
#include "app/file_readers.h"
#include "app/movie_player.h"
#include "app/program.h"
#include "foundation/archive_file_system.h"
#include "foundation/file_error.h"
#include "menu/menu_message.h"
#include "platform/win32/com_types.h"
#include "platform/win32/display.h"
#include "platform/win32/message_box.h"
#include "platform/win32/messages.h"
#include "platform/win32/process.h"
#include "platform/win32/windows.h"

namespace {

// The data set lies beside the program.
void EnterProgramFolder()
{
    char path[4096];
    if (!GetModuleFileNameA(nullptr, path, sizeof path))
        return;
    std::string folder(path);
    const size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos)
        return;
    folder.resize(slash == 0 ? 1 : slash);
    SetCurrentDirectoryA(folder.c_str());
}

void Run(HINSTANCE _instance, const std::string& _command_line, int _show_command)
{
    CoInitialize(nullptr);
    movie_player_c::PlayClips(nullptr, nullptr, "movies/intro%d.avi");
    HWND window = CreateMainWindow();
    app_instance = _instance;
    if (!window)
        throw std::runtime_error("Unable to create main window!");
    SetCursor(nullptr);
    SendMessage(window, WM_APP_INIT, 0, 0);
    ShowWindow(window, _show_command);
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetFocus(window);
    SendMessage(window, WM_APP_START, 0, reinterpret_cast<LPARAM>(_command_line.c_str()));
    SetForegroundWindow(window);
    SetFocus(window);
    SetCursor(LoadCursor(nullptr, IDC_HAND));

    MSG message;
    for (;;) {
        if (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                break;
            TranslateMessage(&message);
            DispatchMessage(&message);
        } else if (SendMessage(window, WM_APP_FRAME, 0, 0) != 0) {
            WaitMessage();
        }
    }
}

void ShowMenuMessage(const char* _text)
{
    MessageBoxA(nullptr, _text, nullptr, MB_OK);
}

int Fail(const std::string& _text, UINT _style)
{
    AbandonRun();
    // The box is shown on the desktop, not in a mode the game chose.
    ChangeDisplaySettingsA(nullptr, 0);
    MessageBoxA(nullptr, _text.c_str(), nullptr, _style);
    return 1;
}

} // namespace

void OutOfMemoryHandler()
{
    throw std::runtime_error("Out of memory!");
}

int WinMain(HINSTANCE _instance, HINSTANCE, const char* _command_line, int _show_command)
{
    EnterProgramFolder();
    const std::string command_line = _command_line ? _command_line : "";
    ResetCommandLine();
    ReadCommandLine(command_line.c_str());
    const std::new_handler previous_handler = std::set_new_handler(OutOfMemoryHandler);
    const menu_message_handler_f previous_menu_handler = SetMenuMessageHandler(ShowMenuMessage);
    RegisterFileReaders();

    int status = 0;
    std::unique_ptr<archive_file_system_c> archives;
    try {
        archives = std::make_unique<archive_file_system_c>("data.qza", "data1.qza");
        Run(_instance, command_line, _show_command);
    } catch (const file_error_c& error) {
        status = Fail(std::string("Couldn't find or load specified file: \n\"") + error.GetFileName().GetData() + "\"",
                      MB_OK);
    } catch (const std::exception& error) {
        status = Fail(error.what(), MB_ICONERROR);
    }

    UnregisterClass(kMainWindowClass, _instance);
    SetMenuMessageHandler(previous_menu_handler);
    std::set_new_handler(previous_handler);
    CoUninitialize();
    archives.reset();
    return status;
}
