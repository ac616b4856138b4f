#include <algorithm>
#include <cfloat>
#include <cmath>
#include <unordered_map>

#include "engine/import/lwo2_reader.h"
#include "engine/import/point_faces.h"

namespace {

vec3_c Normalised(const vec3_c& _v)
{
    const f32 length = _v.Length();
    return length > 0.0f ? _v * (1.0f / length) : _v;
}

bool PointsValid(const lwo2_polygon_c& _polygon, size_t _pointCount)
{
    for (u32 k = 0; k < _polygon.count; ++k)
        if (_polygon.point[k] >= _pointCount)
            return false;
    return true;
}

bool IsSmooth(const lwo2_layer_c& _layer, const lwo2_polygon_c& _polygon)
{
    return _polygon.surface >= 0 && (_layer.surfaces[_polygon.surface].values.flags & surface_smooth) != 0;
}

// Face and vertex normals of every polygon over one set of points; normals
// of polygons with a bad point index stay unset. Smoothing sums run over
// the triangles that share each point, not over the whole layer.
bool ComputeNormalsOver(const lwo2_layer_c& _layer, const std::vector<vec3_c>& _points,
                        std::vector<lwo2_polygon_c>& _polygons)
{
    bool missing = false;
    std::vector<u32> corners(_polygons.size() * 3, point_faces_c::none);
    for (size_t i = 0; i < _polygons.size(); ++i)
        if (_polygons[i].count == 3 && PointsValid(_polygons[i], _points.size()))
            for (u32 k = 0; k < 3; ++k)
                corners[i * 3 + k] = _polygons[i].point[k];
    const point_faces_c around(_points.size(), corners);
    for (u32 i = 0; i < _polygons.size(); ++i) {
        lwo2_polygon_c& polygon = _polygons[i];
        polygon.hasNormals = false;
        if (polygon.count == 0)
            continue;
        if (!PointsValid(polygon, _points.size())) {
            missing = true;
            continue;
        }
        const vec3_c& p0 = _points[polygon.point[0]];
        if (polygon.count == 3) {
            vec3_c n;
            n.Cross(_points[polygon.point[1]] - p0, _points[polygon.point[2]] - p0);
            polygon.faceNormal = Normalised(n);
        } else if (polygon.count == 2) {
            polygon.faceNormal = Normalised((p0 + _points[polygon.point[1]]) * 0.5f);
        } else {
            polygon.faceNormal = Normalised(p0);
        }
        polygon.hasNormals = true;
        for (u32 k = 0; k < 3; ++k)
            polygon.normal[k] = polygon.faceNormal;
        if (polygon.count == 2 && IsSmooth(_layer, polygon)) {
            polygon.normal[0] = Normalised(p0);
            polygon.normal[1] = Normalised(_points[polygon.point[1]]);
        }
    }
    for (lwo2_polygon_c& polygon : _polygons) {
        if (!polygon.hasNormals || polygon.count != 3 || !IsSmooth(_layer, polygon))
            continue;
        const f32 threshold = _layer.surfaces[polygon.surface].threshold;
        for (u32 k = 0; k < 3; ++k) {
            vec3_c sum;
            for (const u32* t = around.Begin(polygon.point[k]); t != around.End(polygon.point[k]); ++t) {
                const lwo2_polygon_c& o = _polygons[*t];
                if (o.smoothingGroup == polygon.smoothingGroup && Dot(o.faceNormal, polygon.faceNormal) >= threshold)
                    sum += o.faceNormal;
            }
            polygon.normal[k] = Normalised(sum);
        }
    }
    return !missing;
}

// Values of one vertex map per point (the last entry of a point wins).
class point_values_c {
public:
    point_values_c(const lwo2_vmap_c& _map, size_t _pointCount, bool& _missing) : map(_map), entryOf(_pointCount, kNone)
    {
        for (u32 e = 0; e < _map.points.size(); ++e) {
            if (_map.points[e] < _pointCount)
                entryOf[_map.points[e]] = e;
            else
                _missing = true;
        }
    }
    // Null when the point has no entry.
    const f32* Find(u32 _point) const
    {
        const u32 entry = entryOf[_point];
        return entry == kNone ? nullptr : &map.values[size_t(entry) * map.dimension];
    }

private:
    static constexpr u32 kNone = 0xFFFFFFFFu;
    const lwo2_vmap_c& map;
    std::vector<u32> entryOf;
};

u32 PackColor(const f32* _rgba)
{
    u32 bytes[4];
    for (u32 i = 0; i < 4; ++i) {
        const f32 scaled = _rgba[i] * 255.0f;
        bytes[i] = scaled >= 255.0f ? 255u : scaled > 0.0f ? static_cast<u32>(scaled) : 0u;
    }
    return bytes[3] << 24 | bytes[0] << 16 | bytes[1] << 8 | bytes[2];
}

// Calls _apply(polygon, vertex, values) for every vertex of the surface's
// polygons from the map's per-point entries, then from its discontinuous
// entries; reports bad point and polygon indices.
template <typename Apply>
void SpreadMap(lwo2_layer_c& _layer, const lwo2_vmap_c& _map, i32 _surface, Apply _apply)
{
    bool missingPoint = false;
    bool missingPolygon = false;
    const point_values_c values(_map, _layer.points.size(), missingPoint);
    static const f32 kZero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (lwo2_polygon_c& polygon : _layer.polygons) {
        if (polygon.surface != _surface || !PointsValid(polygon, _layer.points.size()))
            continue;
        for (u32 k = 0; k < polygon.count; ++k) {
            const f32* v = values.Find(polygon.point[k]);
            _apply(polygon, k, v ? v : kZero);
        }
    }
    for (size_t e = 0; e < _map.discontinuousPoints.size(); ++e) {
        const u32 point = _map.discontinuousPoints[e];
        const u32 polygonIndex = _map.discontinuousPolygons[e];
        if (point >= _layer.points.size()) {
            missingPoint = true;
            continue;
        }
        if (polygonIndex >= _layer.polygons.size()) {
            missingPolygon = true;
            continue;
        }
        lwo2_polygon_c& polygon = _layer.polygons[polygonIndex];
        if (polygon.surface != _surface)
            continue;
        for (u32 k = 0; k < polygon.count; ++k)
            if (polygon.point[k] == point)
                _apply(polygon, k, &_map.discontinuousValues[e * _map.dimension]);
    }
    if (missingPoint)
        _layer.Warn("Point not found!");
    if (missingPolygon)
        _layer.Warn("Polygon not found!");
}

} // namespace

