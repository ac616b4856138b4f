#include "engine/terrain.h"

#include "engine/aabb.h"
#include "engine/body_items.h"
#include "engine/box_ray.h"
#include "engine/camera.h"
#include "engine/map.h"
#include "engine/mesh.h"
#include "engine/model_view.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "engine/terrain_patch.h"
#include "foundation/command.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <cfloat>
#include <memory>

namespace {

constexpr u32 tag_map0 = MakeTag("col0");
constexpr u32 tag_map1 = MakeTag("col1");

// Installed whenever the terrain is linked in.
const bool registered = (terrain_c::RegisterReader(), true);

} // namespace

terrain_c::terrain_c(const char* _name, renderer_c* _renderer) : null_object_c(_name), renderer(_renderer)
{
    flags = object_rendered | object_ray_testable | object_depth_test | object_fog;
    modelView.SetIdentity();
}

terrain_c::terrain_c(const terrain_c& _other)
    : null_object_c(_other), box(_other.box), modelView(_other.modelView), accuracy(_other.accuracy),
      localTime(_other.localTime), renderer(_other.renderer)
{
    for (u32 i = 0; i < 3; ++i)
        words[i] = _other.words[i];
    if (_other.mesh)
        mesh = new mesh_c(*_other.mesh);
    for (u32 i = 0; i < 2; ++i)
        colorMaps[i] = _other.colorMaps[i] ? _other.colorMaps[i]->Clone() : nullptr;
    for (u32 i = 0; i < child_count; ++i)
        children[i] = _other.children[i] ? new terrain_c(*_other.children[i]) : nullptr;
}

terrain_c::~terrain_c()
{
    for (terrain_c* child : children)
        delete child;
    for (map_c* map : colorMaps)
        delete map;
    delete mesh;
}

void terrain_c::SetAccuracy(f32 _accuracy)
{
    accuracy = _accuracy > FLT_EPSILON ? (_accuracy > 1.0f ? 1.0f : _accuracy) : FLT_EPSILON;
    for (terrain_c* child : children)
        if (child)
            child->SetAccuracy(accuracy);
}

void terrain_c::SetMesh(mesh_c* _mesh)
{
    if (_mesh != mesh)
        delete mesh;
    mesh = _mesh;
    SetFlags(terrain_bounds_dirty);
}

void terrain_c::SetColorMap(u32 _index, map_c* _map)
{
    if (_index >= 2) {
        delete _map;
        return;
    }
    if (_map != colorMaps[_index])
        delete colorMaps[_index];
    colorMaps[_index] = _map;
}

void terrain_c::SetChild(u32 _slot, terrain_c* _child)
{
    if (_slot >= child_count) {
        delete _child;
        return;
    }
    if (_child != children[_slot])
        delete children[_slot];
    children[_slot] = _child;
    SetFlags(terrain_bounds_dirty);
}

u32 terrain_c::GetChildCount() const
{
    u32 count = 0;
    for (const terrain_c* child : children)
        count += child != nullptr;
    return count;
}

void terrain_c::UpdateBounds()
{
    if (!(flags & terrain_bounds_dirty))
        return;
    vec3_c min(FLT_MAX, FLT_MAX, FLT_MAX);
    vec3_c max(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    if (mesh)
        ExtendByGeometry(mesh->GetDefinition(), min, max);
    for (terrain_c* child : children) {
        if (!child)
            continue;
        child->Animate(localTime);
        // Without a parent the child's matrix is its place in this patch.
        child->UpdateTransform(nullptr);
        aabb_c local;
        child->GetBoundingBox(local);
        if (!local.IsValid())
            continue;
        aabb_c placed;
        placed.Transform(local, child->GetMatrix());
        const vec3_c corners[2] = {placed.min, placed.max};
        for (const vec3_c& p : corners) {
            min = vec3_c(p.x < min.x ? p.x : min.x, p.y < min.y ? p.y : min.y, p.z < min.z ? p.z : min.z);
            max = vec3_c(p.x > max.x ? p.x : max.x, p.y > max.y ? p.y : max.y, p.z > max.z ? p.z : max.z);
        }
    }
    box.Set(min, max);
    ClearFlags(terrain_bounds_dirty);
}

void terrain_c::UpdateViewMatrix(const camera_c* _camera)
{
    UpdateModelView(modelView, *this, transform.world, *_camera);
}

bool terrain_c::NeedsRefinement(const camera_c* _camera)
{
    if (GetChildCount() != child_count)
        return false;
    UpdateBounds();
    const vec3_c eye = _camera->GetMatrix().GetPosition() * transform.inverse;
    return PatchNeedsRefinement(box, eye, accuracy);
}

f32 terrain_c::Animate(f32 _time)
{
    localTime = null_object_c::Animate(_time);
    return localTime;
}

null_object_c* terrain_c::Clone() const
{
    return new terrain_c(*this);
}

void terrain_c::Write(output_file_c& _file) const
{
    // Saved bounds are current bounds; bringing them up to date changes
    // only derived data.
    const_cast<terrain_c*>(this)->UpdateBounds();
    output_file_c body;
    WriteNullBody(body);
    WriteBoundingBox(body, box);
    for (u32 word : words)
        body.WriteU32(word);
    body.WriteF32(accuracy);
    if (mesh)
        mesh->Write(body);
    for (u32 i = 0; i < 2; ++i) {
        if (!colorMaps[i])
            continue;
        output_file_c block;
        colorMaps[i]->Write(block);
        body.WriteU32(i == 0 ? tag_map0 : tag_map1);
        body.WriteBlock(block);
    }
    for (const terrain_c* child : children)
        if (child)
            child->Write(body);
    WriteChunk(_file, MakeTag("TERN"), version, body);
}

void terrain_c::Preload()
{
    for (map_c* map : colorMaps)
        if (map)
            map->Preload();
    for (terrain_c* child : children)
        if (child)
            child->Preload();
}

bool terrain_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* keyword = _command.GetName();
    if (!keyword || !(string_c(keyword) == "Accuracy"))
        return false;
    SetAccuracy(_command.GetFloat(1u));
    return true;
}

