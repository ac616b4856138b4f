#include "engine/light.h"

#include "engine/camera.h"
#include "engine/object_chunk.h"
#include "engine/stream_check.h"
#include "foundation/memory_file.h"

namespace {

constexpr u32 type_bits = light_directional | light_point | light_spot;

} // namespace

f32 Luminance(const vec3_c& _color)
{
    return 0.3f * _color.x + 0.59f * _color.y + 0.11f * _color.z;
}

light_c::light_c(const char* _name) : named_node_c<light_c>(_name)
{
    cameraMatrix.SetIdentity();
    cameraNormalMatrix.SetIdentity();
}

light_c::light_c(const light_c& _other)
    : entity_c(_other), named_node_c<light_c>(_other), color(_other.color), intensity(_other.intensity),
      range(_other.range), coneAngle(_other.coneAngle), edgeAngle(_other.edgeAngle), shadowColor(_other.shadowColor),
      shadowStrength(_other.shadowStrength), transform(_other.transform), cameraMatrix(_other.cameraMatrix),
      cameraNormalMatrix(_other.cameraNormalMatrix), cameraUniformScale(_other.cameraUniformScale), flags(_other.flags)
{}

vec3_c light_c::GetColor() const
{
    return color * intensity;
}

void light_c::SetFlags(u32 _bits)
{
    flags |= _bits;
    if (flags & light_directional)
        flags &= ~(light_point | light_spot);
    if (flags & light_point)
        flags &= ~(light_directional | light_spot);
    if (flags & light_falloff_1)
        flags &= ~light_falloff_2;
}

void light_c::ClearFlags(u32 _bits)
{
    flags &= ~_bits;
    if (!(flags & type_bits))
        flags |= light_directional;
}

void light_c::SetType(u32 _type)
{
    u32 type = _type & type_bits;
    if (type & light_directional)
        type = light_directional;
    else if (type & light_point)
        type = light_point;
    else if (!type)
        type = light_directional;
    flags = (flags & ~type_bits) | type;
}

void light_c::SetFalloff(bool _on, bool _second_kind)
{
    flags &= ~(light_falloff_1 | light_falloff_2);
    if (!(flags & light_directional) && _on)
        flags |= _second_kind ? light_falloff_2 : light_falloff_1;
}

bool light_c::HasFalloff() const
{
    return !(flags & light_directional) && (flags & (light_falloff_1 | light_falloff_2));
}

bool light_c::HasFalloffKind1() const
{
    return !(flags & light_directional) && (flags & light_falloff_1);
}

bool light_c::HasFalloffKind2() const
{
    return !(flags & light_directional) && (flags & light_falloff_2);
}

std::array<f32, 4> light_c::GetShadowColorAndStrength() const
{
    return {shadowColor.x, shadowColor.y, shadowColor.z, shadowStrength};
}

void light_c::UpdateForCamera(camera_c& _camera)
{
    if (isStatic && _camera.isStatic && IsPlaced() && _camera.IsPlaced())
        return;
    cameraMatrix = transform.world * _camera.GetInverseMatrix();
    mat3_c inverse;
    mat3_c::Inverse(inverse, cameraMatrix.GetRotation());
    cameraNormalMatrix.SetTranspose(inverse);
    cameraUniformScale = transform.uniformScale && _camera.IsUniformScale();
}

void light_c::UpdateTransform(entity_c* _parent)
{
    UpdateAimedTransform(_parent, transform);
}

float* light_c::GetEnvelopeTarget(u32 _index)
{
    switch (_index) {
    case 28: return &color.x;
    case 29: return &color.y;
    case 30: return &color.z;
    case 31: return &intensity;
    case 32: return &range;
    case 33: return &coneAngle;
    case 34: return &edgeAngle;
    default: return entity_c::GetEnvelopeTarget(_index);
    }
}

void light_c::Write(output_file_c& _file) const
{
    output_file_c body;
    body.WriteString(name);
    WriteEntity(body);
    for (f32 value : {color.x, color.y, color.z, intensity, range, coneAngle, edgeAngle, shadowColor.x, shadowColor.y,
                      shadowColor.z, shadowStrength})
        body.WriteF32(value);
    body.WriteU32(flags);
    WriteChunk(_file, MakeTag("LGHT"), version, body);
}

light_c* light_c::Read(input_file_c& _file)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("LGHT"), version, body))
        return nullptr;
    auto* light = new light_c("(Unnamed)");
    try {
        ReadCheckedString(body, light->name);
        light->ReadEntity(body);
        for (f32* value : {&light->color.x, &light->color.y, &light->color.z, &light->intensity, &light->range,
                           &light->coneAngle, &light->edgeAngle, &light->shadowColor.x, &light->shadowColor.y,
                           &light->shadowColor.z, &light->shadowStrength})
            *value = ReadCheckedF32(body);
        light->flags = ReadCheckedU32(body);
    } catch (...) {
        delete light;
        throw;
    }
    return light;
}
