#include "engine/import/model_importers.h"

#include <memory>

#include "engine/geom_object.h"
#include "engine/import/ase_reader.h"
#include "engine/import/binary_3ds_reader.h"
#include "engine/map.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/scene.h"

namespace {

// A material of the values, with each map's transform (three rows and a
// zero row) when it has one and its filtering byte.
material_c* MakeMaterial(const string_c& _name, const lwo2_surface_values_c& _values, renderer_c* _renderer,
                         const f32 (*_colorTransforms[2])[3], const f32 (*_bumpTransform)[3], const u8* _filters)
{
    auto material = std::make_unique<material_c>(_name, _renderer);
    material->color = _values.color;
    material->luminosity = _values.luminosity;
    material->diffuse = _values.diffuse;
    material->specularColor = _values.specularColor;
    material->glossiness = _values.glossiness;
    material->specularLevel = _values.specular;
    material->transparency = _values.transparency;
    material->reflectivity = _values.reflectivity;
    material->bumpAmplitude = _values.bump;
    const u32 bits = material_double_sided | material_smooth | material_additive | material_vertex_colors;
    material->flags = (material->flags & ~bits) | (_values.flags & bits);
    for (u32 layer = 0; layer < 2; ++layer) {
        if (_values.colorMap[layer].still.IsEmpty())
            continue;
        material->SetColorMap(layer, _values.colorMap[layer].still);
        if (auto* map = const_cast<map_c*>(material->GetColorMap(layer))) {
            if (_colorTransforms[layer])
                map->SetTransform(&_colorTransforms[layer][0][0]);
            if (_filters)
                map->SetFiltering(_filters[layer]);
            if (layer == 1)
                map->SetBlendMode(1);
        }
    }
    if (!_values.reflectionMap.IsEmpty()) {
        material->SetReflectionMap(_values.reflectionMap);
        if (auto* map = const_cast<map_c*>(material->GetReflectionMap()); map && _filters)
            map->SetFiltering(_filters[2]);
    }
    if (!_values.bumpMap.IsEmpty()) {
        material->SetBumpMap(_values.bumpMap);
        if (auto* map = const_cast<map_c*>(material->GetBumpMap())) {
            if (_bumpTransform)
                map->SetTransform(&_bumpTransform[0][0]);
            if (_filters)
                map->SetFiltering(_filters[3]);
        }
    }
    return material.release();
}

void AddMeshObject(scene_c& _scene, const string_c& _name, const geometry_def_c& _geometry,
                   std::vector<std::unique_ptr<material_c>>& _materials)
{
    auto object = std::make_unique<geom_object_c>(_name, _scene.GetRenderer());
    std::vector<material_c*> slots;
    for (auto& material : _materials)
        slots.push_back(object->AddMaterial(material.release()));
    mesh_c* mesh = object->CreateMesh(_name, _geometry);
    for (u32 i = 0; i < slots.size(); ++i)
        object->SetMeshMaterial(mesh, i, slots[i]);
    _scene.AddObject(object.release());
}

} // namespace

bool Import3dsScene(input_file_c& _file, scene_c& _scene)
{
    if (!Is3dsFile(_file))
        return false;
    binary_3ds_reader_c reader(_file);
    std::vector<mesh_3ds_c> meshes;
    reader.Read(&_scene, _scene.GetRenderer(), meshes);
    const auto& materials = reader.GetMaterials();
    for (const mesh_3ds_c& mesh : meshes) {
        std::vector<std::unique_ptr<material_c>> copies;
        for (u32 index : mesh.materials) {
            const material_3ds_c& m = materials[index];
            const f32(*color[2])[3] = {m.hasColorTransform ? m.colorTransform : nullptr, nullptr};
            copies.emplace_back(MakeMaterial(m.name, m.values, _scene.GetRenderer(), color,
                                             m.hasBumpTransform ? m.bumpTransform : nullptr, nullptr));
        }
        AddMeshObject(_scene, mesh.name, *mesh.geometry, copies);
    }
    return true;
}

bool ImportAseScene(input_file_c& _file, scene_c& _scene)
{
    if (!IsAseFile(_file))
        return false;
    ase_reader_c reader(_file);
    std::vector<ase_mesh_c> meshes;
    reader.Read(&_scene, _scene.GetRenderer(), meshes);
    for (const ase_mesh_c& mesh : meshes) {
        std::vector<std::unique_ptr<material_c>> copies;
        for (const ase_material_c& m : mesh.materials) {
            const f32(*color[2])[3] = {m.hasTransform[0] ? m.transform[0] : nullptr,
                                       m.hasTransform[1] ? m.transform[1] : nullptr};
            copies.emplace_back(MakeMaterial(m.name.IsEmpty() ? string_c("(Unnamed)") : m.name, m.values,
                                             _scene.GetRenderer(), color, m.hasTransform[2] ? m.transform[2] : nullptr,
                                             m.filter));
        }
        AddMeshObject(_scene, mesh.name, *mesh.geometry, copies);
    }
    return true;
}
