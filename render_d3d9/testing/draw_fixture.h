#pragma once
// A renderer on the record backend inside a set scene, for the draw tests:
// a 640x480 windowed device with a stencil buffer, the whole output as the
// viewport, BeginScene, and SetScene with a camera, the fixture's lights and
// shadow light. Change `config`, `flags` or the scene before Start().
// Pictures are loaded by name from `files`, the current file system while
// the test runs. Textures made here are 4x4 images uploaded straight to
// the device; the maps are one-frame test_map_c
// (render_d3d9/testing/effect_fixture.h).
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
#include "render_d3d9/testing/effect_fixture.h"
#include "render_d3d9/testing/test_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// _sets primitive sets, each a unit square of two triangles sharing an
// edge, with positions, normals when asked, _coord_sets coordinate sets and
// _weights blend weights (with matrix indices).
geometry_def_c SquaresDefinition(const char* _name, u32 _sets, bool _normals, u32 _coord_sets, u32 _weights = 0);

class draw_fixture_c : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the device, begins the scene and sets it.
    void Start();
    // SetScene again (after ResetRenderLists) with the fixture's lights.
    void SetScene();
    record_device_c* Device() const { return config.LastDevice(); }
    // The draws recorded so far, and the state of the last one.
    const std::vector<record_draw_s>& Draws() const { return Device()->Draws(); }
    const d3d9_device_state_c& LastState() const;
    DWORD RenderState(D3DRENDERSTATETYPE _state) const { return LastState().renderStates[_state]; }
    DWORD StageState(u32 _stage, D3DTEXTURESTAGESTATETYPE _state) const
    {
        return LastState().stageStates[_stage][_state];
    }

    // A 4x4 texture of the format (a8r8g8b8 has alpha, x8r8g8b8 not).
    d3d_texture_c* MakeTexture(format_e _format, bool _mipmaps = false, bool _cubic = false);
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

    memory_file_system_c files;
    record_config_c config;
    std::shared_ptr<display_double_c> display = std::make_shared<display_double_c>();
    test_window_c window{640, 480};
    u32 flags = d3d_flag_stencil;
    std::unique_ptr<d3d_renderer_c> renderer;
    std::unique_ptr<scene_c> scene;
    camera_c camera{"camera"};
    std::vector<std::unique_ptr<light_c>> ownedLights;
    std::vector<light_c*> lights;
    light_c* shadowLight = nullptr;
    std::vector<std::unique_ptr<d3d_texture_c>> textures;
    std::vector<std::unique_ptr<null_object_c>> objects;
};
