#include "view/Scrolling.h"

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
