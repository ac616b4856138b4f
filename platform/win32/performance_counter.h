#pragma once
// The one clock of the program: the high-resolution tick counter the frame
// timer measures with and the millisecond count of GetTickCount, over the
// monotonic clock: it never steps back and never wraps. A test replaces it
// with a stepped clock of its own so that frames are reproducible.
#include <functional>

#include "foundation/types.h"

// Ticks per second (10^9); false when no monotonic clock exists.
bool QueryPerformanceFrequency(i64* frequency);

// Ticks since an arbitrary fixed start; false when no monotonic clock exists.
bool QueryPerformanceCounter(i64* count);

// Milliseconds of the same clock, wrapping at 2^32 as the system's count does.
u32 GetTickCount();

// Makes every reading come from source (nanoseconds, never decreasing);
// an empty function brings back the monotonic clock. Not for use while
// other threads read the clock.
void ReplaceClock(std::function<i64()> source);
