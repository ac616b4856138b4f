#pragma once
// sprite_c: a textured square that always faces the camera (smoke puffs,
// glows, muzzle flashes, markers). Its position, roll (the bank angle) and
// size come from the entity transform; each cull builds the model-view
// matrix that turns the unit square towards the camera, clips the square and
// queues the sprite in the opaque or the transparent pass. The base of the
// animated sprite and the lens flare. "SPRT" chunk, version 5.
#include "engine/map.h"
#include "engine/null_object.h"
#include "engine/quad_volume.h"

#include <memory>

class renderer_c;

// Flag word bits of the class.
inline constexpr u32 sprite_additive = 0x1000;
inline constexpr u32 sprite_alpha_blending = 0x2000;

class sprite_c : public null_object_c {
public:
    static constexpr u32 version = 5;

    // Rendered; no map; alpha threshold 0.01.
    sprite_c(const char* _name, renderer_c* _renderer);
    // Copies the square, matrix, threshold and renderer; clones the map.
    sprite_c(const sprite_c& _other);
    ~sprite_c() override;

    null_object_c* Clone() const override;
    void Write(output_file_c& _file) const override;
    void Preload() override;
    // After the object keywords: "Map" (text), "Additive" and
    // "AlphaBlending" (integers, non-zero = on), "AlphaThreshold" (float).
    bool SetParameter(const command_c& _command) override;
    // The square turned any way stays within +-sqrt(2) on each axis.
    void GetBoundingBox(aabb_c& _box) override;
    // The model-view matrix of the last cull.
    const mat4x3_c& GetWorldMatrix() const override { return modelView; }
    bool Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
              u32 _depth) override;
    void Render(int _pass) override;
    void DrawBounds() override;

    // The texture the renderer draws; null without one.
    virtual map_c* GetMap() const { return map.get(); }
    // Scale (each axis at least FLT_EPSILON) x roll x the camera's
    // orientation x the sprite's world position x the camera's view. Kept
    // while both the sprite and the camera are static, once built.
    virtual void UpdateBillboard(const camera_c* _camera);

    // An image file (mip-mapped, compressed), or null for no map.
    void SetMap(const char* _path);
    // Clamped to [0, 1].
    void SetAlphaThreshold(f32 _value);
    f32 GetAlphaThreshold() const { return alphaThreshold; }
    const quad_volume_c& GetQuadVolume() const { return quadVolume; }
    renderer_c* GetRenderer() const { return renderer; }

    // "SPRT" chunk, or null (nothing consumed) for another tag; another
    // version skips the chunk and gives null.
    static sprite_c* Read(input_file_c& _file, renderer_c* _renderer);

protected:
    // The flag keywords shared with the animated sprite; false for others.
    bool SetSpriteFlagParameter(const string_c& _keyword, const command_c& _command);
    // Queues into the pass the flags and dissolve ask for.
    void Queue(object_list_t& _pass0, object_list_t& _pass1);

    quad_volume_c quadVolume;
    mat4x3_c modelView;
    std::unique_ptr<map_c> map;
    f32 alphaThreshold = 0.01f;
    renderer_c* renderer;
    bool billboardBuilt = false;
};

// Scale (each component not above FLT_EPSILON raised to it, so the matrix is
// never singular) x roll about z by _bank x _stretch x the camera's
// orientation x translation to _position x the camera's view: the square
// turned to face the camera, in camera space.
mat4x3_c BillboardMatrix(const vec3_c& _scale, f32 _bank, const vec3_c& _stretch, const camera_c& _camera,
                         const vec3_c& _position);
