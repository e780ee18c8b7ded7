// Threads kept for reuse: a job that never returns holds only its own thread,
// and a thread whose job has run serves the next one.
#include "framework/WorkerThreads.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <future>
#include <memory>
#include <thread>

namespace {
// Waits for a state the threads reach by themselves; a wait that never ends
// fails by the test's timeout.
template <typename Done> void WaitUntil(Done done) {
    while (!done())
        std::this_thread::yield();
}

TEST(WorkerThreadsTest, AHeldJobDelaysNoOtherAndAThreadWhoseJobHasRunServesTheNext) {
    tov::WorkerThreads threads;
    std::promise<void> gate;
    const std::shared_future<void> open = gate.get_future().share();
    ASSERT_TRUE(threads.Run([open] { open.wait(); }));
    std::promise<DWORD> first, second;
    ASSERT_TRUE(threads.Run([&first] { first.set_value(GetCurrentThreadId()); }));
    const DWORD firstThread = first.get_future().get();
    WaitUntil([&] { return threads.IdleThreads() == 1; });

    const auto held = std::make_shared<int>();
    ASSERT_TRUE(threads.Run([&second, held] { second.set_value(GetCurrentThreadId()); }));
    EXPECT_EQ(second.get_future().get(), firstThread);
    EXPECT_EQ(threads.ThreadsMade(), 2u);
    // What a job holds goes once it has run, not with the next job.
    WaitUntil([&] { return held.use_count() == 1; });

    gate.set_value();
    WaitUntil([&] { return threads.IdleThreads() == 2; });
    EXPECT_EQ(threads.ThreadsMade(), 2u);
}
} // namespace
