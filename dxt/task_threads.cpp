#include "dxt/task_threads.h"

#include "dxt/level_encoder.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

void ForEachTask(i32 count, bool threaded, const std::function<void(i32)>& each_task)
{
    const i32 threads = threaded ? static_cast<i32>(std::min<u32>(DxtLevelThreads(), std::max(count, 1))) : 1;
    std::atomic<i32> next{0};
    std::vector<std::exception_ptr> failures(static_cast<size_t>(std::max(count, 0)));
    auto work = [&] {
        for (i32 i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
            try {
                each_task(i);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(threads - 1));
    try {
        while (static_cast<i32>(pool.size()) + 1 < threads)
            pool.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: those started and the calling thread share the tasks.
    }
    work();
    for (std::thread& t : pool)
        t.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}
