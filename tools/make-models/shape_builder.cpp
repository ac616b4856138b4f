#include "tools/make-models/shape_builder.h"

#include "engine/geometry_def.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/primitive_set.h"
#include "foundation/matrix.h"

#include <cmath>
#include <stdexcept>

namespace {

constexpr float two_pi = 6.2831853f;

vec3_c Normalized(const vec3_c& _v)
{
    vec3_c out;
    out.Normalize(_v);
    return out;
}

vec3_c Crossed(const vec3_c& _a, const vec3_c& _b)
{
    vec3_c out;
    out.Cross(_a, _b);
    return out;
}

// Two unit vectors square to _axis and to each other.
void Basis(const vec3_c& _axis, vec3_c& _u, vec3_c& _v)
{
    const vec3_c helper = std::fabs(_axis.y) < 0.9f ? vec3_c(0.0f, 1.0f, 0.0f) : vec3_c(1.0f, 0.0f, 0.0f);
    _u = Normalized(Crossed(helper, _axis));
    _v = Crossed(_axis, _u);
}

} // namespace

shape_builder_c::shape_builder_c(const std::string& _name, renderer_c* _renderer) : name(_name), renderer(_renderer) {}

void shape_builder_c::Surface(const std::string& _name, const surface_look_c& _look)
{
    for (size_t i = 0; i < surfaces.size(); ++i)
        if (surfaces[i].name == _name) {
            current = i;
            return;
        }
    surfaces.push_back(surface_c{_name, _look, {}, {}});
    current = surfaces.size() - 1;
}

shape_builder_c::surface_c& shape_builder_c::Current()
{
    if (surfaces.empty())
        Surface("default", surface_look_c());
    return surfaces[current];
}

void shape_builder_c::Triangle(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c, const float _uv[3][2])
{
    surface_c& surface = Current();
    const vec3_c normal = Normalized(Crossed(_b - _a, _c - _a));
    const vec3_c corners[3] = {_a, _b, _c};
    for (int i = 0; i < 3; ++i) {
        vertex_c vertex;
        vertex.position = corners[i];
        vertex.normal = normal;
        vertex.texCoords[0][0] = _uv[i][0] / surface.look.tile;
        vertex.texCoords[0][1] = _uv[i][1] / surface.look.tile;
        surface.indices.push_back(static_cast<u32>(surface.vertices.size()));
        surface.vertices.push_back(vertex);
    }
}

void shape_builder_c::Quad(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c, const vec3_c& _d, float _width,
                           float _height)
{
    const float first[3][2] = {{0.0f, _height}, {_width, _height}, {_width, 0.0f}};
    const float second[3][2] = {{0.0f, _height}, {_width, 0.0f}, {0.0f, 0.0f}};
    Triangle(_a, _b, _c, first);
    Triangle(_a, _c, _d, second);
}

void shape_builder_c::Panel(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c, const vec3_c& _d)
{
    const float width = (_b - _a).Length();
    const float height = (_d - _a).Length();
    Quad(_a, _b, _c, _d, width, height);
    if (Current().look.doubleSided)
        Quad(_a, _d, _c, _b, height, width);
}

void shape_builder_c::Flat(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c)
{
    const float width = (_b - _a).Length();
    const float height = (_c - _a).Length();
    const float uv[3][2] = {{0.0f, 0.0f}, {width, 0.0f}, {0.0f, height}};
    Triangle(_a, _b, _c, uv);
    if (Current().look.doubleSided)
        Triangle(_a, _c, _b, uv);
}

void shape_builder_c::Box(const vec3_c& _centre, const vec3_c& _size)
{
    TurnedBox(_centre, _size, vec3_c());
}

void shape_builder_c::TurnedBox(const vec3_c& _centre, const vec3_c& _size, const vec3_c& _rotation)
{
    const mat4x3_c turn = EulerMatrix(_rotation);
    const vec3_c h = _size * 0.5f;
    auto corner = [&](float _x, float _y, float _z) { return _centre + vec3_c(_x * h.x, _y * h.y, _z * h.z) * turn; };
    // Each face counter-clockwise seen from outside.
    Quad(corner(-1, -1, -1), corner(-1, 1, -1), corner(1, 1, -1), corner(1, -1, -1), _size.y, _size.x); // back
    Quad(corner(1, -1, 1), corner(1, 1, 1), corner(-1, 1, 1), corner(-1, -1, 1), _size.y, _size.x);     // front
    Quad(corner(-1, -1, 1), corner(-1, 1, 1), corner(-1, 1, -1), corner(-1, -1, -1), _size.y, _size.z); // left
    Quad(corner(1, -1, -1), corner(1, 1, -1), corner(1, 1, 1), corner(1, -1, 1), _size.y, _size.z);     // right
    Quad(corner(-1, 1, -1), corner(-1, 1, 1), corner(1, 1, 1), corner(1, 1, -1), _size.z, _size.x);     // top
    Quad(corner(-1, -1, 1), corner(-1, -1, -1), corner(1, -1, -1), corner(1, -1, 1), _size.z, _size.x); // bottom
}

