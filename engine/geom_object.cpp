#include "engine/geom_object.h"

#include "engine/aabb.h"
#include "engine/camera.h"
#include "engine/list_position.h"
#include "engine/object_format.h"
#include "engine/object_chunk.h"
#include "engine/parent_order.h"
#include "engine/renderer.h"
#include "engine/shared_edges.h"
#include "engine/stream_check.h"
#include "engine/text_format.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

namespace {

constexpr u32 tag_geometry = MakeTag("GEOM");
constexpr u32 tag_slot_material = MakeTag("mtrl");
constexpr u32 tag_bone_parent = MakeTag("prnt");
constexpr u32 object_default_flags = object_rendered | object_ray_testable | object_depth_test | object_fog;
constexpr u32 derived_data_flags =
    geom_bounds_dirty | geom_material_check | geom_skeleton_changed | geom_weight_maps | geom_primary_changed;

struct layer_reader_s {
    geom_layer_reader_f read = nullptr;
    geom_layer_name_f name = nullptr;
};

std::array<layer_reader_s, geom_reader_count>& LayerReaders()
{
    static std::array<layer_reader_s, geom_reader_count> readers{};
    return readers;
}

// Moves to the _layer-th "GEOM" chunk; false when another tag, another
// version or the end comes first.
bool SkipToGeometry(input_file_c& _file, u32 _layer)
{
    for (u32 i = 0; i < _layer; ++i) {
        if (!PeekTag(_file, tag_geometry))
            return false;
        input_file_c skipped;
        if (!ReadChunk(_file, tag_geometry, geom_object_c::version, skipped))
            return false;
    }
    return PeekTag(_file, tag_geometry);
}

void WriteRecord(output_file_c& _file, u32 _tag, std::initializer_list<u32> _words)
{
    output_file_c block;
    for (u32 word : _words)
        block.WriteU32(word);
    _file.WriteU32(_tag);
    _file.WriteBlock(block);
}

} // namespace

void RegisterGeomLayerReader(geom_reader_e _slot, geom_layer_reader_f _reader, geom_layer_name_f _name)
{
    if (_slot < geom_reader_count)
        LayerReaders()[_slot] = {_reader, _name};
}

geom_object_c::geom_object_c(const char* _name, renderer_c* _renderer) : null_object_c(_name), renderer(_renderer)
{
    flags = object_default_flags;
    objectMatrix.SetIdentity();
}

geom_object_c::geom_object_c(const geom_object_c& _other)
    : null_object_c(_other), shadowDepth(_other.shadowDepth), boundingVolume(_other.boundingVolume),
      objectMatrix(_other.objectMatrix), animationTime(_other.animationTime), renderer(_other.renderer)
{
    for (const material_c* material = _other.materials.GetFirst(); material; material = material->GetNext())
        materials.Append(new material_c(*material));
    for (const mesh_c* mesh = _other.meshes.GetFirst(); mesh; mesh = mesh->GetNext()) {
        auto* copy = new mesh_c(*mesh);
        meshes.Append(copy);
        for (material_c*& slot : copy->GetMaterials())
            if (slot)
                slot = NthItem(materials, IndexOf(_other.materials, static_cast<const material_c*>(slot)));
        if (mesh == _other.primaryMesh)
            primaryMesh = copy;
    }
    for (const bone_c* bone = _other.bones.GetFirst(); bone; bone = bone->GetNext())
        bones.Append(new bone_c(*bone));
    bone_c* copy = bones.GetFirst();
    for (const bone_c* bone = _other.bones.GetFirst(); bone; bone = bone->GetNext(), copy = copy->GetNext())
        if (bone->parent)
            copy->parent = NthItem(bones, IndexOf(_other.bones, static_cast<const bone_c*>(bone->parent)));
    flags |= derived_data_flags;
}

geom_object_c::~geom_object_c()
{
    shadowMesh.reset();
    while (mesh_c* mesh = meshes.GetFirst()) {
        meshes.Unlink(mesh);
        delete mesh;
    }
    while (material_c* material = materials.GetFirst()) {
        materials.Unlink(material);
        delete material;
    }
    while (bone_c* bone = bones.GetFirst()) {
        bones.Unlink(bone);
        delete bone;
    }
}

null_object_c* geom_object_c::Clone() const
{
    return new geom_object_c(*this);
}

