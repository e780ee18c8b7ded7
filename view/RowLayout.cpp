#include "view/RowLayout.h"

#include <cstdio>

int64_t UsedPercent(int64_t used, int64_t total) {
    if (used < 0)
        used = 0;
    if (total > 100)
        return used / (total / 100);
    return used;
}

uint64_t UsedBytes(uint64_t total, uint64_t free) {
    return free < total ? total - free : 0;
}

std::string FreeSpaceText(uint64_t freeBytes) {
    // Byte counts of real drives are far below 2^63: the signed conversion
    // gives the same value.
    const double bytes = static_cast<double>(static_cast<int64_t>(freeBytes));
    double value = bytes / 1024.0;
    const char* unit = "KB";
    if (bytes / (1024.0 * 1024.0 * 1024.0) >= 1.0) {
        value = bytes / (1024.0 * 1024.0 * 1024.0);
        unit = "GB";
    } else if (bytes / (1024.0 * 1024.0) >= 1.0) {
        value = bytes / (1024.0 * 1024.0);
        unit = "MB";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%2.2f%s", value, unit);
    return text;
}

namespace {
// Where a row's parts sit, in pixels from the row's top and the view's edges.
constexpr int kRowTopInset = 5;  // icon, letter and bar start this far below the row's top
constexpr int kIconLeft = 5;     // the icon's left edge
constexpr int kLetterLeft = 7;   // the letter drawn over the icon
constexpr int kBarGap = 12;      // between the icon column (one pitch wide) and the bar
constexpr int kRightOfBar = 112; // kept right of the bar: the gap and the free-space cell
constexpr int kFreeSpaceGap = 5; // between the bar and the free-space cell
} // namespace

RowLayout LayoutRow(int index, int scrollPos, int clientWidth, const DriveRecord& record,
                    const RowMetrics& metrics) {
    RowLayout row;
    row.y = metrics.rowPitch * index - scrollPos + kRowTopInset;
    row.icon = {kIconLeft, row.y};
    row.letterOrigin = {kLetterLeft, row.y};
    row.letter = DriveLetterOf(record);

    const uint64_t total = record.ulTotalBytes;
    const uint64_t free = record.ulTotalFreeBytes;
    row.hasSize = total != 0;

    const int barX = metrics.rowPitch + kBarGap;
    const int barW = clientWidth - metrics.rowPitch - kRightOfBar;
    row.bar = {barX, row.y, barX + barW, row.y + metrics.barHeight};
    row.drawBar = barW > 0;
    row.barFormat = row.hasSize ? kBarPercentFormat : kBarNoMediaLabel;
    // The bar takes the low 32 bits of the percentage.
    row.barValue = static_cast<uint32_t>(
        UsedPercent(static_cast<int64_t>(UsedBytes(total, free)), static_cast<int64_t>(total)));

    row.freeCell = {barX + barW + kFreeSpaceGap, row.y, clientWidth, row.y + metrics.rowPitch};
    if (row.hasSize)
        row.freeText = FreeSpaceText(free);
    return row;
}
