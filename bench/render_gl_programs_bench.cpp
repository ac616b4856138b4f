// Fixed-function program generation on the OpenGL backend: frames of 240
// draws cycling through 24 state combinations at 800x600 on whatever
// OpenGL SDL gives (Mesa's software rasterizer when headless). The first
// frame generates and compiles every program; later frames should make
// none, which the counter programs_after_first shows.
#include "platform/d3d9/gl_backend.h"
#include "platform/d3d9/gl_device.h"
#include "platform/win32/messages.h"
#include "platform/win32/windows.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

struct bench_vertex_s {
    f32 x, y, z, rhw;
    D3DCOLOR color;
    f32 u, v;
};

LRESULT BenchProc(HWND _window, UINT _message, WPARAM _w, LPARAM _l)
{
    return DefWindowProc(_window, _message, _w, _l);
}

struct bench_device_s {
    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;

    bench_device_s()
    {
        if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        WNDCLASSEXA description;
        description.lpfnWndProc = BenchProc;
        description.lpszClassName = "gl bench";
        RegisterClassEx(&description);
        window = CreateWindowEx(0, "gl bench", "", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
        InstallGlBackend();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (d3d == nullptr) {
            return;
        }
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferWidth = 800;
        parameters.BackBufferHeight = 600;
        parameters.Windowed = 1;
        parameters.hDeviceWindow = window;
        parameters.EnableAutoDepthStencil = 1;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device);
        if (device != nullptr) {
            device->CreateTexture(64, 64, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr);
        }
    }
    ~bench_device_s()
    {
        if (texture != nullptr) {
            texture->Release();
        }
        if (device != nullptr) {
            device->Release();
        }
        if (d3d != nullptr) {
            d3d->Release();
        }
        SetDirect3DBackend({});
        DestroyWindow(window);
        UnregisterClass("gl bench", nullptr);
    }

    // One frame: 240 small quads, each with one of 24 state combinations.
    void Frame()
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020u, 1.0f, 0);
        device->BeginScene();
        device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        for (u32 draw = 0; draw < 240; ++draw) {
            const u32 combination = draw % 24;
            device->SetTexture(0, (combination & 1) != 0 ? texture : nullptr);
            device->SetTextureStageState(0, D3DTSS_COLOROP, (combination & 2) != 0 ? D3DTOP_MODULATE : D3DTOP_ADD);
            device->SetRenderState(D3DRS_FOGENABLE, (combination & 4) != 0);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, combination >= 8);
            device->SetRenderState(D3DRS_ALPHAFUNC, combination >= 16 ? D3DCMP_GREATER : D3DCMP_LESS);
            const f32 x = static_cast<f32>((draw % 20) * 40);
            const f32 y = static_cast<f32>((draw / 20) * 50);
            const bench_vertex_s quad[4] = {{x, y, 0.5f, 1, 0xFFFFFFFFu, 0, 0},
                                            {x + 38, y, 0.5f, 1, 0xFFFFFFFFu, 1, 0},
                                            {x, y + 48, 0.5f, 1, 0xFFFFFFFFu, 0, 1},
                                            {x + 38, y + 48, 0.5f, 1, 0xFFFFFFFFu, 1, 1}};
            device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(bench_vertex_s));
        }
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
};

void BM_GlFixedFunctionFrames(benchmark::State& _state)
{
    bench_device_s bench;
    if (bench.device == nullptr) {
        _state.SkipWithError(("no OpenGL device: " + GlBackendFailure()).c_str());
        return;
    }
    auto* device = static_cast<gl_device_c*>(bench.device);
    bench.Frame();
    const u32 first = device->ProgramsMade();
    for (auto _ : _state) {
        bench.Frame();
    }
    _state.counters["programs_first_frame"] = first;
    _state.counters["programs_after_first"] = device->ProgramsMade() - first;
    _state.counters["fps"] = benchmark::Counter(static_cast<double>(_state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GlFixedFunctionFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

// A new device's first frame: every program generated and compiled.
void BM_GlFirstFrame(benchmark::State& _state)
{
    for (auto _ : _state) {
        bench_device_s bench;
        if (bench.device == nullptr) {
            _state.SkipWithError(("no OpenGL device: " + GlBackendFailure()).c_str());
            return;
        }
        bench.Frame();
    }
}
BENCHMARK(BM_GlFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}

BENCHMARK_MAIN();
