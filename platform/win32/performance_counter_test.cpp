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

namespace {

TEST(PerformanceCounter, ReplacedClockDrivesTicksAndMilliseconds)
{
    i64 now = 0;
    ReplaceClock([&now] { return now; });
    struct case_s {
        i64 nanoseconds;
        u32 milliseconds;
    };
    // The millisecond count wraps after 2^32 ms, about 49.7 days.
    const case_s cases[] = {{0, 0},
                            {999999, 0},
                            {1000000, 1},
                            {16666667, 16},
                            {4294967295LL * 1000000, 4294967295u},
                            {4294967296LL * 1000000 + 5000000, 5}};
    for (const case_s& c : cases) {
        now = c.nanoseconds;
        i64 count = -1;
        ASSERT_TRUE(QueryPerformanceCounter(&count));
        EXPECT_EQ(count, c.nanoseconds);
        EXPECT_EQ(GetTickCount(), c.milliseconds) << c.nanoseconds;
    }
    ReplaceClock({});
    i64 count = 0;
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    EXPECT_GT(count, 0);
}

} // namespace
