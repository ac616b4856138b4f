#pragma once
// flare_c: the glare of a bright light drawn as a camera-facing square whose
// size follows how visible the light is. A fade factor falls towards and
// past the screen edge, in fog and when scene geometry stands between the
// camera and the light (nine rays against the scene); the square shrinks
// with it and the child flares (the secondary reflections of a lens, placed
// each frame on the line from the screen centre through the light) grow
// transparent with it. "FLRE" chunk, version 5, with the children nested as
// whole "FLRE" chunks.
//
// Channel index 156 is the intensity.
#include "engine/sprite.h"
#include "image/flare.h"

#include <memory>
#include <vector>

// Flag word bits of the class.
inline constexpr u32 flare_fade_off_screen = 0x10000;
inline constexpr u32 flare_fade_with_distance = 0x20000;
inline constexpr u32 flare_fade_in_fog = 0x80000;
inline constexpr u32 flare_fade_behind_objects = 0x100000;

class flare_c : public sprite_c {
public:
    static constexpr u32 version = 5;

    // Rendered and additive; intensity, nominal distance and distortion 1,
    // axis position 0, no children, every fade off.
    flare_c(const char* _name, renderer_c* _renderer);
    // Clones the map and every child, in order.
    flare_c(const flare_c& _other);
    ~flare_c() override;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    // The map, then every child.
    void Preload() override;
    // After the object keywords (the sprite keywords are not taken): "Map",
    // "FadeOffScreen", "FadeBehindObjects", "GlowBehindObjects", "FadeInFog",
    // "FadeWithDistance" (integers, non-zero = on), "NominalDistance",
    // "DistortionFactor" (floats). Turning "FadeBehindObjects" on logs
    // "[name] Ray tracing enabled!" on the renderer.
    bool SetParameter(const command_c& _command) override;
    // Queues the children (before the flare) and the flare in the
    // transparent pass; the light must lie between the scene's clip planes.
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    // Stores and returns the local time; the children run on it.
    f32 Animate(f32 _time) override;
    float* GetEnvelopeTarget(u32 _index) override;

    // An image file (mip-mapped, full quality), or null for no map.
    void SetMap(const char* _path);
    // A drawn flare picture of _size x _size.
    void SetFlareMap(const flare_def_c& _definition, int _size);
    // Each at least FLT_EPSILON.
    void SetNominalDistance(f32 _distance);
    void SetDistortionFactor(f32 _factor);
    void SetIntensity(f32 _intensity) { intensity = _intensity; }
    // 0 the screen centre, 1 the light, -1 mirrored through the centre.
    void SetAxisPosition(f32 _position) { axisPosition = _position; }

    // Takes ownership and appends.
    flare_c* AddChild(flare_c* _child);
    u32 GetChildCount() const { return static_cast<u32>(children.size()); }
    flare_c* GetChild(u32 _index) const { return children[_index].get(); }

    f32 GetIntensity() const { return intensity; }
    f32 GetNominalDistance() const { return nominalDistance; }
    f32 GetDistortionFactor() const { return distortionFactor; }
    f32 GetAxisPosition() const { return axisPosition; }
    f32 GetLocalTime() const { return localTime; }

    // Every factor in [0, 1]: the intensity, then the screen-edge, fog and
    // occlusion fades the flags ask for; 0 as soon as the product is not
    // positive. _p is the light in camera space.
    f32 ComputeFade(scene_c* _scene, const camera_c* _camera, const vec3_c& _p, u32 _depth) const;
    // The weighted share (0..1) of nine rays from the camera around the light
    // that reach it unblocked.
    static f32 TraceVisibility(scene_c* _scene, const camera_c* _camera, const vec3_c& _p);

    // "FLRE" chunk with its children, or null (nothing consumed) for another
    // tag; another version skips the chunk and gives null. Nesting deeper
    // than the object loader's bound throws file_error_c.
    static flare_c* Read(input_file_c& _file, renderer_c* _renderer);

private:
    f32 intensity = 1.0f;
    f32 nominalDistance = 1.0f;
    f32 distortionFactor = 1.0f;
    std::vector<std::unique_ptr<flare_c>> children;
    f32 axisPosition = 0.0f;
    f32 localTime = 0.0f;
};
