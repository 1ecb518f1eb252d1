#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace velmora::par1 {

// Runs independent jobs (mostly hashing whole files) on a few threads and hands their results
// to the calling thread in job order, each as soon as it and all before it are done.
class ParallelRunner {
public:
    static unsigned threadCount() {
        return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    }

    template <typename Result>
    static void inOrder(std::size_t count, const std::function<Result(std::size_t)>& work,
                        const std::function<void(std::size_t, Result&)>& deliver) {
        struct Slot {
            std::optional<Result> result;
            std::exception_ptr error;
            bool done = false;
        };
        std::vector<Slot> slots(count);
        std::mutex mutex;
        std::condition_variable ready;
        std::size_t nextJob = 0;
        auto worker = [&] {
            for (;;) {
                std::size_t job;
                {
                    std::lock_guard lock(mutex);
                    if (nextJob == count)
                        return;
                    job = nextJob++;
                }
                Slot finished;
                try {
                    finished.result.emplace(work(job));
                } catch (...) {
                    finished.error = std::current_exception();
                }
                std::lock_guard lock(mutex);
                slots[job] = std::move(finished);
                slots[job].done = true;
                ready.notify_all();
            }
        };
        std::vector<std::jthread> threads;
        for (unsigned t = 0; t < std::min<std::size_t>(threadCount(), count); ++t)
            threads.emplace_back(worker);
        try {
            for (std::size_t job = 0; job < count; ++job) {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return slots[job].done; });
                Slot slot = std::move(slots[job]);
                lock.unlock();
                if (slot.error)
                    std::rethrow_exception(slot.error);
                deliver(job, *slot.result);
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            nextJob = count;
            throw;
        }
    }
};

} // namespace velmora::par1
