#pragma once
// Determinism checks: a run that records the floats of a final state, made
// twice, must give the same bits (not merely close values).
#include "foundation/types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

inline void ExpectBitIdenticalRuns(const std::function<std::vector<f32>()>& _run)
{
    const std::vector<f32> first = _run();
    const std::vector<f32> second = _run();
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(0, std::memcmp(first.data(), second.data(), first.size() * sizeof(f32)));
}