void terrain_c::GetBoundingBox(aabb_c& _box)
{
    UpdateBounds();
    _box = aabb_c(box);
}

bool terrain_c::Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c* _scene, camera_c* _camera, u32 _mask,
                     u32 _depth)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || !mesh)
        return false;
    UpdateBounds();
    UpdateViewMatrix(_camera);
    const u32 clip = ClipToView(box, modelView, *_camera, _mask);
    if (clip == 0)
        return false;
    if (!NeedsRefinement(_camera)) {
        _pass0.push_back(this);
        visible = true;
        return true;
    }
    bool any = false;
    for (terrain_c* child : children) {
        child->Animate(localTime);
        child->UpdateTransform(this);
        any = child->Cull(_pass0, _pass1, _scene, _camera, clip, _depth + 1) || any;
    }
    visible = any;
    return any;
}

bool terrain_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque, bool _precise,
                        float _maximum)
{
    if (!(flags & object_ray_testable) || !IsSolid() || !mesh)
        return false;
    UpdateBounds();
    box_ray_c ray;
    if (!ray.Start(transform, box, _ray, _maximum))
        return false;
    if (!_precise) {
        _distance = ray.Fraction(transform, ray.boxDistance);
        _normal = box_ray_c::UpAxis(transform);
        return true;
    }
    if (GetChildCount() == child_count) {
        f32 best = FLT_MAX;
        for (terrain_c* child : children) {
            child->Animate(localTime);
            child->UpdateTransform(this);
            f32 fraction = FLT_MAX;
            vec3_c normal;
            if (child->RayTest(fraction, normal, _ray, _include_non_opaque, _precise, _maximum) && fraction >= 0.0f &&
                fraction < best) {
                best = fraction;
                _distance = fraction;
                _normal = normal;
            }
        }
        return best < FLT_MAX && ray.WithinReach(best, _maximum);
    }
    f32 best = ray_miss;
    vec3_c normal;
    if (!RayTestGeometry(mesh->GetDefinition(), ray.local, false, best, normal))
        return false;
    const f32 fraction = ray.Fraction(transform, best);
    if (!ray.WithinReach(fraction, _maximum))
        return false;
    _distance = fraction;
    _normal = box_ray_c::WorldNormal(transform, normal);
    return true;
}

void terrain_c::Render(int)
{
    renderer->DrawTerrain(this, box.NeedsClipping());
}

void terrain_c::DrawBounds()
{
    renderer->DrawBox(box, vec3_c(0.5f, 0.75f, 0.75f), 0.75f, modelView);
}

terrain_c* terrain_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("TERN"), version, body))
        return nullptr;
    object_nesting_guard_c guard(_file);
    std::unique_ptr<terrain_c> terrain(new terrain_c("(Unnamed)", _renderer));
    terrain->ReadNullBody(body);
    ReadBoundingBox(body, terrain->box);
    // A body that ends early keeps the defaults of what it lacks.
    for (u32& word : terrain->words)
        body.ReadU32(word);
    body.ReadF32(terrain->accuracy);
    u32 filled = 0;
    ReadBodyItems(
        body,
        [&](input_file_c& _body) {
            const u32 start = _body.GetPosition();
            if (mesh_c* mesh = mesh_c::Read(_body, _renderer)) {
                delete terrain->mesh;
                terrain->mesh = mesh;
                return true;
            }
            if (_body.GetPosition() != start)
                return false;
            terrain_c* child = Read(_body, _renderer);
            if (!child)
                return false;
            if (filled == child_count) {
                delete child;
                ThrowDataError(_body, "Terrain patch with more than four children!");
            }
            terrain->children[filled++] = child;
            return true;
        },
        [&](u32 _tag, input_file_c& _block) {
            if (_tag != tag_map0 && _tag != tag_map1)
                return;
            if (map_c* map = ReadMap(_block, _renderer))
                terrain->SetColorMap(_tag == tag_map0 ? 0 : 1, map);
        });
    return terrain.release();
}

void terrain_c::RegisterReader()
{
    RegisterObjectReader(reader_terrain, [](input_file_c& _file, renderer_c* _renderer) -> null_object_c* {
        return terrain_c::Read(_file, _renderer);
    });
}

terrain_c* LoadTerrain(const char* _file_name, renderer_c* _renderer)
{
    input_file_c file(_file_name);
    terrain_c* terrain = terrain_c::Read(file, _renderer);
    if (!terrain)
        throw file_error_c(file.GetName(), "Unknown file format!");
    return terrain;
}
