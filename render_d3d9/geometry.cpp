#include "render_d3d9/geometry.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/state_cache.h"

#include <cstring>
#include <stdexcept>

namespace {

constexpr const char* update_signature = "void d3d_geometry_c::Update(const geometry_def_c& _geometry_def)";

D3DPRIMITIVETYPE GroupType(u32 _per_primitive, bool _list)
{
    switch (_per_primitive) {
    case 1: return D3DPT_POINTLIST;
    case 2: return _list ? D3DPT_LINELIST : D3DPT_LINESTRIP;
    case 3: return _list ? D3DPT_TRIANGLELIST : D3DPT_TRIANGLESTRIP;
    default: return D3DPT_FORCE_DWORD;
    }
}

}

std::vector<d3d_group_s> d3d_geometry_c::BuildGroups(const geometry_def_c& _definition, u32& _vertices, u32& _indices,
                                                     bool& _points)
{
    std::vector<d3d_group_s> result;
    _vertices = 0;
    _indices = 0;
    _points = false;
    for (const auto& set : _definition.primitiveSets) {
        d3d_group_s group;
        const u32 per = set->GetVerticesPerPrimitive();
        const u32 vertices = set->GetVertexCount();
        const u32 primitives = per == 1 ? vertices : set->GetPrimitiveCount(0);
        const bool list = per != 1 && !set->indices.empty();
        group.startOffset = _vertices * _definition.format.GetStride();
        if (per < 1 || per > 3 || vertices == 0 || primitives == 0) {
            result.push_back(group);
            continue;
        }
        group.type = GroupType(per, list);
        group.verticesPerPrimitive = per;
        group.vertexCount = vertices;
        group.firstVertex = _vertices;
        group.primitiveCount = primitives;
        group.firstIndex = _indices;
        group.indexCount = list ? per * primitives : 0;
        _vertices += vertices;
        _indices += group.indexCount;
        _points = _points || per == 1;
        result.push_back(group);
    }
    return result;
}

void d3d_geometry_c::PackVertex(const vertex_c& _vertex, const vertex_format_c& _format, u8* _out)
{
    auto put = [&_out](const void* _data, u64 _size) {
        std::memcpy(_out, _data, _size);
        _out += _size;
    };
    put(&_vertex.position, 12);
    put(_vertex.blendWeights, 4 * u64{std::min<u32>(_format.blendWeightCount, 3)});
    if (_format.matrixIndexCount > 0) {
        put(_vertex.matrixIndices, 4);
    }
    if (_format.hasNormal != 0) {
        put(&_vertex.normal, 12);
    }
    if (_format.hasDiffuse != 0) {
        put(&_vertex.diffuse, 4);
    }
    put(_vertex.texCoords, 8 * u64{std::min<u32>(_format.texCoordSetCount, 3)});
}

d3d_geometry_c::d3d_geometry_c(IDirect3DDevice9* _device, const char* _name, const geometry_def_c& _definition,
                               bool _software)
    : geometry_c(_name, _definition), device(_device), dynamic(_definition.privateGeometry != 0),
      format(_definition.format)
{
    bool points = false;
    groups = BuildGroups(_definition, vertexCapacity, indexCapacity, points);
    indexSize = vertexCapacity > 65535 ? 4 : 2;
    stride = format.GetStride();
    if (vertexCapacity == 0) {
        return;
    }
    const DWORD usage = D3DUSAGE_WRITEONLY | (dynamic ? D3DUSAGE_DYNAMIC : 0) |
                        (_software ? D3DUSAGE_SOFTWAREPROCESSING : 0) | (points ? D3DUSAGE_POINTS : 0);
    const D3DPOOL pool = dynamic ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
    try {
        const u64 vertex_bytes = u64{vertexCapacity} * stride;
        if (vertex_bytes > 0xFFFFFFFFu || FAILED(device->CreateVertexBuffer(static_cast<UINT>(vertex_bytes), usage, 0,
                                                                            pool, &vertexBuffer, nullptr))) {
            vertexBuffer = nullptr;
            throw d3d_error_c("Could not create vertex buffer!");
        }
        if (indexCapacity > 0) {
            const u64 index_bytes = u64{indexCapacity} * indexSize;
            if (index_bytes > 0xFFFFFFFFu ||
                FAILED(device->CreateIndexBuffer(static_cast<UINT>(index_bytes), usage,
                                                 indexSize == 4 ? D3DFMT_INDEX32 : D3DFMT_INDEX16, pool, &indexBuffer,
                                                 nullptr))) {
                indexBuffer = nullptr;
                throw d3d_error_c("Could not create index buffer!");
            }
        }
        Fill(_definition, dynamic ? D3DLOCK_DISCARD : 0);
    } catch (...) {
        Release();
        throw;
    }
}

