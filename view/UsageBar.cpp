#include "view/UsageBar.h"

#include "framework/Handle.h"
#include "view/BarFill.h"

#include <algorithm>
#include <string>

namespace {
// Composes the bar's one-bit image (label black on white, the filled columns
// inverted) and hands it to `copy` with the fill column while it is selected.
template <typename Copy>
void WithBarImage(HDC target, HGDIOBJ font, int cx, int cy, uint32_t value, uint32_t max,
                  const char* format, Copy copy) {
    // A new memory context holds a one-bit image, so a bitmap compatible with
    // it (not with the target) is one-bit: the copy to the target then takes
    // the target's text colour for black and its background colour for white.
    tov::UniqueDC memory(CreateCompatibleDC(target));
    tov::UniqueBitmap image(CreateCompatibleBitmap(memory.get(), cx, cy));
    // The guards are destroyed in reverse order: brush, font, bitmap.
    tov::SelectGuard bitmapGuard(memory.get(), image.get());
    PatBlt(memory.get(), 0, 0, cx, cy, WHITENESS);

    const double percentage = BarPercentage(value, max);
    const std::string label = FormatBarLabel(format, percentage);
    SetTextColor(memory.get(), RGB(0, 0, 0));
    SetBkMode(memory.get(), TRANSPARENT);
    tov::SelectGuard fontGuard(memory.get(), font);
    RECT labelRect{0, 0, cx - 1, cy - 1};
    DrawTextA(memory.get(), label.c_str(), -1, &labelRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    tov::SelectGuard brushGuard(memory.get(), GetStockObject(WHITE_BRUSH));
    const int fill = BarFillColumn(cx, percentage);
    if (fill != 0)
        PatBlt(memory.get(), 0, 0, fill + 1, cy, PATINVERT);
    copy(memory.get(), fill);
}

// Copies columns [from, to) of the image to the target, black in `black`
// and white in `white`.
void CopyColumns(HDC target, int x, int y, int from, int to, int cy, HDC image, COLORREF black,
                 COLORREF white) {
    if (to <= from)
        return;
    SetTextColor(target, black);
    SetBkColor(target, white);
    BitBlt(target, x + from, y, to - from, cy, image, from, 0, SRCCOPY);
}
} // namespace

void DrawUsageBar(HDC target, HGDIOBJ font, int x, int y, int cx, int cy, uint32_t value,
                  uint32_t max, const char* format) {
    if (cx <= 0 || cy <= 0)
        return;
    WithBarImage(target, font, cx, cy, value, max, format,
                 [&](HDC image, int) { BitBlt(target, x, y, cx, cy, image, 0, 0, SRCCOPY); });
}

void DrawColouredBar(HDC target, HGDIOBJ font, const RECT& bar, uint32_t value, uint32_t max,
                     const char* format, const BarColours& colours) {
    const int cx = bar.right - bar.left, cy = bar.bottom - bar.top;
    if (cx <= 0 || cy <= 0)
        return;
    const COLORREF savedText = GetTextColor(target);
    const COLORREF savedBack = GetBkColor(target);
    WithBarImage(target, font, cx, cy, value, max, format, [&](HDC image, int fill) {
        // In the filled columns the fill is black and the label white; in
        // the rest the label is black on white.
        const int used = fill != 0 ? std::min(fill + 1, cx) : 0;
        if (colours.usedText == colours.restFill && colours.restText == colours.usedFill) {
            CopyColumns(target, bar.left, bar.top, 0, cx, cy, image, colours.usedFill,
                        colours.restFill);
            return;
        }
        CopyColumns(target, bar.left, bar.top, 0, used, cy, image, colours.usedFill,
                    colours.usedText);
        CopyColumns(target, bar.left, bar.top, used, cx, cy, image, colours.restText,
                    colours.restFill);
    });
    SetTextColor(target, savedText);
    SetBkColor(target, savedBack);
}

void DrawBarFrame(HDC target, const RECT& bar, const BarColours& colours) {
    if (colours.frame == CLR_INVALID || IsRectEmpty(&bar))
        return;
    const tov::UniqueBrush brush(CreateSolidBrush(colours.frame));
    FrameRect(target, &bar, brush.get());
}

RECT BarLabelRect(HDC target, HGDIOBJ font, const RECT& bar, const char* text) {
    // As the bar draws it: centred on one line in the bar less its last
    // column and row.
    const tov::SelectGuard fontGuard(target, font);
    RECT extent{0, 0, 0, 0};
    DrawTextA(target, text, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
    const int width = extent.right - extent.left, height = extent.bottom - extent.top;
    const int left = bar.left + (bar.right - 1 - bar.left - width) / 2;
    const int top = bar.top + (bar.bottom - 1 - bar.top - height) / 2;
    return RECT{left, top, left + width, top + height};
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
