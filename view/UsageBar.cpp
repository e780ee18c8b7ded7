#include "view/UsageBar.h"

#include "framework/Handle.h"
#include "view/BarFill.h"

#include <algorithm>
#include <string>

void DrawUsageBar(HDC target, HGDIOBJ font, int x, int y, int cx, int cy, uint32_t value,
                  uint32_t max, const char* format) {
    if (cx <= 0 || cy <= 0)
        return;
    // A new memory context holds a one-bit image, so a bitmap compatible with
    // it (not with the target) is one-bit: the copy to the target then takes
    // the target's text colour for black and its background colour for white.
    tov::UniqueDC memory(CreateCompatibleDC(target));
    tov::UniqueBitmap image(CreateCompatibleBitmap(memory.get(), cx, cy));
    {
        // The guards are destroyed in reverse order: brush, font, bitmap.
        tov::SelectGuard bitmapGuard(memory.get(), image.get());
        PatBlt(memory.get(), 0, 0, cx, cy, WHITENESS);

        const double percentage = BarPercentage(value, max);
        const std::string label = FormatBarLabel(format, percentage);
        SetTextColor(memory.get(), RGB(0, 0, 0));
        SetBkMode(memory.get(), TRANSPARENT);
        tov::SelectGuard fontGuard(memory.get(), font);
        RECT labelRect{0, 0, cx - 1, cy - 1};
        DrawTextA(memory.get(), label.c_str(), -1, &labelRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);

        tov::SelectGuard brushGuard(memory.get(), GetStockObject(WHITE_BRUSH));
        const int fill = BarFillColumn(cx, percentage);
        if (fill != 0)
            PatBlt(memory.get(), 0, 0, fill + 1, cy, PATINVERT);

        BitBlt(target, x, y, cx, cy, memory.get(), 0, 0, SRCCOPY);
    }
}

BOOL CALLBACK PlaceholderOutputProc(HDC dc, LPARAM data, int) {
    const auto* box = reinterpret_cast<const int*>(data);
    // The surface is the box's size. The rectangle's far corner lies beyond
    // it, so its right and bottom edges are never drawn and its fill reaches
    // the surface's last row and column. The box's far corner in the target's
    // coordinates is beyond the surface only for a box that starts right of
    // and below the origin; a row scrolled up to or past the top of the view
    // must be covered too, so the corner is at least one past the surface.
    const int width = box[2] - box[0];
    const int height = box[3] - box[1];
    Rectangle(dc, 0, 0, std::max(box[2], width + 1), std::max(box[3], height + 1));
    return TRUE;
}

BOOL DrawPlaceholderBox(HDC target, HBRUSH brush, int x, int y, int x2, int y2) {
    if (brush == kPlaceholderLightGrey)
        brush = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    else if (brush == kPlaceholderDarkGrey)
        brush = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    // GrayStringA measures the data as text when a size is 0: an empty box
    // would have it read the coordinates as a string.
    if (x2 <= x || y2 <= y)
        return FALSE;
    int box[4] = {x, y, x2, y2};
    return GrayStringA(target, brush, &PlaceholderOutputProc, reinterpret_cast<LPARAM>(box), -1, x,
                       y, x2 - x, y2 - y);
}