void shape_builder_c::Cylinder(const vec3_c& _from, const vec3_c& _to, float _radius_from, float _radius_to, u32 _sides,
                               bool _caps)
{
    const vec3_c axis = Normalized(_to - _from);
    vec3_c u, v;
    Basis(axis, u, v);
    const float length = (_to - _from).Length();
    const float around = two_pi * std::max(_radius_from, _radius_to);
    for (u32 i = 0; i < _sides; ++i) {
        const float a0 = two_pi * static_cast<float>(i) / static_cast<float>(_sides);
        const float a1 = two_pi * static_cast<float>(i + 1) / static_cast<float>(_sides);
        const vec3_c d0 = u * std::cos(a0) + v * std::sin(a0);
        const vec3_c d1 = u * std::cos(a1) + v * std::sin(a1);
        const float s0 = around * static_cast<float>(i) / static_cast<float>(_sides);
        const float s1 = around * static_cast<float>(i + 1) / static_cast<float>(_sides);
        const vec3_c a = _from + d0 * _radius_from, b = _from + d1 * _radius_from;
        const vec3_c c = _to + d1 * _radius_to, d = _to + d0 * _radius_to;
        const float lower[3][2] = {{s0, 0.0f}, {s1, 0.0f}, {s1, length}};
        const float upper[3][2] = {{s0, 0.0f}, {s1, length}, {s0, length}};
        if (_radius_from > 0.0f)
            Triangle(a, b, c, lower);
        if (_radius_to > 0.0f)
            Triangle(a, c, d, upper);
    }
    if (_caps) {
        if (_radius_from > 0.0f)
            Disc(_from, axis * -1.0f, _radius_from, _sides);
        if (_radius_to > 0.0f)
            Disc(_to, axis, _radius_to, _sides);
    }
}

void shape_builder_c::Disc(const vec3_c& _centre, const vec3_c& _normal, float _radius, u32 _sides)
{
    const vec3_c axis = Normalized(_normal);
    vec3_c u, v;
    Basis(axis, u, v);
    for (u32 i = 0; i < _sides; ++i) {
        const float a0 = two_pi * static_cast<float>(i) / static_cast<float>(_sides);
        const float a1 = two_pi * static_cast<float>(i + 1) / static_cast<float>(_sides);
        const float c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
        const float uv[3][2] = {{_radius, _radius},
                                {_radius * (1.0f + c0), _radius * (1.0f + s0)},
                                {_radius * (1.0f + c1), _radius * (1.0f + s1)}};
        Triangle(_centre, _centre + (u * c0 + v * s0) * _radius, _centre + (u * c1 + v * s1) * _radius, uv);
    }
}

std::unique_ptr<geom_object_c> shape_builder_c::Build()
{
    geometry_def_c definition((name + "_geom").c_str());
    definition.format.hasPosition = 1;
    definition.format.hasNormal = 1;
    definition.format.texCoordSetCount = 1;
    definition.privateGeometry = 1;
    for (const surface_c& surface : surfaces) {
        auto* set = definition.AddPrimitiveSet(new triangle_set_c);
        set->vertices = surface.vertices;
        set->indices = surface.indices;
    }
    if (definition.GetVertexCount() == 0)
        throw std::logic_error("Model part \"" + name + "\" has no solids");
    auto object = std::make_unique<geom_object_c>(name.c_str(), renderer);
    mesh_c* mesh = object->CreateMesh((name + "_mesh").c_str(), definition);
    for (size_t i = 0; i < surfaces.size(); ++i) {
        const surface_look_c& look = surfaces[i].look;
        material_c* material = object->AddMaterial(new material_c((name + "_" + surfaces[i].name).c_str(), renderer));
        material->color = look.color;
        material->diffuse = 1.0f;
        material->luminosity = look.luminosity;
        material->specularColor = vec3_c(1.0f, 1.0f, 1.0f);
        material->specularLevel = look.specular;
        material->glossiness = 0.2f;
        material->transparency = look.transparency;
        material->flags = look.flags | (look.doubleSided ? material_double_sided : 0u);
        if (!look.texture.empty())
            material->SetColorMap(0, look.texture.c_str());
        object->SetMeshMaterial(mesh, static_cast<u32>(i), material);
    }
    return object;
}

std::unique_ptr<geom_object_c> BuildPart(const std::string& _name, renderer_c* _renderer,
                                         const std::function<void(shape_builder_c&)>& _build, const vec3_c& _position)
{
    shape_builder_c shape(_name, _renderer);
    _build(shape);
    auto node = shape.Build();
    node->position = _position;
    return node;
}
