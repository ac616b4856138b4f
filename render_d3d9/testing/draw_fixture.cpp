#include "render_d3d9/testing/draw_fixture.h"

#include "engine/primitive_set.h"

#include <stdexcept>

geometry_def_c SquaresDefinition(const char* _name, u32 _sets, bool _normals, u32 _coord_sets, u32 _weights)
{
    geometry_def_c definition(_name);
    definition.format.hasPosition = 1;
    definition.format.hasNormal = _normals ? 1 : 0;
    definition.format.texCoordSetCount = _coord_sets;
    definition.format.blendWeightCount = _weights;
    definition.format.matrixIndexCount = _weights > 0 ? _weights + 1 : 0;
    for (u32 s = 0; s < _sets; ++s) {
        auto* set = new triangle_set_c;
        set->vertices.resize(4);
        set->vertices[1].position = {1.0f, 0.0f, 0.0f};
        set->vertices[2].position = {0.0f, 1.0f, 0.0f};
        set->vertices[3].position = {1.0f, 1.0f, 0.0f};
        set->indices = {0, 1, 2, 2, 1, 3};
        definition.AddPrimitiveSet(set);
    }
    return definition;
}

void draw_fixture_c::SetUp()
{
    InstallRecordBackend(config);
    SetDisplayBackend(display);
}

void draw_fixture_c::TearDown()
{
    objects.clear();
    scene.reset();
    textures.clear();
    renderer.reset();
    SetDisplayBackend(nullptr);
    RemoveRecordBackend();
}

void draw_fixture_c::Start()
{
    renderer = std::make_unique<d3d_renderer_c>(&flags);
    ASSERT_TRUE(renderer->create_device(window.Get(), true));
    if (scene == nullptr) {
        scene = std::make_unique<scene_c>("scene", renderer.get());
        scene->SetFlag(0x4, true);
    }
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    renderer->BeginScene();
    SetScene();
}

void draw_fixture_c::SetScene()
{
    renderer->SetScene(scene.get(), &camera, lights, shadowLight);
}

const d3d9_device_state_c& draw_fixture_c::LastState() const
{
    if (Draws().empty()) {
        throw std::logic_error("no draw recorded");
    }
    return *Draws().back().state;
}

d3d_texture_c* draw_fixture_c::MakeTexture(format_e _format, bool _mipmaps, bool _cubic)
{
    texture_def_c definition;
    definition.image.Create(4, 4, _format, _mipmaps, _cubic);
    const D3DFORMAT format = _format == format_a8r8g8b8 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    textures.push_back(std::make_unique<d3d_texture_c>(renderer->GetDevice(), "test", definition, false, format));
    return textures.back().get();
}

std::unique_ptr<map_c> draw_fixture_c::MakeMap(format_e _format, u32 _blend_mode, bool _cubic)
{
    auto map = std::make_unique<test_map_c>(std::vector<texture_c*>{MakeTexture(_format, false, _cubic)});
    map->SetBlendMode(_blend_mode);
    return map;
}

light_c* draw_fixture_c::AddLight(u32 _flags)
{
    ownedLights.push_back(std::make_unique<light_c>("light"));
    light_c* light = ownedLights.back().get();
    light->SetType(1);
    light->SetFlags(_flags);
    lights.push_back(light);
    return light;
}
