#include "engine/aggregate.h"

#include "engine/aabb.h"
#include "engine/list_error.h"
#include "engine/list_position.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/parent_order.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cfloat>

namespace {

constexpr u32 tag_parent = MakeTag("prnt");
constexpr u32 tag_target = MakeTag("trgt");
constexpr u32 object_default_flags = object_rendered | object_ray_testable | object_depth_test | object_fog;

u64 removal_count = 0;

void WriteLink(output_file_c& _file, u32 _tag, u32 _item, u32 _other)
{
    if (_item == item_ref_none || _other == item_ref_none)
        return;
    output_file_c block;
    block.WriteU32(_item);
    block.WriteU32(_other);
    _file.WriteU32(_tag);
    _file.WriteBlock(block);
}

} // namespace

aggregate_c::aggregate_c(const char* _name, renderer_c* _renderer) : null_object_c(_name), renderer(_renderer)
{
    flags = object_default_flags;
    boundingTransform.SetIdentity();
}

aggregate_c::aggregate_c(const aggregate_c& _other)
    : null_object_c(_other), boundingVolume(_other.boundingVolume), boundingTransform(_other.boundingTransform),
      currentTime(_other.currentTime), renderer(_other.renderer)
{
    try {
        for (camera_c* camera = _other.cameras.GetFirst(); camera; camera = camera->GetNext())
            cameras.Append(new camera_c(*camera));
        for (light_c* light = _other.lights.GetFirst(); light; light = light->GetNext())
            lights.Append(new light_c(*light));
        for (null_object_c* object = _other.objects.GetFirst(); object; object = object->GetNext())
            objects.Append(object->Clone());
    } catch (...) {
        DeleteItems();
        throw;
    }
    // Re-point every link at the copy standing where the original stood.
    auto relink = [&](const entity_c* _original, entity_c* _copy) {
        if (_original->parent)
            if (const u32 ref = _other.GetItemRef(_original->parent); ref != item_ref_none)
                _copy->parent = GetItemByRef(ref);
        if (_original->target)
            if (const u32 ref = _other.GetItemRef(_original->target); ref != item_ref_none)
                _copy->target = GetItemByRef(ref);
    };
    camera_c* camera = cameras.GetFirst();
    for (const camera_c* original = _other.cameras.GetFirst(); original; original = original->GetNext()) {
        relink(original, camera);
        camera = camera->GetNext();
    }
    light_c* light = lights.GetFirst();
    for (const light_c* original = _other.lights.GetFirst(); original; original = original->GetNext()) {
        relink(original, light);
        light = light->GetNext();
    }
    null_object_c* object = objects.GetFirst();
    for (const null_object_c* original = _other.objects.GetFirst(); original; original = original->GetNext()) {
        relink(original, object);
        object = object->GetNext();
    }
    MarkChanged(true);
}

aggregate_c::~aggregate_c()
{
    DeleteItems();
}

void aggregate_c::DeleteItems()
{
    while (camera_c* camera = cameras.GetFirst()) {
        cameras.Unlink(camera);
        delete camera;
    }
    while (light_c* light = lights.GetFirst()) {
        lights.Unlink(light);
        delete light;
    }
    while (null_object_c* object = objects.GetFirst()) {
        objects.Unlink(object);
        delete object;
    }
    updateOrder.clear();
}

null_object_c* aggregate_c::Clone() const
{
    return new aggregate_c(*this);
}

void aggregate_c::MarkChanged(bool _object)
{
    flags |= aggregate_links_dirty | aggregate_members_dirty;
    if (_object)
        flags |= aggregate_bounds_dirty;
    itemsPlaced = false;
}

camera_c* aggregate_c::AddCamera(camera_c* _camera)
{
    _camera->timeOffset = currentTime;
    cameras.Append(_camera);
    MarkChanged(false);
    return _camera;
}

light_c* aggregate_c::AddLight(light_c* _light)
{
    _light->timeOffset = currentTime;
    lights.Append(_light);
    MarkChanged(false);
    return _light;
}

null_object_c* aggregate_c::AddObject(null_object_c* _object)
{
    _object->timeOffset = currentTime;
    objects.Append(_object);
    MarkChanged(true);
    return _object;
}

u64 aggregate_c::GetRemovalCount()
{
    return removal_count;
}

