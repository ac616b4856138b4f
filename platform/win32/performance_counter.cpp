#include "platform/win32/performance_counter.h"

#include <ctime>

namespace {

constexpr i64 kNanosecondsPerSecond = 1000000000;

std::function<i64()>& ReplacedClock()
{
    static std::function<i64()> source;
    return source;
}

bool ReadClock(i64* nanoseconds)
{
    if (const auto& source = ReplacedClock()) {
        *nanoseconds = source();
        return true;
    }
    timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return false;
    *nanoseconds = static_cast<i64>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
    return true;
}

} // namespace

bool QueryPerformanceFrequency(i64* frequency)
{
    timespec resolution;
    if (!ReplacedClock() && clock_getres(CLOCK_MONOTONIC, &resolution) != 0)
        return false;
    *frequency = kNanosecondsPerSecond;
    return true;
}

bool QueryPerformanceCounter(i64* count)
{
    return ReadClock(count);
}

u32 GetTickCount()
{
    i64 now = 0;
    ReadClock(&now);
    return static_cast<u32>(static_cast<u64>(now / 1000000));
}

void ReplaceClock(std::function<i64()> source)
{
    ReplacedClock() = std::move(source);
}