u32 geom_object_c::GetStoredFlags() const
{
    return flags & ~derived_data_flags;
}

mesh_c* geom_object_c::AddMesh(mesh_c* _mesh)
{
    meshes.Append(_mesh);
    if (!primaryMesh) {
        primaryMesh = _mesh;
        flags |= geom_primary_changed;
    }
    flags |= geom_weight_maps | geom_bounds_dirty;
    return _mesh;
}

mesh_c* geom_object_c::CreateMesh(const char* _name, const geometry_def_c& _definition)
{
    auto mesh = std::make_unique<mesh_c>(_name, _definition, renderer);
    return AddMesh(mesh.release());
}

void geom_object_c::SetPrimaryMesh(mesh_c* _mesh)
{
    if (_mesh == primaryMesh || (_mesh && !meshes.Contains(_mesh)))
        return;
    primaryMesh = _mesh;
    flags |= geom_primary_changed | geom_weight_maps;
}

material_c* geom_object_c::AddMaterial(material_c* _material)
{
    materials.Append(_material);
    return _material;
}

bone_c* geom_object_c::AddBone(bone_c* _bone)
{
    bones.Append(_bone);
    flags |= geom_skeleton_changed | geom_weight_maps;
    return _bone;
}

void geom_object_c::SetMeshMaterial(mesh_c* _mesh, u32 _slot, material_c* _material)
{
    if (!_mesh)
        return;
    _mesh->SetMaterial(_slot, _material);
    flags |= geom_material_check;
}

void geom_object_c::SetBoneParent(bone_c* _bone, bone_c* _parent)
{
    if (!_bone || _bone->parent == _parent)
        return;
    _bone->parent = _parent;
    flags |= geom_skeleton_order;
}

const std::vector<bone_c*>& geom_object_c::GetSkeleton()
{
    UpdateSkeleton();
    return skeleton;
}

void geom_object_c::UpdateSkeleton()
{
    if (flags & geom_skeleton_list) {
        skeleton.clear();
        for (bone_c* bone = bones.GetFirst(); bone; bone = bone->GetNext())
            skeleton.push_back(bone);
        flags &= ~geom_skeleton_list;
        flags |= geom_skeleton_order;
    }
    if (flags & geom_skeleton_order) {
        OrderParentsFirst(skeleton);
        flags &= ~geom_skeleton_order;
        // Rest poses hang below their parents' ones.
        for (bone_c* bone : skeleton)
            bone->UpdateRest();
    }
}

