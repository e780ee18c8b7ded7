#include "drives/FreeSpaceWatch.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint64_t kGB = 1ULL << 30;
constexpr int64_t kDay = 24 * 60 * 60;
constexpr int64_t kWeek = 7 * kDay;
constexpr int64_t kHour = 60 * 60;
constexpr int64_t kYear = 365 * kDay;
constexpr size_t kMinFitReadings = 4;
constexpr int64_t kMinFitSpan = 30;
constexpr double kMinRSquared = 0.8;
} // namespace

uint64_t NearlyFullLevel(uint64_t total, const WarningLevels& levels) {
    // Split so that no size overflows: a percentage of the whole part and of the rest.
    const auto percent = static_cast<uint64_t>(std::max(levels.freePercent, 0));
    const uint64_t byPercent = total / 100 * percent + total % 100 * percent / 100;
    if (levels.freeGB <= 0)
        return byPercent;
    return std::min(byPercent, static_cast<uint64_t>(levels.freeGB) * kGB);
}

bool IsNearlyFull(bool was, uint64_t total, uint64_t free, const WarningLevels& levels) {
    if (total == 0)
        return false;
    const uint64_t level = NearlyFullLevel(total, levels);
    if (!was)
        return free < level;
    return free < level + level / 10;
}

void ReadingLog::Add(FreeReading reading) {
    if (!m_readings.empty() && reading.time < m_readings.back().time)
        return;
    // Room for the bound and the one reading over it, and no more: growing
    // by doubling would hold twice that.
    if (m_readings.capacity() == 0)
        m_readings.reserve(kMaxReadings + 1);
    m_readings.push_back(reading);
    if (m_readings.size() <= kMaxReadings)
        return;
    // Keeps indices 0, 2, 4, ... and the last.
    size_t kept = 1;
    for (size_t i = 2; i + 1 < m_readings.size(); i += 2)
        m_readings[kept++] = m_readings[i];
    m_readings[kept++] = m_readings.back();
    m_readings.resize(kept);
}

void AddHourlyReading(FreeReadings& hourly, FreeReading reading) {
    if (!hourly.empty() && reading.time - hourly.back().time < kHour)
        return;
    if (hourly.capacity() < kMaxHourlyReadings + 1)
        hourly.reserve(kMaxHourlyReadings + 1);
    hourly.push_back(reading);
    const auto old = std::find_if(hourly.begin(), hourly.end(), [&](const FreeReading& r) {
        return r.time >= reading.time - kWeek;
    });
    hourly.erase(hourly.begin(), old);
    if (hourly.size() > kMaxHourlyReadings)
        hourly.erase(hourly.begin(), hourly.end() - kMaxHourlyReadings);
}

std::optional<FreeTrend> FitFreeSpace(const FreeReadings& readings) {
    if (readings.empty())
        return std::nullopt;
    const int64_t last = readings.back().time;
    const auto first = std::find_if(readings.begin(), readings.end(),
                                    [&](const FreeReading& r) { return r.time >= last - kDay; });
    const auto count = static_cast<size_t>(readings.end() - first);
    if (count < kMinFitReadings || last - first->time < kMinFitSpan)
        return std::nullopt;
    // Times from the first reading used and bytes as doubles: the sums stay
    // well inside a double's precision for a day of seconds and any size.
    const int64_t origin = first->time;
    double meanT = 0, meanY = 0;
    for (auto r = first; r != readings.end(); ++r) {
        meanT += static_cast<double>(r->time - origin);
        meanY += static_cast<double>(r->free);
    }
    meanT /= static_cast<double>(count);
    meanY /= static_cast<double>(count);
    double stt = 0, sty = 0, syy = 0;
    for (auto r = first; r != readings.end(); ++r) {
        const double t = static_cast<double>(r->time - origin) - meanT;
        const double y = static_cast<double>(r->free) - meanY;
        stt += t * t;
        sty += t * y;
        syy += y * y;
    }
    FreeTrend trend;
    trend.span = last - origin;
    trend.bytesPerSecond = sty / stt;
    // Readings all alike are explained by the flat line they lie on.
    trend.rSquared = syy > 0 ? sty * sty / (stt * syy) : 1.0;
    trend.change = trend.bytesPerSecond * static_cast<double>(trend.span);
    if (trend.bytesPerSecond < 0 && trend.rSquared >= kMinRSquared) {
        const double atLast =
            meanY + trend.bytesPerSecond * (static_cast<double>(last - origin) - meanT);
        const double seconds = std::max(0.0, atLast / -trend.bytesPerSecond);
        if (seconds <= static_cast<double>(kYear))
            trend.fullIn = static_cast<int64_t>(seconds);
    }
    return trend;
}

