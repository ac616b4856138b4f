#pragma once
// The program run in-process for a test, as its main and the desktop would
// run it: the user's settings in a temporary config home, a display double
// whose modes the test chooses, a renderer backend, a stepped clock, and on
// request the data archives, the main window, the states the program makes,
// message boxes caught instead of shown and the program's own folder.
// Whatever the fixture set up, its destructor undoes in reverse order, so
// that the next test starts from what a fresh process has.
#include <gtest/gtest.h>

#include "app/state_factories.h"
#include "foundation/archive_file_system.h"
#include "platform/d3d9/record_config.h"
#include "platform/win32/testing/display_double.h"
#include "platform/win32/testing/temporary_config_home.h"
#include "platform/win32/windows.h"

#include <memory>
#include <string>
#include <vector>

#include <SDL.h>

// A window event as the desktop sends it to the window (focus, close),
// queued for the window layer to turn into messages.
void PushWindowEvent(HWND _window, SDL_WindowEventID _what);

class program_fixture_c : public ::testing::Test {
protected:
    enum class renderer_e {
        // Direct3D on OpenGL on SDL's offscreen driver: real pictures.
        gl,
        // The record backend, logging into direct3d.
        recorded,
    };
    enum class clock_e {
        // Every reading of the clock is one millisecond later.
        each_reading,
        // The clock reads ticks, which only the test moves.
        by_test,
    };

    program_fixture_c(renderer_e _renderer, clock_e _clock);
    ~program_fixture_c() override;

    // The display accepts the mode and the saved options ask for it.
    void UseMode(i32 _width, i32 _height);
    // The program runs in the desktop's own mode.
    void UseDesktopMode();
    // The display accepts the mode; the options stay as they are.
    void AcceptMode(i32 _width, i32 _height);
    // The desktop's size, which the display also accepts.
    void AcceptDesktopMode();

    // The data set, read through the file readers the program registers.
    void OpenArchives(const char* _data, const char* _data1);
    // The states the program's main installs, or the test's own.
    void SetStates(state_factory_s _menu, state_factory_s _game);
    // Message boxes go to boxes instead of the screen.
    void CatchMessageBoxes();
    // The program believes it was started from _path; the working folder,
    // which its start changes, is given back afterwards.
    void RunFrom(const std::string& _path);
    // The program's entry, as the desktop calls it.
    int Run(const char* _command_line);

    // The shell's main window, made as WinMain makes it.
    HWND OpenWindow();
    // Destroys the window, drops the messages it left and unregisters its
    // class; the destructor does it when the test has not.
    void CloseWindow();

    temporary_config_home_c home;
    std::shared_ptr<display_double_c> display = std::make_shared<display_double_c>();
    record_config_c direct3d;
    i64 ticks = 0;
    i32 width = 0;
    i32 height = 0;
    std::unique_ptr<archive_file_system_c> files;
    HWND window = nullptr;
    std::vector<std::string> boxes;

private:
    renderer_e renderer;
    bool states_set = false;
    bool boxes_caught = false;
    bool window_opened = false;
    bool folder_replaced = false;
    std::string previous_folder;
};
