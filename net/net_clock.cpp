#include "net/net_clock.h"

#include "platform/win32/performance_counter.h"

namespace {

i64 PerformanceCounter()
{
    i64 count = 0;
    QueryPerformanceCounter(&count);
    return count;
}

} // namespace

net_clock_c::net_clock_c() : _counter(PerformanceCounter)
{
    i64 frequency = 0;
    if (QueryPerformanceFrequency(&frequency) && frequency > 0)
        _frequency = frequency;
    _frequency_f64 = static_cast<f64>(_frequency);
    Now();
}

i64 net_clock_c::Now()
{
    _last = _counter();
    return _last;
}

void net_clock_c::SetCounter(std::function<i64()> _counter)
{
    this->_counter = _counter ? std::move(_counter) : std::function<i64()>(PerformanceCounter);
}

net_clock_c& NetClock()
{
    static net_clock_c clock;
    return clock;
}
