#include "level/control_point_object.h"

#include "engine/geom_object.h"
#include "engine/material.h"
#include "engine/primitive_set.h"
#include "level/chunk_saver.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr int marker_steps = 16;
constexpr f32 marker_step = 0.3926991f;
constexpr f32 column_marker_height = 1000.0f;

} // namespace

void control_point_object_c::ApplyParameters()
{
    if (entity && parent && renderer)
        CreateEngineObject(parent, renderer);
}

bool control_point_object_c::Contains(const vec3_c& _point) const
{
    vec3_c d = _point - position;
    switch (shape) {
    case shape_sphere: break;
    case shape_column: d.y = 0.0f; break;
    default: return false;
    }
    return d.Length() < size;
}

void control_point_object_c::Serialize(CChunkSaver& _saver, int, renderer_c*)
{
    SerializeTransform(_saver);
    _saver.LeafInt("acOr", activationOrder);
    _saver.LeafInt("acTy", shape);
    _saver.LeafFloat("acSz", size);
    _saver.LeafInt("acCo", activationCounter);
    _saver.LeafFloat("acSp", activationSpeed);
    _saver.LeafInt("iden", id);
    _saver.LeafString("scrp", script);
    parameters.SerializeChunk(_saver);
}

void control_point_object_c::ExchangeParameters(parameter_list_c& _list, bool _read)
{
    _list.GetSetInt("Type", &shape, _read, INT32_MIN, INT32_MAX);
    _list.GetSetFloat("Size", &size, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetFloat("Activation speed", &activationSpeed, _read, -FLT_MAX, FLT_MAX);
    _list.GetSetInt("Activation order", &activationOrder, _read, INT32_MIN, INT32_MAX);
    _list.GetSetInt("Activation counter", &activationCounter, _read, INT32_MIN, INT32_MAX);
    _list.GetSetInt("ID", &id, _read, INT32_MIN, INT32_MAX);
    _list.GetSetString("Script", &script, _read);
    if (_read)
        ApplyParameters();
}

void control_point_object_c::CreateEngineObject(aggregate_c* _parent, renderer_c* _renderer)
{
    ReleaseMarker();
    parent = _parent;
    renderer = _renderer;
    if (renderer == nullptr)
        return;
    geometry_def_c definition(name + "_geom");
    definition.format.hasPosition = 1;
    definition.privateGeometry = 1;
    auto* lines = static_cast<line_set_c*>(definition.AddPrimitiveSet(new line_set_c));
    auto segment = [&](const vec3_c& _a, const vec3_c& _b) {
        const u32 first = static_cast<u32>(lines->vertices.size());
        lines->vertices.emplace_back().position = _a;
        lines->vertices.emplace_back().position = _b;
        lines->AddLine({first, first + 1});
    };
    for (int step = 0; step < marker_steps; ++step) {
        const f32 a = static_cast<f32>(step) * marker_step;
        const f32 b = a + marker_step;
        const f32 c0 = std::cos(a) * size, s0 = std::sin(a) * size;
        const f32 c1 = std::cos(b) * size, s1 = std::sin(b) * size;
        if (shape == shape_sphere) {
            segment(vec3_c(c0, s0, 0.0f), vec3_c(c1, s1, 0.0f));
            segment(vec3_c(0.0f, c0, s0), vec3_c(0.0f, c1, s1));
            segment(vec3_c(c0, 0.0f, s0), vec3_c(c1, 0.0f, s1));
        } else if (shape == shape_column) {
            segment(vec3_c(c0, column_marker_height, s0), vec3_c(c1, column_marker_height, s1));
            segment(vec3_c(c0, -column_marker_height, s0), vec3_c(c1, -column_marker_height, s1));
        }
    }
    auto marker = std::make_unique<geom_object_c>(name + "_obj", renderer);
    mesh_c* mesh = marker->CreateMesh(name + "_msh", definition);
    material_c* material = marker->AddMaterial(new material_c(name + "_mat", renderer));
    material->color = vec3_c(1.0f, 1.0f, 1.0f);
    material->luminosity = 1.0f;
    material->diffuse = 1.0f;
    marker->SetMeshMaterial(mesh, 0, material);
    marker->position = position;
    AdoptMarker(std::move(marker));
}
