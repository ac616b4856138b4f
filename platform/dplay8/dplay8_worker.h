#pragma once
// The thread of one session object: an event loop on which every socket
// operation and every call of the object's message handler runs. Work is
// handed to it with Post and runs in the order posted.
#include <functional>
#include <thread>

#include <asio/executor_work_guard.hpp>
#include <asio/io_context.hpp>

class dplay8_worker_c {
public:
    dplay8_worker_c();
    // Stops the loop as Stop does.
    ~dplay8_worker_c();
    dplay8_worker_c(const dplay8_worker_c&) = delete;
    dplay8_worker_c& operator=(const dplay8_worker_c&) = delete;

    asio::io_context& Io() { return _io; }
    void Post(std::function<void()> _work);
    // Ends the loop and waits for the thread: once it returns nothing of this
    // worker runs any more and work still queued is dropped. Must not be
    // called on the worker's own thread.
    void Stop();
    bool IsCurrent() const { return std::this_thread::get_id() == _thread.get_id(); }

private:
    asio::io_context _io;
    asio::executor_work_guard<asio::io_context::executor_type> _guard;
    std::thread _thread;
};
