#pragma once
// The cube of a sky box: two units wide around the origin, seen from inside.
// Faces in order: 0 right (x = +1), 1 left, 2 up (y = +1), 3 down, 4 front
// (z = +1), 5 back. Each face is a strip of four vertices, top-left,
// top-right, bottom-left, bottom-right as seen from inside, with texture
// coordinates (0, 0), (1, 0), (0, 1), (1, 1).
#include "foundation/types.h"

class geometry_def_c;

inline constexpr u32 sky_box_face_count = 6;

// Appends the six face sets to _geometry and gives it the format position
// plus one texture-coordinate set.
void BuildSkyBoxGeometry(geometry_def_c& _geometry);
