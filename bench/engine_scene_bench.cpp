// One frame of a scene of 10,000 mesh objects in a parented hierarchy:
// Animate, PrepareFrame (transforms, culling, depth sort) and Render into
// the recording renderer. Reported as time per object.
#include "engine/geom_object.h"
#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

// The recording renderer is a test helper outside the engine library.
#include "engine/testing/recording_renderer.cpp"

namespace {

geometry_def_c Cube()
{
    geometry_def_c def("cube");
    def.format.hasPosition = 1;
    def.format.hasNormal = 1;
    auto* set = def.AddPrimitiveSet(new triangle_set_c());
    for (u32 i = 0; i < 8; ++i) {
        vertex_c v;
        v.position = vec3_c(i & 1 ? 0.5f : -0.5f, i & 2 ? 0.5f : -0.5f, i & 4 ? 0.5f : -0.5f);
        set->vertices.push_back(v);
    }
    set->indices = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                    2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
    return def;
}

envelope_c Spin()
{
    envelope_c spin;
    spin.keys.resize(2);
    spin.keys[0].shape = spin.keys[1].shape = shape_linear;
    spin.keys[1].time = 10.0f;
    spin.keys[1].value = 6.2831853f;
    spin.post = behaviour_repeat;
    return spin;
}

// Object i hangs below object (i - 1) / 4, and children are added before
// their parents, so the update order has to be worked out.
std::unique_ptr<scene_c> BuildScene(renderer_c* _renderer, u32 _count)
{
    auto scene = std::make_unique<scene_c>("bench", _renderer);
    camera_c* camera = scene->CreateCamera("camera");
    camera->position = vec3_c(0, 0, -400);
    light_c* sun = scene->AddLight(new light_c("sun"));
    sun->color = vec3_c(1, 1, 1);
    const geometry_def_c cube = Cube();
    std::vector<geom_object_c*> objects(_count);
    for (u32 n = 0; n < _count; ++n) {
        const u32 i = _count - 1 - n;
        auto* object = new geom_object_c("box", _renderer);
        mesh_c* mesh = object->CreateMesh("cube", cube);
        material_c* paint = object->AddMaterial(new material_c("paint", _renderer));
        paint->transparency = i % 5 == 0 ? 0.5f : 0.0f;
        object->SetMeshMaterial(mesh, 0, paint);
        object->position = vec3_c(static_cast<f32>(i % 7) - 3.0f, static_cast<f32>(i % 5) - 2.0f, 1.0f);
        object->AddEnvelope(Spin(), &object->rotation.x);
        objects[i] = object;
        scene->AddObject(object);
    }
    for (u32 i = 1; i < _count; ++i)
        scene->SetParent(objects[i], objects[(i - 1) / 4]);
    return scene;
}

void BM_SceneFrame(benchmark::State& _state)
{
    const u32 count = static_cast<u32>(_state.range(0));
    recording_renderer_c renderer(1024, 768);
    const std::unique_ptr<scene_c> scene = BuildScene(&renderer, count);
    f32 time = 0.0f;
    for (auto _ : _state) {
        scene->Animate(time, true);
        scene->PrepareFrame();
        scene->Render();
        benchmark::DoNotOptimize(renderer.calls.size());
        renderer.ClearCalls();
        time += 0.016f;
    }
    _state.counters["drawn"] = static_cast<double>(scene->GetPickList().size());
    _state.counters["per_object"] = benchmark::Counter(
        static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_SceneFrame)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
