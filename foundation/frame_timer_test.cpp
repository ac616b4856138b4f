#include "foundation/frame_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

void SleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TEST(FrameTimer, MeasuresSeconds)
{
    timer_c timer;
    EXPECT_FALSE(timer.IsPaused());
    SleepMs(20);
    const double t = timer.GetTime();
    EXPECT_GE(t, 0.020);
    EXPECT_LT(t, 5.0);
    timer.Reset();
    EXPECT_LT(timer.GetTime(), t);
}

TEST(FrameTimer, PausedTimeStandsStillAndResumesWhereItStopped)
{
    timer_c timer;
    SleepMs(10);
    timer.Pause();
    const double stopped = timer.GetTime();
    SleepMs(30);
    EXPECT_EQ(timer.GetTime(), stopped);
    timer.Pause(); // a second pause changes nothing
    EXPECT_EQ(timer.GetTime(), stopped);

    // The 30 ms spent paused are not counted: past the resume the timer gains
    // no more than the time that really passed, however slow the machine.
    const auto beforeResume = std::chrono::steady_clock::now();
    timer.Resume();
    EXPECT_FALSE(timer.IsPaused());
    const double resumed = timer.GetTime();
    const std::chrono::duration<double> sinceResume = std::chrono::steady_clock::now() - beforeResume;
    EXPECT_GE(resumed, stopped);
    EXPECT_LE(resumed - stopped, sinceResume.count() + 1e-6);
    timer.Resume(); // running: nothing
    EXPECT_GE(timer.GetTime(), resumed);
}

TEST(FrameTimer, ResetWhilePausedStaysPausedAtZero)
{
    timer_c timer;
    SleepMs(5);
    timer.Pause();
    timer.Reset();
    EXPECT_TRUE(timer.IsPaused());
    EXPECT_EQ(timer.GetTime(), 0.0);
    SleepMs(5);
    EXPECT_EQ(timer.GetTime(), 0.0);
    timer.Resume();
    SleepMs(5);
    EXPECT_GT(timer.GetTime(), 0.0);
}

TEST(FrameTimer, CountsLiveTimers)
{
    const int before = timer_c::GetLiveCount();
    {
        timer_c a;
        timer_c b;
        EXPECT_EQ(timer_c::GetLiveCount(), before + 2);
    }
    EXPECT_EQ(timer_c::GetLiveCount(), before);
}

} // namespace
