#pragma once
// The high-resolution tick counter the frame timer measures with, over the
// monotonic clock: it never steps back and never wraps.
#include "foundation/types.h"

// Ticks per second (10^9); false when no monotonic clock exists.
bool QueryPerformanceFrequency(i64* frequency);

// Ticks since an arbitrary fixed start; false when no monotonic clock exists.
bool QueryPerformanceCounter(i64* count);
