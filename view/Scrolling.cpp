#include "view/Scrolling.h"

#include <algorithm>

ScrollRange ComputeScrollRange(int shownRows, int clientHeight, int step) {
    ScrollRange range;
    range.overflow = shownRows * step - clientHeight;
    range.visible = range.overflow > 0;
    range.nMax = range.visible ? range.overflow + step : range.overflow;
    range.nPage = step;
    return range;
}

bool ApplyScrollCode(HWND window, int bar, UINT code, int& position, BOOL redraw, int line) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    info.nPos = position;
    if (code > SB_ENDSCROLL)
        return false;

    // Moves the stored position by delta; the platform clamps what it stores.
    const auto moveBy = [&](int delta) {
        const int target = GetScrollPos(window, bar) + delta;
        SetScrollPos(window, bar, target, redraw);
        return target;
    };
    switch (code) {
    case SB_LINEUP:
        info.nPos = moveBy(-line);
        break;
    case SB_LINEDOWN:
        info.nPos = moveBy(line);
        break;
    case SB_PAGEUP:
        info.nPos = moveBy(-static_cast<int>(info.nPage));
        break;
    case SB_PAGEDOWN:
        info.nPos = moveBy(static_cast<int>(info.nPage));
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetScrollPos(window, bar, position, redraw);
        info.nPos = GetScrollPos(window, bar);
        break;
    case SB_TOP:
    case SB_BOTTOM:
        // The first or the last rows; the platform clamps the range's end.
        SetScrollPos(window, bar, code == SB_TOP ? info.nMin : info.nMax, redraw);
        info.nPos = GetScrollPos(window, bar);
        break;
    default: // SB_ENDSCROLL: the move has already happened
        info.nPos = GetScrollPos(window, bar);
        break;
    }
    position = info.nPos;
    info.nTrackPos = info.nPos;
    info.fMask = SIF_ALL;
    SetScrollInfo(window, bar, &info, redraw);
    return true;
}

WheelAccumulator::Steps WheelAccumulator::Add(int delta, UINT linesPerNotch) {
    const bool pages = linesPerNotch == WHEEL_PAGESCROLL;
    const long long perNotch = pages ? 1 : linesPerNotch;
    if (linesPerNotch != m_linesPerNotch || (m_accumulated < 0) != (delta < 0))
        m_accumulated = 0;
    m_linesPerNotch = linesPerNotch;
    // Kept in delta × steps per notch, so a setting that does not divide
    // WHEEL_DELTA loses nothing to rounding.
    m_accumulated += static_cast<long long>(delta) * perNotch;
    const long long steps = m_accumulated / WHEEL_DELTA;
    m_accumulated -= steps * WHEEL_DELTA;

    Steps result;
    const bool up = steps > 0;
    result.code = pages ? (up ? SB_PAGEUP : SB_PAGEDOWN) : (up ? SB_LINEUP : SB_LINEDOWN);
    // Far more steps than any range holds are as good as the end.
    result.count = static_cast<int>(std::min<long long>(steps < 0 ? -steps : steps, 1 << 16));
    return result;
}
