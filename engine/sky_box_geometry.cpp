#include "engine/sky_box_geometry.h"

#include "engine/geometry_def.h"
#include "engine/primitive_set.h"

void BuildSkyBoxGeometry(geometry_def_c& _geometry)
{
    static constexpr f32 corners[sky_box_face_count][4][3] = {
        {{1, 1, 1}, {1, 1, -1}, {1, -1, 1}, {1, -1, -1}}, {{-1, 1, -1}, {-1, 1, 1}, {-1, -1, -1}, {-1, -1, 1}},
        {{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}, {1, 1, 1}}, {{-1, -1, 1}, {1, -1, 1}, {-1, -1, -1}, {1, -1, -1}},
        {{-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}, {{1, 1, -1}, {-1, 1, -1}, {1, -1, -1}, {-1, -1, -1}},
    };
    _geometry.format = vertex_format_c();
    _geometry.format.hasPosition = 1;
    _geometry.format.texCoordSetCount = 1;
    for (const auto& face : corners) {
        auto* set = new triangle_set_c;
        set->vertices.resize(4);
        for (u32 i = 0; i < 4; ++i) {
            set->vertices[i].position = vec3_c(face[i][0], face[i][1], face[i][2]);
            set->vertices[i].texCoords[0][0] = (i & 1) ? 1.0f : 0.0f;
            set->vertices[i].texCoords[0][1] = (i & 2) ? 1.0f : 0.0f;
        }
        _geometry.AddPrimitiveSet(set);
    }
}
