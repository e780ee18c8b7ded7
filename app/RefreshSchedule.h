// When the drive list is refreshed without being asked: device and media
// notices coalesced into one refresh, and the free-space poll's interval.
// Pure: the caller hands in the time, so tests need no clock.
#pragma once

#include <chrono>
#include <optional>

// The free space of fixed and network drives is read again this often.
constexpr std::chrono::seconds kAutoUpdateInterval{10};
// A burst of notices gives one refresh this long after the last of them...
constexpr std::chrono::milliseconds kNoticeQuietTime{500};
// ...and never later than this after the first.
constexpr std::chrono::seconds kNoticeLongestWait{2};

class NoticeCoalescer {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // A notice arrived at `now`.
    void Notice(TimePoint now);
    // How long from `now` until the refresh is due (zero when it is); none
    // when no notice waits.
    std::optional<std::chrono::milliseconds> DueIn(TimePoint now) const;
    // True, and the notices forgotten, when the refresh is due at `now`.
    bool TakeIfDue(TimePoint now);

private:
    std::optional<TimePoint> m_first;
    TimePoint m_last{};
};
