#include "engine/forest.h"

#include "engine/aabb.h"
#include "engine/body_items.h"
#include "engine/box_ray.h"
#include "engine/camera.h"
#include "engine/geometry_def.h"
#include "engine/mesh.h"
#include "engine/model_view.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "engine/still_map.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

constexpr u32 tag_density = MakeTag("dens");
constexpr u32 tag_color = MakeTag("colr");

const bool registered = (forest_c::RegisterReader(), true);

vertex_format_c TreeFormat()
{
    vertex_format_c format;
    format.hasPosition = 1;
    format.hasDiffuse = 1;
    format.texCoordSetCount = 1;
    return format;
}

void WriteFloats(output_file_c& _body, const std::vector<f32>& _values)
{
    _body.WriteU32(static_cast<u32>(_values.size()));
    for (f32 value : _values)
        _body.WriteF32(value);
}

// A count and that many words; the count is checked against the data.
template <typename T, typename Read>
void ReadWords(input_file_c& _body, std::vector<T>& _values, Read _read)
{
    const u32 count = ReadCheckedU32(_body);
    CheckRecordCount(_body, count, 4, "Forest data larger than its file!");
    _values.resize(count);
    for (T& value : _values)
        value = _read(_body);
}

} // namespace

forest_c::forest_c(const char* _name, renderer_c* _renderer) : null_object_c(_name), renderer(_renderer)
{
    flags = object_rendered | object_ray_testable | object_depth_test | object_fog;
    modelView.SetIdentity();
}

forest_c::forest_c(const forest_c& _other)
    : null_object_c(_other), box(_other.box), trees(_other.trees), rayTrees(_other.rayTrees),
      colorMap(_other.colorMap ? _other.colorMap->Clone() : nullptr), modelView(_other.modelView), view(_other.view),
      localTime(_other.localTime), renderer(_other.renderer)
{
    // View batches are filled in place, so a copy builds its own on first
    // use; a fixed mesh is shared through the cache.
    view.Reset(0);
    if (IsFixed()) {
        for (const auto& mesh : _other.meshes)
            meshes.emplace_back(new mesh_c(*mesh));
    } else if (!_other.meshes.empty()) {
        SetFlags(forest_meshes_dirty);
    }
}

forest_c::~forest_c()
{
    delete colorMap;
}