void lwo2_layer_c::MakeMorphFrames()
{
    bool missing = false;
    for (const lwo2_vmap_c& map : morphMaps) {
        lwo2_frame_c frame;
        frame.name = map.name;
        frame.points = points;
        for (size_t e = 0; e < map.points.size(); ++e) {
            const u32 p = map.points[e];
            if (p >= points.size()) {
                missing = true;
                continue;
            }
            const vec3_c v(map.values[e * 3], map.values[e * 3 + 1], map.values[e * 3 + 2]);
            frame.points[p] = map.absolute ? v : frame.points[p] + v;
        }
        frames.push_back(std::move(frame));
    }
    if (missing)
        Warn("Point not found!");
}

bool lwo2_layer_c::ComputeNormals()
{
    std::vector<lwo2_polygon_c> scratch;
    for (lwo2_frame_c& frame : frames) {
        scratch = polygons;
        ComputeNormalsOver(*this, frame.points, scratch);
        frame.normals.resize(scratch.size() * 3);
        for (size_t i = 0; i < scratch.size(); ++i)
            for (u32 k = 0; k < 3; ++k)
                frame.normals[i * 3 + k] = scratch[i].normal[k];
    }
    if (ComputeNormalsOver(*this, points, polygons))
        return true;
    Warn("Point not found!");
    return false;
}

void lwo2_layer_c::ComputeTexCoords()
{
    for (size_t s = 0; s < surfaces.size(); ++s) {
        const lwo2_surface_c& surface = surfaces[s];
        for (u32 slot = 0; slot < surface.uvLayers; ++slot) {
            if (surface.uvMapName[slot].IsEmpty())
                continue;
            const lwo2_vmap_c* map = FindMap(uvMaps, surface.uvMapName[slot]);
            if (map == nullptr) {
                Warn("UV mapping coordinates not found!");
                continue;
            }
            SpreadMap(*this, *map, static_cast<i32>(s), [slot](lwo2_polygon_c& _p, u32 _k, const f32* _v) {
                _p.uv[slot][_k][0] = _v[0];
                _p.uv[slot][_k][1] = _v[1];
            });
        }
    }
}