void aggregate_c::ClearLinksTo(const entity_c* _item)
{
    auto clear = [_item](entity_c* _entity) {
        if (_entity->parent == _item)
            _entity->parent = nullptr;
        if (_entity->target == _item)
            _entity->target = nullptr;
    };
    for (camera_c* camera = cameras.GetFirst(); camera; camera = camera->GetNext())
        clear(camera);
    for (light_c* light = lights.GetFirst(); light; light = light->GetNext())
        clear(light);
    for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
        clear(object);
}

camera_c* aggregate_c::RemoveCamera(camera_c* _camera)
{
    if (!_camera || !cameras.Contains(_camera))
        return nullptr;
    GetUpdateOrder();
    ClearLinksTo(_camera);
    cameras.Unlink(_camera);
    _camera->parent = _camera->target = nullptr;
    ++removal_count;
    MarkChanged(false);
    return _camera;
}

light_c* aggregate_c::RemoveLight(light_c* _light)
{
    if (!_light || !lights.Contains(_light))
        return nullptr;
    GetUpdateOrder();
    ClearLinksTo(_light);
    lights.Unlink(_light);
    _light->parent = _light->target = nullptr;
    ++removal_count;
    MarkChanged(false);
    return _light;
}

null_object_c* aggregate_c::RemoveObject(null_object_c* _object)
{
    if (!_object || !objects.Contains(_object))
        return nullptr;
    GetUpdateOrder();
    ClearLinksTo(_object);
    objects.Unlink(_object);
    _object->parent = _object->target = nullptr;
    ++removal_count;
    MarkChanged(true);
    return _object;
}

void aggregate_c::DeleteObject(null_object_c* _object)
{
    delete RemoveObject(_object);
}

camera_c* aggregate_c::CreateCamera(const char* _name)
{
    return AddCamera(new camera_c(_name));
}

null_object_c* aggregate_c::LoadObject(const char* _file_name, bool _geometry_only)
{
    return AddObject(::LoadObject(_file_name, renderer, _geometry_only));
}

void aggregate_c::SetParent(entity_c* _item, entity_c* _parent)
{
    if (!_item || _item->parent == _parent)
        return;
    _item->parent = _parent;
    flags |= aggregate_links_dirty | aggregate_bounds_dirty;
    itemsPlaced = false;
}

void aggregate_c::SetTarget(entity_c* _item, entity_c* _target)
{
    if (!_item || _item->target == _target)
        return;
    _item->target = _target;
    flags |= aggregate_links_dirty | aggregate_bounds_dirty;
    itemsPlaced = false;
}

u32 aggregate_c::GetItemRef(const entity_c* _item) const
{
    u32 index = 0;
    for (const null_object_c* object = objects.GetFirst(); object; object = object->GetNext(), ++index)
        if (static_cast<const entity_c*>(object) == _item)
            return index | item_ref_object;
    index = 0;
    for (const light_c* light = lights.GetFirst(); light; light = light->GetNext(), ++index)
        if (static_cast<const entity_c*>(light) == _item)
            return index | item_ref_light;
    index = 0;
    for (const camera_c* camera = cameras.GetFirst(); camera; camera = camera->GetNext(), ++index)
        if (static_cast<const entity_c*>(camera) == _item)
            return index | item_ref_camera;
    return item_ref_none;
}

entity_c* aggregate_c::GetItemByRef(u32 _ref) const
{
    const u32 index = _ref & item_ref_index_mask;
    entity_c* found = nullptr;
    switch (_ref & item_ref_kind_mask) {
    case item_ref_object: found = NthItem(objects, index); break;
    case item_ref_light: found = NthItem(lights, index); break;
    case item_ref_camera: found = NthItem(cameras, index); break;
    default: break;
    }
    if (!found)
        throw list_error_c("Could not find item!", string_c(_ref));
    return found;
}

const std::vector<entity_c*>& aggregate_c::GetUpdateOrder()
{
    if (flags & aggregate_members_dirty) {
        updateOrder.clear();
        updateOrder.reserve(objects.GetCount() + lights.GetCount() + cameras.GetCount());
        for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
            updateOrder.push_back(object);
        for (light_c* light = lights.GetFirst(); light; light = light->GetNext())
            updateOrder.push_back(light);
        for (camera_c* camera = cameras.GetFirst(); camera; camera = camera->GetNext())
            updateOrder.push_back(camera);
        flags &= ~aggregate_members_dirty;
        flags |= aggregate_links_dirty;
    }
    if (!(flags & aggregate_links_dirty))
        return updateOrder;

    OrderParentsFirst(updateOrder);
    flags &= ~aggregate_links_dirty;
    return updateOrder;
}

