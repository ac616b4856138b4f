#include "dxt/task_threads.h"

#include "dxt/level_encoder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

TEST(TaskThreads, EveryTaskRunsOnceOnAnyNumberOfThreads)
{
    for (const u32 threads : {1u, 3u, 0u})
        for (const bool threaded : {false, true})
            for (const i32 count : {0, 1, 7, 100}) {
                SetDxtLevelThreads(threads);
                std::vector<std::atomic<i32>> runs(static_cast<size_t>(count));
                ForEachTask(count, threaded, [&](i32 i) { ++runs[i]; });
                for (i32 i = 0; i < count; ++i)
                    ASSERT_EQ(runs[i].load(), 1) << "task " << i << " of " << count << ", threads " << threads;
            }
    SetDxtLevelThreads(0);
}

// A failing task stops neither the others nor the join: the first failure
// comes out once every task has run.
TEST(TaskThreads, TheFirstFailureIsThrownAfterAllTasks)
{
    for (const bool threaded : {false, true}) {
        std::atomic<i32> ran{0};
        try {
            ForEachTask(40, threaded, [&](i32 i) {
                ++ran;
                if (i == 5 || i == 30)
                    throw std::runtime_error(i == 5 ? "first" : "second");
            });
            FAIL() << "no exception, threaded " << threaded;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "first");
        }
        EXPECT_EQ(ran.load(), 40);
    }
}

} // namespace
