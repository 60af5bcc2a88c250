#include "framework/CWorkPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

class CWorkPoolTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = CWorkPool::ThreadCount(); }
    void TearDown() override { CWorkPool::SetThreadCount(m_saved); }

private:
    int m_saved = 1;
};

TEST_F(CWorkPoolTest, ThreadCountFollowsTheSetting)
{
    int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    CWorkPool::SetThreadCount(0);
    EXPECT_EQ(CWorkPool::ThreadCount(), cores);
    CWorkPool::SetThreadCount(-3);
    EXPECT_EQ(CWorkPool::ThreadCount(), cores);
    CWorkPool::SetThreadCount(1);
    EXPECT_EQ(CWorkPool::ThreadCount(), 1);
    CWorkPool::SetThreadCount(5);
    EXPECT_EQ(CWorkPool::ThreadCount(), 5);
}

TEST_F(CWorkPoolTest, EveryIndexRunsExactlyOnceWhateverTheCounts)
{
    for (int threads : {0, 1, 2, 3, 8}) {
        CWorkPool::SetThreadCount(threads);
        for (std::size_t count : {0u, 1u, 2u, 7u, 1000u, 100003u}) {
            std::vector<std::atomic<int>> calls(count);
            CWorkPool::Shared().ForEach(count, [&](std::size_t i) { calls[i].fetch_add(1); });
            std::size_t wrong = 0;
            for (auto& c : calls)
                wrong += c.load() != 1;
            EXPECT_EQ(wrong, 0u) << threads << " threads, " << count << " items";
        }
    }
}

TEST_F(CWorkPoolTest, OneThreadRunsInIndexOrderOnTheCaller)
{
    CWorkPool::SetThreadCount(1);
    std::vector<std::size_t> order;
    bool elsewhere = false;
    auto caller = std::this_thread::get_id();
    CWorkPool::Shared().ForEach(50, [&](std::size_t i) {
        order.push_back(i);
        elsewhere |= std::this_thread::get_id() != caller;
    });
    ASSERT_EQ(order.size(), 50u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_FALSE(elsewhere);
}

// Two items that each wait for the other can only both finish when they run at the same time.
TEST_F(CWorkPoolTest, ItemsRunSideBySide)
{
    CWorkPool::SetThreadCount(2);
    std::mutex mutex;
    std::condition_variable met;
    int arrived = 0;
    std::atomic<int> sawBoth{0};
    CWorkPool::Shared().ForEach(2, [&](std::size_t) {
        std::unique_lock lock(mutex);
        ++arrived;
        met.notify_all();
        if (met.wait_for(lock, std::chrono::seconds(20), [&] { return arrived == 2; }))
            sawBoth.fetch_add(1);
    });
    EXPECT_EQ(sawBoth.load(), 2);
}

TEST_F(CWorkPoolTest, FirstExceptionIsRethrownAfterRunningItemsReturn)
{
    for (int threads : {1, 4}) {
        CWorkPool::SetThreadCount(threads);
        std::atomic<int> running{0};
        bool caught = false;
        try {
            CWorkPool::Shared().ForEach(2000, [&](std::size_t i) {
                running.fetch_add(1);
                std::this_thread::sleep_for(std::chrono::microseconds(20));
                running.fetch_sub(1);
                if (i == 300)
                    throw std::runtime_error("item 300");
            });
        } catch (const std::runtime_error& error) {
            caught = std::string(error.what()) == "item 300";
        }
        EXPECT_TRUE(caught) << threads << " threads";
        EXPECT_EQ(running.load(), 0) << threads << " threads";

        // The pool stays usable after a failure.
        std::atomic<std::size_t> sum{0};
        CWorkPool::Shared().ForEach(100, [&](std::size_t i) { sum.fetch_add(i); });
        EXPECT_EQ(sum.load(), 4950u);
    }
}

TEST_F(CWorkPoolTest, NestedForEachRunsInlineOnTheItemsThread)
{
    CWorkPool::SetThreadCount(4);
    std::vector<std::size_t> sums(16, 0);
    std::atomic<int> strayThreads{0};
    CWorkPool::Shared().ForEach(sums.size(), [&](std::size_t outer) {
        auto self = std::this_thread::get_id();
        CWorkPool::Shared().ForEach(100, [&](std::size_t inner) {
            if (std::this_thread::get_id() != self)
                strayThreads.fetch_add(1);
            sums[outer] += inner;
        });
    });
    EXPECT_EQ(strayThreads.load(), 0);
    for (std::size_t sum : sums)
        EXPECT_EQ(sum, 4950u);
}

TEST_F(CWorkPoolTest, CallersOnSeveralThreadsShareThePool)
{
    CWorkPool::SetThreadCount(3);
    std::atomic<std::size_t> totals[4] = {};
    std::vector<std::jthread> callers;
    for (int c = 0; c < 4; ++c) {
        callers.emplace_back([&totals, c] {
            for (int round = 0; round < 20; ++round)
                CWorkPool::Shared().ForEach(1000, [&](std::size_t i) {
                    totals[c].fetch_add(i, std::memory_order_relaxed);
                });
        });
    }
    callers.clear();
    for (auto& total : totals)
        EXPECT_EQ(total.load(), 20u * 499500u);
}

} // namespace
