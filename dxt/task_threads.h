#pragma once
// Independent tasks shared among the threads the compressor may use.
#include "foundation/types.h"

#include <functional>

// Calls each_task(i) for i = 0..count - 1, shared among as many threads as
// SetDxtLevelThreads allows when `threaded`, else on the calling thread
// alone. The tasks must be independent, so that the results are alike
// either way. The first task's exception, if any, is thrown once all are done.
void ForEachTask(i32 count, bool threaded, const std::function<void(i32)>& each_task);