void aggregate_c::AnimateItems()
{
    for (entity_c* entity : GetUpdateOrder())
        entity->Animate(currentTime);
}

void aggregate_c::UpdateTransforms(entity_c* _parent)
{
    if (isStatic && (!_parent || _parent->isStatic) && itemsPlaced)
        return;
    for (entity_c* entity : GetUpdateOrder())
        entity->UpdateTransform(this);
    itemsPlaced = true;
}

void aggregate_c::ResetAnimation()
{
    entity_c::ResetAnimation();
    for (camera_c* camera = cameras.GetFirst(); camera; camera = camera->GetNext())
        camera->ResetAnimation();
    for (light_c* light = lights.GetFirst(); light; light = light->GetNext())
        light->ResetAnimation();
    for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
        object->ResetAnimation();
}

f32 aggregate_c::Animate(f32 _time)
{
    currentTime = entity_c::Animate(_time);
    return currentTime;
}

void aggregate_c::RebuildBounds()
{
    AnimateItems();
    UpdateTransforms(nullptr);
    // Children are placed in world space; the box is kept in the aggregate's
    // own space, where Cull and RayTest use it.
    aabb_c total;
    for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext()) {
        aabb_c box;
        object->GetBoundingBox(box);
        if (!box.IsValid())
            continue;
        aabb_c placed;
        placed.Transform(box, object->GetMatrix() * transform.inverse);
        if (!total.IsValid()) {
            total = placed;
            continue;
        }
        total.min = vec3_c(std::min(total.min.x, placed.min.x), std::min(total.min.y, placed.min.y),
                           std::min(total.min.z, placed.min.z));
        total.max = vec3_c(std::max(total.max.x, placed.max.x), std::max(total.max.y, placed.max.y),
                           std::max(total.max.z, placed.max.z));
    }
    if (total.IsValid())
        boundingVolume.Set(total.min, total.max);
    else
        boundingVolume = bounding_box_c();
    flags &= ~aggregate_bounds_dirty;
}

void aggregate_c::GetBoundingBox(aabb_c& _box)
{
    if (flags & aggregate_bounds_dirty)
        RebuildBounds();
    _box = aabb_c(boundingVolume);
}

bool aggregate_c::Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
                       u32 _depth)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || !_camera)
        return false;
    if (flags & aggregate_bounds_dirty)
        RebuildBounds();
    if (!aabb_c(boundingVolume).IsValid())
        return false;
    if (!(isStatic && _camera->isStatic))
        boundingTransform = transform.world * _camera->GetInverseMatrix();
    boundingVolume.ToClipSpace(boundingTransform, _camera->GetProjection());
    if (boundingVolume.Clip(_mask) == 0)
        return false;
    AnimateItems();
    UpdateTransforms(this);
    bool any = false;
    for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
        if (object->Cull(_pass0, _pass1, _scene, _camera, _mask, _depth + 1))
            any = true;
    visible = any;
    return any;
}

bool aggregate_c::CullShadow(object_list_t& _shadows, camera_c* _camera)
{
    if (!(flags & object_shadow_casting))
        return false;
    bool any = false;
    for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
        if (object->CullShadow(_shadows, _camera))
            any = true;
    return any;
}

bool aggregate_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                          float _maximum)
{
    if (!(flags & object_ray_testable) || !IsSolid())
        return false;
    if (flags & aggregate_bounds_dirty)
        RebuildBounds();
    if (!aabb_c(boundingVolume).IsValid())
        return false;
    const vec3_c origin = _ray.origin * transform.inverse;
    if ((origin - boundingVolume.GetCentre()).Length() - boundingVolume.GetRadius() > _maximum)
        return false;
    const ray_c local(origin, _ray.direction * transform.inverse.GetRotation());
    if (boundingVolume.RayDistance(local) == ray_miss)
        return false;
    AnimateItems();
    UpdateTransforms(this);
    float distance;
    vec3_c normal;
    if (!RayTestChildren(distance, normal, _ray, _include_non_opaque, _precise, _maximum))
        return false;
    _distance = distance;
    _normal = normal;
    return true;
}

