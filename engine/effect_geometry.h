#pragma once
// effect_geometry_c: the private renderer geometry of a particle pool or a
// trail ribbon. One triangle set whose vertices the owner rewrites on the
// processor and re-sends with Rebuild; the device geometry belongs to this
// object alone, outside the renderer's cache.
#include "engine/geometry_def.h"

#include <memory>

class geometry_c;
class renderer_c;

class effect_geometry_c {
public:
    // The device geometry for _definition (which must hold exactly one
    // triangle set), made by the renderer's factory.
    effect_geometry_c(const geometry_def_c& _definition, renderer_c* _renderer);
    // A copy of the vertices and indices with a device geometry of its own.
    effect_geometry_c(const effect_geometry_c& _other);
    effect_geometry_c& operator=(const effect_geometry_c&) = delete;
    ~effect_geometry_c();

    const geometry_def_c& GetDefinition() const { return definition; }
    primitive_set_c& GetSet() const { return *definition.primitiveSets.front(); }
    geometry_c* GetGeometry() const { return geometry.get(); }
    // Hands the current vertices and indices to the device.
    void Rebuild();

private:
    geometry_def_c definition;
    renderer_c* renderer;
    std::unique_ptr<geometry_c> geometry;
};
