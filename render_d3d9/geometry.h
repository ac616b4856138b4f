#pragma once
// d3d_geometry_c: a geometry definition in device buffers. Each primitive
// set becomes a group {type, vertices per primitive, vertex count, first
// vertex, primitive count, first index, index count, start offset}; a set
// of another kind, or without vertices or primitives, a skipped group
// (type 0x7FFFFFFF). Sets follow one another in one vertex buffer and one
// index buffer (indices raised by the set's first vertex); lists of lines
// and triangles are indexed, points and strips are not. Indices are 32-bit
// once the geometry has more than 65535 vertices.
//
// Vertices are packed as the declarations of the state cache read them:
// position, blend weights, the matrix-index word, normal, diffuse colour,
// coordinate pairs, each only when the format has it.
//
// A definition's private-geometry byte makes the geometry dynamic (a mesh
// that owns its geometry rewrites it). Static geometry lives in managed
// write-only buffers; dynamic geometry in
// default-pool dynamic buffers refilled with D3DLOCK_DISCARD. Failures:
// d3d_error_c "Could not create vertex buffer!", "Could not fill vertex
// buffer up!", "Could not create index buffer!", "Could not fill index
// buffer up!". Update of a dynamic geometry with another vertex format
// throws std::invalid_argument, and with more vertices or indices than the
// buffers hold d3d_error_c, both with the text "void
// d3d_geometry_c::Update(const geometry_def_c& _geometry_def)"; a refused
// update leaves the groups and buffers as they were.
#include "engine/geometry_cache.h"
#include "platform/d3d9/d3d9.h"

#include <vector>

class d3d_state_cache_c;

struct d3d_group_s {
    D3DPRIMITIVETYPE type = D3DPT_FORCE_DWORD;
    u32 verticesPerPrimitive = 0;
    u32 vertexCount = 0;
    u32 firstVertex = 0;
    u32 primitiveCount = 0;
    u32 firstIndex = 0;
    u32 indexCount = 0;
    u32 startOffset = 0;
    bool operator==(const d3d_group_s&) const = default;
};

class d3d_geometry_c : public geometry_c {
public:
    d3d_geometry_c(IDirect3DDevice9* _device, const char* _name, const geometry_def_c& _definition, bool _software);
    ~d3d_geometry_c() override;
    d3d_geometry_c(const d3d_geometry_c&) = delete;
    d3d_geometry_c& operator=(const d3d_geometry_c&) = delete;

    void Update(const geometry_def_c& _definition) override;
    // Vertex capacity x stride + index capacity x index size.
    u32 GetSize() const override;

    // Nothing for a skipped group, a count of 0 or a first primitive past
    // the group; the count is held to the group's primitives.
    void DrawGroup(u32 _group, u32 _first_primitive, u32 _count) const;

    const std::vector<d3d_group_s>& GetGroups() const { return groups; }
    IDirect3DVertexBuffer9* GetVertexBuffer() const { return vertexBuffer; }
    IDirect3DIndexBuffer9* GetIndexBuffer() const { return indexBuffer; }
    u32 GetStride() const { return stride; }
    u32 GetIndexSize() const { return indexSize; }
    bool IsDynamic() const { return dynamic; }
    const vertex_format_c& GetFormat() const { return format; }

    // The groups of a definition and its vertex and index totals.
    static std::vector<d3d_group_s> BuildGroups(const geometry_def_c& _definition, u32& _vertices, u32& _indices,
                                                bool& _points);
    // One vertex in the format's packed layout; _out holds the stride.
    static void PackVertex(const vertex_c& _vertex, const vertex_format_c& _format, u8* _out);

private:
    void Fill(const geometry_def_c& _definition, DWORD _lock_flags);
    void Release();

    IDirect3DDevice9* device;
    bool dynamic;
    vertex_format_c format;
    std::vector<d3d_group_s> groups;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    u32 vertexCapacity = 0;
    u32 indexCapacity = 0;
    u32 stride = 0;
    u32 indexSize = 2;
};

// The geometry factory: refuses a definition that is not integral ("Non
// integral geometry!"), welds it when asked, decides software processing
// from its shader, tweening and blending needs, and refuses more primitives
// than MaxPrimitiveCount ("Maximum primitive count exceeded!") or more
// vertices than the vertex limit ("Maximum vertex count exceeded!"): the
// primitive limit while it is at most 65535, else none for software
// geometry and MaxVertexIndex for hardware geometry.
d3d_geometry_c* CreateD3DGeometry(d3d_state_cache_c& _cache, const char* _name, const geometry_def_c& _definition);
