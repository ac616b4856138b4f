#pragma once
// A stopwatch that measures seconds on the performance counter, with pause
// and resume. The frame loop reads it once per frame.
#include "foundation/types.h"

class timer_c {
public:
    // Starts measuring at once, not paused. Throws std::runtime_error when
    // the system has no monotonic clock.
    timer_c();
    ~timer_c();
    timer_c(const timer_c&) = delete;
    timer_c& operator=(const timer_c&) = delete;

    // The performance counter now.
    static i64 GetTicks();

    // Measures from now; a paused timer stays paused, at time 0.
    void Reset();
    // Stops the time; nothing when already paused.
    void Pause();
    // Continues from the time at which it stopped; nothing when running.
    void Resume();
    // Seconds measured: up to the pause while paused, else up to now.
    double GetTime() const;

    bool IsPaused() const { return _paused != 0; }

    // Number of timer_c objects alive in the process.
    static int GetLiveCount();

private:
    i64 _start;
    i64 _pauseStamp;
    f64 _ticksPerSecond;
    u8 _paused;
};
