#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

// Frees what a caller has finished with on a thread of its own, so that dropping a large
// structure (a replaced design of a big board takes as long to free as to read) does not hold
// up the caller. What is handed over must be owned by no one else, or only through references
// that are safe to drop from another thread (shared_ptr counts), and its destruction must touch
// nothing but itself.
//
// One thread per process, started when first needed; the process waits for it at exit, so
// everything handed over is freed before the program ends.
class CBackgroundRelease {
public:
    static CBackgroundRelease& Shared();

    // Takes `owned` over and frees it later, on the release thread.
    template <typename T> void Hand(T owned)
    {
        Push(std::make_unique<Holder<T>>(std::move(owned)));
    }
    // The same for collections of `items` items in all; fewer than a big board's are freed at
    // once, as handing them over would cost more than freeing them, and so is everything when
    // the work is kept to one thread.
    template <typename T> void HandIfBig(T owned, std::size_t items)
    {
        if (IsWorthHanding(items))
            Hand(std::move(owned));
    }

    // Returns once everything handed over before the call has been freed.
    void Wait();
    // CFreedMemory::ReturnToSystem on the release thread, once everything handed over before
    // the call is freed: for when a big piece of work has ended, such as a design closed.
    void ReturnFreedMemory();

    ~CBackgroundRelease();
    CBackgroundRelease(const CBackgroundRelease&) = delete;
    CBackgroundRelease& operator=(const CBackgroundRelease&) = delete;

private:
    struct Held {
        virtual ~Held() = default;
    };
    template <typename T> struct Holder : Held {
        explicit Holder(T&& owned) : value(std::move(owned)) {}
        T value;
    };

    CBackgroundRelease() = default;
    static bool IsWorthHanding(std::size_t items);
    void Push(std::unique_ptr<Held> held);
    void Loop(std::stop_token stop);

    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::condition_variable m_drained;
    std::deque<std::unique_ptr<Held>> m_queue;
    bool m_busy = false; // guarded by m_mutex: the thread is freeing an item taken off the queue
    std::jthread m_thread;
};
