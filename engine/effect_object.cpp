#include "engine/effect_object.h"

#include "engine/aabb.h"
#include "engine/camera.h"
#include "engine/effect_maps.h"
#include "engine/renderer.h"

effect_object_c::effect_object_c(const char* _name, renderer_c* _renderer, u32 _flags)
    : null_object_c(_name), renderer(_renderer)
{
    flags = _flags;
    modelView.SetIdentity();
}

effect_object_c::effect_object_c(const effect_object_c& _other)
    : null_object_c(_other), boundingVolume(_other.boundingVolume),
      geometry(_other.geometry ? new effect_geometry_c(*_other.geometry) : nullptr), modelView(_other.modelView),
      map(_other.map ? _other.map->Clone() : nullptr), renderer(_other.renderer), clock(_other.clock),
      modelViewBuilt(_other.modelViewBuilt)
{}

effect_object_c::~effect_object_c() = default;

void effect_object_c::Preload()
{
    if (map)
        map->Preload();
}

void effect_object_c::SetMap(const char* _path)
{
    map = MakeEffectMap(_path, false, renderer);
}

void effect_object_c::UpdateBounds()
{
    const f32 r = GetBoundsRadius();
    boundingVolume.Set(vec3_c(-r, -r, -r), vec3_c(r, r, r));
}

void effect_object_c::GetBoundingBox(aabb_c& _box)
{
    UpdateBounds();
    _box = aabb_c(boundingVolume);
}

void effect_object_c::DrawBounds()
{
    renderer->DrawBox(boundingVolume, EffectBoundsColor(), effect_bounds_alpha, modelView);
}

void effect_object_c::UpdateTransform(entity_c* _parent)
{
    clock.previousWorldPosition = GetMatrix().GetPosition();
    null_object_c::UpdateTransform(_parent);
}

bool effect_object_c::ClipBounds(const camera_c& _camera, u32 _mask)
{
    clock.TrackSpeed(GetMatrix().GetPosition());
    UpdateBounds();
    if (!modelViewBuilt || !(isStatic && _camera.isStatic)) {
        modelView = GetMatrix() * _camera.GetInverseMatrix();
        modelViewBuilt = true;
    }
    boundingVolume.ToClipSpace(modelView, _camera.GetProjection());
    return boundingVolume.Clip(_mask) != 0;
}
