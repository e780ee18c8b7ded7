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
// Where a row's parts sit, in pixels at 96 DPI from the row's top and the
// view's edges; each is scaled to the view's DPI on its own.
constexpr int kRowTopInset = 5;  // icon, letter and bar start this far below the row's top
constexpr int kIconLeft = 5;     // the icon's left edge
constexpr int kLetterLeft = 7;   // the letter drawn over the icon
constexpr int kBarGap = 12;      // between the icon column (one pitch wide) and the bar
constexpr int kRightOfBar = 112; // kept right of the bar: the gap and the free-space cell
constexpr int kFreeSpaceGap = 5; // between the bar and the free-space cell
} // namespace

BarColours BarColoursFor(DriveState state, const SystemLook& look, bool marked) {
    if (!look.highContrast) {
        // The label takes the other part's colour: one image, two colours.
        // The dark box only for a drive the options exclude.
        const COLORREF used = marked ? kBarNearlyFullColour : kBarUsedColour;
        return BarColours{
            used,           kBarRestColour,
            kBarRestColour, used,
            CLR_INVALID,    state == DriveState::NotQueried ? kBoxDarkColour : kBoxLightColour};
    }
    const auto colour = [&look](int index) { return static_cast<COLORREF>(look.sysColour(index)); };
    return BarColours{colour(COLOR_HIGHLIGHT),  colour(COLOR_HIGHLIGHTTEXT),
                      colour(COLOR_WINDOW),     colour(COLOR_WINDOWTEXT),
                      colour(COLOR_WINDOWTEXT), colour(COLOR_GRAYTEXT)};
}

const char* PlaceholderLabel(DriveState state) {
    switch (state) {
    case DriveState::Waiting:
        return kBarWaitingLabel;
    case DriveState::NotResponding:
        return kBarNotRespondingLabel;
    default:
        return kBarNoMediaLabel;
    }
}

RowLayout LayoutRow(int index, int scrollPos, int clientWidth, const DriveRecord& record,
                    const RowMetrics& metrics) {
    return LayoutRow(index, scrollPos, clientWidth, record, metrics,
                     record.ulTotalBytes != 0 ? DriveState::Sized : DriveState::NoMedia);
}

RowLayout LayoutRow(int index, int scrollPos, int clientWidth, const DriveRecord& record,
                    const RowMetrics& metrics, DriveState state) {
    RowLayout row;
    const auto scaled = [&metrics](int value) { return metrics.Scaled(value); };
    const int pitch = scaled(metrics.rowPitch);
    row.y = pitch * index - scrollPos + scaled(kRowTopInset);
    row.icon = {scaled(kIconLeft), row.y};
    row.iconSize = metrics.IconSize();
    row.letterOrigin = {scaled(kLetterLeft), row.y};
    row.letter = DriveLetterOf(record);

    const uint64_t total = record.ulTotalBytes;
    const uint64_t free = record.ulTotalFreeBytes;
    row.state = state;
    // Figures that may no longer be true are not shown.
    row.hasSize = state == DriveState::Sized && total != 0;

    const int barX = pitch + scaled(kBarGap);
    const int barW = clientWidth - pitch - scaled(kRightOfBar);
    row.bar = {barX, row.y, barX + barW, row.y + scaled(metrics.barHeight)};
    row.drawBar = barW > 0;
    row.barFormat = row.hasSize ? kBarPercentFormat : PlaceholderLabel(state);
    // The bar takes the low 32 bits of the percentage.
    row.barValue = static_cast<uint32_t>(
        UsedPercent(static_cast<int64_t>(UsedBytes(total, free)), static_cast<int64_t>(total)));

    row.freeCell = {barX + barW + scaled(kFreeSpaceGap), row.y, clientWidth, row.y + pitch};
    if (row.hasSize)
        row.freeText = FreeSpaceText(free);
    return row;
}

bool SameRowPixels(const DriveRecord& before, DriveState beforeState, const DriveRecord& after,
                   DriveState afterState) {
    if ((before.sfi.hIcon == nullptr) != (after.sfi.hIcon == nullptr) ||
        before.sfi.iIcon != after.sfi.iIcon)
        return false;
    // Only the texts and the bar's value depend on the record; the places
    // are the same for any two rows of one index.
    const RowLayout a = LayoutRow(0, 0, 0, before, {}, beforeState);
    const RowLayout b = LayoutRow(0, 0, 0, after, {}, afterState);
    return a.letter == b.letter && a.state == b.state && a.hasSize == b.hasSize &&
           a.barFormat == b.barFormat && a.barValue == b.barValue && a.freeText == b.freeText;
}
