#include "framework/CWorkPool.h"

#include "framework/CCollectedMessages.h"
#include "framework/CNumberText.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <exception>

namespace {

// Far more threads than any machine has cores would only cost memory.
constexpr int maxThreads = 256;
// Items are claimed in runs of about this many per thread and round, so cheap items do not
// spend their time on the shared counter while uneven ones still balance.
constexpr std::size_t claimsPerThread = 16;

// Set on a thread while it runs work items: a ForEach from there runs inline.
thread_local bool tInsideWork = false;

int RequestedFromEnvironment()
{
    const char* text = std::getenv("WEVRA_THREADS");
    return text != nullptr ? CNumberText::ParseInt(text) : 0;
}

std::atomic<int>& Requested()
{
    static std::atomic<int> requested{RequestedFromEnvironment()};
    return requested;
}

// Asked once: the painting asks for the thread count per range, and the answer is a system call.
int CoreCount()
{
    static const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return cores;
}

class CInsideWork {
public:
    CInsideWork() : m_was(tInsideWork) { tInsideWork = true; }
    ~CInsideWork() { tInsideWork = m_was; }
    CInsideWork(const CInsideWork&) = delete;
    CInsideWork& operator=(const CInsideWork&) = delete;

private:
    bool m_was;
};

} // namespace

struct CWorkPool::Job {
    const std::function<void(std::size_t)>* work = nullptr;
    std::size_t count = 0;
    std::size_t chunk = 1;
    std::size_t helpersWanted = 0; // guarded by the pool's mutex
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    std::exception_ptr error;
    CCollectedMessages messages;

    bool Exhausted() const { return next.load(std::memory_order_relaxed) >= count; }

    // Runs claimed runs of items until none are left. Every claimed item counts as done, run
    // or skipped after a failure, so the caller can wait for `done` to reach `count`.
    void Run()
    {
        CInsideWork inside;
        for (;;) {
            std::size_t first = next.fetch_add(chunk, std::memory_order_relaxed);
            if (first >= count)
                return;
            std::size_t last = std::min(count, first + chunk);
            for (std::size_t i = first; i < last; ++i) {
                if (failed.load(std::memory_order_relaxed))
                    break;
                try {
                    CCollectedMessages::CScope collect(messages, i);
                    (*work)(i);
                } catch (...) {
                    std::lock_guard lock(errorMutex);
                    if (!error)
                        error = std::current_exception();
                    failed.store(true, std::memory_order_relaxed);
                }
            }
            if (done.fetch_add(last - first, std::memory_order_acq_rel) + (last - first) == count)
                done.notify_all();
        }
    }
};

CWorkPool& CWorkPool::Shared()
{
    static CWorkPool pool;
    return pool;
}

void CWorkPool::SetThreadCount(int count)
{
    Requested().store(count);
}

int CWorkPool::ThreadCount()
{
    int requested = Requested().load();
    return requested >= 1 ? std::min(requested, maxThreads) : CoreCount();
}

std::size_t CWorkPool::RunLength(std::size_t count, std::size_t alone)
{
    if (count <= alone)
        return std::max<std::size_t>(count, 1);
    constexpr std::size_t runsPerThread = 2;
    const std::size_t runs = static_cast<std::size_t>(ThreadCount()) * runsPerThread;
    return (count + runs - 1) / runs;
}

std::size_t CWorkPool::RunCount(std::size_t count, std::size_t alone)
{
    const std::size_t length = RunLength(count, alone);
    return (count + length - 1) / length;
}

CWorkPool::~CWorkPool()
{
    for (auto& worker : m_workers)
        worker.request_stop();
    m_wake.notify_all();
    m_workers.clear();
}

void CWorkPool::RunInline(std::size_t count, const std::function<void(std::size_t)>& work)
{
    CInsideWork inside;
    // Work nested in an item reports into that item's collection; work of its own collects
    // its messages as it would on several threads, so that what the user sees does not
    // depend on the thread count.
    if (CCollectedMessages::Current() != nullptr) {
        for (std::size_t i = 0; i < count; ++i)
            work(i);
        return;
    }
    CCollectedMessages messages;
    try {
        for (std::size_t i = 0; i < count; ++i) {
            CCollectedMessages::CScope collect(messages, i);
            work(i);
        }
    } catch (...) {
        messages.Replay();
        throw;
    }
    messages.Replay();
}

void CWorkPool::ForEach(std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::size_t threads = static_cast<std::size_t>(ThreadCount());
    if (tInsideWork || threads <= 1 || count <= 1) {
        RunInline(count, work);
        return;
    }
    auto job = std::make_shared<Job>();
    job->work = &work;
    job->count = count;
    job->chunk = std::max<std::size_t>(1, count / (threads * claimsPerThread));
    job->helpersWanted = std::min(threads, count) - 1;
    {
        std::lock_guard lock(m_mutex);
        StartWorkers(job->helpersWanted);
        m_jobs.push_back(job);
        m_posted.fetch_add(1, std::memory_order_release);
    }
    m_wake.notify_all();

    job->Run();
    {
        std::lock_guard lock(m_mutex);
        std::erase(m_jobs, job);
    }
    // Helpers may still be inside items they claimed; `work` must outlive them.
    for (std::size_t done = job->done.load(std::memory_order_acquire); done != count;
         done = job->done.load(std::memory_order_acquire))
        job->done.wait(done, std::memory_order_acquire);
    // What the items told the user is shown before a failure of theirs is passed on.
    job->messages.Replay();
    if (job->error)
        std::rethrow_exception(job->error);
}

void CWorkPool::StartWorkers(std::size_t wanted)
{
    while (m_workers.size() < wanted)
        m_workers.emplace_back([this](std::stop_token stop) { WorkerLoop(stop); });
}

void CWorkPool::WorkerLoop(std::stop_token stop)
{
    // Waking a sleeping thread takes longer than many of the jobs a repaint hands out one after
    // another: a worker that finds nothing to do looks out for the next job a little while first.
    constexpr auto lookOut = std::chrono::microseconds(100);
    std::unique_lock lock(m_mutex);
    for (;;) {
        std::shared_ptr<Job> job;
        const auto found = [&] {
            for (auto& candidate : m_jobs) {
                if (candidate->helpersWanted > 0 && !candidate->Exhausted()) {
                    job = candidate;
                    return true;
                }
            }
            return false;
        };
        if (!found()) {
            const std::uint64_t seen = m_posted.load(std::memory_order_acquire);
            lock.unlock();
            const auto until = std::chrono::steady_clock::now() + lookOut;
            while (m_posted.load(std::memory_order_acquire) == seen && !stop.stop_requested() &&
                   std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            lock.lock();
        }
        if (!m_wake.wait(lock, stop, found))
            return;
        --job->helpersWanted;
        lock.unlock();
        job->Run();
        lock.lock();
        ++job->helpersWanted;
    }
}

void CWorkPool::ForEachRun(
    std::size_t count, std::size_t alone,
    const std::function<void(std::size_t run, std::size_t first, std::size_t last)>& work)
{
    const std::size_t length = RunLength(count, alone);
    ForEach((count + length - 1) / length,
            [&](std::size_t run) { work(run, run * length, std::min(count, (run + 1) * length)); });
}
