#include "render_d3d9/testing/draw_fixture.h"

#include "engine/primitive_set.h"
#include "image/image.h"
#include "platform/d3d9/gl_backend.h"
#include "platform/d3d9/testing/expected_image.h"
#include "render_d3d9/shader_programs.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

template <class shader_t>
bool Same(shader_t* _shader, const DWORD* _program)
{
    if (_shader == nullptr || _program == nullptr) {
        return false;
    }
    UINT count = 0;
    const DWORD* tokens = _shader->GetFunction(&count);
    for (UINT i = 0; i < count; ++i) {
        if (tokens[i] != _program[i]) {
            return false;
        }
    }
    return count > 0;
}

}

bool RunsVertexRow(const d3d9_device_state_c& _state, u32 _row)
{
    return Same(_state.vertexShader, GetShaderPrograms().vertex[_row][d3d_shader_vs_1_1]);
}

bool RunsPixelEntry(const d3d9_device_state_c& _state, u32 _entry)
{
    return Same(_state.pixelShader, GetShaderPrograms().pixel[_entry]);
}

texture_c* test_map_c::GetTexture(f32 _time) const
{
    if (frames.empty()) {
        return nullptr;
    }
    const f32 frame = std::trunc(_time);
    if (!(frame > 0.0f)) {
        return frames.front();
    }
    return frame >= static_cast<f32>(frames.size() - 1) ? frames.back() : frames[static_cast<size_t>(frame)];
}

void ExpectBlend(const d3d9_device_state_c& _state, bool _enable, D3DBLEND _source, D3DBLEND _dest,
                 const std::string& _what)
{
    EXPECT_EQ(_state.renderStates[D3DRS_ALPHABLENDENABLE], _enable ? 1u : 0u) << _what;
    if (_enable) {
        EXPECT_EQ(_state.renderStates[D3DRS_SRCBLEND], static_cast<DWORD>(_source)) << _what;
        EXPECT_EQ(_state.renderStates[D3DRS_DESTBLEND], static_cast<DWORD>(_dest)) << _what;
    }
}

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

draw_fixture_c::draw_fixture_c(draw_backend_e _backend, i32 _width, i32 _height)
    : backend(_backend), window(_width, _height)
{}

void draw_fixture_c::SetUp()
{
    seenDraws = 0;
    if (backend == draw_backend_e::record) {
        InstallRecordBackend(config);
    } else {
        InstallGlBackend();
    }
    SetDisplayBackend(display);
}

void draw_fixture_c::TearDown()
{
    objects.clear();
    scene.reset();
    textures.clear();
    renderer.reset();
    SetDisplayBackend(nullptr);
    if (backend == draw_backend_e::record) {
        RemoveRecordBackend();
    } else {
        SetDirect3DBackend({});
    }
}

void draw_fixture_c::MakeRenderer()
{
    renderer = std::make_unique<d3d_renderer_c>(&flags);
    ASSERT_TRUE(renderer->create_device(window.Get(), true))
        << (backend == draw_backend_e::opengl ? GlBackendFailure() : std::string());
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    if (scene == nullptr) {
        scene = std::make_unique<scene_c>("scene", renderer.get());
        scene->SetFlag(0x4, true);
    }
    camera.SetViewShape(*renderer);
    camera.SetProjection(1.0f, 1000.0f);
    camera.UpdateTransform(nullptr);
}

void draw_fixture_c::Start()
{
    if (renderer == nullptr) {
        MakeRenderer();
    }
    renderer->BeginScene();
    SetScene();
}

void draw_fixture_c::SetScene()
{
    renderer->SetScene(scene.get(), &camera, lights, shadowLight);
}

void draw_fixture_c::OpenLists()
{
    renderer->BeginScene();
    renderer->SetScene(scene.get(), &camera, {}, nullptr);
    ASSERT_TRUE(renderer->IsSceneSet());
}

void draw_fixture_c::CloseLists()
{
    renderer->ResetRenderLists();
}

const d3d9_device_state_c& draw_fixture_c::LastState() const
{
    if (Draws().empty()) {
        throw std::logic_error("no draw recorded");
    }
    return *Draws().back().state;
}

std::vector<record_draw_s> draw_fixture_c::NewDraws()
{
    const std::vector<record_draw_s>& draws = Device()->Draws();
    seenDraws = std::min(seenDraws, draws.size());
    std::vector<record_draw_s> fresh(draws.begin() + static_cast<std::ptrdiff_t>(seenDraws), draws.end());
    seenDraws = draws.size();
    return fresh;
}

std::vector<u8> draw_fixture_c::Capture()
{
    if (renderer->IsSceneSet()) {
        renderer->ResetRenderLists();
    }
    renderer->EndScene();
    renderer->Present();
    image_c image;
    renderer->CaptureScreen(image);
    if (!image.IsValid()) {
        ADD_FAILURE() << "no screen capture";
        return {};
    }
    const auto* bytes = image.GetData();
    return std::vector<u8>(bytes, bytes + image.GetSize());
}

void draw_fixture_c::ExpectImage(const std::vector<u8>& _capture, const std::string& _name, u32 _tolerance)
{
    RECT client;
    GetClientRect(window.Get(), &client);
    ExpectImageFile(_capture, static_cast<u32>(client.right), static_cast<u32>(client.bottom), SKYVARN_RENDER_EXPECTED,
                    _name, _tolerance);
}

namespace {

D3DFORMAT DeviceFormat(format_e _format)
{
    switch (_format) {
    case format_a8r8g8b8: return D3DFMT_A8R8G8B8;
    case format_l8: return D3DFMT_L8;
    case format_dxt1: return D3DFMT_DXT1;
    case format_dxt3: return D3DFMT_DXT3;
    case format_dxt5: return D3DFMT_DXT5;
    default: return D3DFMT_X8R8G8B8;
    }
}

}

d3d_texture_c* draw_fixture_c::MakeTexture(format_e _format, bool _mipmaps, bool _cubic)
{
    texture_def_c definition;
    definition.image.Create(4, 4, _format, _mipmaps, _cubic);
    textures.push_back(
        std::make_unique<d3d_texture_c>(renderer->GetDevice(), "test", definition, false, DeviceFormat(_format)));
    return textures.back().get();
}

d3d_texture_c* draw_fixture_c::MakePatternTexture(u32 _side, format_e _format,
                                                  const std::function<u32(u32, u32)>& _texel)
{
    texture_def_c definition;
    const i32 side = static_cast<i32>(_side);
    definition.image.Create(side, side, format_a8r8g8b8, false, false);
    image_c& level = definition.image.GetLevel(0);
    for (u32 y = 0; y < _side; ++y) {
        for (u32 x = 0; x < _side; ++x) {
            const u32 texel = _texel(x, y);
            std::memcpy(level.GetData() + y * static_cast<u64>(level.GetPitch()) + x * 4, &texel, 4);
        }
    }
    definition.image.ChangeFormat(_format);
    textures.push_back(
        std::make_unique<d3d_texture_c>(renderer->GetDevice(), "pattern", definition, false, DeviceFormat(_format)));
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
