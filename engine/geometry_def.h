#pragma once
// geometry_def_c: the renderer-independent description of one mesh: a vertex
// layout, a name, primitive sets and the options that decide how the renderer
// processes the vertices. Copies share their primitive sets; a set lives
// until the last definition holding it is gone.
#include "engine/primitive_set.h"
#include "engine/vertex.h"
#include "foundation/text_string.h"
#include "foundation/types.h"

#include <memory>
#include <vector>

class input_file_c;
class output_file_c;

class geometry_def_c {
public:
    vertex_format_c format;
    string_c name;
    std::vector<std::shared_ptr<primitive_set_c>> primitiveSets;
    u8 privateGeometry = 0; // a mesh gets its own renderer geometry, outside the cache
    u8 needsVertexShader = 0;
    u8 tweening = 0;          // two vertex streams
    u32 blendMatrixCount = 0; // size of the bone palette
    u8 weld = 0;              // WeldVertices merges equal vertices

    // Named "(Unnamed)" when no name is given.
    explicit geometry_def_c(const char* _name = nullptr);

    // Takes ownership of _set and appends it.
    primitive_set_c* AddPrimitiveSet(primitive_set_c* _set);

    // A valid format and every set integral.
    bool IsIntegral() const;
    // With the weld flag set: welds every set in order, then clears the flag.
    void WeldVertices();
    u32 GetVertexCount() const;
    u32 GetPrimitiveCount(u32 _kind) const;

    // "Geometry={"name" {format} private shader tweening matrices}": the
    // primitive sets and weld flag are not part of the key.
    void GetKey(string_c& _key) const;
};

// Stream form: name, format, options, sets (k, n, m, vertices, m x k indices).
// Only the fields the format names are written per vertex. A set without
// indices is written with the explicit indices of its strip.
void WriteGeometryDef(output_file_c& _file, const geometry_def_c& _def);
// Replaces the definition's sets with the stored ones. Throws file_error_c
// with the file's name on a bad vertex format, a set kind other than 1 to 3,
// counts larger than the bytes left, an index outside its set, or short data.
void ReadGeometryDef(input_file_c& _file, geometry_def_c& _def);
