#pragma once
// Primitive sets: points, lines or triangles, each with its own vertices and
// an index list of k indices per primitive (k = 1, 2 or 3). A set without
// indices is a strip: n - 2 triangles, n - 1 lines, or n points.
#include "engine/ray.h"
#include "engine/vertex.h"
#include "foundation/types.h"

#include <vector>

class texture_projection_c;

// Kinds for GetPrimitiveCount: 0 any, else the set's own kind.
enum primitive_kind_e : u32 { primitive_any = 0, primitive_points = 1, primitive_lines = 2, primitive_triangles = 3 };

class primitive_set_c {
public:
    std::vector<vertex_c> vertices;
    std::vector<u32> indices; // k per primitive

    virtual ~primitive_set_c() = default;

    // A new copy of vertices and indices; the caller owns it.
    virtual primitive_set_c* Clone() const = 0;
    virtual u32 GetVerticesPerPrimitive() const = 0;
    // The first index, or null when the list is empty.
    u32* GetIndices() { return indices.empty() ? nullptr : indices.data(); }
    const u32* GetIndicesConst() const { return indices.empty() ? nullptr : indices.data(); }
    // Index groups, or the strip count without indices, for kind 0 and the
    // set's own kind; 0 for other kinds.
    u32 GetPrimitiveCount(u32 _kind) const;
    // Empty is valid; indices need vertices; a strip needs k vertices (points
    // any); every index below the vertex count, whole groups of k.
    bool IsIntegral() const;
    // Writes texture-coordinate set _set of every triangle corner; only
    // triangle sets do anything.
    virtual void ProjectTextureCoordinates(u32 _set, const texture_projection_c& _projection);
    // Every index i becomes _table[i].
    void RemapIndices(const std::vector<u32>& _table);
    // Nearest hit on an indexed triangle; only triangle sets hit anything.
    virtual bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _two_sided) const;

    // Merges equal vertices and rewrites the indices. A strip has no indices to
    // rewrite, so it is left alone (merging would change its shape).
    void WeldVertices();

    u32 GetVertexCount() const { return static_cast<u32>(vertices.size()); }

protected:
    primitive_set_c() = default;
    primitive_set_c(const primitive_set_c&) = default;

    virtual primitive_kind_e GetKind() const = 0;
    // Primitives of a set without indices.
    virtual u32 GetStripCount() const = 0;
};

class triangle_set_c : public primitive_set_c {
public:
    triangle_set_c() = default;
    primitive_set_c* Clone() const override { return new triangle_set_c(*this); }
    u32 GetVerticesPerPrimitive() const override { return 3; }
    void ProjectTextureCoordinates(u32 _set, const texture_projection_c& _projection) override;
    bool RayTest(float& _distance, vec3_c& _normal, const ray_c& _ray, bool _two_sided) const override;

protected:
    primitive_kind_e GetKind() const override { return primitive_triangles; }
    u32 GetStripCount() const override { return vertices.size() < 3 ? 0 : GetVertexCount() - 2; }
};

// One line of a line set: two vertex indices.
class line_c {
public:
    u32 first = 0;
    u32 second = 0;
};

class line_set_c : public primitive_set_c {
public:
    line_set_c() = default;
    // The lines are the index list read in pairs.
    void AddLine(const line_c& _line) { indices.insert(indices.end(), {_line.first, _line.second}); }
    // Line _index of the index list; the caller keeps it below the count.
    line_c GetLine(u32 _index) const { return line_c{indices[2 * _index], indices[2 * _index + 1]}; }
    primitive_set_c* Clone() const override { return new line_set_c(*this); }
    u32 GetVerticesPerPrimitive() const override { return 2; }

protected:
    primitive_kind_e GetKind() const override { return primitive_lines; }
    u32 GetStripCount() const override { return vertices.size() < 2 ? 0 : GetVertexCount() - 1; }
};

class point_set_c : public primitive_set_c {
public:
    point_set_c() = default;
    primitive_set_c* Clone() const override { return new point_set_c(*this); }
    u32 GetVerticesPerPrimitive() const override { return 1; }

protected:
    primitive_kind_e GetKind() const override { return primitive_points; }
    u32 GetStripCount() const override { return GetVertexCount(); }
};

// A new empty set for k vertices per primitive (1, 2 or 3), else null.
primitive_set_c* CreatePrimitiveSet(u32 _vertices_per_primitive);
