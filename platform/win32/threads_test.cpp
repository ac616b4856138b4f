#include "platform/win32/threads.h"

#include <atomic>
#include <chrono>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

TEST(Thread, BodyWaitsForTheFirstResume)
{
    std::atomic<int> runs{0};
    thread_c thread([&] {
        ++runs;
        return 7u;
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(runs.load(), 0);
    EXPECT_FALSE(thread.HasEnded());
    EXPECT_EQ(thread.Resume(), 1u);
    EXPECT_EQ(thread.Wait(), 7u);
    EXPECT_EQ(runs.load(), 1);
    EXPECT_TRUE(thread.HasEnded());
}

TEST(Thread, DestroyedBeforeResumeNeverRunsItsBody)
{
    std::atomic<int> runs{0};
    {
        thread_c thread([&] {
            ++runs;
            return 0u;
        });
    }
    EXPECT_EQ(runs.load(), 0);
}

TEST(Thread, SuspendStopsTheBodyAtItsNextSuspendPoint)
{
    std::atomic<bool> running{true};
    std::atomic<int> passes{0};
    thread_c* self = nullptr;
    thread_c thread([&] {
        while (running.load()) {
            self->SuspendPoint();
            ++passes;
            std::this_thread::sleep_for(1ms);
        }
        return 0u;
    });
    self = &thread;
    thread.Resume();
    while (passes.load() < 3)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(thread.Suspend(), 0u);
    std::this_thread::sleep_for(10ms);
    int held = passes.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_LE(passes.load(), held + 1);
    EXPECT_EQ(thread.Resume(), 1u);
    while (passes.load() < held + 3)
        std::this_thread::sleep_for(1ms);
    running = false;
    thread.Wait();
}

TEST(Thread, SuspendCountsNest)
{
    thread_c thread([] { return 0u; });
    EXPECT_EQ(thread.Suspend(), 1u);
    EXPECT_EQ(thread.Resume(), 2u);
    EXPECT_FALSE(thread.HasEnded());
    EXPECT_EQ(thread.Resume(), 1u);
    thread.Wait();
    EXPECT_EQ(thread.Resume(), 0u);
}

TEST(Thread, SuspendFromItsOwnThreadDoesNotBlock)
{
    thread_c* self = nullptr;
    std::atomic<bool> returned{false};
    thread_c thread([&] {
        self->Suspend();
        returned = true;
        self->SuspendPoint();
        return 3u;
    });
    self = &thread;
    thread.Resume();
    while (!returned.load())
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(thread.HasEnded());
    thread.Resume();
    EXPECT_EQ(thread.Wait(), 3u);
}

TEST(Thread, IsCurrentOnlyOnItsOwnThread)
{
    thread_c* self = nullptr;
    std::atomic<bool> inside{false};
    thread_c thread([&] {
        inside = self->IsCurrent();
        return 0u;
    });
    self = &thread;
    EXPECT_FALSE(thread.IsCurrent());
    thread.Resume();
    thread.Wait();
    EXPECT_TRUE(inside.load());
}

TEST(Event, AutoResetReleasesOneWaitAndClears)
{
    event_c event;
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(0));
}

TEST(Event, ManualResetStaysSetUntilReset)
{
    event_c event(true, true);
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
}

TEST(Event, TimedWaitGivesUp)
{
    event_c event;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.Wait(20));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
}

TEST(Event, WaitWakesWhenAnotherThreadSets)
{
    event_c event;
    thread_c setter([&] {
        std::this_thread::sleep_for(5ms);
        event.Set();
        return 0u;
    });
    setter.Resume();
    EXPECT_TRUE(event.Wait(INFINITE));
    setter.Wait();
    EXPECT_FALSE(event.Wait(0));
}

TEST(CriticalSection, OwnerMayEnterAgain)
{
    critical_section_c section;
    section.Enter();
    EXPECT_TRUE(section.TryEnter());
    std::atomic<bool> other_got_it{true};
    thread_c other([&] {
        other_got_it = section.TryEnter();
        if (other_got_it)
            section.Leave();
        return 0u;
    });
    other.Resume();
    other.Wait();
    EXPECT_FALSE(other_got_it.load());
    section.Leave();
    section.Leave();
    thread_c again([&] {
        other_got_it = section.TryEnter();
        if (other_got_it)
            section.Leave();
        return 0u;
    });
    again.Resume();
    again.Wait();
    EXPECT_TRUE(other_got_it.load());
}

TEST(CriticalSection, ScopedLockSerialisesThreads)
{
    critical_section_c section;
    int counter = 0;
    auto body = [&] {
        for (int i = 0; i < 10000; ++i) {
            critical_section_lock_c lock(&section);
            critical_section_lock_c again(&section);
            ++counter;
        }
        return 0u;
    };
    thread_c a(body), b(body);
    a.Resume();
    b.Resume();
    a.Wait();
    b.Wait();
    EXPECT_EQ(counter, 20000);
}

} // namespace
