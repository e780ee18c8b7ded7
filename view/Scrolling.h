// Vertical scrolling of the drive view: the scroll range as a pure function
// of the number of shown rows and the client height, and the handling of one
// scroll-bar code.
#pragma once

#include <windows.h>

struct ScrollRange {
    int overflow = 0;     // rows × step − client height: how far the rows reach beyond the view
    int nMax = 0;         // overflow + step when the rows overflow, else overflow
    int nPage = 0;        // step
    bool visible = false; // the scroll bar is shown when the rows overflow

    // The largest position the platform allows: nMax − (nPage − 1), at least 0.
    int LargestPosition() const { return visible ? overflow + 1 : 0; }
};

// step is the scroll distance of one row (also one line and one page).
ScrollRange ComputeScrollRange(int shownRows, int clientHeight, int step);

// Applies scroll code `code` (SB_LINEUP .. SB_ENDSCROLL) to scroll bar `bar` of
// `window`. Line codes move by `line`, page codes by the bar's page; thumb
// codes go to `position`; top and bottom go to the first and the last rows,
// end keeps the position. The platform clamps every position it stores;
// `position` receives the position asked for (the unclamped one for line and
// page moves). Returns false, changing nothing, for a code above SB_ENDSCROLL.
bool ApplyScrollCode(HWND window, int bar, UINT code, int& position, BOOL redraw, int line);

// Turns mouse-wheel rotation into scroll steps. Deltas smaller than a notch
// (precision touchpads) add up until they make a whole step; a turn in the
// other direction or a new wheel setting starts afresh.
class WheelAccumulator {
public:
    struct Steps {
        UINT code = SB_LINEDOWN; // SB_LINEUP/SB_LINEDOWN, or the page codes
        int count = 0;           // how many times to apply code; 0: nothing yet
    };
    // delta: the wheel's delta (WHEEL_DELTA per notch, positive away from the
    // user, which scrolls up); linesPerNotch: the user's setting
    // (SPI_GETWHEELSCROLLLINES), WHEEL_PAGESCROLL for one page per notch.
    Steps Add(int delta, UINT linesPerNotch);

private:
    long long m_accumulated = 0; // delta × steps per notch, not yet scrolled
    UINT m_linesPerNotch = 0;
};
