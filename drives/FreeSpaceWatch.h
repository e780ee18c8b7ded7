// Warnings before a drive fills: the nearly-full rule with its hysteresis,
// the free-space readings kept per drive, and the straight-line trend fitted
// to them. Pure values of numbers: the caller gives every reading its time,
// so nothing here reads a clock.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// When a drive counts as nearly full: its free space below both limits.
struct WarningLevels {
    int freePercent = 10; // of the drive's size, 1 to 50
    int freeGB = 20;      // 0 means the percentage alone
};

// The free space below which a drive of `total` bytes is nearly full.
uint64_t NearlyFullLevel(uint64_t total, const WarningLevels& levels);

// Whether a drive is nearly full now, given whether it was: it becomes so
// below the level, and stops only once its free space is 10 % above the
// level, so that a drive at the edge does not flap. A drive without size
// data (total 0) is not nearly full.
bool IsNearlyFull(bool was, uint64_t total, uint64_t free, const WarningLevels& levels);

// One free-space reading: seconds of the wall clock and the free bytes.
struct FreeReading {
    int64_t time = 0;
    uint64_t free = 0;
};
using FreeReadings = std::vector<FreeReading>;

// The readings of one run, in time order, bounded: when the bound is passed
// every second reading between the first and the last goes, so the shape
// stays and the span reaches back to the first.
class ReadingLog {
public:
    static constexpr size_t kMaxReadings = 256;

    // A reading older than the last one kept (the clock was set back) is
    // dropped.
    void Add(FreeReading reading);
    const FreeReadings& Readings() const { return m_readings; }
    size_t BytesHeld() const { return m_readings.capacity() * sizeof(FreeReading); }

private:
    FreeReadings m_readings;
};

// The hourly readings kept across runs: one an hour at most, the last 7 days.
constexpr size_t kMaxHourlyReadings = 168;
void AddHourlyReading(FreeReadings& hourly, FreeReading reading);

// The straight line fitted to a drive's free space over time.
struct FreeTrend {
    double bytesPerSecond = 0; // the slope; negative while the drive fills
    double rSquared = 0;       // how well the line explains the readings
    int64_t span = 0;          // seconds from the first reading used to the last
    double change = 0;         // the line's change over the span, in bytes
    // Seconds from the last reading until the line reaches zero: only for a
    // drive filling steadily (slope negative, R² at least 0.8), never
    // beyond a year.
    std::optional<int64_t> fullIn;
};

// The least-squares line of the readings of the last 24 hours before the
// last one; none with fewer than 4 of them or a span under 30 seconds.
std::optional<FreeTrend> FitFreeSpace(const FreeReadings& readings);

// What one drive's new figures changed about its warning.
enum class Crossing { None, BecameNearlyFull, Cleared };

// The warnings' state of every drive seen in this run, by display name:
// whether it is nearly full, its readings and its hourly history.
class FreeSpaceWatch {
public:
    // A drive's new figures at wall-clock second `now`. Figures with a size
    // are a reading; a drive without them is not nearly full.
    Crossing Observe(const std::wstring& name, uint64_t total, uint64_t free, int64_t now,
                     const WarningLevels& levels);
    // Applies new levels to every drive's last figures.
    std::vector<std::pair<std::wstring, Crossing>> Relevel(const WarningLevels& levels);

    bool Knows(const std::wstring& name) const { return m_drives.count(name) != 0; }
    bool NearlyFull(const std::wstring& name) const;
    // The hourly readings of an earlier run, taken before this run's first.
    void SetHistory(const std::wstring& name, FreeReadings hourly);
    const FreeReadings& History(const std::wstring& name) const;
    // The trend of the history before this run's readings and this run's.
    std::optional<FreeTrend> Trend(const std::wstring& name) const;
    // The names of the drives known, in name order.
    std::vector<std::wstring> Names() const;
    // The heap the readings and names take, less the allocator's own overhead.
    size_t BytesHeld() const;

private:
    struct Drive {
        bool nearlyFull = false;
        uint64_t total = 0, free = 0;
        ReadingLog run;
        FreeReadings hourly;
    };
    std::map<std::wstring, Drive> m_drives;
};
