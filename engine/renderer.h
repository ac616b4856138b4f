#pragma once
// renderer_c: the abstract drawing device of the scene engine. Entities, the
// scene and fonts draw only through it. It keeps the device-independent state
// (output size and pixel aspect, the viewport, the gamma controls and ramp, a
// warning log) and is the geometry, texture and font cache at once; the
// implementation supplies the drawing operations, the cache factories and the
// device resources.
//
// clip arguments are true when the caller's bounding volume is not wholly
// inside the six view planes, so the implementation must clip.
#include "engine/font_cache.h"
#include "engine/geometry_cache.h"
#include "engine/texture_cache.h"
#include "foundation/matrix.h"
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <array>
#include <ostream>
#include <vector>

class anim_sprite_c;
class bone_c;
class bounding_box_c;
class camera_c;
class emitter_c;
class font_handle_c;
class forest_c;
class geom_object_c;
class image_c;
class light_c;
class map_c;
class material_c;
class quad_volume_c;
class scene_c;
class sky_box_c;
class sprite_c;
class terrain_c;
class trail_c;
class water_c;

using gamma_ramp_t = std::array<vec3_c, 256>;

// A pixel coordinate truncated toward zero, bounded to +-1e9 so that no float
// (NaN included, which gives -1e9) converts out of range.
i32 TruncateToPixels(f32 _value);

class renderer_c : public geometry_cache_c, public texture_cache_c, public font_cache_c {
public:
    // The warning log takes no further lines once it is this long.
    static constexpr u32 warning_log_limit = 16384;

    renderer_c();
    ~renderer_c() override = default;

    using font_cache_c::AddRef;
    using font_cache_c::Release;
    using geometry_cache_c::AddRef;
    using geometry_cache_c::Release;
    using texture_cache_c::AddRef;
    using texture_cache_c::Release;

    // Device operations, in the order of the implementation's table.
    virtual void SetOutputSize(i32 _width, i32 _height) = 0;
    // Receives the clamped pixel rectangle; its result is SetViewport's.
    virtual i32 SetViewportRect(i32 _x, i32 _y, i32 _width, i32 _height) = 0;
    virtual void SetGammaRamp(const gamma_ramp_t& _ramp) = 0;
    virtual void Present() = 0;
    // Clears the viewport; depth to 1.0.
    virtual void Clear(const vec3_c& _color, u32 _stencil_value, bool _target, bool _depth, bool _stencil,
                       bool _secondary) = 0;
    virtual void CaptureScreen(image_c& _image) = 0;
    virtual void BeginScene() = 0;
    virtual void EndScene() = 0;
    // Per-scene state before the render lists are drawn; the lights are
    // sorted brightest first.
    virtual void SetScene(scene_c* _scene, camera_c* _camera, const std::vector<light_c*>& _lights,
                          light_c* _shadow_light) = 0;
    virtual void ResetRenderLists() = 0;
    // Around the surfaces of one geometry object's primary mesh.
    virtual void BeginGeometry(geom_object_c* _object, const std::vector<bone_c*>& _bone_palette, bool _clip) = 0;
    virtual void EndGeometry() = 0;
    virtual void DrawForest(forest_c* _forest, bool _clip) = 0;
    virtual void DrawWater(water_c* _water, f32 _local_time, bool _clip) = 0;
    virtual void DrawTerrain(terrain_c* _terrain, bool _clip) = 0;
    virtual void DrawSkyBox(sky_box_c* _sky_box, bool _clip) = 0;
    virtual void DrawTrail(trail_c* _trail, f32 _time, bool _clip) = 0;
    virtual void DrawParticles(emitter_c* _emitter, f32 _time, bool _clip) = 0;
    virtual void DrawAnimSprite(anim_sprite_c* _sprite, f32 _frame, bool _clip) = 0;
    // Sprites and lens flares.
    virtual void DrawSprite(sprite_c* _sprite, bool _clip) = 0;
    // One surface slot of the object given to BeginGeometry.
    virtual void DrawGeometry(u32 _slot, material_c* _material, f32 _time) = 0;
    virtual void DrawShadow(geom_object_c* _object, const vec3_c& _color, f32 _alpha) = 0;
    // Debug outline of a bone.
    virtual void DrawDebug24(bone_c* _bone, const vec3_c& _color, f32 _alpha) = 0;
    virtual void DrawBox(const bounding_box_c& _box, const vec3_c& _color, f32 _alpha, const mat4x3_c& _transform) = 0;
    virtual void DrawQuadVolume(const quad_volume_c& _quad, const vec3_c& _color, f32 _alpha,
                                const mat4x3_c& _transform) = 0;
    virtual void DrawLightMarker(light_c* _light) = 0;
    virtual void DrawDebug28(f32 _a, f32 _b, f32 _c, f32 _d, f32 _e) = 0;
    // A map over the whole viewport.
    virtual void DrawMap(const map_c& _map, f32 _a, f32 _b, f32 _c) = 0;
    virtual void DrawDebug30(f32 _a, f32 _b, f32 _c, f32 _d) = 0;
    virtual void DrawMap31(const map_c& _map, f32 _a, f32 _b, f32 _c, f32 _d) = 0;
    // _shadow_color points at the light's shadow colour with its strength
    // after it (four floats).
    virtual void DrawShadowShade(const f32* _shadow_color, f32 _darkness) = 0;
    virtual void ApplyGlow(f32 _strength) = 0;
    virtual void DrawTextB(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                           const vec3_c& _color, f32 _transparency) = 0;
    // A text at a pixel position of the full output.
    virtual void DrawText(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                          const vec3_c& _color, f32 _transparency) = 0;
    // Geometry, texture and font cache statistics, a newline between each.
    virtual void PrintStatistics(std::ostream& _out);

