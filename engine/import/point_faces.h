#pragma once
// The faces at each point of a mesh, once for each of a face's corners on
// the point, for the smoothing sums of the importers: a vertex normal sums
// the faces around its point instead of every face of the mesh.
#include <vector>

#include "foundation/types.h"

class point_faces_c {
public:
    static constexpr u32 none = 0xFFFFFFFFu;

    // _corners holds three point indices per face; none (or an index not
    // below _pointCount) leaves that corner out.
    point_faces_c(size_t _pointCount, const std::vector<u32>& _corners);

    const u32* Begin(u32 _point) const { return faces.data() + start[_point]; }
    const u32* End(u32 _point) const { return faces.data() + start[_point + 1]; }

private:
    std::vector<u32> start; // per point, then the end
    std::vector<u32> faces;
};
