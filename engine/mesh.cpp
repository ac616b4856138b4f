#include "engine/mesh.h"

#include "engine/object_chunk.h"
#include "engine/renderer.h"
#include "engine/stream_check.h"
#include "foundation/memory_file.h"

#include <memory>
#include <stdexcept>

namespace {

constexpr u32 tag_weight_map = MakeTag("wmap");

geometry_cache_c* CacheOf(renderer_c* _renderer)
{
    if (!_renderer)
        throw std::logic_error("mesh_c::mesh_c() needs a renderer");
    return _renderer;
}

} // namespace

mesh_c::mesh_c(const char* _name, const geometry_def_c& _definition, renderer_c* _renderer)
    : name(_name), cache(CacheOf(_renderer)), privateGeometry(_definition.privateGeometry != 0)
{
    if (privateGeometry) {
        geometry = cache->CreateGeometry(name, _definition);
    } else {
        geometry = cache->GetGeometry(_definition);
        cache->AddRef(geometry);
    }
    materials.assign(_definition.primitiveSets.size(), nullptr);
    weightMapNames.assign(_definition.blendMatrixCount, string_c());
}

mesh_c::mesh_c(const mesh_c& _other)
    : node_c<mesh_c>(_other), graph_c(_other), name(_other.name), firstValue(_other.firstValue),
      lodDistance(_other.lodDistance), geometry(_other.geometry), cache(_other.cache),
      privateGeometry(_other.privateGeometry), materials(_other.materials), weightMapNames(_other.weightMapNames)
{
    // A private geometry belongs to one mesh: the copy gets its own.
    if (privateGeometry)
        geometry = cache->CreateGeometry(name, _other.geometry->definition);
    else
        cache->AddRef(geometry);
}

mesh_c::~mesh_c()
{
    if (privateGeometry)
        delete geometry;
    else
        cache->Release(geometry);
}

void mesh_c::SetMaterial(u32 _slot, material_c* _material)
{
    if (_slot < materials.size())
        materials[_slot] = _material;
}

void mesh_c::SetWeightMapName(u32 _slot, const string_c& _name)
{
    if (_slot < weightMapNames.size())
        weightMapNames[_slot] = _name;
}

float* mesh_c::GetEnvelopeTarget(u32 _index)
{
    if (_index == 3)
        return &firstValue;
    if (_index == 4)
        return &lodDistance;
    return graph_c::GetEnvelopeTarget(_index);
}

void mesh_c::Write(output_file_c& _file) const
{
    output_file_c body;
    body.WriteString(name);
    WriteGeometryDef(body, geometry->definition);
    graph_c::Write(body);
    body.WriteF32(firstValue);
    body.WriteF32(lodDistance);
    for (u32 i = 0; i < weightMapNames.size(); ++i) {
        // Names are written as C texts; one cut short by a stored zero byte
        // may have nothing left.
        if (weightMapNames[i][0] == '\0')
            continue;
        output_file_c block;
        block.WriteU32(i);
        block.WriteString(weightMapNames[i]);
        body.WriteU32(tag_weight_map);
        body.WriteBlock(block);
    }
    WriteChunk(_file, MakeTag("MESH"), version, body);
}

mesh_c* mesh_c::Read(input_file_c& _file, renderer_c* _renderer)
{
    input_file_c body;
    if (!ReadChunk(_file, MakeTag("MESH"), version, body))
        return nullptr;
    string_c name;
    ReadCheckedString(body, name);
    geometry_def_c definition;
    ReadGeometryDef(body, definition);
    // Weight maps are numbered by a byte in the vertices; a larger count can
    // only be damage, and would size the weight-map table.
    if (definition.blendMatrixCount > mesh_c::max_weight_maps)
        ThrowDataError(body, "Invalid blend matrix count!");
    // The renderer refuses such geometry; refusing it here names the file.
    if (!definition.IsIntegral())
        ThrowDataError(body, "Non integral geometry!");
    auto mesh = std::make_unique<mesh_c>(name, definition, _renderer);
    mesh->graph_c::Read(body);
    // A body that ends early keeps the defaults of what it lacks.
    body.ReadF32(mesh->firstValue);
    body.ReadF32(mesh->lodDistance);
    while (body.GetAlignedPointer32()) {
        const u32 tag = ReadCheckedU32(body);
        input_file_c block;
        ReadCheckedBlock(body, block);
        if (tag != tag_weight_map)
            continue;
        const u32 slot = ReadCheckedU32(block);
        string_c map_name;
        ReadCheckedString(block, map_name);
        mesh->SetWeightMapName(slot, map_name);
    }
    return mesh.release();
}
