#include "view/FocusRow.h"

#include <algorithm>

namespace {
// A row's painted parts start this far below its top (see the row layout).
constexpr int kRowTopInset = 5;
} // namespace

int MovedFocusRow(UINT key, int index, int count, int pageRows) {
    if (count <= 0)
        return -1;
    int target = index;
    switch (key) {
    case VK_UP:
        target = index - 1;
        break;
    case VK_DOWN:
        target = index + 1;
        break;
    case VK_PRIOR:
        target = index - pageRows;
        break;
    case VK_NEXT:
        target = index + pageRows;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = count - 1;
        break;
    default:
        return -1;
    }
    return std::clamp(target, 0, count - 1);
}

int WhollyVisibleRows(int clientHeight, const RowMetrics& metrics) {
    const int pitch = metrics.Scaled(metrics.rowPitch);
    return std::max(1, (clientHeight - metrics.Scaled(kRowTopInset)) / pitch);
}

int ScrollPosShowingRow(int index, int scrollPos, int clientHeight, const RowMetrics& metrics) {
    // The row as its accessible bounds and its focus rectangle have it: one
    // pitch high from its painted top, in the coordinates of scroll position 0.
    const int pitch = metrics.Scaled(metrics.rowPitch);
    const int top = pitch * index + metrics.Scaled(kRowTopInset);
    const int bottom = top + pitch;
    if (top < scrollPos + metrics.Scaled(kRowTopInset))
        return pitch * index; // the inset above the row shows too
    if (bottom > scrollPos + clientHeight)
        return bottom - clientHeight;
    return scrollPos;
}

int ShownRowOfRoot(const DriveList& drives, const std::string& root, int fallback) {
    int row = 0;
    for (const DriveRecord& record : drives) {
        if (record.bShown == 0)
            continue;
        if (!root.empty() && root == record.szRoot)
            return row;
        ++row;
    }
    return row == 0 ? -1 : std::clamp(fallback, 0, row - 1);
}

int RecordOfShownRow(const DriveList& drives, int row) {
    for (size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].bShown != 0 && row-- == 0)
            return static_cast<int>(i);
    }
    return -1;
}
