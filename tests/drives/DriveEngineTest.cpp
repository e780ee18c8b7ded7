// The drive engine: one job per root at a time, a few threads kept for
// reuse in apartments of their own, a hung job holding one thread only.
#include "drives/DriveEngine.h"
#include "tests/drives/ScriptedDrivePlatform.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <atomic>
#include <future>

namespace {
using Limits = tov::DriveEngine::Limits;
constexpr auto kNever = std::chrono::hours(1);

TEST(DriveEngineTest, JobsOfARootRunInTurnBesideOtherRootsOnThreadsInApartments) {
    tov::DriveEngine engine(nullptr, Limits{3, 4, kNever, kNever});
    std::promise<void> gate;
    const std::shared_future<void> open = gate.get_future().share();
    std::atomic<int> order{0};
    std::promise<int> secondOfA, ofB;
    std::promise<HRESULT> apartment;
    ASSERT_TRUE(engine.Run("A", [open, &order] {
        open.wait();
        ++order;
    }));
    ASSERT_TRUE(engine.Run("A", [&] { secondOfA.set_value(order.load()); }));
    ASSERT_TRUE(engine.Run("B", [&] {
        // Already in a single-threaded apartment: S_FALSE.
        apartment.set_value(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        CoUninitialize();
        ofB.set_value(order.load());
    }));
    // B runs while A's first job waits; A's second waits for it.
    EXPECT_EQ(ofB.get_future().get(), 0);
    EXPECT_EQ(apartment.get_future().get(), S_FALSE);
    gate.set_value();
    EXPECT_EQ(secondOfA.get_future().get(), 1);
    EXPECT_LE(engine.PeakThreads(), 3u);
}

TEST(DriveEngineTest, AHungJobHoldsOneThreadTheOthersGetOneAfterThePatienceAndThreadsEndIdle) {
    // One thread runs jobs, and the watcher takes over after 1 ms.
    tov::DriveEngine engine(
        nullptr, Limits{1, 3, std::chrono::milliseconds(1), std::chrono::milliseconds(1)});
    std::promise<void> gate;
    const std::shared_future<void> open = gate.get_future().share();
    std::promise<void> ran;
    ASSERT_TRUE(engine.Run("A", [open] { open.wait(); }));
    ASSERT_TRUE(engine.Run("B", [open] { open.wait(); }));
    ASSERT_TRUE(engine.Run("C", [&ran] { ran.set_value(); }));
    ran.get_future().get();
    EXPECT_LE(engine.PeakThreads(), 3u);
    gate.set_value();
    // With nothing to do, every thread ends.
    EXPECT_TRUE(PumpUntil([&] { return engine.Threads() == 0; }, [] {}));
    EXPECT_EQ(engine.JobsDone(), 3u);
}
} // namespace
