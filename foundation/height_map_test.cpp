#include "foundation/height_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// A 3 x 2 grid (columns x rows) centred on (10, 20), 6 wide in x and 4 deep in z:
// x from 7 to 13, z from 18 to 22.
height_map_c Grid(float centerX, float centerZ, float extentX, float extentZ, const float* samples, int columns,
                  int rows)
{
    height_map_c map;
    map.centerX = centerX;
    map.centerZ = centerZ;
    map.extentX = extentX;
    map.extentZ = extentZ;
    map.samples = samples;
    map.columns = columns;
    map.rows = rows;
    return map;
}

class HeightMap : public ::testing::Test {
protected:
    const float samples[6] = {1, 2, 3, 4, 5, 6};
    height_map_c map = Grid(10, 20, 6, 4, samples, 3, 2);
};

TEST_F(HeightMap, SamplesByCell)
{
    struct row_s {
        float x, z, height;
    };
    const row_s rows[] = {
        {7.5f, 18.5f, 1}, {9.5f, 18.5f, 2}, {12.9f, 19.9f, 3}, {7.1f, 20.1f, 4}, {10.0f, 21.0f, 5}, {12.99f, 21.99f, 6},
    };
    for (const row_s& row : rows)
        EXPECT_EQ(map.GetHeight(row.x, row.z), row.height) << row.x << ", " << row.z;
}

TEST_F(HeightMap, EdgesAndOutsideGiveTheOutsideHeight)
{
    struct row_s {
        float x, z;
    };
    const row_s rows[] = {
        {7.0f, 20.0f},    {13.0f, 20.0f}, {10.0f, 18.0f}, {10.0f, 22.0f},
        {-100.0f, 20.0f}, {10.0f, 1e9f},  {NAN, 20.0f},   {10.0f, NAN},
    };
    for (const row_s& row : rows)
        EXPECT_EQ(map.GetHeight(row.x, row.z), kHeightOutside) << row.x << ", " << row.z;
    EXPECT_EQ(kHeightOutside, 16777216.0f);
}

TEST_F(HeightMap, FarEdgeRoundingStaysInsideTheSamples)
{
    // Just inside the far corner, (x - left) / extent rounds to 1 in float.
    float x = std::nextafter(13.0f, 0.0f);
    float z = std::nextafter(22.0f, 0.0f);
    map.extentX = 6.0000005f;
    EXPECT_EQ(map.GetHeight(x, z), 6.0f);

    // A huge grid where the quotient rounds up for many points near the edge.
    const float big[4] = {1, 2, 3, 4};
    const height_map_c wide = Grid(0, 0, 3e7f, 3e7f, big, 2, 2);
    x = std::nextafter(1.5e7f, 0.0f);
    EXPECT_EQ(wide.GetHeight(x, x), 4.0f);
}

TEST_F(HeightMap, NoSamplesIsOutside)
{
    map.samples = nullptr;
    EXPECT_EQ(map.GetHeight(10, 20), kHeightOutside);
    map.samples = samples;
    map.rows = 0;
    EXPECT_EQ(map.GetHeight(10, 20), kHeightOutside);
}

} // namespace