void geom_object_c::UpdateBounds()
{
    if (!(flags & geom_bounds_dirty))
        return;
    vec3_c low(FLT_MAX, FLT_MAX, FLT_MAX);
    vec3_c high(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    bool any = false;
    bool skinned = false;
    for (const mesh_c* mesh = meshes.GetFirst(); mesh; mesh = mesh->GetNext()) {
        skinned = skinned || !mesh->GetWeightMapNames().empty();
        for (const auto& set : mesh->GetDefinition().primitiveSets)
            for (const vertex_c& vertex : set->vertices) {
                const vec3_c& p = vertex.position;
                low = vec3_c(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
                high = vec3_c(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
                any = true;
            }
    }
    if (!any) {
        boundingVolume = bounding_box_c();
    } else if (skinned) {
        // Room for the skeleton to move the vertices.
        const vec3_c centre = (low + high) * 0.5f;
        const vec3_c extent = high - low;
        boundingVolume.Set(centre - extent * 2.0f, centre + extent * 2.0f);
    } else {
        boundingVolume.Set(low, high);
    }
    flags &= ~geom_bounds_dirty;
}

void geom_object_c::CheckMaterials()
{
    if (!(flags & geom_material_check))
        return;
    for (mesh_c* mesh = meshes.GetFirst(); mesh; mesh = mesh->GetNext())
        for (material_c*& slot : mesh->GetMaterials())
            if (slot && !materials.Contains(slot))
                slot = nullptr;
    flags &= ~geom_material_check;
}

void geom_object_c::BindWeightMaps()
{
    if (!(flags & geom_weight_maps))
        return;
    flags &= ~geom_weight_maps;
    bonePalette.clear();
    if (!primaryMesh)
        return;
    const std::vector<string_c>& names = primaryMesh->GetWeightMapNames();
    for (bone_c* bone = bones.GetFirst(); bone; bone = bone->GetNext())
        if (std::find(names.begin(), names.end(), bone->weightMapName) == names.end())
            bone->weightMapName.Clear();
    for (const string_c& map_name : names) {
        bone_c* user = nullptr;
        if (!map_name.IsEmpty()) {
            for (bone_c* bone = bones.GetFirst(); bone && !user; bone = bone->GetNext())
                if (bone->weightMapName == map_name)
                    user = bone;
            if (!user && renderer)
                renderer->LogWarning(FormatText("[%s] [%s] [%s] Unused weight map!", GetName().GetData(),
                                                primaryMesh->name.GetData(), map_name.GetData()));
        }
        bonePalette.push_back(user);
    }
}

void geom_object_c::UpdateDerivedData()
{
    UpdateBounds();
    CheckMaterials();
    UpdateSkeleton();
    BindWeightMaps();
}

void geom_object_c::ChooseLevelOfDetail()
{
    if (meshes.GetCount() < 2)
        return;
    const f32 d = (boundingVolume.GetCentre() * objectMatrix).Length();
    mesh_c* chosen = nullptr;
    bool any_level = false;
    for (mesh_c* mesh = meshes.GetFirst(); mesh; mesh = mesh->GetNext()) {
        if (!(mesh->lodDistance > 0.0f))
            continue;
        any_level = true;
        if (mesh->lodDistance >= d && (!chosen || mesh->lodDistance < chosen->lodDistance))
            chosen = mesh;
    }
    if (any_level)
        SetPrimaryMesh(chosen);
}

void geom_object_c::UpdateObjectMatrix(camera_c* _camera)
{
    if (objectMatrixPlaced && isStatic && _camera->isStatic) {
        matrixChanged = false;
        return;
    }
    objectMatrix = GetMatrix() * _camera->GetInverseMatrix();
    objectMatrixPlaced = true;
    matrixChanged = true;
}

void geom_object_c::UpdateBones(camera_c* _camera)
{
    if (isStatic && _camera->isStatic && !matrixChanged)
        return;
    for (bone_c* bone : skeleton) {
        bone->UpdateTransform(this);
        bone->UpdateSkinning(_camera->GetInverseMatrix(), _camera->isStatic);
    }
}

bool geom_object_c::Cull(object_list_t& _pass0, object_list_t& _pass1, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid() || !meshes.GetFirst() || !_camera)
        return false;
    UpdateSkeleton();
    UpdateObjectMatrix(_camera);
    UpdateBounds();
    boundingVolume.ToClipSpace(objectMatrix, _camera->GetProjection());
    if (boundingVolume.Clip(_mask) == 0)
        return false;
    ChooseLevelOfDetail();
    if (!primaryMesh)
        return false;
    CheckMaterials();
    for (mesh_c* mesh = meshes.GetFirst(); mesh; mesh = mesh->GetNext())
        mesh->graph_c::Animate(animationTime);
    for (material_c* material = materials.GetFirst(); material; material = material->GetNext())
        material->graph_c::Animate(animationTime);
    BindWeightMaps();
    for (bone_c* bone : skeleton)
        bone->Animate(animationTime);
    UpdateBones(_camera);

    bool opaque = false;
    bool blended = false;
    for (const material_c* material : primaryMesh->GetMaterials()) {
        if (!material)
            continue;
        if (material->IsOpaque())
            opaque = true;
        else
            blended = true;
    }
    if (dissolve > 0.0f) {
        blended = blended || opaque;
        opaque = false;
    }
    if (opaque)
        _pass0.push_back(this);
    if (blended)
        _pass1.push_back(this);
    visible = opaque || blended;
    return visible;
}

void geom_object_c::Render(int _pass)
{
    if (!primaryMesh || !renderer)
        return;
    renderer->BeginGeometry(this, bonePalette, boundingVolume.NeedsClipping());
    const std::vector<material_c*>& slots = primaryMesh->GetMaterials();
    for (u32 slot = 0; slot < slots.size(); ++slot) {
        material_c* material = slots[slot];
        if (!material)
            continue;
        const bool draw = _pass == 0 ? material->IsOpaque() : (!material->IsOpaque() || dissolve > 0.0f);
        if (draw)
            renderer->DrawGeometry(slot, material, animationTime);
    }
    renderer->EndGeometry();
}

bool geom_object_c::CullShadow(object_list_t& _shadows, camera_c* _camera)
{
    if (!(flags & object_shadow_casting) || !meshes.GetFirst() || !_camera)
        return false;
    UpdateObjectMatrix(_camera);
    if (flags & geom_primary_changed)
        BuildShadowVolume();
    _shadows.push_back(this);
    return true;
}

void geom_object_c::RenderShadow()
{
    if (shadowMesh && renderer)
        renderer->DrawShadow(this, vec3_c(0.0f, 0.0f, 0.0f), 1.0f);
}

void geom_object_c::RenderShadowSecondPass()
{
    if (shadowMesh && renderer)
        renderer->DrawShadow(this, vec3_c(0.5f, 0.5f, 0.5f), 0.75f);
}

void geom_object_c::DrawDebug()
{
    if (!renderer)
        return;
    for (bone_c* bone = bones.GetFirst(); bone; bone = bone->GetNext())
        renderer->DrawDebug24(bone, vec3_c(0.75f, 0.5f, 0.75f), 0.75f);
}

void geom_object_c::DrawBounds()
{
    if (renderer)
        renderer->DrawBox(boundingVolume, vec3_c(0.75f, 0.75f, 0.5f), 0.75f, objectMatrix);
}

void geom_object_c::BuildShadowVolume()
{
    shadowMesh.reset();
    flags &= ~geom_primary_changed;
    if (!primaryMesh || !(flags & object_shadow_casting) || !renderer)
        return;
    geometry_def_c def(FormatText("%s:%s:(Shadow Volume)", GetName().GetData(), primaryMesh->name.GetData()));
    def.format.hasPosition = 1;
    def.format.hasNormal = 1;
    auto* volume = static_cast<triangle_set_c*>(def.AddPrimitiveSet(new triangle_set_c()));
    std::vector<vertex_c>& corners = volume->vertices;
    std::vector<u32>& indices = volume->indices;
    size_t sourceIndices = 0;
    for (const auto& set : primaryMesh->GetDefinition().primitiveSets)
        if (set->GetVerticesPerPrimitive() == 3)
            sourceIndices += set->indices.size();
    corners.reserve(sourceIndices);

    for (const auto& set : primaryMesh->GetDefinition().primitiveSets) {
        if (set->GetVerticesPerPrimitive() != 3)
            continue;
        const std::vector<vertex_c>& source = set->vertices;
        for (size_t i = 0; i + 3 <= set->indices.size(); i += 3) {
            const u32 a = set->indices[i], b = set->indices[i + 1], c = set->indices[i + 2];
            // A definition built in code is not checked like a read one.
            if (a >= source.size() || b >= source.size() || c >= source.size())
                continue;
            const vec3_c& p0 = source[a].position;
            const vec3_c& p1 = source[b].position;
            const vec3_c& p2 = source[c].position;
            vec3_c n;
            n.Cross(p1 - p0, p2 - p0);
            const f32 factor = FastInvSqrt(Dot(n, n));
            if (factor < FLT_MAX)
                n = n * factor;
            const u32 first = static_cast<u32>(corners.size());
            for (const vec3_c* p : {&p0, &p1, &p2}) {
                vertex_c corner;
                corner.position = *p;
                corner.normal = n;
                corners.push_back(corner);
            }
            indices.insert(indices.end(), {first, first + 1, first + 2});
        }
    }

    std::vector<vec3_c> positions(corners.size());
    for (size_t c = 0; c < corners.size(); ++c)
        positions[c] = corners[c].position;
    const std::vector<shared_edge_s> matches = FindSharedEdges(positions);
    indices.reserve(indices.size() + matches.size() * 6);
    for (const shared_edge_s& match : matches) {
        const u32 a0 = match.i * 3 + match.a, a1 = match.i * 3 + (match.a + 1) % 3;
        const u32 b0 = match.j * 3 + match.b, b1 = match.j * 3 + (match.b + 1) % 3;
        indices.insert(indices.end(), {a1, a0, b0, b1, b0, a0});
    }
    shadowMesh = std::make_unique<mesh_c>(def.name, def, renderer);
}

bool geom_object_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _include_non_opaque,
                            bool _precise, float _maximum)
{
    if (!(flags & object_ray_testable) || !IsSolid() || !meshes.GetFirst())
        return false;
    UpdateBounds();
    if (!aabb_c(boundingVolume).IsValid())
        return false;
    const vec3_c origin = _ray.origin * transform.inverse;
    if ((origin - boundingVolume.GetCentre()).Length() - boundingVolume.GetRadius() > _maximum)
        return false;
    vec3_c direction = _ray.direction * transform.inverse.GetRotation();
    direction.NormalizeSelf();
    const ray_c local(origin, direction);
    const f32 box_hit = boundingVolume.RayDistance(local);
    if (box_hit == ray_miss)
        return false;
    const f32 direction_length = _ray.direction.Length();
    if (!(direction_length > 0.0f))
        return false;
    auto world_distance = [&](f32 _t) {
        return ((origin + direction * _t) * transform.world - _ray.origin).Length() / direction_length;
    };
    auto up_axis = [&] {
        vec3_c up(transform.world.m[1][0], transform.world.m[1][1], transform.world.m[1][2]);
        up.NormalizeSelf();
        return up;
    };
    if (!_precise) {
        _distance = world_distance(box_hit);
        _normal = up_axis();
        return true;
    }
    mesh_c* tested = primaryMesh;
    if (meshes.GetCount() > 1) {
        tested = nullptr;
        u32 fewest = 0;
        for (mesh_c* mesh = meshes.GetFirst(); mesh; mesh = mesh->GetNext()) {
            const u32 count = mesh->GetDefinition().GetPrimitiveCount(primitive_any);
            if (!tested || count < fewest) {
                tested = mesh;
                fewest = count;
            }
        }
    }
    if (!tested)
        return false;
    const auto& sets = tested->GetDefinition().primitiveSets;
    const std::vector<material_c*>& slots = tested->GetMaterials();
    f32 best = ray_miss;
    vec3_c best_normal;
    for (size_t i = 0; i < sets.size(); ++i) {
        const material_c* material = i < slots.size() ? slots[i] : nullptr;
        if (!_include_non_opaque && material && !material->IsOpaque())
            continue;
        f32 distance = ray_miss;
        vec3_c normal;
        const bool two_sided = material && (material->flags & material_double_sided);
        if (sets[i]->RayTest(distance, normal, local, two_sided) && distance < best) {
            best = distance;
            best_normal = normal;
        }
    }
    if (best == ray_miss)
        return false;
    _distance = world_distance(best);
    _normal = best_normal * transform.world.GetRotation();
    _normal.NormalizeSelf();
    return true;
}

void geom_object_c::Preload()
{
    for (material_c* material = materials.GetFirst(); material; material = material->GetNext())
        material->Preload();
}

void geom_object_c::GetBoundingBox(aabb_c& _box)
{
    UpdateBounds();
    _box = aabb_c(boundingVolume);
}

void geom_object_c::ResetAnimation()
{
    entity_c::ResetAnimation();
    for (material_c* material = materials.GetFirst(); material; material = material->GetNext())
        material->Reset();
    for (bone_c* bone = bones.GetFirst(); bone; bone = bone->GetNext())
        bone->ResetAnimation();
}

f32 geom_object_c::Animate(f32 _time)
{
    animationTime = entity_c::Animate(_time);
    return animationTime;
}

void geom_object_c::Write(output_file_c& _file) const
{
    // Writing brings derived data up to date, as a cull would.
    const_cast<geom_object_c*>(this)->UpdateDerivedData();
    output_file_c body;
    WriteNullBody(body);
    WriteBoundingBox(body, boundingVolume);
    body.WriteF32(shadowDepth);
    for (const material_c* material = materials.GetFirst(); material; material = material->GetNext())
        material->Write(body);
    for (const mesh_c* mesh = meshes.GetFirst(); mesh; mesh = mesh->GetNext())
        mesh->Write(body);
    u32 mesh_index = 0;
    for (const mesh_c* mesh = meshes.GetFirst(); mesh; mesh = mesh->GetNext(), ++mesh_index) {
        const std::vector<material_c*>& slots = mesh->GetMaterials();
        for (u32 slot = 0; slot < slots.size(); ++slot)
            if (slots[slot])
                WriteRecord(body, tag_slot_material,
                            {mesh_index, slot, IndexOf(materials, static_cast<const material_c*>(slots[slot]))});
    }
    for (const bone_c* bone = bones.GetFirst(); bone; bone = bone->GetNext())
        bone->Write(body);
    u32 bone_index = 0;
    for (const bone_c* bone = bones.GetFirst(); bone; bone = bone->GetNext(), ++bone_index)
        if (bone->parent)
            WriteRecord(body, tag_bone_parent, {bone_index, IndexOf(bones, static_cast<const bone_c*>(bone->parent))});
    WriteChunk(_file, tag_geometry, version, body);
}

void geom_object_c::ApplyRecord(u32 _tag, input_file_c& _block)
{
    if (_tag == tag_slot_material) {
        const u32 mesh_index = ReadCheckedU32(_block);
        const u32 slot = ReadCheckedU32(_block);
        const u32 material_index = ReadCheckedU32(_block);
        mesh_c* mesh = NthItem(meshes, mesh_index);
        material_c* material = NthItem(materials, material_index);
        // A record naming what is not there would leave a slot pointing
        // nowhere; the file is broken.
        if (!mesh || !material || slot >= mesh->GetMaterials().size())
            ThrowDataError(_block, "Could not find item!");
        SetMeshMaterial(mesh, slot, material);
    } else if (_tag == tag_bone_parent) {
        const u32 bone_index = ReadCheckedU32(_block);
        const u32 parent_index = ReadCheckedU32(_block);
        bone_c* bone = NthItem(bones, bone_index);
        bone_c* parent_bone = NthItem(bones, parent_index);
        if (!bone || !parent_bone)
            ThrowDataError(_block, "Could not find item!");
        SetBoneParent(bone, parent_bone);
    }
}

void geom_object_c::ReadBody(input_file_c& _body)
{
    ReadNullBody(_body);
    ReadBoundingBox(_body, boundingVolume);
    _body.ReadF32(shadowDepth); // a body that ends early keeps the default
    while (_body.GetAlignedPointer32()) {
        const u32 start = _body.GetPosition();
        if (material_c* material = material_c::Read(_body, renderer)) {
            AddMaterial(material);
            continue;
        }
        if (_body.GetPosition() != start)
            continue;
        if (mesh_c* mesh = mesh_c::Read(_body, renderer)) {
            AddMesh(mesh);
            continue;
        }
        if (_body.GetPosition() != start)
            continue;
        if (bone_c* bone = bone_c::Read(_body)) {
            AddBone(bone);
            continue;
        }
        if (_body.GetPosition() != start)
            continue;
        const u32 tag = ReadCheckedU32(_body);
        input_file_c block;
        ReadCheckedBlock(_body, block);
        ApplyRecord(tag, block);
    }
    // The stored box stands until the meshes change.
    flags &= ~geom_bounds_dirty;
    flags |= geom_primary_changed | geom_skeleton_changed | geom_weight_maps | geom_material_check;
}

geom_object_c* geom_object_c::Read(input_file_c& _file, renderer_c* _renderer, u32 _layer)
{
    const string_c title = FileTitle(_file.GetName());
    for (const layer_reader_s& reader : LayerReaders()) {
        if (!reader.read)
            continue;
        auto object = std::make_unique<geom_object_c>(title, _renderer);
        if (reader.read(_file, *object, _layer)) {
            object->flags |= geom_primary_changed | geom_skeleton_changed | geom_weight_maps | geom_bounds_dirty;
            return object.release();
        }
    }
    if (!SkipToGeometry(_file, _layer))
        return nullptr;
    input_file_c body;
    if (!ReadChunk(_file, tag_geometry, version, body))
        return nullptr;
    auto object = std::make_unique<geom_object_c>(title, _renderer);
    object->ReadBody(body);
    return object.release();
}

geom_object_c* LoadGeomObject(const char* _file_name, renderer_c* _renderer, u32 _layer)
{
    input_file_c file(_file_name);
    geom_object_c* object = geom_object_c::Read(file, _renderer, _layer);
    if (!object)
        throw file_error_c(file.GetName(), "Unknown file format!");
    return object;
}

string_c ReadObjectLayerName(const char* _file_name, u32 _layer)
{
    input_file_c file(_file_name);
    for (const layer_reader_s& reader : LayerReaders()) {
        string_c name;
        if (reader.name && reader.name(file, _layer, name))
            return name;
    }
    if (!SkipToGeometry(file, _layer))
        return string_c();
    input_file_c body;
    if (!ReadChunk(file, tag_geometry, geom_object_c::version, body))
        return string_c();
    string_c name;
    ReadCheckedString(body, name);
    return name;
}
