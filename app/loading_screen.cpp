#include "app/loading_screen.h"

#include <algorithm>
#include <string>

#include "engine/renderer.h"
#include "engine/scene.h"
#include "engine/scene_loader.h"
#include "platform/win32/performance_counter.h"

loading_screen_c::loading_screen_c() = default;

loading_screen_c::~loading_screen_c() = default;

void loading_screen_c::Open(renderer_c* _renderer, const char* _prefix, i32 _count, const char* _scene_file)
{
    Close();
    renderer = _renderer;
    scene.reset(LoadScene(_scene_file, _renderer));
    const u32 count = static_cast<u32>(std::max(_count, 1));
    const std::string picture = std::string(_prefix) + std::to_string(GetTickCount() % count + 1) + ".dds";
    scene->SetBackgroundMap(picture.c_str());
}

void loading_screen_c::Draw(f32 _progress)
{
    if (!scene || !renderer)
        return;
    const f32 progress = std::clamp(_progress, 0.0f, 1.0f);
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    renderer->Clear(vec3_c(0.0f, 0.0f, 0.0f), 0, true, true, false, false);
    const f32 first = scene->GetFirstTime();
    const f32 last = scene->GetLastTime();
    scene->Animate(first + (last - first) * progress, true);
    scene->PrepareFrame();
    renderer->BeginScene();
    scene->Render();
    renderer->EndScene();
    renderer->Present();
}

void loading_screen_c::Close()
{
    scene.reset();
}
