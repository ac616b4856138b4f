// The first training flight on the packed data set at 800x600, drawn by the
// renderer through the OpenGL backend (Mesa's software rasterizer when
// headless): frames per second of the whole frame, with its time split into
// the game update (input, world, script, camera, HUD), the scene
// preparation (culling and sorting the pass lists) and the drawing (the
// renderer's draws and the present, which waits for the rasterizer).
//
// No key is pressed: the plane rolls down the meadow at the throttle the
// mission starts it with, seen from the cockpit, as in the player's first
// seconds. The preparation
// is timed by preparing the frame's scene a second time after the update:
// it builds the same lists again, so its time is the share the update
// spent on it, and it is taken out of the update's time.
#include "app/application.h"
#include "app/file_readers.h"
#include "app/options.h"
#include "app/program.h"
#include "engine/renderer.h"
#include "engine/scene.h"
#include "foundation/archive_file_system.h"
#include "game/state_game.h"
#include "platform/d3d9/gl_backend.h"
#include "platform/win32/display.h"
#include "platform/win32/messages.h"
#include "platform/win32/testing/display_double.h"
#include "platform/win32/testing/temporary_config_home.h"
#include "platform/win32/windows.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

constexpr u32 kWidth = 800;
constexpr u32 kHeight = 600;
constexpr double kFrameSeconds = 1.0 / 30.0;
// Frames before measuring: the first upload of every texture and the
// programs' compilation are behind them.
constexpr int kWarmUpFrames = 30;

using clock_type = std::chrono::steady_clock;

double Seconds(clock_type::time_point _from, clock_type::time_point _to)
{
    return std::chrono::duration<double>(_to - _from).count();
}

void BM_FirstMissionFrame(benchmark::State& _state)
{
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    temporary_config_home_c home;
    auto display = std::make_shared<display_double_c>();
    display->modes.insert({kWidth, kHeight, 32});
    SetDisplayBackend(display);
    InstallGlBackend();
    RegisterFileReaders();
    archive_file_system_c files(DATA_ARCHIVE, DATA1_ARCHIVE);
    {
        options_c options;
        options.width = kWidth;
        options.height = kHeight;
        options.bpp = 32;
        options.Save();
    }
    HWND window = CreateMainWindow();
    {
        application_c application;
        application.Init(window, nullptr);
        renderer_c* renderer = application.GetRenderer();
        if (renderer == nullptr) {
            _state.SkipWithError(("no renderer: " + GlBackendFailure()).c_str());
        } else {
            application.game_type = 2;
            application.mission_number = 1;
            state_game_c game;
            game.Enter(&application);
            if (!game.GetFailure().empty())
                throw std::runtime_error(game.GetFailure());
            double t = 0.0;
            double update = 0.0, prepare = 0.0, draw = 0.0;
            const auto frame = [&](bool _measure) {
                t += kFrameSeconds;
                const auto start = clock_type::now();
                if (game.Update(t) != state_stay)
                    throw std::runtime_error("the mission ended: " + game.GetFailure());
                const auto updated = clock_type::now();
                game.scene->PrepareFrame();
                const auto prepared = clock_type::now();
                renderer->BeginScene();
                game.Render(t);
                renderer->EndScene();
                renderer->Present();
                const auto drawn = clock_type::now();
                if (_measure) {
                    const double prepare_once = Seconds(updated, prepared);
                    update += Seconds(start, updated) - prepare_once;
                    prepare += prepare_once;
                    draw += Seconds(prepared, drawn);
                    return Seconds(start, updated) + Seconds(prepared, drawn);
                }
                return 0.0;
            };
            for (int i = 0; i < kWarmUpFrames; ++i)
                frame(false);
            for (auto _ : _state)
                _state.SetIterationTime(frame(true));
            const double frames = static_cast<double>(_state.iterations());
            _state.counters["fps"] = frames / (update + prepare + draw);
            _state.counters["update_ms"] = update * 1000.0 / frames;
            _state.counters["prepare_ms"] = prepare * 1000.0 / frames;
            _state.counters["draw_ms"] = draw * 1000.0 / frames;
            game.Leave();
        }
        application.Shutdown();
    }
    DestroyWindow(window);
    MSG message;
    while (PeekMessage(&message, nullptr, 0, 0, PM_REMOVE)) {}
    UnregisterClass(kMainWindowClass, nullptr);
    SetDisplayBackend(nullptr);
}
BENCHMARK(BM_FirstMissionFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(5.0);

} // namespace

BENCHMARK_MAIN();
