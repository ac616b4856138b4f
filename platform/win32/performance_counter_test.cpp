#include "platform/win32/performance_counter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(PerformanceCounter, FrequencyAndMonotonicTicks)
{
    i64 frequency = 0;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency, 1000000000);

    i64 first = 0, second = 0;
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    EXPECT_GE(second - first, 5 * frequency / 1000);
}

} // namespace
