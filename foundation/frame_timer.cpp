#include "foundation/frame_timer.h"

#include <atomic>
#include <stdexcept>

#include "platform/win32/performance_counter.h"

namespace {

std::atomic<int> g_liveTimers{0};

} // namespace

timer_c::timer_c()
{
    i64 frequency = 0;
    if (!QueryPerformanceFrequency(&frequency) || frequency <= 0)
        throw std::runtime_error("No monotonic clock for the timer!");
    _ticksPerSecond = static_cast<f64>(frequency);
    _start = _pauseStamp = GetTicks();
    _paused = 0;
    ++g_liveTimers;
}

timer_c::~timer_c()
{
    --g_liveTimers;
}

i64 timer_c::GetTicks()
{
    i64 ticks = 0;
    if (!QueryPerformanceCounter(&ticks))
        throw std::runtime_error("No monotonic clock for the timer!");
    return ticks;
}

void timer_c::Reset()
{
    _start = _pauseStamp = GetTicks();
}

void timer_c::Pause()
{
    if (_paused)
        return;
    _pauseStamp = GetTicks();
    _paused = 1;
}

void timer_c::Resume()
{
    if (!_paused)
        return;
    _start += GetTicks() - _pauseStamp;
    _paused = 0;
}

double timer_c::GetTime() const
{
    const i64 end = _paused ? _pauseStamp : GetTicks();
    return static_cast<double>(end - _start) / _ticksPerSecond;
}

int timer_c::GetLiveCount()
{
    return g_liveTimers.load();
}
