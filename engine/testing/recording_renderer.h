#pragma once
// recording_renderer_c: a renderer for tests. It draws nothing; it records
// every operation with its arguments in call order, and supplies the three
// cache factories with device resources whose properties tests can check:
// textures take their extents, levels and size from the image the
// definition loads, geometries count their rebuilds, fonts measure a fixed
// number of pixels per character. Device limits and failures are settable so
// the factories' errors can be reached.
//
// Other libraries' tests can use it by adding engine/testing/*.cpp to their
// test program's sources.
#include "engine/renderer.h"
#include "image/format.h"

#include <set>
#include <string>
#include <vector>

// One recorded operation: its name, its pointer arguments (objects), its
// numeric and boolean arguments (numbers) and its text argument, each in
// argument order.
class recorded_call_c {
public:
    std::string name;
    std::vector<const void*> objects;
    std::vector<double> numbers;
    std::string text;
};

class recording_geometry_c : public geometry_c {
public:
    u32 updateCount = 0; // Update calls, the first build included
    u32 vertexCount = 0; // as of the last Update
    u32 primitiveCount = 0;
    u32 stride = 0;
    bool softwareProcessing = false;

    recording_geometry_c(const char* _key, const geometry_def_c& _definition) : geometry_c(_key, _definition) {}
    void Update(const geometry_def_c& _definition) override;
    // Vertex bytes plus four bytes per index.
    u32 GetSize() const override;

private:
    u32 indexCount = 0;
};

class recording_texture_c : public texture_c {
public:
    u32 width = 0;
    u32 height = 0;
    u32 levels = 0;
    bool cubic = false;
    u32 size = 0;
    format_e format = format_none;
    u32 takeOverCount = 0;

    recording_texture_c(const char* _key, const texture_def_c& _definition) : texture_c(_key, _definition) {}
    void TakeOver(texture_c* _other) override;
    u32 GetLevelCount() const override { return levels; }
    bool IsCubic() const override { return cubic; }
    u32 GetWidth() const override { return width; }
    u32 GetHeight() const override { return height; }
    u32 GetDepth() const override { return 1; }
    u32 GetSize() const override { return size; }
};

class recording_font_c : public font_c {
public:
    i32 characterWidth;
    i32 lineHeight;

    recording_font_c(const char* _key, const font_def_c& _definition, i32 _character_width, i32 _line_height)
        : font_c(_key, _definition), characterWidth(_character_width), lineHeight(_line_height)
    {}
    // Characters x character width, by line height.
    void MeasureText(const char* _text, i32& _width, i32& _height) override;
    // The second form is twice as wide.
    void MeasureTextB(const char* _text, i32& _width, i32& _height) override;
};

class recording_renderer_c : public renderer_c {
public:
    // Device limits and behaviour, settable by tests.
    u32 maxPrimitiveCount = 65535;
    u32 maxVertexCount = 65535;
    u32 maxTextureSide = 2048;
    // Blend matrices the hardware vertex path can take; more (or a tweening
    // or shader-needing definition) is processed in software.
    u32 maxBlendMatrices = 4;
    std::set<format_e> rejectedFormats;
    bool failTextureCreation = false;
    i32 fontCharacterWidth = 10;
    i32 fontLineHeight = 20;

    std::vector<recorded_call_c> calls;
    std::vector<gamma_ramp_t> gammaRamps;
    u32 createdTextures = 0;
    u32 createdGeometries = 0;
    u32 createdFonts = 0;

    recording_renderer_c() = default;
    // Sets the output size as a device would on creation.
    recording_renderer_c(i32 _width, i32 _height);
    ~recording_renderer_c() override;

    // The names of the recorded calls, in order.
    std::vector<std::string> CallNames() const;
    // The _nth call of that name (0 the first), or null.
    const recorded_call_c* FindCall(const std::string& _name, u32 _nth = 0) const;
    u32 CountCalls(const std::string& _name) const;
    void ClearCalls() { calls.clear(); }

    geometry_c* CreateGeometry(const char* _key, const geometry_def_c& _definition) override;
    texture_c* CreateTexture(const char* _key, const texture_def_c& _definition) override;
    font_c* CreateFont(const char* _key, const font_def_c& _definition) override;

    void SetOutputSize(i32 _width, i32 _height) override;
    i32 SetViewportRect(i32 _x, i32 _y, i32 _width, i32 _height) override;
    void SetGammaRamp(const gamma_ramp_t& _ramp) override;
    void Present() override;
    void Clear(const vec3_c& _color, u32 _stencil_value, bool _target, bool _depth, bool _stencil,
               bool _secondary) override;
    void CaptureScreen(image_c& _image) override;
    void BeginScene() override;
    void EndScene() override;
    void SetScene(scene_c* _scene, camera_c* _camera, const std::vector<light_c*>& _lights,
                  light_c* _shadow_light) override;
    void ResetRenderLists() override;
    void BeginGeometry(geom_object_c* _object, const std::vector<bone_c*>& _bone_palette, bool _clip) override;
    void EndGeometry() override;
    void DrawForest(forest_c* _forest, bool _clip) override;
    void DrawWater(water_c* _water, f32 _local_time, bool _clip) override;
    void DrawTerrain(terrain_c* _terrain, bool _clip) override;
    void DrawSkyBox(sky_box_c* _sky_box, bool _clip) override;
    void DrawTrail(trail_c* _trail, f32 _time, bool _clip) override;
    void DrawParticles(emitter_c* _emitter, f32 _time, bool _clip) override;
    void DrawAnimSprite(anim_sprite_c* _sprite, f32 _frame, bool _clip) override;
    void DrawSprite(sprite_c* _sprite, bool _clip) override;
    void DrawGeometry(u32 _slot, material_c* _material, f32 _time) override;
    void DrawShadow(geom_object_c* _object, const vec3_c& _color, f32 _alpha) override;
    void DrawDebug24(bone_c* _bone, const vec3_c& _color, f32 _alpha) override;
    void DrawBox(const bounding_box_c& _box, const vec3_c& _color, f32 _alpha, const mat4x3_c& _transform) override;
    void DrawQuadVolume(const quad_volume_c& _quad, const vec3_c& _color, f32 _alpha,
                        const mat4x3_c& _transform) override;
    void DrawLightMarker(light_c* _light) override;
    void DrawDebug28(f32 _a, f32 _b, f32 _c, f32 _d, f32 _e) override;
    void DrawMap(const map_c& _map, f32 _a, f32 _b, f32 _c) override;
    void DrawDebug30(f32 _a, f32 _b, f32 _c, f32 _d) override;
    void DrawMap31(const map_c& _map, f32 _a, f32 _b, f32 _c, f32 _d) override;
    void DrawShadowShade(const f32* _shadow_color, f32 _darkness) override;
    void ApplyGlow(f32 _strength) override;
    void DrawTextB(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                   const vec3_c& _color, f32 _transparency) override;
    void DrawText(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                  const vec3_c& _color, f32 _transparency) override;

private:
    recorded_call_c& Record(const char* _name, std::initializer_list<const void*> _objects,
                            std::initializer_list<double> _numbers);
};