Crossing FreeSpaceWatch::Observe(const std::wstring& name, uint64_t total, uint64_t free,
                                 int64_t now, const WarningLevels& levels) {
    Drive& drive = m_drives[name];
    drive.total = total;
    drive.free = free;
    if (total != 0) {
        drive.run.Add({now, free});
        AddHourlyReading(drive.hourly, {now, free});
    }
    const bool was = drive.nearlyFull;
    drive.nearlyFull = IsNearlyFull(was, total, free, levels);
    if (drive.nearlyFull == was)
        return Crossing::None;
    return drive.nearlyFull ? Crossing::BecameNearlyFull : Crossing::Cleared;
}

std::vector<std::pair<std::wstring, Crossing>>
FreeSpaceWatch::Relevel(const WarningLevels& levels) {
    std::vector<std::pair<std::wstring, Crossing>> crossings;
    for (auto& [name, drive] : m_drives) {
        const bool was = drive.nearlyFull;
        // New levels judge the figures afresh, without the old level's margin.
        drive.nearlyFull = IsNearlyFull(false, drive.total, drive.free, levels);
        if (drive.nearlyFull != was)
            crossings.emplace_back(name, drive.nearlyFull ? Crossing::BecameNearlyFull
                                                          : Crossing::Cleared);
    }
    return crossings;
}

bool FreeSpaceWatch::NearlyFull(const std::wstring& name) const {
    const auto it = m_drives.find(name);
    return it != m_drives.end() && it->second.nearlyFull;
}

void FreeSpaceWatch::SetHistory(const std::wstring& name, FreeReadings hourly) {
    Drive& drive = m_drives[name];
    const FreeReadings& run = drive.run.Readings();
    // What the history holds from this run's own time on is this run's.
    if (!run.empty())
        hourly.erase(
            std::remove_if(hourly.begin(), hourly.end(),
                           [&](const FreeReading& r) { return r.time >= run.front().time; }),
            hourly.end());
    for (const FreeReading& r : drive.hourly)
        AddHourlyReading(hourly, r);
    drive.hourly = std::move(hourly);
}

const FreeReadings& FreeSpaceWatch::History(const std::wstring& name) const {
    static const FreeReadings none;
    const auto it = m_drives.find(name);
    return it != m_drives.end() ? it->second.hourly : none;
}

std::optional<FreeTrend> FreeSpaceWatch::Trend(const std::wstring& name) const {
    const auto it = m_drives.find(name);
    if (it == m_drives.end())
        return std::nullopt;
    const FreeReadings& run = it->second.run.Readings();
    FreeReadings all;
    for (const FreeReading& r : it->second.hourly)
        if (run.empty() || r.time < run.front().time)
            all.push_back(r);
    all.insert(all.end(), run.begin(), run.end());
    return FitFreeSpace(all);
}

std::vector<std::wstring> FreeSpaceWatch::Names() const {
    std::vector<std::wstring> names;
    for (const auto& entry : m_drives)
        names.push_back(entry.first);
    return names;
}

size_t FreeSpaceWatch::BytesHeld() const {
    size_t bytes = 0;
    for (const auto& [name, drive] : m_drives)
        bytes += sizeof(std::pair<const std::wstring, Drive>) + name.capacity() * sizeof(wchar_t) +
                 drive.run.BytesHeld() + drive.hourly.capacity() * sizeof(FreeReading);
    return bytes;
}
