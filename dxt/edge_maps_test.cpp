#include "dxt/edge_maps.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

byte_image_c Pattern(i32 w, i32 h, i32 planes)
{
    byte_image_c img(w, h, planes);
    for (i32 p = 0; p < planes; ++p)
        for (i32 y = 0; y < h; ++y)
            for (i32 x = 0; x < w; ++x)
                img.planes[p][y * w + x] = static_cast<u8>((x * 17 + y * 31 + p * 50) % 256);
    return img;
}

vector_grid_c Identity(i32 w, i32 h, bool relative)
{
    std::vector<f32> x(w * h), y(w * h);
    for (i32 j = 0; j < h; ++j)
        for (i32 i = 0; i < w; ++i) {
            x[j * w + i] = relative ? 0.0f : static_cast<f32>(i);
            y[j * w + i] = relative ? 0.0f : static_cast<f32>(j);
        }
    return VectorGridFromPlanes(w, h, x.data(), y.data());
}

TEST(EdgeMaps, LuminanceWeights)
{
    byte_image_c img(1, 1, 3);
    img.planes[0][0] = 100;
    img.planes[1][0] = 200;
    img.planes[2][0] = 50;
    EXPECT_FLOAT_EQ(Luminance(img, false).data[0], 0.299f * 100 + 0.587f * 200 + 0.114f * 50);
    EXPECT_FLOAT_EQ(Luminance(img, true).data[0], 200.0f);
}

TEST(EdgeMaps, FlatImageHasNoEdges)
{
    scalar_plane_c flat(16, 16);
    for (f32& v : flat.data)
        v = 90.0f;
    const scalar_plane_c gx = GradientX(flat, 2), gy = GradientY(flat, 2);
    for (f32 v : GradientMagnitude(gx, gy).data)
        EXPECT_EQ(v, 0.0f);
    const auto [cx, cy] = EdgeConductance(flat, 5.0f, 2, true);
    for (f32 v : cx.data)
        EXPECT_EQ(v, 1.0f);
    for (f32 v : cy.data)
        EXPECT_EQ(v, 1.0f);
}

TEST(EdgeMaps, VerticalEdgeConductsAcrossX)
{
    scalar_plane_c step(32, 32);
    for (i32 y = 0; y < 32; ++y)
        for (i32 x = 0; x < 32; ++x)
            step.At(x, y) = x < 16 ? 0.0f : 255.0f;
    for (const bool thin : {false, true}) {
        const auto [cx, cy] = EdgeConductance(step, 4.0f, 2, thin);
        EXPECT_FLOAT_EQ(MinMax(cx).second, 5.0f);
        EXPECT_NEAR(MinMax(cy).second, 1.0f, 1e-5f);
        // The strongest response sits at the edge.
        EXPECT_GT(cx.At(15, 16) + cx.At(16, 16), 6.0f);
        EXPECT_FLOAT_EQ(cx.At(4, 16), 1.0f);
    }
}

TEST(EdgeMaps, IdentityWarpsReturnTheSource)
{
    const byte_image_c src = Pattern(9, 7, 3);
    EXPECT_EQ(Warp(src, Identity(9, 7, true), 1.0f, true).planes, src.planes);
    EXPECT_EQ(Warp(src, Identity(9, 7, false), 1.0f, false).planes, src.planes);
}

TEST(EdgeMaps, WarpJustLeftOfTheImageStaysInside)
{
    // Rounds to column 0 but floors to -1: sampled at the first column.
    const byte_image_c src = Pattern(4, 4, 1);
    std::vector<f32> x(16, -0.3f), y(16, 1.0f);
    const byte_image_c out = Warp(src, VectorGridFromPlanes(4, 4, x.data(), y.data()), 1.0f, false);
    for (u8 v : out.planes[0])
        EXPECT_EQ(v, src.At(0, 0, 1));
    std::vector<f32> far(16, -3.0f);
    const byte_image_c outside = Warp(src, VectorGridFromPlanes(4, 4, far.data(), y.data()), 1.0f, false);
    for (u8 v : outside.planes[0])
        EXPECT_EQ(v, 0);
}

TEST(EdgeMaps, RescaleByOneAndByHalf)
{
    const byte_image_c src = Pattern(10, 6, 3);
    EXPECT_EQ(Rescale(src, 1.0f).planes, src.planes);
    const byte_image_c half = Rescale(src, 0.5f);
    EXPECT_EQ(half.width, 5);
    EXPECT_EQ(half.height, 3);
    EXPECT_EQ(half.At(1, 2, 1), src.At(1, 4, 2));
}

TEST(EdgeMaps, SharpenAndTransferDetail)
{
    const byte_image_c a = Pattern(5, 5, 3);
    EXPECT_EQ(Sharpen(a, Pattern(5, 5, 3), 0.0f).planes, a.planes);
    byte_image_c blurred(1, 1, 1), one(1, 1, 1);
    one.planes[0][0] = 100;
    blurred.planes[0][0] = 90;
    EXPECT_EQ(Sharpen(one, blurred, 0.5f).planes[0][0], 105);
    byte_image_c low(1, 1, 1), high(1, 1, 1);
    low.planes[0][0] = 10;
    high.planes[0][0] = 250;
    EXPECT_EQ(TransferDetail(one, low, high, 1.0f).planes[0][0], 255);
    EXPECT_EQ(TransferDetail(one, high, low, 0.25f).planes[0][0], 40);
}

TEST(EdgeMaps, VectorGridSamplesBilinearly)
{
    const std::vector<f32> x = {0, 10, 20, 30}, y = {0, 0, 100, 100};
    const vector_grid_c g = VectorGridFromPlanes(2, 2, x.data(), y.data());
    const vector_value_c v = SampleVectorGrid(g, 0.5, 0.5);
    EXPECT_DOUBLE_EQ(v.x, 15.0);
    EXPECT_DOUBLE_EQ(v.y, 50.0);
    EXPECT_DOUBLE_EQ(SampleVectorGrid(g, 5.0, 5.0).x, 30.0);
}

TEST(EdgeMaps, NonMaximaAreSuppressed)
{
    scalar_plane_c gx(5, 3), gy(5, 3), m(5, 3);
    for (i32 x = 1; x < 4; ++x) {
        gx.At(x, 1) = 1.0f;
        m.At(x, 1) = static_cast<f32>(x == 2 ? 3 : 1);
    }
    const scalar_plane_c s = SuppressNonMaxima(gx, gy, m);
    EXPECT_EQ(s.At(2, 1), 3.0f);
    EXPECT_EQ(s.At(1, 1), 0.0f);
    EXPECT_EQ(s.At(3, 1), 0.0f);
}

} // namespace
