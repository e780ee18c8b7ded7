#include "app/RefreshSchedule.h"

#include <algorithm>

void NoticeCoalescer::Notice(TimePoint now) {
    if (!m_first)
        m_first = now;
    m_last = now;
}

std::optional<std::chrono::milliseconds> NoticeCoalescer::DueIn(TimePoint now) const {
    if (!m_first)
        return std::nullopt;
    const TimePoint due = std::min(m_last + kNoticeQuietTime, *m_first + kNoticeLongestWait);
    if (due <= now)
        return std::chrono::milliseconds::zero();
    return std::chrono::ceil<std::chrono::milliseconds>(due - now);
}

bool NoticeCoalescer::TakeIfDue(TimePoint now) {
    const auto in = DueIn(now);
    if (!in || in->count() != 0)
        return false;
    m_first.reset();
    return true;
}
