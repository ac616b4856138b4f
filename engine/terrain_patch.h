#pragma once
// The arithmetic of terrain patches, apart from the scene object: the
// level-of-detail test, bounds and ray tests over a patch's geometry, and the
// grid of one patch cut from a height field.
#include "engine/ray.h"
#include "foundation/types.h"

class bounding_box_c;
class geometry_def_c;
class triangle_set_c;

// True when the patch's largest side M seen from distance d (from the local
// eye to the nearest point of the box) is too large for the accuracy:
// 1 / accuracy < M / d. An eye inside the box of a patch with size refines;
// a comparison with a value that is not a number does not.
bool PatchNeedsRefinement(const bounding_box_c& _box, const vec3_c& _eye, f32 _accuracy);

// Widens _min and _max by the position of every vertex of every set.
void ExtendByGeometry(const geometry_def_c& _geometry, vec3_c& _min, vec3_c& _max);

// The nearest hit over every primitive set, in the ray's units; false when
// none is hit.
bool RayTestGeometry(const geometry_def_c& _geometry, const ray_c& _ray, bool _two_sided, f32& _distance,
                     vec3_c& _normal);

// The grid of _cells x _cells squares of a height field of _side x _side
// samples (row by row, row 0 at the far z edge), starting at sample (_row,
// _column) and taking every _step-th sample; sample (r, c) stands at
// x = c * _spacing, z = -r * _spacing. Two triangles a square, facing up.
// _set is emptied first.
void BuildHeightGrid(triangle_set_c& _set, const f32* _heights, u32 _side, u32 _row, u32 _column, u32 _cells, u32 _step,
                     f32 _spacing);
