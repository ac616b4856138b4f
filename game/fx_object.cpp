#include "game/fx_object.h"

#include "audio/sound_system.h"
#include "engine/aggregate.h"
#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/object_format.h"
#include "engine/primitive_set.h"
#include "game/vector_helpers.h"

#include <cmath>
#include <exception>
#include <string>

namespace {

// Above this |n . x| the first axis is too close to the normal to build on.
constexpr float decal_axis_limit = 0.9999999f;
// Decals float this far above the surface they mark.
constexpr float decal_lift = 0.01f;

} // namespace

fx_object_c::fx_object_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local)
    : scene(_scene), renderer(_renderer), local(_local ? 1 : 0), owner(_owner)
{}

fx_object_c::~fx_object_c()
{
    if (object == nullptr)
        return;
    if (scene && scene->RemoveObject(object))
        delete object;
    object = nullptr;
}

bool fx_object_c::Update(float _time)
{
    if (lastUpdate >= 0.0f) {
        timeStep = _time - lastUpdate;
        age += timeStep;
    }
    lastUpdate = _time;
    return age < life;
}

vec3_c fx_object_c::OwnerOffset(const vec3_c& _position) const
{
    if (local || owner == nullptr)
        return _position;
    return _position * owner->GetInverseMatrix();
}

vec3_c fx_object_c::OwnerPoint(const vec3_c& _offset) const
{
    return owner ? _offset * owner->GetMatrix() : _offset;
}

void fx_object_c::AttachObject(null_object_c* _object)
{
    object = _object;
    scene->AddObject(_object);
}

fx_object_vob_c::fx_object_vob_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local)
    : fx_object_c(_owner, _scene, _renderer, _local)
{}

bool fx_object_vob_c::Create(const vec3_c& _position, const char* _file)
{
    if (scene == nullptr)
        return false;
    null_object_c* loaded = nullptr;
    try {
        loaded = LoadObject(_file, renderer, false);
    } catch (const std::exception&) {
        return false;
    }
    if (loaded == nullptr)
        return false;
    loaded->position = _position;
    offset = OwnerOffset(_position);
    AttachObject(loaded);
    return true;
}

bool fx_object_vob_c::Update(float _time)
{
    const bool alive = fx_object_c::Update(_time);
    if (!local && object)
        object->position = OwnerPoint(offset);
    return alive;
}

fx_object_sound_c::fx_object_sound_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local,
                                     sound_system_c* _sound)
    : fx_object_c(_owner, _scene, _renderer, _local), sound(_sound)
{}

fx_object_sound_c::~fx_object_sound_c()
{
    DeleteObject(source);
}

bool fx_object_sound_c::Create(const vec3_c& _position, float _distance, bool _looped, const char* _file)
{
    if (sound == nullptr)
        return false;
    try {
        source = sound->CreatePcmSource(_file, sound_flag_3d);
    } catch (const std::exception&) {
        return false;
    }
    if (source == nullptr)
        return false;
    offset = OwnerOffset(_position);
    source->SetMinDistance(_distance);
    source->SetLooping(_looped);
    const vec3_c place = OwnerPoint(offset);
    source->SetPosition(&place);
    source->Play();
    return true;
}

bool fx_object_sound_c::Update(float _time)
{
    const bool alive = fx_object_c::Update(_time);
    if (!local && source) {
        const vec3_c place = OwnerPoint(offset);
        source->SetPosition(&place);
    }
    return alive;
}

fx_object_decal_c::fx_object_decal_c(null_object_c* _owner, aggregate_c* _scene, renderer_c* _renderer, bool _local)
    : fx_object_c(_owner, _scene, _renderer, _local)
{}

bool fx_object_decal_c::Create(const char* _texture, float _size)
{
    if (scene == nullptr || renderer == nullptr)
        return false;
    halfSize = _size * 0.5f;
    quadCount = 0;
    nextQuad = 0;
    const std::string texture = _texture;
    try {
        geometry_def_c definition((texture + "_decal_geometry").c_str());
        definition.format.hasPosition = 1;
        definition.format.texCoordSetCount = 1;
        // Every decal changes its own quads: it keeps a geometry of its own.
        definition.privateGeometry = 1;
        triangles = static_cast<triangle_set_c*>(definition.AddPrimitiveSet(new triangle_set_c()));
        auto decal = std::make_unique<geom_object_c>((texture + "_decal_object").c_str(), renderer);
        mesh_c* mesh = decal->CreateMesh((texture + "_msh").c_str(), definition);
        material_c* material = decal->AddMaterial(new material_c((texture + "_mat").c_str(), renderer));
        material->color = vec3_c(1.0f, 1.0f, 1.0f);
        material->SetColorMap(0, _texture);
        decal->SetMeshMaterial(mesh, 0, material);
        decal->SetVisibility(true, false);
        AttachObject(decal.release());
    } catch (const std::exception&) {
        triangles = nullptr;
        return false;
    }
    return true;
}

void fx_object_decal_c::AddQuad(const vec3_c& _position, const vec3_c& _direction)
{
    if (triangles == nullptr)
        return;
    if (quadCount < max_quads) {
        if (quadCount == 0) {
            triangles->vertices.clear();
            triangles->indices.clear();
        }
        triangles->vertices.resize(triangles->vertices.size() + 4);
        triangles->indices.resize(triangles->indices.size() + 6);
    }
    vec3_c n = owner ? _direction * owner->GetInverseOrientation() : _direction;
    const vec3_c p = owner ? _position * owner->GetInverseMatrix() : _position;
    vec3_c a;
    vec3_c b;
    const bool first_rule = std::fabs(Dot(n, vec3_c(1.0f, 0.0f, 0.0f))) < decal_axis_limit;
    if (first_rule) {
        a = Cross(vec3_c(1.0f, 0.0f, 0.0f), n);
        b = Cross(a, n);
    } else {
        b = Cross(n, vec3_c(0.0f, 0.0f, 1.0f));
        a = Cross(b, n);
    }
    a.NormalizeSelf();
    b.NormalizeSelf();
    a = a * halfSize;
    b = b * halfSize;
    const vec3_c c = p + n * decal_lift;
    const vec3_c corners[4] = {c - a - b, c + a - b, c + a + b, c - a + b};
    const float uv[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    const u32 base = 4 * nextQuad;
    for (u32 i = 0; i < 4; ++i) {
        vertex_c& vertex = triangles->vertices[base + i];
        vertex.position = corners[i];
        vertex.normal = n;
        vertex.texCoords[0][0] = uv[i][0];
        vertex.texCoords[0][1] = uv[i][1];
    }
    // Both windings face along n: a x b points against n under the first
    // rule and along it under the second.
    const u32 first[6] = {0, 2, 1, 2, 0, 3};
    const u32 second[6] = {0, 1, 2, 2, 3, 0};
    const u32* order = first_rule ? first : second;
    for (u32 i = 0; i < 6; ++i)
        triangles->indices[6 * nextQuad + i] = base + order[i];
    if (auto* decal = dynamic_cast<geom_object_c*>(object)) {
        if (mesh_c* mesh = decal->GetPrimaryMesh())
            mesh->GetGeometry()->Rebuild();
    }
    nextQuad = (nextQuad + 1) % max_quads;
    quadCount = quadCount + 1 < max_quads ? quadCount + 1 : max_quads;
}

bool fx_object_decal_c::Update(float _time)
{
    const bool alive = fx_object_c::Update(_time);
    if (object && owner) {
        object->position = owner->position;
        object->rotation = owner->rotation;
    }
    return alive;
}
