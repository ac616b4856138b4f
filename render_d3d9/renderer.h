#pragma once
// d3d_renderer_c: the scene engine's renderer on a Direct3D 9 device. It
// owns the Direct3D object and a device on the default adapter, chooses
// every format once at device creation, and keeps the state cache, the
// frame operations, the generated falloff maps, the glow targets and the
// shared sprite geometry. d3d_fullscreen_renderer_c switches the display
// to a mode first and restores it when it goes, also when its device
// cannot be made.
//
// Flags (one word): 0x1 present on the refresh, 0x2 stencil required, 0x4
// glow targets, 0x10 W-buffer, 0x80 multisampling, 0x3000 depth
// preference, 0x300000 multisample preference (d3d_renderer_flag_e).
//
// The frame slots, the per-scene state, the geometry, texture and font
// factories and the statistics are built here; the draws in the draw files
// beside it: meshes (draw_geometry.h), terrain, forest and sky box
// (draw_landscape.h), water (draw_water.h), shadow volumes and the shadow
// shade (draw_shadow.h), particles, trails, sprites and flares, the glow
// blur, inspection shapes, screen overlays and texts (draw_effects.h,
// draw_sprites.h, draw_overlay.h); draw_stage.h says the matrix spaces.
// Outputs narrower or lower than 8 pixels get no glow targets (the
// one-eighth target would be empty); a lost device is reported by Present
// with d3d_error_c "Direct3D device lost!".
#include "engine/renderer.h"
#include "platform/d3d9/d3d9.h"
#include "platform/win32/display.h"
#include "render_d3d9/device_setup.h"
#include "render_d3d9/draw_effects.h"
#include "render_d3d9/draw_geometry.h"
#include "render_d3d9/draw_overlay.h"
#include "render_d3d9/draw_sprites.h"
#include "render_d3d9/frame.h"
#include "render_d3d9/geometry.h"
#include "render_d3d9/inspection_shapes.h"
#include "render_d3d9/screen_quad.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/texture.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class null_object_c;

class d3d_renderer_c : public renderer_c {
public:
    // _flags points at the flags word (null: 0). No device yet.
    explicit d3d_renderer_c(const u32* _flags);
    ~d3d_renderer_c() override;
    d3d_renderer_c(const d3d_renderer_c&) = delete;
    d3d_renderer_c& operator=(const d3d_renderer_c&) = delete;

    // The whole device set-up; false with everything released on any
    // failure.
    bool create_device(HWND _window, bool _windowed);
    // Gives back everything create_device made.
    void ReleaseDevice();
    // Driver, description and "a.b.c.d" version of the adapter, with a
    // Direct3D object of its own when the renderer has none.
    bool GetAdapterInfo(std::string& _driver, std::string& _description, std::string& _version);
    bool EnumDisplayModes(std::vector<display_mode_s>& _modes);

    geometry_c* CreateGeometry(const char* _key, const geometry_def_c& _definition) override;
    // Loads a copy of the definition's image and makes the texture.
    texture_c* CreateTexture(const char* _key, const texture_def_c& _definition) override;
    font_c* CreateFont(const char* _key, const font_def_c& _definition) override;

    void SetOutputSize(i32 _width, i32 _height) override;
    // Stores the rectangle; always 0.
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
    // Forgets the per-scene state, so that the next scene sets its own.
    void ResetRenderLists() override;
    void BeginGeometry(geom_object_c* _object, const std::vector<bone_c*>& _bone_palette, bool _clip) override;
    // Leaves a geometry draw; nothing outside one.
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
    // Screen overlays draw only inside a scene after its render lists, over
    // a viewport of some size; a flag argument is on when not 0. The
    // interface hands the fill colour of DrawDebug28 and DrawDebug30 as one
    // grey level.
    //
    // Fills the viewport with the grey (alpha 1) into the colour, depth 1.0
    // (ZFUNC ALWAYS) and the stencil value (REPLACE), each only when asked;
    // the stencil only on renderers whose flags ask for one.
    void DrawDebug28(f32 _grey, f32 _stencil_value, f32 _write_color, f32 _write_depth, f32 _write_stencil) override;
    // The map's texture over the viewport, only below transparency 1.
    void DrawMap(const map_c& _map, f32 _transparency, f32 _additive, f32 _multiply) override;
    // The grey over the viewport, only below transparency 1.
    void DrawDebug30(f32 _grey, f32 _transparency, f32 _additive, f32 _multiply) override;
    // The map's alpha tested against 1 - threshold; only for a value above 0.
    void DrawMap31(const map_c& _map, f32 _value, f32 _threshold, f32 _additive, f32 _multiply) override;
    void DrawShadowShade(const f32* _shadow_color, f32 _darkness) override;
    void ApplyGlow(f32 _strength) override;
    void DrawTextB(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                   const vec3_c& _color, f32 _transparency) override;
    void DrawText(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                  const vec3_c& _color, f32 _transparency) override;
    // The adapter lines, the capability text, a line break, then the caches.
    void PrintStatistics(std::ostream& _out) override;

