#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// The threads every parallel part of the program shares. Work is handed over as a count of
// independent items; the calling thread takes part, so a pool of one thread is just a loop.
// Callers keep their results independent of the thread count by writing into one slot per index
// and merging the slots in index order.
//
// The environment variable WEVRA_THREADS sets the thread count at start (1 forces one thread,
// 0 or an unset variable means all cores), so tests and benches can pin it.
class CWorkPool {
public:
    // One pool per process; it starts its threads when work first needs them.
    static CWorkPool& Shared();

    // Threads work is split over from now on: 1 forces one thread (every item runs on the
    // calling thread, in index order), 0 or less means one per core.
    static void SetThreadCount(int count);

    // Threads work is split over (at least 1).
    static int ThreadCount();
    // How many runs ForEachRun splits `count` items into: one up to `alone` items, where waking
    // other threads would cost more than it saves; else about two for each thread, so that no
    // thread is left with a last run while the others wait.
    static std::size_t RunCount(std::size_t count, std::size_t alone);

    // Calls work(i) for every i in [0, count), spread over the pool and the calling thread, and
    // returns when all calls have returned. When calls throw, the first exception thrown is
    // rethrown here once the calls already running have returned; items not started by then are
    // skipped. A ForEach from inside a work item runs inline on that thread, so nesting never
    // waits for a busy pool.
    void ForEach(std::size_t count, const std::function<void(std::size_t)>& work);
    // ForEach over runs of the `count` items: work(run, first, last) for the items [first, last)
    // of run `run`, numbered in order from 0 to RunCount(count, alone) - 1.
    void ForEachRun(
        std::size_t count, std::size_t alone,
        const std::function<void(std::size_t run, std::size_t first, std::size_t last)>& work);

    // The lists that runs (or blocks) of work filled apart, one after the other in their order.
    template <class T> static std::vector<T> Joined(std::vector<std::vector<T>>&& parts)
    {
        if (parts.size() == 1)
            return std::move(parts.front());
        std::size_t total = 0;
        for (const std::vector<T>& part : parts)
            total += part.size();
        std::vector<T> joined;
        joined.reserve(total);
        for (std::vector<T>& part : parts)
            joined.insert(joined.end(), std::make_move_iterator(part.begin()),
                          std::make_move_iterator(part.end()));
        return joined;
    }

    ~CWorkPool();
    CWorkPool(const CWorkPool&) = delete;
    CWorkPool& operator=(const CWorkPool&) = delete;

private:
    struct Job;

    CWorkPool() = default;
    void StartWorkers(std::size_t wanted);
    void WorkerLoop(std::stop_token stop);
    static void RunInline(std::size_t count, const std::function<void(std::size_t)>& work);
    // The items of each run of RunCount.
    static std::size_t RunLength(std::size_t count, std::size_t alone);

    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<std::shared_ptr<Job>> m_jobs;
    // Counts the jobs handed out, so that a worker that just finished one sees the next come
    // without going to sleep: a repaint hands out dozens one after another.
    std::atomic<std::uint64_t> m_posted{0};
    std::vector<std::jthread> m_workers;
};
