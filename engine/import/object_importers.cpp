#include "engine/import/object_importers.h"

#include <memory>

#include "engine/geom_object.h"
#include "engine/import/lwob_reader.h"
#include "engine/map.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"

namespace {

// Applies the surface values to a material; _repeatFlags says whether the
// maps take the surface's repeat and blend settings (LWO2) or keep theirs.
void FillMaterial(material_c& _material, const lwo2_surface_c& _surface, const std::vector<lwo2_envelope_c>& _envelopes,
                  bool _repeatFlags, renderer_c* _renderer, const string_c& _fileName)
{
    const lwo2_surface_values_c& v = _surface.values;
    _material.color = v.color;
    _material.luminosity = v.luminosity;
    _material.diffuse = v.diffuse;
    _material.specularColor = v.specularColor;
    _material.glossiness = v.glossiness;
    _material.specularLevel = v.specular;
    _material.transparency = v.transparency;
    _material.reflectivity = v.reflectivity;
    _material.bumpAmplitude = v.bump;
    const u32 surfaceBits =
        material_double_sided | material_smooth | material_additive | material_vertex_colors | material_glow;
    _material.flags = (_material.flags & ~surfaceBits) | (v.flags & surfaceBits);
    std::vector<map_c*> made;
    const lwo2_image_c& first = v.colorMap[0];
    if (!first.still.IsEmpty())
        _material.SetColorMap(0, first.still);
    else if (!first.sequence.empty())
        _material.SetColorMapSequence(0, first.sequence, first.frameOffset, first.frameRate, first.loop, false);
    if (_material.GetColorMap(0))
        made.push_back(const_cast<map_c*>(_material.GetColorMap(0)));
    if (!v.colorMap[1].still.IsEmpty()) {
        _material.SetColorMap(1, v.colorMap[1].still);
        if (_material.GetColorMap(1))
            made.push_back(const_cast<map_c*>(_material.GetColorMap(1)));
    }
    if (!v.reflectionMap.IsEmpty())
        _material.SetReflectionMap(v.reflectionMap);
    if (!v.bumpMap.IsEmpty()) {
        _material.SetBumpMap(v.bumpMap);
        if (_material.GetBumpMap())
            made.push_back(const_cast<map_c*>(_material.GetBumpMap()));
    }
    for (u32 slot = 0; slot < made.size() && slot < 3; ++slot) {
        made[slot]->SetTexCoordSet(slot);
        made[slot]->SetFiltering(_surface.uvFiltering[slot]);
        if (_repeatFlags) {
            made[slot]->SetRepeat(_surface.uvClamp[slot] ? 0 : 1);
            made[slot]->SetBlendMode(_surface.uvBlend[slot]);
        }
    }
    for (const string_c& comment : v.comments) {
        // Each line of a comment is one render-state keyword.
        u32 begin = 0;
        for (u32 i = 0; i <= comment.GetLength(); ++i) {
            if (i < comment.GetLength() && comment[i] != '\n' && comment[i] != '\r')
                continue;
            const string_c line = comment.Mid(static_cast<int>(begin), i - begin);
            begin = i + 1;
            if (line.IsEmpty())
                continue;
            bool known = false;
            try {
                known = _material.SetParameter(command_c(line));
            } catch (const command_error_c&) {
                known = false;
            }
            if (!known && _renderer)
                _renderer->LogWarning(string_c("[%s] [%s] Unknown command!", _fileName.GetData(), line.GetData()));
        }
    }
    for (const lwo2_binding_c& binding : v.envelopes)
        for (const lwo2_envelope_c& entry : _envelopes)
            if (entry.index == binding.envelope) {
                if (float* member = _material.GetEnvelopeTarget(binding.target))
                    _material.AddEnvelope(entry.envelope, member);
                break;
            }
}

// The material of one primitive kind: points and lines draw without the
// maps they cannot use, from both sides.
material_c* MaterialForKind(const material_c& _base, u32 _kind)
{
    auto copy = std::make_unique<material_c>(_base);
    if (_kind < 2) {
        copy->SetReflectionMap(std::unique_ptr<map_c>());
        copy->SetBumpMap(std::unique_ptr<map_c>());
        copy->SetColorMap(1, std::unique_ptr<map_c>());
        if (_kind == 1)
            copy->SetColorMap(0, std::unique_ptr<map_c>());
        else
            copy->flags &= ~u32(material_smooth);
        copy->flags |= material_double_sided;
    }
    return copy.release();
}

// Materials and meshes of a layer built into the object.
void BuildObject(const lwo2_layer_c& _layer, lwo2_geometry_c& _geometry, geom_object_c& _object, bool _repeatFlags)
{
    renderer_c* renderer = _object.GetRenderer();
    std::vector<std::unique_ptr<material_c>> bases(_layer.surfaces.size());
    std::vector<material_c*> slots;
    for (const lwo2_set_c& set : _geometry.sets) {
        if (!bases[set.surface]) {
            bases[set.surface] = std::make_unique<material_c>(_layer.surfaces[set.surface].name, renderer);
            FillMaterial(*bases[set.surface], _layer.surfaces[set.surface], _layer.envelopes, _repeatFlags, renderer,
                         _layer.fileName);
        }
        slots.push_back(_object.AddMaterial(MaterialForKind(*bases[set.surface], set.kind)));
    }
    mesh_c* base = _object.CreateMesh("(Base)", *_geometry.base);
    for (u32 i = 0; i < slots.size(); ++i)
        _object.SetMeshMaterial(base, i, slots[i]);
    for (u32 i = 0; i < _layer.weightMaps.size(); ++i)
        base->SetWeightMapName(i, _layer.weightMaps[i].name);
    for (size_t i = 0; i < _geometry.morphs.size(); ++i)
        _object.CreateMesh(_layer.frames[i].name, *_geometry.morphs[i]);
}

} // namespace

