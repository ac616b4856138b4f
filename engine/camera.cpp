#include "engine/camera.h"

#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <cfloat>
#include <cmath>

camera_c::camera_c(const char* _name) : named_node_c<camera_c>(_name)
{
    horizontalExtent = 1.0f / zoom;
    verticalExtent = 1.0f / zoom;
    SetProjection(1.0f, FLT_MAX);
}

camera_c::camera_c(const camera_c& _other)
    : entity_c(_other), named_node_c<camera_c>(_other), zoom(_other.zoom), transform(_other.transform),
      horizontalExtent(_other.horizontalExtent), verticalExtent(_other.verticalExtent), projection(_other.projection)
{}

void camera_c::SetFieldOfView(f32 _angle)
{
    zoom = 1.0f / std::tan(_angle * 0.5f);
}

void camera_c::SetViewShape(const renderer_c& _renderer)
{
    verticalExtent = 1.0f / zoom;
    const f32 below = _renderer.GetHalfViewportHeight() * zoom;
    // An empty viewport has no shape of its own; keep the view square.
    horizontalExtent = below != 0.0f ? _renderer.GetHalfViewportWidth() * _renderer.GetViewportAspect() *
                                           _renderer.GetPixelAspect() / below
                                     : verticalExtent;
}

void camera_c::SetProjection(f32 _near, f32 _far)
{
    const f32 n = _near >= 0.0f ? _near : 0.0f;
    const f32 f = _far >= 0.0f ? _far : 0.0f;
    f32 q = 1.0f;
    f32 r = -n;
    if (n < f && f < FLT_MAX) {
        q = f / (f - n);
        r = f * n / (n - f);
    }
    for (auto& row : projection.m)
        for (float& value : row)
            value = 0.0f;
    projection.m[0][0] = 1.0f / horizontalExtent;
    projection.m[1][1] = 1.0f / verticalExtent;
    projection.m[2][2] = q;
    projection.m[2][3] = 1.0f;
    projection.m[3][2] = r;
}

void camera_c::GetPickRay(ray_c& _ray, f32 _x, f32 _y) const
{
    const vec3_c local(2.0f * _x * horizontalExtent - horizontalExtent, verticalExtent - 2.0f * _y * verticalExtent,
                       1.0f);
    vec3_c turned = local * transform.world.GetRotation();
    turned.NormalizeSelf();
    _ray.direction = turned;
    _ray.origin = transform.world.GetPosition();
}

void camera_c::UpdateTransform(entity_c* _parent)
{
    UpdateAimedTransform(_parent, transform);
}

float* camera_c::GetEnvelopeTarget(u32 _index)
{
    if (_index == 28)
        return &zoom;
    return entity_c::GetEnvelopeTarget(_index);
}

void camera_c::Write(output_file_c& _file) const
{
    output_file_c body;
    body.WriteString(name);
    WriteEntity(body);
    body.WriteF32(zoom);
    WriteChunk(_file, MakeTag("CMRA"), version, body);
}

camera_c* camera_c::Read(input_file_c& _file)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("CMRA"), version, body))
        return nullptr;
    auto* camera = new camera_c("(Unnamed)");
    try {
        ReadCheckedString(body, camera->name);
        camera->ReadEntity(body);
        camera->zoom = ReadCheckedF32(body);
    } catch (...) {
        delete camera;
        throw;
    }
    return camera;
}
