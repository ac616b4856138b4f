#pragma once
// light_c: a named entity with colour, intensity, type and falloff flags,
// range, cone values and shadow settings. Each frame it works out its
// matrices relative to the active camera. "LGHT" chunk, version 4.
// Channel indices: colour 28..30, intensity 31, range 32, cone 33, edge 34.
#include "engine/entity.h"
#include "engine/node.h"
#include "engine/world_transform.h"
#include "foundation/matrix.h"

#include <array>

class camera_c;
class input_file_c;
class output_file_c;

enum light_flag_e : u32 {
    light_directional = 0x1,
    light_point = 0x2,
    light_spot = 0x4,
    light_diffuse = 0x8,
    light_specular = 0x10,
    light_falloff_1 = 0x20,
    light_falloff_2 = 0x40,
    light_shadows = 0x80,
};

class light_c : public entity_c, public named_node_c<light_c> {
public:
    static constexpr u32 version = 4;

    vec3_c color;
    f32 intensity = 1.0f;
    f32 range = 0.0f;
    f32 coneAngle = 0.0f;
    f32 edgeAngle = 0.0f;
    vec3_c shadowColor;
    f32 shadowStrength = 1.0f;

    explicit light_c(const char* _name);
    light_c(const light_c& _other);

    // Colour x intensity.
    vec3_c GetColor() const;
    // flags |= bits; then a set directional bit clears point and spot, a set
    // point bit clears directional and spot, a set first falloff clears the
    // second.
    void SetFlags(u32 _bits);
    // flags &= ~bits; without a type bit the light becomes directional.
    void ClearFlags(u32 _bits);
    // Type bits = type & 7, directional winning over point over spot; none
    // gives directional.
    void SetType(u32 _type);
    // Only a light that is not directional gets a falloff bit.
    void SetFalloff(bool _on, bool _second_kind);
    bool HasFalloff() const;
    bool HasFalloffKind1() const;
    bool HasFalloffKind2() const;
    void SetShadowColor(const vec3_c& _color) { shadowColor = _color; }
    u32 GetFlags() const { return flags; }
    // The shadow colour with the strength after it, as the renderer takes it.
    std::array<f32, 4> GetShadowColorAndStrength() const;

    // Camera-space matrix, its normal matrix and uniform-scale flag.
    void UpdateForCamera(camera_c& _camera);

    void UpdateTransform(entity_c* _parent) override;
    const mat4x3_c& GetMatrix() const override { return transform.world; }
    bool IsUniformScale() const override { return transform.uniformScale; }
    float* GetEnvelopeTarget(u32 _index) override;

    const mat3_c& GetOrientation() const { return transform.orientation; }
    const mat4x3_c& GetCameraMatrix() const { return cameraMatrix; }
    const mat3_c& GetCameraNormalMatrix() const { return cameraNormalMatrix; }
    bool IsCameraUniformScale() const { return cameraUniformScale; }

    void Write(output_file_c& _file) const;
    // Null (nothing consumed) for another tag; another version skips the
    // chunk and gives null.
    static light_c* Read(input_file_c& _file);

private:
    world_transform_c transform;
    mat4x3_c cameraMatrix;
    mat3_c cameraNormalMatrix;
    bool cameraUniformScale = true;
    u32 flags = light_directional | light_diffuse | light_specular;
};

// 0.3 R + 0.59 G + 0.11 B.
f32 Luminance(const vec3_c& _color);
