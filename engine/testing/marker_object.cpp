#include "engine/testing/marker_object.h"

#include "engine/aabb.h"
#include "engine/camera.h"
#include "engine/renderer.h"

marker_object_c::marker_object_c(const char* _name, f32 _id, renderer_c* _renderer, const vec3_c& _min,
                                 const vec3_c& _max)
    : null_object_c(_name), id(_id), renderer(_renderer), box(_min, _max)
{
    flags = object_rendered | object_ray_testable | object_depth_test | object_fog;
    cameraMatrix.SetIdentity();
}

void marker_object_c::GetBoundingBox(aabb_c& _box)
{
    _box = aabb_c(box);
}

bool marker_object_c::Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid())
        return false;
    cameraMatrix = GetMatrix() * _camera->GetInverseMatrix();
    box.ToClipSpace(cameraMatrix, _camera->GetProjection());
    if (box.Clip(_mask) == 0)
        return false;
    (opaque ? _pass0 : _pass1).push_back(this);
    visible = true;
    return true;
}

bool marker_object_c::CullShadow(object_list_t& _shadows, camera_c*)
{
    if (!castsShadow || !(flags & object_shadow_casting))
        return false;
    _shadows.push_back(this);
    return true;
}

bool marker_object_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool, bool, float _maximum)
{
    if (!(flags & object_ray_testable) || !IsSolid())
        return false;
    const vec3_c origin = _ray.origin * GetInverseMatrix();
    if ((origin - box.GetCentre()).Length() - box.GetRadius() > _maximum)
        return false;
    const ray_c local(origin, _ray.direction * GetInverseMatrix().GetRotation());
    const float distance = box.RayDistance(local);
    if (distance == ray_miss)
        return false;
    _distance = distance;
    _normal = vec3_c(GetMatrix().m[1][0], GetMatrix().m[1][1], GetMatrix().m[1][2]);
    _normal.NormalizeSelf();
    return true;
}

void marker_object_c::Render(int _pass)
{
    renderer->DrawDebug30(id, static_cast<f32>(_pass), 0.0f, 0.0f);
}

void marker_object_c::RenderShadow()
{
    renderer->DrawDebug30(id, 2.0f, 0.0f, 0.0f);
}
