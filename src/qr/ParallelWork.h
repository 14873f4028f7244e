#pragma once

#include <chrono>
#include <functional>

namespace kodrix {

// Runs work(task, worker) for every task in [0, taskCount) on `threads` worker threads
// (worker is 0 .. threads - 1; tasks are taken in ascending order). Meanwhile the calling
// thread calls watch() every `interval` and once at the end; when watch() returns false no
// further task is started. Returns false when the work was stopped before every task ran.
bool runInParallel(int taskCount, int threads, const std::function<void(int task, int worker)> &work,
                   const std::function<bool()> &watch,
                   std::chrono::milliseconds interval = std::chrono::milliseconds(100));

// The number of worker threads to use when the caller asks for 0: one per core.
int defaultThreadCount();

} // namespace kodrix
