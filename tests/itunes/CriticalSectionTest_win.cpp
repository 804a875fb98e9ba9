#include "CriticalSection_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(CriticalSection, IsRecursiveAndBlockOfTheHoldingThreadTakesItOnceMore) {
    CriticalSection lock;
    lock.enter();
    lock.enter();
    EXPECT_EQ(lock.holdCount(), 2);
    lock.block();
    EXPECT_FALSE(lock.isBlocked());
    EXPECT_EQ(lock.holdCount(), 3);
    lock.unblock();
    EXPECT_EQ(lock.holdCount(), 2);
    lock.leave();
    lock.leave();
    EXPECT_EQ(lock.holdCount(), 0);
}

TEST(CriticalSection, BlockWhileAnotherThreadHoldsItHoldsBackEveryEnterUntilUnblock) {
    CriticalSection lock;
    std::atomic<bool> holding{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        lock.enter();
        holding = true;
        while (!release) {
            std::this_thread::sleep_for(1ms);
        }
        lock.leave();
    });
    while (!holding) {
        std::this_thread::sleep_for(1ms);
    }
    lock.block();
    EXPECT_TRUE(lock.isBlocked());
    EXPECT_EQ(lock.holdCount(), 0);

    release = true;
    holder.join();
    std::atomic<bool> entered{false};
    std::thread waiter([&] {
        lock.enter();
        entered = true;
        lock.leave();
    });
    // The lock is free now, but blocked: the waiter must not get it.
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(entered);
    lock.unblock();
    EXPECT_FALSE(lock.isBlocked());
    waiter.join();
    EXPECT_TRUE(entered);
    // unblock gave back nothing it had not taken.
    EXPECT_EQ(lock.holdCount(), 0);
    lock.enter();
    EXPECT_EQ(lock.holdCount(), 1);
    lock.leave();
}

} // namespace
