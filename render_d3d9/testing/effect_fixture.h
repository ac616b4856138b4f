#pragma once
// A renderer on the record backend for the effect, sprite, glow, overlay
// and inspection draws' tests: a 640x480 window, the whole output as
// viewport, a scene with depth test and a camera ready for SetScene; and
// small builders: device textures from in-memory images and a map that
// hands them out by time (frame trunc(time), held to the last).
#include "engine/camera.h"
#include "engine/map.h"
#include "engine/scene.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"
#include "platform/win32/testing/display_double.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/testing/test_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

class test_map_c : public map_c {
public:
    explicit test_map_c(std::vector<texture_c*> _frames) : frames(std::move(_frames)) {}

    map_c* Clone() const override { return new test_map_c(*this); }
    void Write(output_file_c&) const override {}
    void Preload() override {}
    texture_c* GetTexture(f32 _time) const override;
    u32 GetFrameCount() const override { return static_cast<u32>(frames.size()); }

private:
    std::vector<texture_c*> frames;
};

// Whether the state binds the renderer's own program of that vertex row
// (its vs_1_1 form) or pixel entry.
bool RunsVertexRow(const d3d9_device_state_c& _state, u32 _row);
bool RunsPixelEntry(const d3d9_device_state_c& _state, u32 _entry);

// Blending off, or on with those factors.
void ExpectBlend(const d3d9_device_state_c& _state, bool _enable, D3DBLEND _source, D3DBLEND _dest,
                 const std::string& _what);

// Vertex _index of a draw from memory.
template <class vertex_t>
vertex_t RecordedVertex(const record_draw_s& _draw, u32 _index)
{
    vertex_t vertex{};
    if ((_index + 1) * sizeof(vertex) <= _draw.vertices.size()) {
        std::memcpy(&vertex, _draw.vertices.data() + _index * sizeof(vertex), sizeof(vertex));
    }
    return vertex;
}

class effect_fixture_c : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // BeginScene, then SetScene with the scene and camera.
    void OpenLists();
    // ResetRenderLists: past the lists, still inside the scene.
    void CloseLists();
    // A 4x4 texture of the format (a8r8g8b8 carries alpha, x8r8g8b8 and l8
    // do not), with its mip levels when asked; owned by the fixture.
    d3d_texture_c* MakeTexture(format_e _format, bool _mipmaps = false);
    record_device_c* Device() const { return config.LastDevice(); }
    // The draws recorded since the last call.
    std::vector<record_draw_s> NewDraws();

    record_config_c config;
    std::shared_ptr<display_double_c> display = std::make_shared<display_double_c>();
    test_window_c window{640, 480};
    u32 flags = d3d_flag_stencil;
    std::unique_ptr<d3d_renderer_c> renderer;
    std::unique_ptr<scene_c> scene;
    camera_c camera{"camera"};
    std::vector<std::unique_ptr<d3d_texture_c>> textures;
    size_t seenDraws = 0;
};
