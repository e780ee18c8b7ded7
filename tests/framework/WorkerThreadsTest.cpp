// Threads kept for reuse: jobs run one after another on a kept thread, and a
// job that never returns holds only its own thread.
#include "framework/WorkerThreads.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <future>
#include <memory>
#include <thread>

namespace {
// Waits for a state the threads reach by themselves; false when it has not
// come after 20 s, so that a fault fails the test instead of hanging it.
template <typename Done> bool WaitUntil(Done done) {
    const ULONGLONG end = GetTickCount64() + 20000;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(WorkerThreadsTest, JobsRunOneAfterAnotherOnKeptThreadsAndReleaseWhatTheyHold) {
    tov::WorkerThreads threads{std::chrono::hours(1)};
    std::promise<DWORD> ran[4];
    std::promise<void> gate;
    const std::shared_future<void> open = gate.get_future().share();
    const auto held = std::make_shared<int>();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(threads.Run([&, i, open, held] {
            open.wait(); // until all three are queued
            ran[i].set_value(GetCurrentThreadId());
        }));
    gate.set_value();
    const DWORD first = ran[0].get_future().get();
    EXPECT_EQ(ran[1].get_future().get(), first);
    EXPECT_EQ(ran[2].get_future().get(), first);
    // What the jobs held goes once they have run.
    ASSERT_TRUE(WaitUntil([&] { return held.use_count() == 1; }));

    // The one that ran them and the one that watched them serve the next.
    ASSERT_TRUE(WaitUntil([&] { return threads.IdleThreads() == 2; }));
    ASSERT_TRUE(threads.Run([&] { ran[3].set_value(GetCurrentThreadId()); }));
    ran[3].get_future().get();
    EXPECT_EQ(threads.ThreadsMade(), 2u);
}

TEST(WorkerThreadsTest, AJobThatNeverReturnsDelaysTheOthersByThePatienceOnly) {
    tov::WorkerThreads threads{std::chrono::milliseconds(1)};
    std::promise<void> gate, ran;
    const std::shared_future<void> open = gate.get_future().share();
    ASSERT_TRUE(threads.Run([open] { open.wait(); }));
    ASSERT_TRUE(threads.Run([open] { open.wait(); }));
    ASSERT_TRUE(threads.Run([&ran] { ran.set_value(); }));
    ran.get_future().get();
    gate.set_value();
    ASSERT_TRUE(WaitUntil([&] { return threads.IdleThreads() == 2; }));
}
} // namespace
