// The effect and overlay draws of the renderer onto the recording device,
// in microseconds per frame (the time column): 20 particle emitters, 20 trails and 200
// sprites in a scene's lists, then the glow blur and a foreground map. The
// device_calls counter is what reached the device per frame after the state
// cache. The recording device keeps every draw, so the renderer is made
// afresh every few frames, outside the timing, to bound its memory.
#include "engine/camera.h"
#include "engine/emitter.h"
#include "engine/scene.h"
#include "engine/sprite.h"
#include "engine/trail.h"
#include "platform/d3d9/record_config.h"
#include "platform/win32/messages.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/texture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int emitters = 20;
constexpr int trails = 20;
constexpr int sprites = 200;
constexpr int frames_per_renderer = 8;
constexpr const char* window_class = "effects bench window";

// A map of one device texture.
class bench_map_c : public map_c {
public:
    explicit bench_map_c(texture_c* _texture) : texture(_texture) {}
    map_c* Clone() const override { return new bench_map_c(texture); }
    void Write(output_file_c&) const override {}
    void Preload() override {}
    texture_c* GetTexture(f32) const override { return texture; }
    u32 GetFrameCount() const override { return 1; }

private:
    texture_c* texture;
};

class mapped_sprite_c : public sprite_c {
public:
    mapped_sprite_c(renderer_c* _renderer, map_c* _map) : sprite_c("sprite", _renderer), shown(_map) {}
    map_c* GetMap() const override { return shown; }

private:
    map_c* shown;
};

struct effects_frame_s {
    u32 flags = d3d_flag_stencil | d3d_flag_glow;
    std::unique_ptr<d3d_renderer_c> renderer;
    std::unique_ptr<scene_c> scene;
    camera_c camera{"camera"};
    std::unique_ptr<d3d_texture_c> texture;
    std::unique_ptr<bench_map_c> map;
    std::vector<std::unique_ptr<emitter_c>> emitterList;
    std::vector<std::unique_ptr<trail_c>> trailList;
    std::vector<std::unique_ptr<mapped_sprite_c>> spriteList;

    explicit effects_frame_s(HWND _window)
    {
        renderer = std::make_unique<d3d_renderer_c>(&flags);
        renderer->create_device(_window, true);
        renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        scene = std::make_unique<scene_c>("scene", renderer.get());
        scene->SetFlag(0x4, true);
        camera.SetViewShape(*renderer);
        camera.SetProjection(1.0f, 1000.0f);
        camera.UpdateTransform(nullptr);
        texture_def_c definition;
        definition.image.Create(16, 16, format_a8r8g8b8, true, false);
        texture = std::make_unique<d3d_texture_c>(renderer->GetDevice(), "bench", definition, false, D3DFMT_A8R8G8B8);
        map = std::make_unique<bench_map_c>(texture.get());
        object_list_t pass0, pass1;
        for (int i = 0; i < emitters; ++i) {
            emitterList.push_back(std::make_unique<emitter_c>("emitter", renderer.get()));
            emitterList.back()->SetParticleCount(256);
            emitterList.back()->Cull(pass0, pass1, scene.get(), &camera, 0, 0);
        }
        for (int i = 0; i < trails; ++i) {
            trailList.push_back(std::make_unique<trail_c>("trail", renderer.get()));
            trailList.back()->SetSegments(64);
            trailList.back()->Cull(pass0, pass1, scene.get(), &camera, 0, 0);
        }
        for (int i = 0; i < sprites; ++i) {
            spriteList.push_back(std::make_unique<mapped_sprite_c>(renderer.get(), map.get()));
            spriteList.back()->dissolve = static_cast<f32>(i % 4) * 0.25f;
            spriteList.back()->SetFlags(i % 2 == 0 ? sprite_additive : sprite_alpha_blending);
            spriteList.back()->UpdateBillboard(&camera);
        }
    }

    ~effects_frame_s()
    {
        spriteList.clear();
        trailList.clear();
        emitterList.clear();
        map.reset();
        texture.reset();
        scene.reset();
        renderer.reset();
    }

    void Draw(f32 _time)
    {
        renderer->BeginScene();
        renderer->SetScene(scene.get(), &camera, {}, nullptr);
        for (auto& emitter : emitterList) {
            renderer->DrawParticles(emitter.get(), _time, false);
        }
        for (auto& trail : trailList) {
            renderer->DrawTrail(trail.get(), _time, false);
        }
        for (auto& sprite : spriteList) {
            renderer->DrawSprite(sprite.get(), false);
        }
        renderer->ResetRenderLists();
        renderer->ApplyGlow(1.0f);
        renderer->DrawMap(*map, 0.5f, 0.0f, 0.0f);
        renderer->EndScene();
    }
};

void BM_EffectsFrame(benchmark::State& _state)
{
    record_config_c config;
    InstallRecordBackend(config);
    WNDCLASSEXA description;
    description.lpfnWndProc = DefWindowProc;
    description.lpszClassName = window_class;
    RegisterClassEx(&description);
    HWND window =
        CreateWindowEx(0, window_class, "bench", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    auto frame = std::make_unique<effects_frame_s>(window);
    int drawn = 0;
    u64 calls = 0;
    f32 time = 0.0f;
    for (auto _ : _state) {
        if (drawn == frames_per_renderer) {
            _state.PauseTiming();
            frame.reset();
            config.ClearLog();
            frame = std::make_unique<effects_frame_s>(window);
            drawn = 0;
            _state.ResumeTiming();
        }
        const size_t before = config.GetLog().size();
        frame->Draw(time);
        calls += config.GetLog().size() - before;
        time += 0.02f;
        ++drawn;
    }
    frame.reset();
    DestroyWindow(window);
    UnregisterClass(window_class, nullptr);
    RemoveRecordBackend();
    _state.counters["device_calls"] =
        benchmark::Counter(static_cast<double>(calls) / static_cast<double>(std::max<i64>(_state.iterations(), 1)));
}
BENCHMARK(BM_EffectsFrame)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
