#include "frame_scene.h"

#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/primitive_set.h"
#include "engine/still_map.h"
#include "engine/terrain_builder.h"
#include "engine/testing/landscape_fixtures.h"
#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/texture_image.h"
#include "platform/d3d9/gl_backend.h"
#include "platform/d3d9/record_device.h"

#include <cstdlib>
#include <string>

namespace {

constexpr u32 object_count = 2000;
constexpr u32 objects_per_row = 50;
constexpr u32 mesh_kinds = 16;
constexpr u32 material_kinds = 8;
constexpr u32 emitter_count = 20;
constexpr u32 terrain_side = 32;
constexpr f32 terrain_square = 4.0f;

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
            vertex.texCoords[0][0] = corner.x;
            vertex.texCoords[0][1] = corner.y;
            set->vertices.push_back(vertex);
        }
        set->indices.insert(set->indices.end(), {first, first + 2, first + 1, first + 1, first + 2, first + 3});
    }
    definition.AddPrimitiveSet(set);
    return definition;
}

}

frame_scene_c::frame_scene_c(frame_backend_e _backend, i32 _width, i32 _height)
    : backend(_backend), window(_width, _height)
{
    if (backend == frame_backend_e::record) {
        InstallRecordBackend(config);
    } else {
        InstallGlBackend();
    }
    files.Add("bench\\ground.bmp", PictureBytes(64, 64, format_x8r8g8b8, 0xff408040));
    files.Add("bench\\leaves.bmp", PictureBytes(64, 64, format_a8r8g8b8, 0x80408040));
    files.Add("bench\\caustic.bmp", PictureBytes(64, 64, format_x8r8g8b8, 0xffc0e0ff));
    texture_image_c sky;
    sky.Create(16, 16, format_x8r8g8b8, false, true);
    output_file_c sky_file;
    sky.SaveDds(sky_file);
    files.Add("bench\\sky.dds", Bytes(sky_file));
    renderer = std::make_unique<d3d_renderer_c>(&flags);
    ready = renderer->create_device(window.Get(), true);
    if (!ready) {
        failure = backend == frame_backend_e::opengl ? GlBackendFailure() : "the record device could not be made";
        return;
    }
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    scene = std::make_unique<scene_c>("bench", renderer.get());
    scene->SetFlag(0x4, true);
    camera.SetViewShape(*renderer);
    camera.SetProjection(1.0f, 1000.0f);
    camera.position = {62.0f, 90.0f, -90.0f};
    camera.rotation = {0.0f, 0.6f, 0.0f};
    camera.UpdateTransform(nullptr);
    for (u32 i = 0; i < 2; ++i) {
        lights.push_back(new light_c("sun"));
        lights.back()->SetType(1);
        lights.back()->SetFlags(light_diffuse);
        lights.back()->color = {0.8f, 0.8f, 0.7f};
        lights.back()->rotation = {0.3f * static_cast<f32>(i), 0.8f, 0.0f};
        lights.back()->UpdateTransform(nullptr);
        lights.back()->UpdateForCamera(camera);
    }
    MakeObjects();
    std::vector<f32> heights((terrain_side + 1) * (terrain_side + 1), 0.0f);
    terrain.reset(BuildTerrain("land", renderer.get(), heights.data(), terrain_side + 1, terrain_square, 32));
    terrain->SetColorMap(0, new still_map_c(texture_def_c("bench\\ground.bmp", true, true), renderer.get()));
    water.reset(FlatWater(renderer.get(), 40.0f, 16, "bench\\sky.dds", "bench\\caustic.bmp", 0.5f, 4.0f));
    water->SetWaveAmplitude(0, 0.3f);
    water->SetWaveLength(0, 8.0f);
    water->SetWaveVelocity(0, {0.0f, 0.0f, 2.0f});
    water->position = {96.0f, 0.5f, 40.0f};
    water->UpdateTransform(nullptr);
    object_list_t pass0, pass1;
    for (u32 i = 0; i < emitter_count; ++i) {
        emitters.push_back(std::make_unique<emitter_c>("emitter", renderer.get()));
        emitters.back()->SetParticleCount(256);
        emitters.back()->position = {6.0f * static_cast<f32>(i), 6.0f, 20.0f};
        emitters.back()->UpdateTransform(nullptr);
        emitters.back()->Cull(pass0, pass1, scene.get(), &camera, 0, 0);
    }
}

frame_scene_c::~frame_scene_c()
{
    objects.clear();
    emitters.clear();
    water.reset();
    terrain.reset();
    scene.reset();
    renderer.reset();
    for (light_c* light : lights) {
        delete light;
    }
    if (backend == frame_backend_e::record) {
        RemoveRecordBackend();
    } else {
        SetDirect3DBackend({});
    }
}

void frame_scene_c::Frame()
{
    renderer->Clear({0.3f, 0.4f, 0.6f}, 0, true, true, true, false);
    renderer->BeginScene();
    renderer->SetScene(scene.get(), &camera, lights, nullptr);
    renderer->DrawTerrain(terrain.get(), true);
    object_list_t pass0, pass1;
    for (const auto& object : objects) {
        object->Cull(pass0, pass1, scene.get(), &camera, 0, 0);
    }
    for (null_object_c* object : pass0) {
        object->Render(0);
    }
    renderer->DrawWater(water.get(), time, true);
    for (null_object_c* object : pass1) {
        object->Render(1);
    }
    for (const auto& emitter : emitters) {
        renderer->DrawParticles(emitter.get(), 1.0f, true);
    }
    renderer->ResetRenderLists();
    renderer->EndScene();
    time += 1.0f / 60.0f;
    if (backend == frame_backend_e::record) {
        config.LastDevice()->ClearRecords();
        config.ClearLog();
    } else {
        renderer->Present();
    }
}

void frame_scene_c::MakeObjects()
{
    for (u32 i = 0; i < object_count; ++i) {
        auto object = std::make_unique<geom_object_c>("object", renderer.get());
        const u32 kind = i % mesh_kinds;
        const std::string name = "mesh " + std::to_string(kind);
        mesh_c* mesh = object->CreateMesh(name.c_str(), Squares(name.c_str(), 4 + kind));
        material_c* material = object->AddMaterial(new material_c("material", renderer.get()));
        mesh->SetMaterial(0, material);
        Dress(*material, (i / mesh_kinds) % material_kinds);
        object->position = {static_cast<f32>(i % objects_per_row) * 2.5f, 1.0f,
                            static_cast<f32>(i / objects_per_row) * 2.5f};
        object->UpdateTransform(nullptr);
        objects.push_back(std::move(object));
    }
}

void frame_scene_c::Dress(material_c& _material, u32 _kind)
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
