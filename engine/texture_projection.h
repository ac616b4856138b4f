#pragma once
// How a texture is wrapped onto triangles: filled by the model readers and
// applied by primitive_set_c::ProjectTextureCoordinates.
#include "foundation/types.h"

class vec3_c;

class texture_projection_c {
public:
    enum map_type_e : u32 { map_none = 0, map_planar = 1, map_cylindrical = 2, map_spherical = 3, map_cubic = 4 };

    f32 centre[3] = {0.0f, 0.0f, 0.0f};
    f32 rotation[3] = {0.0f, 0.0f, 0.0f}; // heading, pitch, bank of the projection
    f32 size[3] = {1.0f, 1.0f, 1.0f};
    u32 mapType = map_none;
    u32 axis = 2;          // 0 x, 1 y, 2 z
    f32 wrapWidth = 1.0f;  // repeats around a cylindrical or spherical map
    f32 wrapHeight = 1.0f; // repeats from pole to pole of a spherical map

    // (u, v) of a point for planar, cylindrical and spherical maps along
    // _axis (cubic maps pass the triangle's dominant axis).
    void Project(const vec3_c& _position, u32 _axis, f32& _u, f32& _v) const;
    // Shifts the u values of one triangle's corners so no edge crosses the
    // seam of a cylindrical or spherical map.
    void FixSeam(f32& _u0, f32& _u1, f32& _u2) const;
};
