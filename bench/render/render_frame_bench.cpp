// One frame of a scene through the renderer into the record backend: 2,000
// mesh objects with mixed materials (lit, smooth with specular maps,
// additive, transparent, double-sided, vertex-coloured, textured, with a
// second layer), 20 particle emitters of 256 particles and a terrain patch
// of 32 x 32 squares, in µs per frame,
// with the render states the state cache kept from the device per frame
// (the time column is µs per frame).
#include "engine/camera.h"
#include "engine/emitter.h"
#include "engine/geom_object.h"
#include "engine/light.h"
#include "engine/material.h"
#include "engine/primitive_set.h"
#include "engine/scene.h"
#include "engine/still_map.h"
#include "engine/terrain.h"
#include "engine/terrain_builder.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/memory_file_system.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/testing/test_window.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr u32 object_count = 2000;
constexpr u32 mesh_kinds = 16;
constexpr u32 material_kinds = 8;
constexpr u32 emitter_count = 20;

// A mesh of _squares unit squares in one triangle list and one surface.
geometry_def_c Squares(const char* _name, u32 _squares)
{
    geometry_def_c definition(_name);
    definition.format.hasPosition = 1;
    definition.format.hasNormal = 1;
    definition.format.texCoordSetCount = 1;
    auto* set = new triangle_set_c;
    for (u32 i = 0; i < _squares; ++i) {
        const f32 x = static_cast<f32>(i);
        const u32 first = static_cast<u32>(set->vertices.size());
        for (const vec3_c& corner : {vec3_c(x, 0.0f, 0.0f), vec3_c(x + 1.0f, 0.0f, 0.0f), vec3_c(x, 1.0f, 0.0f),
                                     vec3_c(x + 1.0f, 1.0f, 0.0f)}) {
            vertex_c vertex;
            vertex.position = corner;
            vertex.normal = {0.0f, 0.0f, -1.0f};
            set->vertices.push_back(vertex);
        }
        set->indices.insert(set->indices.end(), {first, first + 1, first + 2, first + 2, first + 1, first + 3});
    }
    definition.AddPrimitiveSet(set);
    return definition;
}

class frame_scene_c {
public:
    frame_scene_c()
    {
        InstallRecordBackend(config);
        files.Add("bench\\ground.bmp", PictureBytes(64, 64, format_x8r8g8b8, 0xff408040));
        files.Add("bench\\leaves.bmp", PictureBytes(64, 64, format_a8r8g8b8, 0x80408040));
        renderer = std::make_unique<d3d_renderer_c>(&flags);
        ready = renderer->create_device(window.Get(), true);
        if (!ready) {
            return;
        }
        renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        scene = std::make_unique<scene_c>("bench", renderer.get());
        scene->SetFlag(0x4, true);
        for (u32 i = 0; i < 2; ++i) {
            lights.push_back(new light_c("sun"));
            lights.back()->SetType(1);
        }
        MakeObjects();
        std::vector<f32> heights(33 * 33, 0.0f);
        terrain.reset(BuildTerrain("land", renderer.get(), heights.data(), 33, 4.0f, 32));
        terrain->SetColorMap(0, new still_map_c(texture_def_c("bench\\ground.bmp", true, true), renderer.get()));
        object_list_t pass0, pass1;
        for (u32 i = 0; i < emitter_count; ++i) {
            emitters.push_back(std::make_unique<emitter_c>("emitter", renderer.get()));
            emitters.back()->SetParticleCount(256);
            emitters.back()->Cull(pass0, pass1, scene.get(), &camera, 0, 0);
        }
    }
    ~frame_scene_c()
    {
        objects.clear();
        emitters.clear();
        terrain.reset();
        scene.reset();
        renderer.reset();
        for (light_c* light : lights) {
            delete light;
        }
        RemoveRecordBackend();
    }

    void Frame()
    {
        renderer->BeginScene();
        renderer->SetScene(scene.get(), &camera, lights, nullptr);
        renderer->DrawTerrain(terrain.get(), true);
        for (const auto& object : objects) {
            renderer->BeginGeometry(object.get(), {}, true);
            renderer->DrawGeometry(0, object->GetMaterials().GetFirst(), 0.0f);
            renderer->EndGeometry();
        }
        for (const auto& emitter : emitters) {
            renderer->DrawParticles(emitter.get(), 1.0f, true);
        }
        renderer->ResetRenderLists();
        renderer->EndScene();
        config.LastDevice()->ClearRecords();
        config.ClearLog();
    }

    u64 FilteredStates() const { return renderer->GetStateCache().GetFilteredStateCount(); }
    bool Ready() const { return ready; }

private:
    void MakeObjects()
    {
        for (u32 i = 0; i < object_count; ++i) {
            auto object = std::make_unique<geom_object_c>("object", renderer.get());
            const u32 kind = i % mesh_kinds;
            const std::string name = "mesh " + std::to_string(kind);
            object->CreateMesh(name.c_str(), Squares(name.c_str(), 4 + kind));
            material_c* material = object->AddMaterial(new material_c("material", renderer.get()));
            Dress(*material, (i / mesh_kinds) % material_kinds);
            objects.push_back(std::move(object));
        }
    }

    void Dress(material_c& _material, u32 _kind)
    {
        _material.diffuse = 0.8f;
        _material.color = {0.5f, 0.6f, 0.7f};
        switch (_kind) {
        case 0: _material.flags = material_lighting; break;
        case 1:
            _material.flags = material_lighting | material_smooth;
            _material.specularLevel = 1.0f;
            _material.specularColor = {1.0f, 1.0f, 1.0f};
            _material.glossiness = 64.0f;
            break;
        case 2: _material.flags = material_additive; break;
        case 3:
            _material.flags = material_lighting;
            _material.transparency = 0.5f;
            break;
        case 4: _material.flags = material_lighting | material_double_sided; break;
        case 5: _material.flags = material_vertex_colors | material_smooth; break;
        case 6:
            _material.flags = material_lighting | material_alpha_blending;
            _material.SetColorMap(0, "bench\\leaves.bmp");
            break;
        default:
            _material.flags = material_lighting;
            _material.SetColorMap(0, "bench\\ground.bmp");
            _material.SetColorMap(1, "bench\\ground.bmp");
            break;
        }
    }

    memory_file_system_c files;
    record_config_c config;
    test_window_c window{640, 480};
    u32 flags = d3d_flag_stencil;
    std::unique_ptr<d3d_renderer_c> renderer;
    std::unique_ptr<scene_c> scene;
    camera_c camera{"camera"};
    std::vector<light_c*> lights;
    std::vector<std::unique_ptr<geom_object_c>> objects;
    std::vector<std::unique_ptr<emitter_c>> emitters;
    std::unique_ptr<terrain_c> terrain;
    bool ready = false;
};

void BM_RenderFrame(benchmark::State& _state)
{
    frame_scene_c scene;
    if (!scene.Ready()) {
        _state.SkipWithError("the record device could not be made");
        return;
    }
    scene.Frame();
    const u64 filtered_before = scene.FilteredStates();
    for (auto _ : _state) {
        scene.Frame();
    }
    _state.counters["filtered_states_per_frame"] =
        static_cast<double>(scene.FilteredStates() - filtered_before) / static_cast<double>(_state.iterations());
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
