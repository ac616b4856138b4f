#include "engine/sky_box_geometry.h"

#include "engine/geometry_def.h"
#include "engine/primitive_set.h"

#include <gtest/gtest.h>

TEST(SkyBoxGeometry, SixFacesOnTheirPlanes)
{
    geometry_def_c geometry("Sky");
    BuildSkyBoxGeometry(geometry);
    EXPECT_EQ(geometry.format.hasPosition, 1);
    EXPECT_EQ(geometry.format.texCoordSetCount, 1u);
    EXPECT_EQ(geometry.format.hasNormal, 0);
    EXPECT_EQ(geometry.format.hasDiffuse, 0);
    ASSERT_EQ(geometry.primitiveSets.size(), sky_box_face_count);
    // Face i lies on the plane where axis i / 2 is +1 (even) or -1 (odd).
    for (u32 face = 0; face < sky_box_face_count; ++face) {
        const primitive_set_c& set = *geometry.primitiveSets[face];
        ASSERT_EQ(set.GetVertexCount(), 4u);
        EXPECT_TRUE(set.indices.empty());
        EXPECT_EQ(set.GetPrimitiveCount(primitive_triangles), 2u);
        const f32 side = face % 2 == 0 ? 1.0f : -1.0f;
        for (u32 i = 0; i < 4; ++i) {
            const vec3_c& p = set.vertices[i].position;
            const f32 on[3] = {p.x, p.y, p.z};
            EXPECT_EQ(on[face / 2], side) << face << " " << i;
            EXPECT_EQ(set.vertices[i].texCoords[0][0], (i & 1) ? 1.0f : 0.0f);
            EXPECT_EQ(set.vertices[i].texCoords[0][1], (i & 2) ? 1.0f : 0.0f);
        }
    }
    // Spot checks from the face table: top-left of right and of back.
    EXPECT_EQ(geometry.primitiveSets[0]->vertices[0].position, vec3_c(1, 1, 1));
    EXPECT_EQ(geometry.primitiveSets[5]->vertices[0].position, vec3_c(1, 1, -1));
    EXPECT_EQ(geometry.primitiveSets[3]->vertices[3].position, vec3_c(1, -1, -1));
    // Top rows are above bottom rows on the side faces.
    for (u32 face : {0u, 1u, 4u, 5u}) {
        EXPECT_EQ(geometry.primitiveSets[face]->vertices[0].position.y, 1.0f);
        EXPECT_EQ(geometry.primitiveSets[face]->vertices[3].position.y, -1.0f);
    }
}
