#pragma once
// For the tests that fly missions of the packed data set: the game state
// entered as the shell enters it, with the OpenGL renderer on SDL's
// offscreen driver, a clock that moves one millisecond a reading, and frames
// at fixed steps.
#include "app/application.h"
#include "app/testing/program_fixture.h"
#include "engine/renderer.h"
#include "game/state_game.h"
#include "platform/win32/messages.h"

#include <memory>

class game_state_fixture_c : public program_fixture_c {
protected:
    static constexpr double kFrameSeconds = 1.0 / 30.0;

    game_state_fixture_c() : program_fixture_c(renderer_e::gl, clock_e::each_reading)
    {
        // The game runs in the desktop's own mode.
        UseDesktopMode();
        OpenArchives(DATA_ARCHIVE, DATA1_ARCHIVE);
        OpenWindow();
    }
    ~game_state_fixture_c() override
    {
        game.reset();
        application.Shutdown();
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

    application_c application;
    std::unique_ptr<state_game_c> game;
    double time = 0.0;
};