null_object_c* aggregate_c::RayTestChildren(float& _distance, vec3_c& _normal, const ray_c& _ray,
                                            bool _include_non_opaque, bool _precise, float _maximum) const
{
    null_object_c* best = nullptr;
    _distance = FLT_MAX;
    _normal = vec3_c();
    for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext()) {
        float distance = FLT_MAX;
        vec3_c normal;
        if (object->RayTest(distance, normal, _ray, _include_non_opaque, _precise, _maximum) &&
            (!best || distance < _distance)) {
            best = object;
            _distance = distance;
            _normal = normal;
        }
    }
    return best;
}

void aggregate_c::DrawBounds()
{
    if (renderer)
        renderer->DrawBox(boundingVolume, vec3_c(0.75f, 0.75f, 0.5f), 0.75f, boundingTransform);
}

void aggregate_c::Preload()
{
    for (null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
        object->Preload();
}

u32 aggregate_c::GetStoredFlags() const
{
    return flags & ~(aggregate_bounds_dirty | aggregate_links_dirty | aggregate_members_dirty);
}

void aggregate_c::Write(output_file_c& _file) const
{
    output_file_c body;
    WriteNullBody(body);
    WriteItems(body);
    WriteChunk(_file, MakeTag("AGGR"), version, body);
}

void aggregate_c::WriteItems(output_file_c& _file) const
{
    for (const camera_c* camera = cameras.GetFirst(); camera; camera = camera->GetNext())
        camera->Write(_file);
    for (const light_c* light = lights.GetFirst(); light; light = light->GetNext())
        light->Write(_file);
    for (const null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
        object->Write(_file);
    auto links = [&](const entity_c* _item, bool _with_target) {
        const u32 ref = GetItemRef(_item);
        if (_item->parent)
            WriteLink(_file, tag_parent, ref, GetItemRef(_item->parent));
        if (_with_target && _item->target)
            WriteLink(_file, tag_target, ref, GetItemRef(_item->target));
    };
    for (const camera_c* camera = cameras.GetFirst(); camera; camera = camera->GetNext())
        links(camera, true);
    for (const light_c* light = lights.GetFirst(); light; light = light->GetNext())
        links(light, true);
    for (const null_object_c* object = objects.GetFirst(); object; object = object->GetNext())
        links(object, false);
}

void aggregate_c::ApplyLink(u32 _tag, input_file_c& _block)
{
    const u32 item_ref = ReadCheckedU32(_block);
    const u32 other_ref = ReadCheckedU32(_block);
    entity_c* item;
    entity_c* other;
    try {
        item = GetItemByRef(item_ref);
        other = GetItemByRef(other_ref);
    } catch (const list_error_c& error) {
        // A bad data file must reach the caller as a file failure with its name.
        throw file_error_c(_block.GetName(), error.what());
    }
    if (_tag == tag_parent)
        SetParent(item, other);
    else
        SetTarget(item, other);
}

bool aggregate_c::ReadItem(input_file_c& _body)
{
    // Up to three bytes of padding may close a body.
    if (!_body.GetAlignedPointer32())
        return false;
    const u32 start = _body.GetPosition();
    if (camera_c* camera = camera_c::Read(_body)) {
        AddCamera(camera);
        return true;
    }
    if (_body.GetPosition() != start)
        return true;
    if (light_c* light = light_c::Read(_body)) {
        AddLight(light);
        return true;
    }
    if (_body.GetPosition() != start)
        return true;
    if (null_object_c* object = ::LoadObject(_body, renderer, false)) {
        AddObject(object);
        return true;
    }
    if (_body.GetPosition() != start)
        return true;
    const u32 tag = ReadCheckedU32(_body);
    input_file_c block;
    ReadCheckedBlock(_body, block);
    if (tag == tag_parent || tag == tag_target)
        ApplyLink(tag, block);
    else
        ReadRecord(tag, block);
    return true;
}

void aggregate_c::ReadRecord(u32, input_file_c&) {}

void aggregate_c::ReadItems(input_file_c& _body)
{
    object_nesting_guard_c guard(_body);
    while (ReadItem(_body)) {}
}

aggregate_c* aggregate_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("AGGR"), version, body))
        return nullptr;
    auto* aggregate = new aggregate_c("(Unnamed)", _renderer);
    try {
        aggregate->ReadNullBody(body);
        aggregate->ReadItems(body);
    } catch (...) {
        delete aggregate;
        throw;
    }
    return aggregate;
}
