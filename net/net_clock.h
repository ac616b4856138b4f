#pragma once
// The network layer's clock: performance-counter ticks, read on the main
// thread for last-heard and ping times, keep-alive seconds and scramble seeds.
// Tests put a counter of their own in its place, so that time-outs happen
// when the test says and not when the machine is slow.
#include <functional>

#include "foundation/types.h"

class net_clock_c {
public:
    // Reads the counter and its frequency.
    net_clock_c();

    // Reads the counter, keeps and returns it.
    i64 Now();
    i64 Last() const { return _last; }
    i64 Frequency() const { return _frequency; }
    f64 Seconds(i64 _ticks) const { return static_cast<f64>(_ticks) / _frequency_f64; }
    // Ticks per second stay those of the performance counter; an empty
    // function puts the performance counter back.
    void SetCounter(std::function<i64()> _counter);

private:
    std::function<i64()> _counter;
    i64 _last = 0;
    i64 _frequency = 1;
    f64 _frequency_f64 = 1.0;
};

// The one clock of the process.
net_clock_c& NetClock();
