// The nearly-full rule, the readings kept and the trend fitted to them.
#include "drives/FreeSpaceWatch.h"

#include <gtest/gtest.h>

namespace {
constexpr uint64_t kMB = 1ULL << 20;
constexpr uint64_t kGB = 1ULL << 30;

FreeReadings Line(int count, int64_t step, double start, double perStep) {
    FreeReadings readings;
    for (int i = 0; i < count; ++i)
        readings.push_back({1000 + i * step, static_cast<uint64_t>(start + perStep * i)});
    return readings;
}

TEST(NearlyFullTest, BothLimitsAndZeroGigabytesMeansThePercentageAlone) {
    const WarningLevels levels;
    // A 4 TB drive is warned at 20 GB, a 100 GB one at 10 GB, 500 MB at 50 MB.
    EXPECT_EQ(NearlyFullLevel(4096 * kGB, levels), 20 * kGB);
    EXPECT_EQ(NearlyFullLevel(100 * kGB, levels), 10 * kGB);
    EXPECT_EQ(NearlyFullLevel(500 * kMB, levels), 50 * kMB);
    EXPECT_EQ(NearlyFullLevel(4096 * kGB, {10, 0}), 4096 * kGB / 10);
    // No size so large that the percentage wraps around.
    EXPECT_EQ(NearlyFullLevel(UINT64_MAX, {50, 0}), UINT64_MAX / 2);
    EXPECT_TRUE(IsNearlyFull(false, 100 * kGB, 10 * kGB - 1, levels));
    EXPECT_FALSE(IsNearlyFull(false, 100 * kGB, 10 * kGB, levels));
    EXPECT_FALSE(IsNearlyFull(true, 0, 0, levels)); // no size data
}

TEST(NearlyFullTest, ClearsOnlyTenPercentAboveTheLevelThatTrippedIt) {
    const WarningLevels levels;
    const uint64_t total = 100 * kGB, level = 10 * kGB;
    EXPECT_TRUE(IsNearlyFull(true, total, level, levels));
    EXPECT_TRUE(IsNearlyFull(true, total, level + level / 10 - 1, levels));
    EXPECT_FALSE(IsNearlyFull(true, total, level + level / 10, levels));

    FreeSpaceWatch watch;
    EXPECT_EQ(watch.Observe(L"D", total, level - 1, 0, levels), Crossing::BecameNearlyFull);
    EXPECT_EQ(watch.Observe(L"D", total, level + 1, 10, levels), Crossing::None);
    EXPECT_EQ(watch.Observe(L"D", total, level - 1, 20, levels), Crossing::None);
    EXPECT_EQ(watch.Observe(L"D", total, 2 * level, 30, levels), Crossing::Cleared);
    EXPECT_EQ(watch.Observe(L"D", total, level - 1, 40, levels), Crossing::BecameNearlyFull);
    // Other levels judge the last figures again.
    const auto crossings = watch.Relevel({5, 0});
    ASSERT_EQ(crossings.size(), 1u);
    EXPECT_EQ(crossings[0].second, Crossing::Cleared);
    EXPECT_FALSE(watch.NearlyFull(L"D"));
}

TEST(ReadingLogTest, ThinningKeepsTheBoundTheFirstAndTheLastReading) {
    ReadingLog log;
    for (int64_t t = 0; t < 60480; ++t) // a week of 10-second polls
        log.Add({t * 10, static_cast<uint64_t>(1000000 - t)});
    const FreeReadings& kept = log.Readings();
    EXPECT_LE(kept.size(), ReadingLog::kMaxReadings);
    EXPECT_GT(kept.size(), ReadingLog::kMaxReadings / 3);
    EXPECT_EQ(kept.front().time, 0);
    EXPECT_EQ(kept.back().time, 604790);
    for (size_t i = 1; i < kept.size(); ++i)
        ASSERT_LT(kept[i - 1].time, kept[i].time);
    log.Add({5, 0}); // the clock set back
    EXPECT_EQ(log.Readings().back().time, 604790);
}

TEST(ReadingLogTest, HourlyReadingsKeepOneAnHourOfTheLastWeek) {
    FreeReadings hourly;
    for (int64_t t = 0; t < 10 * 24 * 3600; t += 600)
        AddHourlyReading(hourly, {t, 1});
    EXPECT_LE(hourly.size(), kMaxHourlyReadings);
    EXPECT_GE(hourly.front().time, 3 * 24 * 3600 - 3600);
    EXPECT_EQ(hourly.back().time - hourly[hourly.size() - 2].time, 3600);
}

TEST(FitTest, ASteadyDeclineForecastsTheTimeUntilEmpty) {
    // 1 MB a minute from 40 MB: empty 30 minutes after the 11th reading.
    const auto trend = FitFreeSpace(Line(11, 60, 40.0 * kMB, -1.0 * kMB));
    ASSERT_TRUE(trend.has_value());
    EXPECT_NEAR(trend->bytesPerSecond, -1.0 * kMB / 60, 1);
    EXPECT_NEAR(trend->rSquared, 1.0, 1e-9);
    EXPECT_EQ(trend->span, 600);
    ASSERT_TRUE(trend->fullIn.has_value());
    EXPECT_NEAR(static_cast<double>(*trend->fullIn), 1800, 1);
}

TEST(FitTest, NoForecastRisingFlatNoisyTooFewOrTooShort) {
    EXPECT_FALSE(FitFreeSpace(Line(10, 60, 1e9, 1e6))->fullIn) << "rising";
    const auto flat = FitFreeSpace(Line(10, 60, 1e9, 0));
    ASSERT_TRUE(flat.has_value());
    EXPECT_FALSE(flat->fullIn);
    EXPECT_EQ(flat->change, 0);
    // Falling on the whole but scattered: R² well below 0.8.
    FreeReadings noisy = Line(8, 60, 1e9, -1e6);
    for (size_t i = 0; i < noisy.size(); i += 2)
        noisy[i].free += 8000000;
    const auto scattered = FitFreeSpace(noisy);
    ASSERT_TRUE(scattered.has_value());
    EXPECT_LT(scattered->rSquared, 0.8);
    EXPECT_FALSE(scattered->fullIn);
    EXPECT_FALSE(FitFreeSpace(Line(3, 60, 1e9, -1e6))) << "three readings";
    EXPECT_FALSE(FitFreeSpace(Line(4, 9, 1e9, -1e6))) << "27 seconds";
    EXPECT_TRUE(FitFreeSpace(Line(4, 10, 1e9, -1e6))->fullIn) << "30 seconds";
    // A year and more away: no forecast.
    EXPECT_FALSE(FitFreeSpace(Line(5, 3600, 1e12, -1e4))->fullIn);
    EXPECT_FALSE(FitFreeSpace({}));
}

TEST(FitTest, OnlyTheLastDayCountsAndTheHistoryComesBeforeTheRun) {
    // A day-old rise followed by a steady fall: only the fall is fitted.
    FreeReadings readings = Line(5, 3600, 1e9, 1e8);
    for (FreeReading r : Line(10, 3600, 2e9, -1e7)) {
        r.time += 30 * 3600;
        readings.push_back(r);
    }
    const auto trend = FitFreeSpace(readings);
    ASSERT_TRUE(trend && trend->fullIn);
    EXPECT_EQ(trend->span, 9 * 3600);

    FreeSpaceWatch watch;
    for (int i = 0; i < 3; ++i)
        watch.Observe(L"D", 4e9, static_cast<uint64_t>(2e9 - 1e6 * i), 100000 + i * 60, {});
    EXPECT_FALSE(watch.Trend(L"D")) << "three readings of this run";
    watch.SetHistory(L"D", {{90000, 2100000000}, {200000, 1}}); // one from the future goes
    const auto withHistory = watch.Trend(L"D");
    ASSERT_TRUE(withHistory.has_value());
    EXPECT_EQ(withHistory->span, 10120);
    EXPECT_EQ(watch.History(L"D").back().time, 100000);
}
} // namespace
