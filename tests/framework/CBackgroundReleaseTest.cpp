#include "framework/CBackgroundRelease.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

// Frees slowly and tells when its freeing began, whether it ended and on which thread it ran.
struct SlowToFree {
    std::atomic<int>* begun = nullptr;
    std::atomic<int>* freed = nullptr;
    std::atomic<bool>* onCaller = nullptr;
    std::thread::id caller = std::this_thread::get_id();
    ~SlowToFree()
    {
        ++*begun;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (std::this_thread::get_id() == caller)
            *onCaller = true;
        ++*freed;
    }
};

} // namespace

// A reader waits before it allocates a design of its own: the wait must outlast the freeing of
// everything handed over before it, the item being freed at that moment included.
TEST(CBackgroundReleaseTest, WaitOutlastsTheFreeingOfEverythingHandedOver)
{
    std::atomic<int> begun{0};
    std::atomic<int> freed{0};
    std::atomic<bool> onCaller{false};
    const auto hand = [&] {
        auto item = std::make_unique<SlowToFree>();
        item->begun = &begun;
        item->freed = &freed;
        item->onCaller = &onCaller;
        CBackgroundRelease::Shared().Hand(std::move(item));
    };

    for (int i = 0; i < 3; ++i)
        hand();
    CBackgroundRelease::Shared().Wait();
    EXPECT_EQ(freed, 3);

    // Nothing is queued any more while the last item is still being freed.
    hand();
    while (begun < 4)
        std::this_thread::yield();
    CBackgroundRelease::Shared().Wait();
    EXPECT_EQ(freed, 4);
    EXPECT_FALSE(onCaller);
}
