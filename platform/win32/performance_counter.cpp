#include "platform/win32/performance_counter.h"

#include <ctime>

namespace {

constexpr i64 kNanosecondsPerSecond = 1000000000;

} // namespace

bool QueryPerformanceFrequency(i64* frequency)
{
    timespec resolution;
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0)
        return false;
    *frequency = kNanosecondsPerSecond;
    return true;
}

bool QueryPerformanceCounter(i64* count)
{
    timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return false;
    *count = static_cast<i64>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
    return true;
}
