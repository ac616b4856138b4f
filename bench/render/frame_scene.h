#pragma once
// frame_scene_c: the renderer's benchmark scene, on the record backend or
// on the OpenGL backend: 2,000 mesh objects of 16 shapes with mixed
// materials (lit, smooth with specular maps, additive, transparent,
// double-sided, vertex-coloured, textured, with a second layer) standing
// in rows over a terrain patch of 32 x 32 squares, a square of water with
// a sky reflection and caustics, and 20 particle emitters of 256
// particles, seen from above the near edge of the terrain. Frame() draws
// one frame the way the scene engine does (cull, then both passes) and,
// on OpenGL, presents it.
#include "engine/camera.h"
#include "engine/emitter.h"
#include "engine/geom_object.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "engine/terrain.h"
#include "engine/testing/memory_file_system.h"
#include "engine/water.h"
#include "platform/d3d9/record_config.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/testing/test_window.h"

#include <memory>
#include <vector>

enum class frame_backend_e { record, opengl };

class frame_scene_c {
public:
    frame_scene_c(frame_backend_e _backend, i32 _width, i32 _height);
    ~frame_scene_c();
    frame_scene_c(const frame_scene_c&) = delete;
    frame_scene_c& operator=(const frame_scene_c&) = delete;

    void Frame();

    // Whether the device could be made; when not, what was missing.
    bool Ready() const { return ready; }
    const std::string& Failure() const { return failure; }
    d3d_renderer_c& Renderer() { return *renderer; }

private:
    void MakeObjects();
    void Dress(material_c& _material, u32 _kind);

    frame_backend_e backend;
    memory_file_system_c files;
    record_config_c config;
    test_window_c window;
    u32 flags = d3d_flag_stencil;
    std::unique_ptr<d3d_renderer_c> renderer;
    std::unique_ptr<scene_c> scene;
    camera_c camera{"camera"};
    std::vector<light_c*> lights;
    std::vector<std::unique_ptr<geom_object_c>> objects;
    std::vector<std::unique_ptr<emitter_c>> emitters;
    std::unique_ptr<terrain_c> terrain;
    std::unique_ptr<water_c> water;
    f32 time = 0.0f;
    bool ready = false;
    std::string failure;
};
