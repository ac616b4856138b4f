#include "engine/primitive_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// The welding rule written as plainly as possible: each vertex maps to the
// earliest vertex equal to it; kept vertices stay in their order.
void WeldByScan(triangle_set_c& _set)
{
    std::vector<u32> table(_set.vertices.size());
    std::vector<vertex_c> kept;
    for (size_t i = 0; i < _set.vertices.size(); ++i) {
        size_t j = 0;
        while (j < i && !(_set.vertices[j] == _set.vertices[i]))
            ++j;
        if (j == i) {
            table[i] = static_cast<u32>(kept.size());
            kept.push_back(_set.vertices[i]);
        } else {
            table[i] = table[j];
        }
    }
    for (u32& index : _set.indices)
        index = table[index];
    _set.vertices.swap(kept);
}

// Positions on a coarse lattice, nudged by a tolerance-sized step or not, so
// that welding chains, near misses and cell borders all occur.
triangle_set_c NearDuplicates(u32 _seed, size_t _count)
{
    std::mt19937 random(_seed);
    const float steps[] = {0.0f, 0.6e-7f, 1.1e-7f, 1.3e-7f, -0.9e-7f};
    triangle_set_c set;
    for (size_t i = 0; i < _count; ++i) {
        vertex_c v;
        v.position = vec3_c(float(random() % 4) * 1e-7f + steps[random() % 5],
                            float(random() % 3) + steps[random() % 5], float(random() % 2) * 1e-6f);
        v.normal = vec3_c(0.0f, float(random() % 2), 0.0f);
        v.texCoords[0][0] = float(random() % 2) * 0.5f;
        set.vertices.push_back(v);
    }
    for (size_t i = 0; i + 3 <= _count; ++i)
        for (int k = 0; k < 3; ++k)
            set.indices.push_back(static_cast<u32>(random() % _count));
    return set;
}

TEST(PrimitiveSetWeldTest, GivesWhatAScanOfEveryEarlierVertexGives)
{
    for (u32 seed = 1; seed <= 40; ++seed) {
        triangle_set_c welded = NearDuplicates(seed, 300);
        triangle_set_c expected = welded;
        welded.WeldVertices();
        WeldByScan(expected);
        ASSERT_EQ(welded.vertices.size(), expected.vertices.size()) << "seed " << seed;
        for (size_t i = 0; i < expected.vertices.size(); ++i)
            ASSERT_TRUE(welded.vertices[i] == expected.vertices[i]) << "seed " << seed << " vertex " << i;
        ASSERT_EQ(welded.indices, expected.indices) << "seed " << seed;
    }
}

TEST(PrimitiveSetWeldTest, UnorderedAndHugeCoordinatesStayApart)
{
    triangle_set_c set;
    const float nan = std::nanf("");
    for (const vec3_c& p : {vec3_c(nan, 0, 0), vec3_c(nan, 0, 0), vec3_c(1e30f, 0, 0), vec3_c(-1e30f, 0, 0),
                            vec3_c(1e30f, 0, 0), vec3_c(INFINITY, 0, 0)}) {
        vertex_c v;
        v.position = p;
        set.vertices.push_back(v);
    }
    set.indices = {0, 1, 2, 3, 4, 5};
    set.WeldVertices();
    // Only the two equal huge points merge; NaN and infinity equal nothing.
    EXPECT_EQ(set.vertices.size(), 5u);
    EXPECT_EQ(set.indices, (std::vector<u32>{0, 1, 2, 3, 2, 4}));
}

} // namespace