void forest_c::SetExtent(f32 _extent)
{
    trees.extent = _extent > 0.0f ? _extent : 0.0f;
    SetFlags(forest_bounds_dirty | forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::SetVisibilityRange(f32 _range)
{
    trees.visibilityRange = _range > 0.0f ? _range : 0.0f;
    SetFlags(forest_meshes_dirty);
}

void forest_c::SetSpeciesCount(i64 _count)
{
    trees.speciesCount = _count < 2 ? 1 : static_cast<u32>(std::min<i64>(_count, 0x7fffffff));
    SetFlags(forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::SetTreeDensity(f32 _density)
{
    trees.treeDensity = _density > FLT_EPSILON ? _density : FLT_EPSILON;
    SetFlags(forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::SetTreeWidth(f32 _a, f32 _b)
{
    trees.widthMin = std::max(std::min(_a, _b), 0.0f);
    trees.widthMax = std::max(std::max(_a, _b), 0.0f);
    SetFlags(forest_bounds_dirty | forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::SetTreeHeight(f32 _a, f32 _b)
{
    trees.heightMin = std::max(std::min(_a, _b), 0.0f);
    trees.heightMax = std::max(std::max(_a, _b), 0.0f);
    SetFlags(forest_bounds_dirty | forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::SetTreeColor(const vec3_c& _a, const vec3_c& _b)
{
    trees.colorMin = vec3_c(std::min(_a.x, _b.x), std::min(_a.y, _b.y), std::min(_a.z, _b.z));
    trees.colorMax = vec3_c(std::max(_a.x, _b.x), std::max(_a.y, _b.y), std::max(_a.z, _b.z));
    SetFlags(forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::SetColorMap(const char* _image_path)
{
    map_c* map = nullptr;
    if (_image_path) {
        map = new still_map_c(texture_def_c(_image_path, true, false), renderer);
        map->SetRepeat(0);
    }
    delete colorMap;
    colorMap = map;
}

void forest_c::SetDensityMap(const image_c& _image)
{
    trees.SetDensityMap(_image);
    if (trees.cellSeeds.size() != trees.GetCellCount())
        InitCellSeeds();
    SetFlags(forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::InitCellSeeds()
{
    if (!trees.densityMap.IsValid())
        return;
    trees.InitCellSeeds();
    SetFlags(forest_meshes_dirty);
    trees.DiscardGroundData();
}

void forest_c::Generate(null_object_c* _ground)
{
    if (!trees.densityMap.IsValid())
        return;
    if (!_ground) {
        trees.Generate(nullptr);
    } else {
        const forest_generator_c::ground_probe_f probe = [&](const vec3_c& _top, f32& _height) {
            const vec3_c origin = _top * transform.world;
            vec3_c down = vec3_c(0.0f, -1.0f, 0.0f) * transform.world.GetRotation();
            down.NormalizeSelf();
            f32 fraction = 0.0f;
            vec3_c normal;
            if (!_ground->RayTest(fraction, normal, ray_c(origin, down), true, true, FLT_MAX))
                return false;
            _height = ((origin + down * fraction) * transform.inverse).y;
            return true;
        };
        trees.Generate(&probe);
    }
    SetFlags(forest_bounds_dirty | (IsFixed() ? forest_meshes_dirty : 0));
}

void forest_c::BuildMeshes()
{
    if (!(flags & forest_meshes_dirty))
        return;
    meshes.clear();
    view.Reset(0);
    if (IsFixed()) {
        const f32 total = trees.extent * trees.extent * trees.treeDensity;
        // Counting first spares building a set that would be refused.
        u64 count = 0;
        if (trees.HasTrees())
            for (u32 i = 0; i < trees.GetCellCount(); ++i)
                count += trees.GetCellTreeCount(i, 1.0f);
        if (total >= 1.0f && count * 8 <= forest_batch_vertices) {
            auto set = std::make_shared<triangle_set_c>();
            trees.BuildTreeSet(*set);
            const u32 vertices = set->GetVertexCount() / 8 * 8;
            if (vertices > 0 && vertices <= forest_batch_vertices) {
                geometry_def_c definition(name);
                definition.format = TreeFormat();
                definition.primitiveSets.push_back(set);
                meshes.emplace_back(new mesh_c(name, definition, renderer));
            }
        }
    } else {
        view.Reset(trees.GetViewCapacity());
        for (u32 i = 0; i < view.batches.size(); ++i) {
            const string_c batch("%s (%d)", name.GetData(), static_cast<int>(i));
            geometry_def_c definition(batch);
            definition.format = TreeFormat();
            definition.privateGeometry = 1;
            definition.primitiveSets.push_back(view.batches[i]);
            meshes.emplace_back(new mesh_c(batch, definition, renderer));
        }
    }
    ClearFlags(forest_meshes_dirty);
}

void forest_c::UpdateVisibleTrees(const camera_c* _camera)
{
    BuildMeshes();
    if (meshes.empty())
        return;
    const vec3_c eye = _camera->GetMatrix().GetPosition() * transform.inverse;
    const mat4x3_c& camera = _camera->GetMatrix();
    vec3_c forward = vec3_c(camera.m[2][0], camera.m[2][1], camera.m[2][2]) * transform.inverse.GetRotation();
    forward.NormalizeSelf();
    if (view.Step(trees, modelView, eye, forward, name, renderer))
        for (const auto& mesh : meshes)
            mesh->GetGeometry()->Rebuild();
}

void forest_c::UpdateBounds()
{
    if (!(flags & forest_bounds_dirty))
        return;
    const f32 h = trees.extent * 0.5f + trees.widthMax * 0.5f;
    box.Set(vec3_c(-h, trees.lowestGround, -h), vec3_c(h, trees.highestGround + trees.heightMax, h));
    ClearFlags(forest_bounds_dirty);
}

f32 forest_c::Animate(f32 _time)
{
    localTime = null_object_c::Animate(_time);
    return localTime;
}

null_object_c* forest_c::Clone() const
{
    return new forest_c(*this);
}

void forest_c::Write(output_file_c& _file) const
{
    // Saved bounds are current bounds; bringing them up to date changes
    // only derived data.
    const_cast<forest_c*>(this)->UpdateBounds();
    output_file_c body;
    WriteNullBody(body);
    WriteBoundingBox(body, box);
    body.WriteF32(trees.extent);
    body.WriteF32(trees.visibilityRange);
    body.WriteU32(trees.speciesCount);
    body.WriteF32(trees.treeDensity);
    body.WriteF32(trees.widthMin);
    body.WriteF32(trees.widthMax);
    body.WriteF32(trees.heightMin);
    body.WriteF32(trees.heightMax);
    for (const vec3_c* color : {&trees.colorMin, &trees.colorMax}) {
        body.WriteF32(color->x);
        body.WriteF32(color->y);
        body.WriteF32(color->z);
    }
    body.WriteU32(static_cast<u32>(trees.cellSeeds.size()));
    for (u32 seed : trees.cellSeeds)
        body.WriteU32(seed);
    WriteFloats(body, trees.groundGrid);
    WriteFloats(body, trees.treeHeights);
    body.WriteF32(trees.lowestGround);
    body.WriteF32(trees.highestGround);
    if (trees.densityMap.IsValid()) {
        output_file_c block;
        trees.densityMap.Save(block, image_file_bmp);
        body.WriteU32(tag_density);
        body.WriteBlock(block);
    }
    if (colorMap) {
        output_file_c block;
        colorMap->Write(block);
        body.WriteU32(tag_color);
        body.WriteBlock(block);
    }
    WriteChunk(_file, MakeTag("FRST"), version, body);
}

void forest_c::Preload()
{
    if (colorMap)
        colorMap->Preload();
}

bool forest_c::SetParameter(const command_c& _command)
{
    if (null_object_c::SetParameter(_command))
        return true;
    const char* keyword = _command.GetName();
    if (!keyword)
        return false;
    const string_c word(keyword);
    const vec3_c white(1.0f, 1.0f, 1.0f);
    if (word == "Extent")
        SetExtent(_command.GetFloat(1u));
    else if (word == "Fix")
        SetFlags(forest_fixed);
    else if (word == "VisibilityRange")
        SetVisibilityRange(_command.GetFloat(1u));
    else if (word == "SpeciesCount")
        SetSpeciesCount(_command.GetInt(1u));
    else if (word == "TreeDensity") {
        const f32 density = _command.GetFloat(1u);
        const char* path = _command.GetParameter("MAP");
        SetTreeDensity(density);
        SetDensityMap(image_c(path));
    } else if (word == "TreeWidth")
        SetTreeWidth(_command.GetFloat("MINIMUM", "MIN", 1.0f), _command.GetFloat("MAXIMUM", "MAX", 1.0f));
    else if (word == "TreeHeight")
        SetTreeHeight(_command.GetFloat("MINIMUM", "MIN", 1.0f), _command.GetFloat("MAXIMUM", "MAX", 1.0f));
    else if (word == "TreeColor")
        SetTreeColor(_command.GetColor("MINIMUM", "MIN", white), _command.GetColor("MAXIMUM", "MAX", white));
    else if (word == "Map")
        SetColorMap(_command.GetParameter(1u));
    else
        return false;
    return true;
}

void forest_c::GetBoundingBox(aabb_c& _box)
{
    UpdateBounds();
    _box = aabb_c(box);
}

bool forest_c::Cull(object_list_t& _pass0, object_list_t&, scene_c*, camera_c* _camera, u32 _mask, u32)
{
    visible = false;
    if (!(flags & object_rendered) || !IsSolid())
        return false;
    BuildMeshes();
    if (meshes.empty())
        return false;
    UpdateBounds();
    const f32 distance = (_camera->GetMatrix().GetPosition() - transform.world.GetPosition()).Length();
    const f32 radius = (box.GetCorner(7) - box.GetCorner(0)).Length() * 0.5f;
    if (!(distance - radius <= trees.visibilityRange))
        return false;
    UpdateModelView(modelView, *this, transform.world, *_camera);
    if (ClipToView(box, modelView, *_camera, _mask) == 0)
        return false;
    if (!IsFixed())
        UpdateVisibleTrees(_camera);
    _pass0.push_back(this);
    visible = true;
    return true;
}

bool forest_c::RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool, bool _precise, float _maximum)
{
    if (!(flags & object_ray_testable) || !IsSolid())
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
    const primitive_set_c* set = &rayTrees;
    if (IsFixed()) {
        BuildMeshes();
        if (meshes.empty() || meshes[0]->GetDefinition().primitiveSets.empty())
            return false;
        set = meshes[0]->GetDefinition().primitiveSets[0].get();
    } else {
        trees.BuildRayTrees(rayTrees, ray.local.origin, ray.local.direction, _maximum);
    }
    f32 fraction = FLT_MAX;
    vec3_c normal;
    if (!set->RayTest(fraction, normal, ray.local, true))
        return false;
    _distance = ray.Fraction(transform, fraction);
    _normal = box_ray_c::WorldNormal(transform, normal);
    return true;
}

void forest_c::Render(int)
{
    renderer->DrawForest(this, box.NeedsClipping());
}

void forest_c::DrawBounds()
{
    renderer->DrawBox(box, vec3_c(0.5f, 0.75f, 0.75f), 0.75f, modelView);
}

forest_c* forest_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("FRST"), version, body))
        return nullptr;
    std::unique_ptr<forest_c> forest(new forest_c("(Unnamed)", _renderer));
    forest_generator_c& trees = forest->trees;
    forest->ReadNullBody(body);
    ReadBoundingBox(body, forest->box);
    trees.extent = ReadCheckedF32(body);
    trees.visibilityRange = ReadCheckedF32(body);
    // No species would leave the colour map strips without a width.
    trees.speciesCount = std::max(ReadCheckedU32(body), 1u);
    trees.treeDensity = ReadCheckedF32(body);
    for (f32* value : {&trees.widthMin, &trees.widthMax, &trees.heightMin, &trees.heightMax})
        *value = ReadCheckedF32(body);
    for (vec3_c* color : {&trees.colorMin, &trees.colorMax}) {
        color->x = ReadCheckedF32(body);
        color->y = ReadCheckedF32(body);
        color->z = ReadCheckedF32(body);
    }
    ReadWords(body, trees.cellSeeds, ReadCheckedU32);
    ReadWords(body, trees.groundGrid, ReadCheckedF32);
    ReadWords(body, trees.treeHeights, ReadCheckedF32);
    trees.lowestGround = ReadCheckedF32(body);
    trees.highestGround = ReadCheckedF32(body);
    ReadBodyItems(body, nullptr, [&](u32 _tag, input_file_c& _block) {
        if (_tag == tag_color) {
            if (map_c* map = ReadMap(_block, _renderer)) {
                delete forest->colorMap;
                forest->colorMap = map;
            }
        } else if (_tag == tag_density) {
            image_c image;
            image.Load(_block);
            trees.SetDensityMap(image);
        }
    });
    // Seeds of another cell count would be read past their end; the trees
    // of such a forest are drawn anew.
    if (trees.densityMap.IsValid() && trees.cellSeeds.size() != trees.GetCellCount())
        forest->InitCellSeeds();
    forest->SetFlags(forest_meshes_dirty);
    return forest.release();
}

void forest_c::RegisterReader()
{
    RegisterObjectReader(reader_forest, [](input_file_c& _file, renderer_c* _renderer) -> null_object_c* {
        return forest_c::Read(_file, _renderer);
    });
}
