// The HUD and the full-screen map of a mission with 16 planes, through the
// Direct3D renderer into the record backend, in µs per frame: the HUD's
// update (counters, arrows, sight, voice queue, info lines) with the draw of
// its scene and of its text layer (five fading info lines and, in a network
// game, the score table), and the map's update with the draw of its
// background and markers.
#include "engine/camera.h"
#include "engine/scene.h"
#include "engine/testing/landscape_fixtures.h"
#include "game/game_map.h"
#include "game/game_world.h"
#include "game/hud.h"
#include "game/testing/hud_files.h"
#include "game/testing/mission_doubles.h"
#include "level/testing/level_fixtures.h"
#include "level/testing/memory_files.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/testing/test_window.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using game_testing::journal_t;
using game_testing::test_object_c;

constexpr int plane_count = 16;
constexpr const char* hud_path = hud_test_path;

class overlay_bench_c {
public:
    explicit overlay_bench_c(int _game_type)
    {
        InstallRecordBackend(config);
        auto owned = std::make_unique<d3d_renderer_c>(&flags);
        renderer = owned.get();
        ready = renderer->create_device(window.Get(), true);
        if (!ready)
            return;
        renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        app.renderer = std::move(owned);
        app.game_type = _game_type;
        for (int i = 0; i < 320; ++i)
            app.in_game_texts.push_back(string_c("in-game text %d", i));
        for (int i = 0; i < plane_count; ++i)
            app.players.Add(string_c("pilot %d", i), static_cast<u16>(i), 0, 0);
        AddFiles();

        world.Init(game_world_context_c());
        for (int i = 0; i < plane_count; ++i) {
            auto plane = std::make_unique<test_object_c>(i == 0 ? object_plane_user : object_plane_ghost, journal);
            plane->side = i % 2 ? -1 : 1;
            plane->score = i % 5;
            plane->ownerId = static_cast<u16>(i);
            plane->ownEntity = std::make_unique<null_object_c>("plane");
            plane->entity = plane->ownEntity.get();
            plane->entity->position = vec3_c(static_cast<f32>(i) * 100.0f, 200.0f, static_cast<f32>(i) * -50.0f);
            planes.push_back(static_cast<test_object_c*>(world.AddPlane(std::move(plane))));
        }
        hud = std::make_unique<hud_c>();
        map = std::make_unique<game_map_c>();
        hud->Init(app, hud_path, "compass.op", vec3_c(1.0f, 1.0f, 0.5f), 0.002f);
        map->Init(app, &world, "data\\maps\\map.bmp");
        camera.UpdateTransform(nullptr);
    }
    ~overlay_bench_c()
    {
        // Everything that holds device resources goes before the backend.
        hud.reset();
        map.reset();
        app.renderer.reset();
        RemoveRecordBackend();
    }

    bool Ready() const { return ready; }

    void HudFrame()
    {
        time += 1.0f / 60.0f;
        if (hud->GetInfoLines().GetLines().size() < 5)
            hud->AddInfoLine(string_c("info line at %.2f", static_cast<double>(time)));
        hud_frame_c frame;
        frame.time = time;
        frame.playerPosition = planes[0]->GetPosition();
        frame.playerRotation = vec3_c(time * 0.1f, 0.0f, 0.0f);
        frame.nearestFriendly = planes[2]->GetPosition();
        frame.nearestEnemy = planes[1]->GetPosition();
        frame.alliedCount = plane_count / 2;
        frame.germanCount = plane_count / 2;
        frame.rockets = 4;
        frame.bombs = 12;
        frame.camera = &camera;
        hud->Update(frame);
        renderer->BeginScene();
        hud->Render();
        hud->RenderText(false, world.GetPlanes(), false, false);
        renderer->EndScene();
        Flush();
    }

    void MapFrame()
    {
        time += 1.0f / 60.0f;
        for (test_object_c* plane : planes)
            plane->entity->rotation.x = time;
        map->Update(time, world.GetPlanes());
        renderer->BeginScene();
        map->Render();
        renderer->EndScene();
        Flush();
    }

private:
    void AddFiles()
    {
        AddHudFiles(files.files, renderer);
        files.files["data\\maps\\map.bmp"] = PictureBytes(256, 256, format_x8r8g8b8, 0xff806040);
    }
    void Flush()
    {
        config.LastDevice()->ClearRecords();
        config.ClearLog();
    }

    record_config_c config;
    memory_file_system_c files;
    test_window_c window{640, 480};
    u32 flags = d3d_flag_stencil;
    d3d_renderer_c* renderer = nullptr;
    app_testing::event_log_t events;
    app_testing::logged_devices_c devices{events};
    application_c app{&devices};
    journal_t journal;
    game_world_c world;
    std::vector<test_object_c*> planes;
    std::unique_ptr<hud_c> hud;
    std::unique_ptr<game_map_c> map;
    camera_c camera{"game camera"};
    f32 time = 0.0f;
    bool ready = false;
};

void Run(benchmark::State& _state, int _game_type, bool _map)
{
    overlay_bench_c bench(_game_type);
    if (!bench.Ready()) {
        _state.SkipWithError("the record device could not be made");
        return;
    }
    for (auto _ : _state) {
        if (_map)
            bench.MapFrame();
        else
            bench.HudFrame();
    }
}

void BM_HudFrame(benchmark::State& _state)
{
    Run(_state, 1, false);
}
BENCHMARK(BM_HudFrame)->Unit(benchmark::kMicrosecond);

void BM_HudFrameWithScoreTable(benchmark::State& _state)
{
    Run(_state, 3, false);
}
BENCHMARK(BM_HudFrameWithScoreTable)->Unit(benchmark::kMicrosecond);

void BM_MapFrame(benchmark::State& _state)
{
    Run(_state, 1, true);
}
BENCHMARK(BM_MapFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