d3d_geometry_c::~d3d_geometry_c()
{
    Release();
}

void d3d_geometry_c::Release()
{
    if (indexBuffer != nullptr) {
        indexBuffer->Release();
        indexBuffer = nullptr;
    }
    if (vertexBuffer != nullptr) {
        vertexBuffer->Release();
        vertexBuffer = nullptr;
    }
}

void d3d_geometry_c::Fill(const geometry_def_c& _definition, DWORD _lock_flags)
{
    void* vertex_data = nullptr;
    if (FAILED(vertexBuffer->Lock(0, 0, &vertex_data, _lock_flags))) {
        throw d3d_error_c("Could not fill vertex buffer up!");
    }
    auto* out = static_cast<u8*>(vertex_data);
    for (const auto& set : _definition.primitiveSets) {
        for (const vertex_c& vertex : set->vertices) {
            PackVertex(vertex, format, out);
            out += stride;
        }
    }
    vertexBuffer->Unlock();
    if (indexBuffer == nullptr) {
        return;
    }
    void* index_data = nullptr;
    if (FAILED(indexBuffer->Lock(0, 0, &index_data, _lock_flags))) {
        throw d3d_error_c("Could not fill index buffer up!");
    }
    auto* index_out = static_cast<u8*>(index_data);
    for (u64 i = 0; i < groups.size() && i < _definition.primitiveSets.size(); ++i) {
        if (groups[i].indexCount == 0) {
            continue;
        }
        for (const u32 index : _definition.primitiveSets[i]->indices) {
            const u32 raised = index + groups[i].firstVertex;
            if (indexSize == 4) {
                std::memcpy(index_out, &raised, 4);
            } else {
                const u16 narrow = static_cast<u16>(raised);
                std::memcpy(index_out, &narrow, 2);
            }
            index_out += indexSize;
        }
    }
    indexBuffer->Unlock();
}

void d3d_geometry_c::Update(const geometry_def_c& _definition)
{
    if (!dynamic) {
        return;
    }
    if (_definition.format != format) {
        throw std::invalid_argument(update_signature);
    }
    u32 vertices = 0;
    u32 indices = 0;
    bool points = false;
    std::vector<d3d_group_s> rebuilt = BuildGroups(_definition, vertices, indices, points);
    if (vertices > vertexCapacity || indices > indexCapacity) {
        throw d3d_error_c(update_signature);
    }
    groups = std::move(rebuilt);
    if (vertices == 0) {
        return;
    }
    Fill(_definition, D3DLOCK_DISCARD);
    if (&_definition != &definition) {
        definition = _definition;
    }
}

u32 d3d_geometry_c::GetSize() const
{
    return vertexCapacity * stride + indexCapacity * indexSize;
}

void d3d_geometry_c::DrawGroup(u32 _group, u32 _first_primitive, u32 _count) const
{
    if (_group >= groups.size()) {
        return;
    }
    const d3d_group_s& group = groups[_group];
    if (group.type == D3DPT_FORCE_DWORD || _count == 0 || _first_primitive >= group.primitiveCount) {
        return;
    }
    const u32 count = std::min(_count, group.primitiveCount - _first_primitive);
    if (group.indexCount > 0) {
        device->DrawIndexedPrimitive(group.type, 0, group.firstVertex, group.vertexCount,
                                     group.firstIndex + group.verticesPerPrimitive * _first_primitive, count);
    } else {
        device->DrawPrimitive(group.type, group.firstVertex + _first_primitive, count);
    }
}

d3d_geometry_c* CreateD3DGeometry(d3d_state_cache_c& _cache, const char* _name, const geometry_def_c& _definition)
{
    if (!_definition.IsIntegral()) {
        throw d3d_error_c("Non integral geometry!");
    }
    geometry_def_c definition = _definition;
    definition.WeldVertices();
    const bool blending = definition.blendMatrixCount > 0;
    const bool software = _cache.NeedsSoftware(definition.tweening != 0, blending, definition.blendMatrixCount,
                                               definition.needsVertexShader != 0);
    const D3DCAPS9& caps = _cache.GetCaps();
    if (definition.GetPrimitiveCount(0) > caps.MaxPrimitiveCount) {
        throw d3d_error_c("Maximum primitive count exceeded!");
    }
    const u32 limit = _cache.GetPrimitiveLimit(software);
    if (limit != 0 && definition.GetVertexCount() > limit) {
        throw d3d_error_c("Maximum vertex count exceeded!");
    }
    return new d3d_geometry_c(_cache.GetDevice(), _name, definition, software);
}