void lwo2_layer_c::ComputeColors()
{
    for (size_t s = 0; s < surfaces.size(); ++s) {
        const lwo2_surface_c& surface = surfaces[s];
        if (surface.colorMapName.IsEmpty())
            continue;
        const lwo2_vmap_c* map = FindMap(colorMaps, surface.colorMapName);
        if (map == nullptr) {
            Warn("Color mapping coordinates not found!");
            continue;
        }
        SpreadMap(*this, *map, static_cast<i32>(s),
                  [](lwo2_polygon_c& _p, u32 _k, const f32* _v) { _p.color[_k] = PackColor(_v); });
    }
}

void lwo2_layer_c::ComputeWeights()
{
    influenceCount = 0;
    if (weightMaps.empty())
        return;
    struct weight_c {
        u32 map;
        f32 value;
    };
    // Weights per point, and per polygon vertex from discontinuous entries.
    std::vector<std::vector<weight_c>> atPoint(points.size());
    std::unordered_map<u64, std::vector<weight_c>> atVertex;
    auto put = [](std::vector<weight_c>& _list, u32 _map, f32 _value) {
        // Only positive weights are ever chosen; NaN must not reach the sort.
        if (!(_value > 0.0f))
            _value = 0.0f;
        for (weight_c& w : _list)
            if (w.map == _map) {
                w.value = _value;
                return;
            }
        _list.push_back({_map, _value});
    };
    bool missingPoint = false;
    bool missingPolygon = false;
    for (u32 m = 0; m < weightMaps.size(); ++m) {
        const lwo2_vmap_c& map = weightMaps[m];
        for (size_t e = 0; e < map.points.size(); ++e) {
            if (map.points[e] >= points.size()) {
                missingPoint = true;
                continue;
            }
            put(atPoint[map.points[e]], m, map.values[e]);
        }
        for (size_t e = 0; e < map.discontinuousPoints.size(); ++e) {
            const u32 point = map.discontinuousPoints[e];
            const u32 polygonIndex = map.discontinuousPolygons[e];
            if (point >= points.size()) {
                missingPoint = true;
                continue;
            }
            if (polygonIndex >= polygons.size()) {
                missingPolygon = true;
                continue;
            }
            const lwo2_polygon_c& polygon = polygons[polygonIndex];
            for (u32 k = 0; k < polygon.count; ++k)
                if (polygon.point[k] == point)
                    put(atVertex[u64(polygonIndex) * 4 + k], m, map.discontinuousValues[e]);
        }
    }
    if (missingPoint)
        Warn("Point not found!");
    if (missingPolygon)
        Warn("Polygon not found!");

    std::vector<weight_c> candidates;
    for (u32 i = 0; i < polygons.size(); ++i) {
        lwo2_polygon_c& polygon = polygons[i];
        if (!PointsValid(polygon, points.size()))
            continue;
        for (u32 k = 0; k < polygon.count; ++k) {
            candidates = atPoint[polygon.point[k]];
            const auto over = atVertex.find(u64(i) * 4 + k);
            if (over != atVertex.end())
                for (const weight_c& w : over->second)
                    put(candidates, w.map, w.value);
            // Largest first; the earlier map wins a tie.
            std::sort(candidates.begin(), candidates.end(), [](const weight_c& _a, const weight_c& _b) {
                return _a.value != _b.value ? _a.value > _b.value : _a.map < _b.map;
            });
            u32 chosen = 0;
            f32 sum = 0.0f;
            while (chosen < 4 && chosen < candidates.size() && candidates[chosen].value > 0.0f)
                sum += candidates[chosen++].value;
            u32 kept = 0;
            for (u32 c = 0; c < chosen; ++c) {
                const f32 share = candidates[c].value / sum;
                if (share > FLT_EPSILON) {
                    polygon.weight[kept][k] = share;
                    polygon.weightMap[kept][k] = candidates[c].map + 1;
                    ++kept;
                }
            }
            influenceCount = std::max(influenceCount, kept);
        }
    }
}
