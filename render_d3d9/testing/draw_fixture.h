#pragma once
// draw_fixture_c: a renderer inside a set scene, for the draw tests. On
// the record backend (the default) the window is 640x480 and the tests
// read the recorded draws and states; on the OpenGL backend the window is
// a small square, the draws reach real pixels and Capture/ExpectImage
// compare the screen with a picture in render_d3d9/testing/expected.
//
// MakeRenderer creates the device with `flags` (change them, `config` or
// the scene first), the whole output as the viewport, the scene with
// depth test and the camera shaped for the output with planes 1..1000.
// Start makes the renderer when there is none, begins the scene and sets
// it with the fixture's lights and shadow light; OpenLists/CloseLists
// bracket a scene's lists without lights. Pictures are loaded by name
// from `files`, the current file system while the test runs. Textures
// made here are 4x4 images uploaded straight to the device; the maps are
// one-frame test_map_c.
#include "engine/camera.h"
#include "engine/geometry_def.h"
#include "engine/light.h"
#include "engine/map.h"
#include "engine/null_object.h"
#include "engine/scene.h"
#include "engine/testing/memory_file_system.h"
#include "image/format.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"
#include "platform/win32/testing/display_double.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/testing/test_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A map that hands out its frames by time: frame trunc(time), held to the
// last.
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

// A sprite of the engine's kind (base_t) holding a test_map_c of the
// frames: the engine's sprites take their maps from image files.
template <class base_t>
class mapped_c : public base_t {
public:
    mapped_c(renderer_c* _renderer, std::vector<texture_c*> _frames)
        : base_t("sprite", _renderer), testMap(std::make_unique<test_map_c>(std::move(_frames)))
    {}
    map_c* GetMap() const override { return testMap.get(); }

    std::unique_ptr<test_map_c> testMap;
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

// _sets primitive sets, each a unit square of two triangles sharing an
// edge, with positions, normals when asked, _coord_sets coordinate sets and
// _weights blend weights (with matrix indices).
geometry_def_c SquaresDefinition(const char* _name, u32 _sets, bool _normals, u32 _coord_sets, u32 _weights = 0);

enum class draw_backend_e { record, opengl };

class draw_fixture_c : public ::testing::Test {
protected:
    draw_fixture_c() : draw_fixture_c(draw_backend_e::record, 640, 480) {}
    draw_fixture_c(draw_backend_e _backend, i32 _width, i32 _height);

    void SetUp() override;
    void TearDown() override;

    void MakeRenderer();
    void Start();
    // SetScene again (after ResetRenderLists) with the fixture's lights.
    void SetScene();
    // BeginScene, then SetScene with the scene and camera only.
    void OpenLists();
    // ResetRenderLists: past the lists, still inside the scene.
    void CloseLists();

    // The record backend's device, its draws so far, the state of the last
    // one, and the draws recorded since the last NewDraws.
    record_device_c* Device() const { return config.LastDevice(); }
    const std::vector<record_draw_s>& Draws() const { return Device()->Draws(); }
    const d3d9_device_state_c& LastState() const;
    DWORD RenderState(D3DRENDERSTATETYPE _state) const { return LastState().renderStates[_state]; }
    DWORD StageState(u32 _stage, D3DTEXTURESTAGESTATETYPE _state) const
    {
        return LastState().stageStates[_stage][_state];
    }
    std::vector<record_draw_s> NewDraws();

    // On the OpenGL backend: ends the scene, presents, and reads the screen
    // back through the renderer's capture (B, G, R, A, rows top first).
    std::vector<u8> Capture();
    // Compares a capture with render_d3d9/testing/expected/_name.png within
    // _tolerance per channel.
    void ExpectImage(const std::vector<u8>& _capture, const std::string& _name, u32 _tolerance);

    // A 4x4 texture of the format (a8r8g8b8 carries alpha, x8r8g8b8 and l8
    // do not), with its mip levels when asked; owned by the fixture.
    d3d_texture_c* MakeTexture(format_e _format, bool _mipmaps = false, bool _cubic = false);
    // A _side x _side texture whose texel (x, y) is _texel(x, y)
    // (0xAARRGGBB), stored in the format (compressed ones are encoded);
    // owned by the fixture.
    d3d_texture_c* MakePatternTexture(u32 _side, format_e _format, const std::function<u32(u32, u32)>& _texel);
    std::unique_ptr<map_c> MakeMap(format_e _format, u32 _blend_mode = 0, bool _cubic = false);
    // Keeps a scene object until the end of the test (before the renderer
    // its meshes and maps belong to goes).
    template <class T>
    T* Own(T* _object)
    {
        objects.emplace_back(_object);
        return _object;
    }
    // A directional light with the given flags (8 diffuse, 16 specular,
    // 128 shadows), kept by the fixture.
    light_c* AddLight(u32 _flags);

    draw_backend_e backend;
    memory_file_system_c files;
    record_config_c config;
    std::shared_ptr<display_double_c> display = std::make_shared<display_double_c>();
    test_window_c window;
    u32 flags = d3d_flag_stencil;
    std::unique_ptr<d3d_renderer_c> renderer;
    std::unique_ptr<scene_c> scene;
    camera_c camera{"camera"};
    std::vector<std::unique_ptr<light_c>> ownedLights;
    std::vector<light_c*> lights;
    light_c* shadowLight = nullptr;
    std::vector<std::unique_ptr<d3d_texture_c>> textures;
    std::vector<std::unique_ptr<null_object_c>> objects;
    size_t seenDraws = 0;
};