bool ReadLwo2Layer(input_file_c& _file, geom_object_c& _object, u32 _layer)
{
    lwo2_reader_c reader(_file);
    if (!reader.IsLwo2())
        return false;
    lwo2_layer_c layer;
    layer.renderer = _object.GetRenderer();
    if (!reader.ReadLayerRecords(_layer, layer)) {
        _object.SetPivot(layer.pivot);
        return true;
    }
    lwo2_geometry_c geometry;
    lwo2_reader_c::BuildGeometry(layer, _object.GetName(), geometry);
    _object.SetPivot(layer.pivot);
    BuildObject(layer, geometry, _object, true);
    return true;
}

bool ReadLwo2LayerName(input_file_c& _file, u32 _layer, string_c& _name)
{
    lwo2_reader_c reader(_file);
    if (!reader.IsLwo2())
        return false;
    reader.GetLayerName(_layer, _name);
    return true;
}

bool ReadLwobObject(input_file_c& _file, geom_object_c& _object, u32 _layer)
{
    lwob_reader_c reader(_file);
    if (_layer != 0 || !reader.IsLwob())
        return false;
    lwo2_layer_c object;
    object.renderer = _object.GetRenderer();
    reader.ReadObjectRecords(object);
    lwo2_geometry_c geometry;
    lwob_reader_c::BuildGeometry(object, _object.GetName(), geometry);
    BuildObject(object, geometry, _object, false);
    return true;
}

bool ReadLwobLayerName(input_file_c& _file, u32 _layer, string_c& _name)
{
    lwob_reader_c reader(_file);
    if (_layer != 0 || !reader.IsLwob())
        return false;
    _name.Clear();
    return true;
}

material_c* ReadLwobMaterial(input_file_c& _file, renderer_c* _renderer)
{
    lwob_reader_c reader(_file);
    if (!reader.IsLwob())
        return nullptr;
    lwo2_surface_c surface;
    reader.ReadMaterialRecords(surface);
    auto material = std::make_unique<material_c>("(Unnamed)", _renderer);
    if (!surface.name.IsEmpty())
        material->name = surface.name;
    FillMaterial(*material, surface, {}, false, _renderer, _file.GetName());
    return material.release();
}

void RegisterObjectImporters()
{
    RegisterGeomLayerReader(geom_reader_lwo2, ReadLwo2Layer, ReadLwo2LayerName);
    RegisterGeomLayerReader(geom_reader_lwob, ReadLwobObject, ReadLwobLayerName);
    RegisterMaterialReader(ReadLwobMaterial);
}
