#pragma once
// For the tests that fly missions of the packed data set: the game state
// entered as the shell enters it, with the OpenGL renderer on SDL's
// offscreen driver, a clock that moves one millisecond a reading, and frames
// at fixed steps.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/file_readers.h"
#include "app/program.h"
#include "engine/renderer.h"
#include "foundation/archive_file_system.h"
#include "game/state_game.h"
#include "platform/d3d9/gl_backend.h"
#include "platform/win32/display.h"
#include "platform/win32/messages.h"
#include "platform/win32/performance_counter.h"
#include "platform/win32/testing/display_double.h"
#include "platform/win32/testing/temporary_config_home.h"
#include "platform/win32/windows.h"

#include <memory>

class game_state_fixture_c : public ::testing::Test {
protected:
    static constexpr double kFrameSeconds = 1.0 / 30.0;

    game_state_fixture_c() : files(DATA_ARCHIVE, DATA1_ARCHIVE)
    {
        // The game runs in the desktop's own mode.
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        display->modes.insert({static_cast<u32>(width), static_cast<u32>(height), 32});
        SetDisplayBackend(display);
        InstallGlBackend();
        // Every reading of the clock is one millisecond later.
        ReplaceClock([this] { return ticks += 1000000; });
        RegisterFileReaders();
        options_c options;
        options.width = width;
        options.height = height;
        options.bpp = 32;
        options.Save();
        app_active = false;
        window = CreateMainWindow();
    }
    ~game_state_fixture_c() override
    {
        game.reset();
        application.Shutdown();
        if (window)
            DestroyWindow(window);
        MSG message;
        while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {}
        UnregisterClass(kMainWindowClass, nullptr);
        ReplaceClock({});
        SetDisplayBackend(nullptr);
    }

    // One frame as the shell runs it, _seconds after the last.
    i32 Frame(double _seconds = kFrameSeconds)
    {
        MSG message;
        while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&message);
        time += _seconds;
        const i32 result = game->Update(time);
        renderer_c* renderer = application.GetRenderer();
        renderer->BeginScene();
        game->Render(time);
        renderer->EndScene();
        renderer->Present();
        return result;
    }

    temporary_config_home_c home;
    std::shared_ptr<display_double_c> display = std::make_shared<display_double_c>();
    i64 ticks = 0;
    i32 width = 0;
    i32 height = 0;
    archive_file_system_c files;
    HWND window = nullptr;
    application_c application;
    std::unique_ptr<state_game_c> game;
    double time = 0.0;
};
