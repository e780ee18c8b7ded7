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
