#include "qr/ParallelWork.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace kodrix {

int defaultThreadCount() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

bool runInParallel(int taskCount, int threads, const std::function<void(int task, int worker)> &work,
                   const std::function<bool()> &watch, std::chrono::milliseconds interval) {
    std::atomic<int> next{0};
    std::atomic<int> completed{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    int running = std::clamp(threads, 1, std::max(1, taskCount));

    auto worker = [&](int id) {
        for (;;) {
            if (stop.load(std::memory_order_relaxed))
                break;
            const int task = next.fetch_add(1, std::memory_order_relaxed);
            if (task >= taskCount)
                break;
            work(task, id);
            completed.fetch_add(1, std::memory_order_relaxed);
        }
        std::lock_guard lock(mutex);
        if (--running == 0)
            finished.notify_one();
    };

    std::vector<std::jthread> pool;
    const int count = running;
    pool.reserve(static_cast<size_t>(count));
    for (int id = 0; id < count; ++id)
        pool.emplace_back(worker, id);

    {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, interval, [&] { return running == 0; })) {
            lock.unlock();
            if (!stop && watch && !watch())
                stop = true;
            lock.lock();
        }
    }
    pool.clear();
    if (watch)
        watch(); // the final state; stopping no longer matters
    return completed.load() == taskCount;
}

} // namespace kodrix
