#include "framework/CBackgroundRelease.h"

#include <system_error>

#include "framework/CFreedMemory.h"
#include "framework/CWorkPool.h"

CBackgroundRelease& CBackgroundRelease::Shared()
{
    static CBackgroundRelease release;
    return release;
}

bool CBackgroundRelease::IsWorthHanding(std::size_t items)
{
    constexpr std::size_t smallItems = 10000;
    return items >= smallItems && CWorkPool::ThreadCount() >= 2;
}

CBackgroundRelease::~CBackgroundRelease()
{
    // What is still queued is freed before the thread is stopped and joined.
    Wait();
}

void CBackgroundRelease::Push(std::unique_ptr<Held> held)
{
    {
        std::lock_guard lock(m_mutex);
        // Should the thread fail to start, the caller frees the item itself, as it would have
        // without this class.
        if (!m_thread.joinable()) {
            try {
                m_thread = std::jthread([this](std::stop_token stop) { Loop(stop); });
            } catch (const std::system_error&) {
                return;
            }
        }
        m_queue.push_back(std::move(held));
    }
    m_wake.notify_one();
}

void CBackgroundRelease::ReturnFreedMemory()
{
    struct Return : Held {
        ~Return() override { CFreedMemory::ReturnToSystem(); }
    };
    std::unique_ptr<Held> held = std::make_unique<Return>();
    Push(std::move(held));
}

void CBackgroundRelease::Wait()
{
    std::unique_lock lock(m_mutex);
    m_drained.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

void CBackgroundRelease::Loop(std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_wake.wait(lock, stop, [this] { return !m_queue.empty(); }))
            return;
        std::unique_ptr<Held> held = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        held.reset();
        lock.lock();
        m_busy = false;
        if (m_queue.empty())
            m_drained.notify_all();
    }
}
