#include <algorithm>

#include "engine/import/lwo2_reader.h"
#include "engine/primitive_set.h"

namespace {

vertex_format_c LayerFormat(const lwo2_layer_c& _layer)
{
    vertex_format_c format;
    format.hasPosition = 1;
    const u32 n = _layer.influenceCount;
    format.blendWeightCount = n >= 2 ? n - 1 : n;
    format.matrixIndexCount = format.blendWeightCount > 0 ? format.blendWeightCount + 1 : 0;
    format.hasNormal = 1;
    for (const lwo2_surface_c& surface : _layer.surfaces) {
        if (surface.counts[0] + surface.counts[1] + surface.counts[2] == 0)
            continue;
        if (!surface.colorMapName.IsEmpty())
            format.hasDiffuse = 1;
        format.texCoordSetCount = std::max(format.texCoordSetCount, std::min<u32>(surface.uvLayers, 3));
    }
    return format;
}

// Fills one geometry definition from the layer's polygons over the given
// points and normals (three per polygon; null takes the polygons' own).
void FillGeometry(const lwo2_layer_c& _layer, const std::vector<vec3_c>& _points, const std::vector<vec3_c>* _normals,
                  geometry_def_c& _def, std::vector<lwo2_set_c>* _sets)
{
    for (u32 s = 0; s < _layer.surfaces.size(); ++s) {
        const lwo2_surface_c& surface = _layer.surfaces[s];
        for (u32 kind = 0; kind < 3; ++kind) {
            if (surface.counts[kind] == 0)
                continue;
            primitive_set_c* set = CreatePrimitiveSet(kind + 1);
            _def.AddPrimitiveSet(set);
            if (_sets)
                _sets->push_back({s, kind});
            set->vertices.reserve(size_t(surface.counts[kind]) * (kind + 1));
            set->indices.reserve(size_t(surface.counts[kind]) * (kind + 1));
            for (u32 i = 0; i < _layer.polygons.size(); ++i) {
                const lwo2_polygon_c& polygon = _layer.polygons[i];
                if (polygon.surface != static_cast<i32>(s) || polygon.count != kind + 1 || !polygon.hasNormals)
                    continue;
                for (u32 k = 0; k <= kind; ++k) {
                    vertex_c v;
                    v.position = _points[polygon.point[k]];
                    v.normal = _normals ? (*_normals)[size_t(i) * 3 + k] : polygon.normal[k];
                    v.diffuse = polygon.color[k];
                    for (u32 w = 0; w < 3; ++w)
                        v.blendWeights[w] = polygon.weight[w][k];
                    for (u32 w = 0; w < 4; ++w)
                        v.matrixIndices[w] = static_cast<u8>(polygon.weightMap[w][k]);
                    if (kind == 2)
                        for (u32 t = 0; t < 3; ++t) {
                            v.texCoords[t][0] = polygon.uv[t][k][0];
                            v.texCoords[t][1] = polygon.uv[t][k][1];
                        }
                    set->indices.push_back(static_cast<u32>(set->vertices.size()));
                    set->vertices.push_back(v);
                }
            }
            if (kind == 2)
                for (u32 slot = 0; slot < surface.uvLayers; ++slot)
                    if (surface.uvMapName[slot].IsEmpty())
                        set->ProjectTextureCoordinates(slot, surface.uvBlock[slot]);
        }
    }
}

} // namespace

void lwo2_reader_c::BuildGeometry(const lwo2_layer_c& _layer, const char* _objectName, lwo2_geometry_c& _out)
{
    const string_c prefix("%s:%s:", _objectName ? _objectName : "", _layer.layerName.GetData());
    BuildNamedGeometry(_layer, prefix + "(Base)", prefix, _out);
}

void lwo2_reader_c::BuildNamedGeometry(const lwo2_layer_c& _layer, const string_c& _baseName,
                                       const string_c& _morphPrefix, lwo2_geometry_c& _out)
{
    const vertex_format_c format = LayerFormat(_layer);
    auto make = [&](const string_c& _name) {
        auto def = std::make_unique<geometry_def_c>(_name);
        def->format = format;
        def->tweening = _layer.morphMaps.empty() ? 0 : 1;
        def->weld = _layer.morphMaps.empty() ? 1 : 0;
        def->blendMatrixCount = static_cast<u32>(_layer.weightMaps.size());
        return def;
    };
    _out.sets.clear();
    _out.base = make(_baseName);
    FillGeometry(_layer, _layer.points, nullptr, *_out.base, &_out.sets);
    _out.morphs.clear();
    for (const lwo2_frame_c& frame : _layer.frames) {
        _out.morphs.push_back(make(_morphPrefix + frame.name));
        FillGeometry(_layer, frame.points, &frame.normals, *_out.morphs.back(), nullptr);
    }
}
