#include "render_d3d9/testing/effect_fixture.h"

#include "render_d3d9/shader_programs.h"

#include <algorithm>
#include <cmath>

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

void effect_fixture_c::SetUp()
{
    seenDraws = 0;
    InstallRecordBackend(config);
    SetDisplayBackend(display);
    renderer = std::make_unique<d3d_renderer_c>(&flags);
    ASSERT_TRUE(renderer->create_device(window.Get(), true));
    renderer->SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    scene = std::make_unique<scene_c>("scene", renderer.get());
    scene->SetFlag(0x4, true);
    camera.SetViewShape(*renderer);
    camera.SetProjection(1.0f, 1000.0f);
    camera.UpdateTransform(nullptr);
}

void effect_fixture_c::TearDown()
{
    scene.reset();
    textures.clear();
    renderer.reset();
    SetDisplayBackend(nullptr);
    RemoveRecordBackend();
}

void effect_fixture_c::OpenLists()
{
    renderer->BeginScene();
    renderer->SetScene(scene.get(), &camera, {}, nullptr);
    ASSERT_TRUE(renderer->IsSceneSet());
}

void effect_fixture_c::CloseLists()
{
    renderer->ResetRenderLists();
}

d3d_texture_c* effect_fixture_c::MakeTexture(format_e _format, bool _mipmaps)
{
    texture_def_c definition;
    definition.image.Create(4, 4, _format, _mipmaps, false);
    const D3DFORMAT format = _format == format_a8r8g8b8 ? D3DFMT_A8R8G8B8
                             : _format == format_l8     ? D3DFMT_L8
                                                        : D3DFMT_X8R8G8B8;
    textures.push_back(std::make_unique<d3d_texture_c>(renderer->GetDevice(), "test", definition, false, format));
    return textures.back().get();
}

std::vector<record_draw_s> effect_fixture_c::NewDraws()
{
    const std::vector<record_draw_s>& draws = Device()->Draws();
    seenDraws = std::min(seenDraws, draws.size());
    std::vector<record_draw_s> fresh(draws.begin() + static_cast<std::ptrdiff_t>(seenDraws), draws.end());
    seenDraws = draws.size();
    return fresh;
}