    // Fractions of the output; clamped into it. Returns SetViewportRect's
    // result.
    i32 SetViewport(f32 _x, f32 _y, f32 _width, f32 _height, f32 _aspect);
    // Negative sizes are stored as 0; pixel aspect (h x 4) / (w x 3), or 1.0
    // when a size is not positive.
    void SetResolution(i32 _width, i32 _height);
    // As SetResolution, with the pixel aspect from the second pair.
    void SetResolutionAspect(i32 _width, i32 _height, i32 _aspect_width, i32 _aspect_height);
    // Raised to FLT_EPSILON; a new value marks the ramp dirty and, with
    // _apply, rebuilds it at once.
    void SetGamma(f32 _gamma, bool _apply);
    // Rebuilds the 256-entry ramp from brightness, contrast, gamma, levels
    // and inversion when dirty, and hands it to SetGammaRamp.
    void BuildGammaRamp();
    // Appends the text and a newline while the log is shorter than 16384.
    void LogWarning(const string_c& _text);

    i32 GetOutputWidth() const { return outputWidth; }
    i32 GetOutputHeight() const { return outputHeight; }
    f32 GetPixelAspect() const { return pixelAspect; }
    i32 GetViewportX() const { return viewportX; }
    i32 GetViewportY() const { return viewportY; }
    i32 GetViewportWidth() const { return viewportWidth; }
    i32 GetViewportHeight() const { return viewportHeight; }
    f32 GetHalfViewportWidth() const { return halfViewportWidth; }
    f32 GetHalfViewportHeight() const { return halfViewportHeight; }
    f32 GetViewportAspect() const { return viewportAspect; }
    f32 GetGamma() const { return gamma; }
    bool IsGammaDirty() const { return gammaDirty; }
    const string_c& GetWarningLog() const { return warningLog; }
    const string_c& GetDescription() const { return description; }

protected:
    i32 outputWidth = 0;
    i32 outputHeight = 0;
    f32 pixelAspect = 1.0f;
    i32 viewportX = 0;
    i32 viewportY = 0;
    i32 viewportWidth = 0;
    i32 viewportHeight = 0;
    f32 halfViewportWidth = 0.0f;
    f32 halfViewportHeight = 0.0f;
    f32 viewportAspect = 1.0f;
    // Ramp controls; only gamma has a public setter.
    f32 brightness = 0.0f;
    f32 contrast = 0.0f;
    f32 gamma = 1.0f;
    f32 levels = 1.0f;
    bool inverted = false;
    bool gammaDirty = false;
    string_c description;
    string_c warningLog;
};
