#pragma once
// Threads, events and critical sections in the shape the game's threaded
// parts expect, over the C++ standard library.
//
// A thread is created suspended and starts its body only after the first
// Resume. Suspension is cooperative: Suspend raises the suspend count at once,
// and the thread stops at its next call of SuspendPoint until the count is
// back to 0. A body that sleeps outside its locked work needs nothing more,
// since such a thread holds no lock where it can be stopped.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "foundation/types.h"

// Wait time without limit.
constexpr u32 INFINITE = 0xFFFFFFFF;

class thread_c {
public:
    // The body runs on the new thread; its result is the exit code.
    explicit thread_c(std::function<u32()> _body);
    // A thread whose body never started is ended without running it; one that
    // started is waited for, so its owner must have told the body to end.
    ~thread_c();

    thread_c(const thread_c&) = delete;
    thread_c& operator=(const thread_c&) = delete;

    // Lowers the suspend count; the body starts or continues when it reaches 0.
    // Returns the count before the call.
    u32 Resume();
    // Raises the suspend count. Called by the thread itself it never blocks:
    // the thread stops at its next SuspendPoint. Returns the count before.
    u32 Suspend();
    // Called by the body at safe points: blocks while the thread is suspended.
    void SuspendPoint();
    // Waits until the body has returned and gives its exit code. The body must
    // be able to end: a suspended thread that never resumes waits for ever.
    u32 Wait();
    // True on the thread itself.
    bool IsCurrent() const;
    bool HasEnded() const;

private:
    void Run();

    std::function<u32()> _body;
    mutable std::mutex _mutex;
    std::condition_variable _changed;
    u32 _suspend_count = 1;
    bool _abandoned = false; // destroyed before the body started
    std::atomic<bool> _ended{false};
    u32 _exit_code = 0;
    std::thread _thread; // last: starts after the fields above are ready
};

// An event object: auto-reset events release one waiter and clear
// themselves; manual-reset events stay set until Reset.
class event_c {
public:
    explicit event_c(bool _manual_reset = false, bool _initially_set = false);

    event_c(const event_c&) = delete;
    event_c& operator=(const event_c&) = delete;

    void Set();
    void Reset();
    // True when the event was set within the time (0 only tests it). An
    // auto-reset event is cleared by a successful wait.
    bool Wait(u32 _milliseconds = INFINITE);

private:
    std::mutex _mutex;
    std::condition_variable _changed;
    const bool _manual_reset;
    bool _set;
};

// A re-entrant lock: the owning thread may enter again, and leaves as often
// as it entered.
class critical_section_c {
public:
    critical_section_c() = default;
    critical_section_c(const critical_section_c&) = delete;
    critical_section_c& operator=(const critical_section_c&) = delete;

    void Enter() { _mutex.lock(); }
    bool TryEnter() { return _mutex.try_lock(); }
    void Leave() { _mutex.unlock(); }

private:
    std::recursive_mutex _mutex;
};

// Holds a critical section for a scope; a null section is no lock at all.
class critical_section_lock_c {
public:
    explicit critical_section_lock_c(critical_section_c* _section) : _section(_section)
    {
        if (_section != nullptr)
            _section->Enter();
    }
    ~critical_section_lock_c()
    {
        if (_section != nullptr)
            _section->Leave();
    }
    critical_section_lock_c(const critical_section_lock_c&) = delete;
    critical_section_lock_c& operator=(const critical_section_lock_c&) = delete;

private:
    critical_section_c* _section;
};
