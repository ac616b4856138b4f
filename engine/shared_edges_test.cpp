#include "engine/shared_edges.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The rule applied to every pair of triangles, for comparison.
std::vector<shared_edge_s> Pairwise(const std::vector<vec3_c>& _corners)
{
    const u32 triangles = static_cast<u32>(_corners.size() / 3);
    std::vector<shared_edge_s> pairs;
    for (u32 i = 0; i < triangles; ++i)
        for (u32 j = i + 1; j < triangles; ++j)
            for (u32 a = 0; a < 3; ++a)
                for (u32 b = 0; b < 3; ++b)
                    if (_corners[j * 3 + (b + 1) % 3] == _corners[i * 3 + a] &&
                        _corners[j * 3 + b] == _corners[i * 3 + (a + 1) % 3])
                        pairs.push_back({i, j, a, b});
    return pairs;
}

// Two triangles sharing the edge between p and q: the second one's corners
// moved by _shift on every axis.
std::vector<vec3_c> TwoTriangles(const vec3_c& _p, const vec3_c& _q, f32 _shift)
{
    const vec3_c s(_shift, _shift, _shift);
    const vec3_c apex(_p.x, _p.y + 1.0f, _p.z);
    return {_p, _q, apex, _q + s, _p + s, apex + vec3_c(0.0f, -2.0f, 0.0f)};
}

TEST(SharedEdges, CornersCloserThanTheEpsilonMatchOnEverySideOfACellEdge)
{
    const f32 e = kMathEpsilon;
    // Coarse cells are 1024 epsilon wide with edges at 511.5 and 512.5; fine
    // cells at every multiple of the epsilon.
    const f32 bases[] = {0.0f, 511.5f * e, 512.0f * e, 512.5f * e, -512.5f * e, 1023.9f * e, -3.5f, 1.0e6f, 7.0e20f};
    const f32 shifts[] = {0.0f, 0.5f * e, -0.5f * e, 0.99f * e, -0.99f * e, 1.5f * e, 3.0f * e};
    int shared = 0, apart = 0;
    for (const f32 base : bases)
        for (const f32 shift : shifts) {
            const vec3_c p(base, base, base);
            const vec3_c q(base + 1.0f, base, base - 2.0f);
            const std::vector<vec3_c> corners = TwoTriangles(p, q, shift);
            const std::vector<shared_edge_s> found = FindSharedEdges(corners);
            EXPECT_EQ(found, Pairwise(corners)) << base << " " << shift;
            const bool same = corners[3] == corners[1] && corners[4] == corners[0];
            EXPECT_EQ(same, !found.empty() && found[0] == (shared_edge_s{0, 1, 0, 0})) << base << " " << shift;
            (same ? shared : apart) += 1;
        }
    EXPECT_GT(shared, 20);
    EXPECT_GT(apart, 10);
}

TEST(SharedEdges, MatchesComeOrderedByTrianglesThenEdges)
{
    // Four copies of one triangle and two reversed ones over the same corners.
    const vec3_c a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    const std::vector<vec3_c> corners = {a, b, c, a, c, b, a, b, c, a, c, b};
    const std::vector<shared_edge_s> expected = Pairwise(corners);
    ASSERT_EQ(expected.size(), 12u);
    EXPECT_EQ(FindSharedEdges(corners), expected);
}

TEST(SharedEdges, PartialTriangleAndEmptyInputFindNothing)
{
    EXPECT_TRUE(FindSharedEdges({}).empty());
    EXPECT_TRUE(FindSharedEdges({vec3_c(0, 0, 0), vec3_c(1, 0, 0)}).empty());
}

} // namespace
