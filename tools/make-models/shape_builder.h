#pragma once
// shape_builder_c: a geometry object made of simple solids (boxes,
// cylinders, cones, discs, flat panels) for the data set's models. Solids
// go to the current surface; each surface becomes one triangle set of the
// object's single mesh with a material of its own. Vertices carry a
// position, a normal and one texture-coordinate set; texture coordinates
// are the solid's own sides in metres divided by the surface's tile size, so
// a texture keeps its scale over parts of any size.
//
// Everything is placed in the object's own space: the node that Build
// returns sits at the origin, and whoever makes it a moving part places the
// node at its hinge and builds the solids around that point.
#include "engine/geom_object.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class renderer_c;

class surface_look_c {
public:
    vec3_c color = vec3_c(1.0f, 1.0f, 1.0f);
    // Archive path of the colour map; empty for none.
    std::string texture;
    float tile = 1.0f;
    float luminosity = 0.0f;
    float specular = 0.1f;
    float transparency = 0.0f;
    bool doubleSided = false;
    // Material flags besides double-sided (material_flag_e).
    u32 flags = material_lighting | material_smooth;
};

class shape_builder_c {
public:
    shape_builder_c(const std::string& _name, renderer_c* _renderer);

    // Solids that follow go to the surface of that name, made with _look the
    // first time it is named.
    void Surface(const std::string& _name, const surface_look_c& _look);

    // An axis-aligned box around _centre.
    void Box(const vec3_c& _centre, const vec3_c& _size);
    // A closed (or open-ended) tube of _sides faces from _from to _to, with
    // radii at each end (a cone when one is 0).
    void Cylinder(const vec3_c& _from, const vec3_c& _to, float _radius_from, float _radius_to, u32 _sides,
                  bool _caps = true);
    // A flat disc facing _normal.
    void Disc(const vec3_c& _centre, const vec3_c& _normal, float _radius, u32 _sides);
    // A flat four-cornered panel a, b, c, d (counter-clockwise seen from its
    // front); both faces when the surface is double-sided.
    void Panel(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c, const vec3_c& _d);
    // A flat triangle (counter-clockwise seen from its front); both faces
    // when the surface is double-sided.
    void Flat(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c);
    // A box turned by the rotation (heading, pitch, bank) about its centre.
    void TurnedBox(const vec3_c& _centre, const vec3_c& _size, const vec3_c& _rotation);

    // The object with one mesh; throws std::logic_error when nothing was
    // added.
    std::unique_ptr<geom_object_c> Build();

private:
    struct surface_c {
        std::string name;
        surface_look_c look;
        std::vector<vertex_c> vertices;
        std::vector<u32> indices;
    };

    surface_c& Current();
    void Triangle(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c, const float _uv[3][2]);
    void Quad(const vec3_c& _a, const vec3_c& _b, const vec3_c& _c, const vec3_c& _d, float _width, float _height);

    std::string name;
    renderer_c* renderer;
    std::vector<surface_c> surfaces;
    size_t current = 0;
};

// A part made by _build, its node placed at _position (its hinge).
std::unique_ptr<geom_object_c> BuildPart(const std::string& _name, renderer_c* _renderer,
                                         const std::function<void(shape_builder_c&)>& _build,
                                         const vec3_c& _position = vec3_c());
