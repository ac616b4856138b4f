#include "engine/import/point_faces.h"

point_faces_c::point_faces_c(size_t _pointCount, const std::vector<u32>& _corners) : start(_pointCount + 1, 0)
{
    for (const u32 point : _corners)
        if (point < _pointCount)
            ++start[point + 1];
    for (size_t p = 0; p < _pointCount; ++p)
        start[p + 1] += start[p];
    faces.resize(start.back());
    std::vector<u32> filled(start.begin(), start.end() - 1);
    for (size_t c = 0; c < _corners.size(); ++c)
        if (_corners[c] < _pointCount)
            faces[filled[_corners[c]]++] = static_cast<u32>(c / 3);
}
