#include "platform/win32/threads.h"

#include <chrono>

thread_c::thread_c(std::function<u32()> _body) : _body(std::move(_body)), _thread([this] { Run(); }) {}

thread_c::~thread_c()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (_suspend_count > 0 && !_ended.load()) {
            _abandoned = true;
            _suspend_count = 0;
        }
    }
    _changed.notify_all();
    if (_thread.joinable())
        _thread.join();
}

void thread_c::Run()
{
    {
        std::unique_lock<std::mutex> lock(_mutex);
        _changed.wait(lock, [this] { return _suspend_count == 0; });
        if (_abandoned) {
            _ended.store(true);
            return;
        }
    }
    u32 code = _body();
    std::lock_guard<std::mutex> lock(_mutex);
    _exit_code = code;
    _ended.store(true);
    _changed.notify_all();
}

u32 thread_c::Resume()
{
    u32 before;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        before = _suspend_count;
        if (_suspend_count > 0)
            --_suspend_count;
    }
    _changed.notify_all();
    return before;
}

u32 thread_c::Suspend()
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _suspend_count++;
}

void thread_c::SuspendPoint()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _changed.wait(lock, [this] { return _suspend_count == 0; });
}

u32 thread_c::Wait()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _changed.wait(lock, [this] { return _ended.load(); });
    return _exit_code;
}

bool thread_c::IsCurrent() const
{
    return std::this_thread::get_id() == _thread.get_id();
}

bool thread_c::HasEnded() const
{
    return _ended.load();
}

event_c::event_c(bool _manual_reset, bool _initially_set) : _manual_reset(_manual_reset), _set(_initially_set) {}

void event_c::Set()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _set = true;
    }
    if (_manual_reset)
        _changed.notify_all();
    else
        _changed.notify_one();
}

void event_c::Reset()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _set = false;
}

bool event_c::Wait(u32 _milliseconds)
{
    std::unique_lock<std::mutex> lock(_mutex);
    auto is_set = [this] { return _set; };
    if (_milliseconds == INFINITE)
        _changed.wait(lock, is_set);
    else if (!_changed.wait_for(lock, std::chrono::milliseconds(_milliseconds), is_set))
        return false;
    if (!_manual_reset)
        _set = false;
    return true;
}
