#pragma once
// null_renderer_c: a renderer without a device. It keeps the device-
// independent state and the three caches like any renderer, makes
// resources that hold their definitions but load nothing, and draws nothing.
// For programs that run scenes without a display (benchmarks, fuzz targets,
// tools), where the engine's own work is what counts.
#include "engine/renderer.h"

class null_geometry_c : public geometry_c {
public:
    using geometry_c::geometry_c;
    // Nothing to build; the definition is already kept.
    void Update(const geometry_def_c&) override {}
};

class null_texture_c : public texture_c {
public:
    using texture_c::texture_c;
    void TakeOver(texture_c*) override {}
    u32 GetLevelCount() const override { return 1; }
    bool IsCubic() const override { return false; }
};

class null_font_c : public font_c {
public:
    using font_c::font_c;
    // Every text measures 0 x 0.
    void MeasureTextB(const char* _text, i32& _width, i32& _height) override;
    void MeasureText(const char* _text, i32& _width, i32& _height) override;
};

class null_renderer_c : public renderer_c {
public:
    null_renderer_c() = default;
    ~null_renderer_c() override;

    geometry_c* CreateGeometry(const char* _key, const geometry_def_c& _definition) override;
    texture_c* CreateTexture(const char* _key, const texture_def_c& _definition) override;
    font_c* CreateFont(const char* _key, const font_def_c& _definition) override;

    // The output size is the base's, set through SetResolution.
    void SetOutputSize(i32, i32) override {}
    i32 SetViewportRect(i32, i32, i32, i32) override { return 0; }
    void SetGammaRamp(const gamma_ramp_t&) override {}
    void Present() override {}
    void Clear(const vec3_c&, u32, bool, bool, bool, bool) override {}
    void CaptureScreen(image_c&) override {}
    void BeginScene() override {}
    void EndScene() override {}
    void SetScene(scene_c*, camera_c*, const std::vector<light_c*>&, light_c*) override {}
    void ResetRenderLists() override {}
    void BeginGeometry(geom_object_c*, const std::vector<bone_c*>&, bool) override {}
    void EndGeometry() override {}
    void DrawForest(forest_c*, bool) override {}
    void DrawWater(water_c*, f32, bool) override {}
    void DrawTerrain(terrain_c*, bool) override {}
    void DrawSkyBox(sky_box_c*, bool) override {}
    void DrawTrail(trail_c*, f32, bool) override {}
    void DrawParticles(emitter_c*, f32, bool) override {}
    void DrawAnimSprite(anim_sprite_c*, f32, bool) override {}
    void DrawSprite(sprite_c*, bool) override {}
    void DrawGeometry(u32, material_c*, f32) override {}
    void DrawShadow(geom_object_c*, const vec3_c&, f32) override {}
    void DrawDebug24(bone_c*, const vec3_c&, f32) override {}
    void DrawBox(const bounding_box_c&, const vec3_c&, f32, const mat4x3_c&) override {}
    void DrawQuadVolume(const quad_volume_c&, const vec3_c&, f32, const mat4x3_c&) override {}
    void DrawLightMarker(light_c*) override {}
    void DrawDebug28(f32, f32, f32, f32, f32) override {}
    void DrawMap(const map_c&, f32, f32, f32) override {}
    void DrawDebug30(f32, f32, f32, f32) override {}
    void DrawMap31(const map_c&, f32, f32, f32, f32) override {}
    void DrawShadowShade(const f32*, f32) override {}
    void ApplyGlow(f32) override {}
    void DrawTextB(font_handle_c*, i32, i32, i32, i32, const char*, const vec3_c&, f32) override {}
    void DrawText(font_handle_c*, i32, i32, i32, i32, const char*, const vec3_c&, f32) override {}
};