    // What the draws read.
    d3d_state_cache_c& GetStateCache() { return cache; }
    IDirect3DDevice9* GetDevice() const { return device; }
    u32 GetFlags() const { return flags; }
    const d3d_format_table_s& GetFormatTable() const { return formats; }
    D3DFORMAT GetFallbackFormat() const { return fallbackFormat; }
    const D3DPRESENT_PARAMETERS& GetPresentParameters() const { return presentParameters; }
    const d3d_format_bits_s& GetBackBufferBits() const { return backBufferBits; }
    const d3d_format_bits_s& GetDepthBits() const { return depthBits; }
    d3d_texture_c* GetGlowBuffer(u32 _index) const { return _index < 2 ? glowBuffers[_index].get() : nullptr; }
    d3d_texture_c* GetDiffuseMap() const { return diffuseMap.get(); }
    d3d_texture_c* GetSpecularMap(u32 _index) const { return _index < 10 ? specularMaps[_index].get() : nullptr; }
    d3d_geometry_c* GetSpriteGeometry() const { return spriteGeometry.get(); }
    bool IsInScene() const { return frame.InScene(); }
    bool IsSceneSet() const { return sceneSet; }
    bool IsInGeometry() const { return inGeometry; }
    // Per-scene state set by SetScene.
    const std::vector<light_c*>& GetDiffuseLights() const { return diffuseLights; }
    const std::vector<light_c*>& GetSpecularLights() const { return specularLights; }
    light_c* GetShadowLight() const { return shadowLight; }
    camera_c* GetCamera() const { return camera; }
    const d3d_fog_s* GetFog() const { return fog ? &*fog : nullptr; }
    const map_c* GetIlluminationMap() const { return illuminationMap; }
    const map_c* GetReflectionMap() const { return reflectionMap; }
    f32 GetSceneOpacity() const { return sceneOpacity; }
    bool GetSceneDepthTest() const { return sceneDepthTest; }

protected:
    bool Fail();

private:
    // Effects, sprites, glow, overlays, texts and inspection shapes
    // (draw_effects.cpp, draw_sprites.cpp, glow.cpp, draw_overlay.cpp,
    // draw_inspection.cpp).
    f32 EffectOpacity(const null_object_c& _entity) const;
    void DrawEffect(const null_object_c& _entity, const map_c* _map, const d3d_geometry_c& _geometry, u32 _row,
                    const d3d_effect_constants_s& _constants, f32 _time, bool _clip);
    bool SpriteDrawable(const sprite_c* _sprite) const;
    // The state common to sprites; the quad the sprite's opacity picks.
    d3d_sprite_quad_s SetupSprite(sprite_c* _sprite, bool _clip, const d3d_texture_c& _texture);
    void DrawSingleFrame(sprite_c* _sprite, const map_c& _map, const d3d_texture_c& _texture,
                         const d3d_stage_op_s& _fading_alpha, bool _clip);
    void DrawSpriteQuad(const d3d_sprite_quad_s& _quad);
    // Inside a scene, after the render lists, with a viewport to cover.
    bool OverlayReady() const;
    void SetupOverlay(bool _textured);
    void SetOverlayBlend(const d3d_overlay_blend_s& _blend);
    d3d_screen_rect_s ViewportRect() const;
    // False (nothing set) outside a scene's lists or inside a geometry.
    bool SetupInspection(const mat4x3_c& _matrix, bool _depth_test);
    void DrawInspectionShape(const d3d_inspection_shape_s& _shape);

private:
    void ClearSceneState();

    // Meshes, landscape, water and shadow volumes (draw_geometry.cpp,
    // draw_landscape.cpp, draw_water.cpp, draw_shadow.cpp).
    void SetupMaterial(const material_c& _material, f32 _time);
    void SetupIlluminatedMaterial(const material_c& _material, f32 _time);
    void SetupTextureStages(const d3d_surface_stages_s& _surface);
    void SetupIlluminatedStages(const d3d_surface_stages_s& _surface, const vec3_c& _diffuse, f32 _opacity,
                                const vec3_c& _specular);
    // The fixed-function state terrain, forest and sky box share.
    void SetupLandscape(const null_object_c& _entity, bool _clip, D3DCULL _cull, bool _depth_write);
    geom_object_c* geometryObject = nullptr;
    d3d_geometry_c* geometryMesh = nullptr;

    d3d_state_cache_c cache;
    d3d_frame_c frame;
    u32 flags = 0;
    HWND window = nullptr;
    HDC dc = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DADAPTER_IDENTIFIER9 identifier;
    d3d_format_table_s formats;
    D3DFORMAT fallbackFormat = D3DFMT_UNKNOWN;
    D3DPRESENT_PARAMETERS presentParameters;
    d3d_format_bits_s backBufferBits;
    d3d_format_bits_s depthBits;
    std::unique_ptr<d3d_texture_c> glowBuffers[2];
    std::unique_ptr<d3d_texture_c> diffuseMap;
    std::unique_ptr<d3d_texture_c> specularMaps[10];
    std::unique_ptr<d3d_geometry_c> spriteGeometry;
    bool sceneSet = false;
    bool inGeometry = false;
    std::vector<light_c*> diffuseLights;
    std::vector<light_c*> specularLights;
    light_c* shadowLight = nullptr;
    camera_c* camera = nullptr;
    std::optional<d3d_fog_s> fog;
    const map_c* illuminationMap = nullptr;
    const map_c* reflectionMap = nullptr;
    f32 sceneOpacity = 1.0f;
    bool sceneDepthTest = false;
};

class d3d_fullscreen_renderer_c : public d3d_renderer_c {
public:
    // Switches to the mode when its width, height and bits are all set
    // ("Could not change display mode!" when refused), then makes the
    // device ("Could not create Direct3D device!", after restoring the
    // desktop mode).
    d3d_fullscreen_renderer_c(HWND _window, const u32* _flags, const display_mode_s* _mode);
    ~d3d_fullscreen_renderer_c() override;

private:
    display_mode_s mode;
    bool changed = false;
};
