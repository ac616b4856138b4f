#include "dxt/grid_system.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

float_plane_c Constant(i32 w, i32 h, f32 v)
{
    float_plane_c p(w, h);
    for (f32& x : p.data)
        x = v;
    return p;
}

TEST(GridSystem, LayoutOfTheStencil)
{
    grid_system_c s;
    BuildGridSystem(s, Constant(4, 3, 2.0f), 0.5f, 1);
    EXPECT_EQ(s.rows, 12);
    EXPECT_EQ(s.entries, 12 + 4 * 2 * 1);
    EXPECT_EQ(s.row_count[0], 1);
    EXPECT_EQ(s.row_count[5], 5);
    // Row of pixel (1, 1): own, right, left, lower, upper.
    const size_t first = 5; // rows 0..4 hold one entry each
    EXPECT_EQ(std::vector<i32>(s.columns.begin() + first, s.columns.begin() + first + 5),
              (std::vector<i32>{5, 6, 4, 9, 1}));
    // Mode 1: g(v) = v; diagonal 4 x 2 + 4 x 0.5 x 2.
    EXPECT_EQ(std::vector<f32>(s.values.begin() + first, s.values.begin() + first + 5),
              (std::vector<f32>{12.0f, -2.0f, -2.0f, -2.0f, -2.0f}));
    BuildGridSystem(s, Constant(4, 3, 2.0f), 0.5f, 0);
    EXPECT_FLOAT_EQ(s.values[first], 4 * 0.5f + 4 * 0.5f * 2.0f);
    EXPECT_FLOAT_EQ(s.values[first + 1], -0.5f);
    BuildGridSystemWeighted(s, Constant(4, 3, 2.0f), Constant(4, 3, 3.0f), 0.5f);
    EXPECT_FLOAT_EQ(s.values[first], 4 * 0.5f + 4 * 0.5f * 3.0f);
}

TEST(GridSystem, ConvergesOnAKnownSolution)
{
    const i32 w = 8, h = 6, n = w * h;
    grid_system_c s;
    float_plane_c c(w, h);
    for (i32 i = 0; i < n; ++i)
        c.data[i] = 1.0f + (i % 5) * 0.25f;
    BuildGridSystem(s, c, 0.3f, 0);
    std::vector<f32> want(n), x(n, 0.0f);
    for (i32 i = 0; i < n; ++i)
        want[i] = std::sin(0.3f * i) * 10.0f;
    const std::vector<f32> b = MultiplyGridSystem(s, want.data());
    const i32 sweeps = SolveGridSystem(s, x.data(), b.data(), 1e-4f, false, true);
    EXPECT_GT(sweeps, 0);
    for (i32 i = 0; i < n; ++i)
        EXPECT_NEAR(x[i], want[i], 1e-3f) << i;
}

TEST(GridSystem, BorderOnlyGridIsSolvedByOneSweep)
{
    grid_system_c s;
    BuildGridSystem(s, Constant(2, 5, 1.0f), 1.0f, 0);
    std::vector<f32> b(10), x(10, 0.0f);
    for (i32 i = 0; i < 10; ++i)
        b[i] = static_cast<f32>(i);
    EXPECT_EQ(GaussSeidelSweep(s, x.data(), b.data(), true), 0.0f);
    EXPECT_EQ(x, b);
}

TEST(GridSystem, FixedCountRunsTheCeiling)
{
    grid_system_c s;
    BuildGridSystem(s, Constant(5, 5, 1.0f), 1.0f, 0);
    std::vector<f32> b(25, 1.0f), x(25, 0.0f);
    EXPECT_EQ(SolveGridSystem(s, x.data(), b.data(), 2.5f, true, true), 2);
    EXPECT_EQ(SolveGridSystem(s, x.data(), b.data(), 0.0f, true, true), 0);
}

TEST(GridSystem, ToleranceMetAtOncePrintsOnlyTheNewline)
{
    grid_system_c s;
    BuildGridSystem(s, Constant(2, 2, 1.0f), 1.0f, 0);
    std::vector<f32> b(4, 1.0f), x(4, 0.0f);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(SolveGridSystem(s, x.data(), b.data(), 1e-3f, false, false), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
}

TEST(GridSystem, ReportsIterationsAndTinyPivots)
{
    grid_system_c s;
    BuildGridSystem(s, Constant(4, 4, 1.0f), 0.1f, 0);
    std::vector<f32> b(16, 1.0f), x(16, 0.0f);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const i32 sweeps = SolveGridSystem(s, x.data(), b.data(), 1e-5f, false, false);
    const std::string err = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    EXPECT_GT(sweeps, 0);
    EXPECT_EQ(err.rfind("\niteration 1, error = ", 0), 0u) << err;
    BuildGridSystem(s, Constant(4, 4, 1.0f), 0.1f, 7);
    testing::internal::CaptureStderr();
    EXPECT_EQ(GaussSeidelSweep(s, x.data(), b.data(), true), 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "tiny pivot!!\n");
}

TEST(GridSystem, UnreachableToleranceStops)
{
    grid_system_c s;
    BuildGridSystem(s, Constant(3, 3, 1.0f), 1.0f, 0);
    std::vector<f32> b(9, 1.0f), x(9, 0.0f);
    EXPECT_EQ(SolveGridSystem(s, x.data(), b.data(), -1.0f, false, true), static_cast<i32>(kMaxSweeps));
}

} // namespace
