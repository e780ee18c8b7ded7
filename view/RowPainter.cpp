#include "view/RowPainter.h"

#include "framework/Handle.h"
#include "view/UsageBar.h"

#include <optional>

void PaintDriveRow(CDC& dc, const RowLayout& row, const DriveRecord& record, const DriveSource&,
                   HGDIOBJ labelFont) {
    // The letter and the free space take the window's text colour over the
    // window colour the view is erased in, as a high-contrast scheme sets
    // them; the context's default black would vanish on a black window.
    const COLORREF textColour = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF windowColour = GetSysColor(COLOR_WINDOW);
    const COLORREF savedText = dc.SetTextColor(textColour);
    const COLORREF savedBack = dc.SetBkColor(windowColour);
    DrawIconEx(dc.m_hDC, row.icon.x, row.icon.y, record.sfi.hIcon, row.iconSize, row.iconSize, 0,
               nullptr, DI_NORMAL);
    dc.SetBkMode(TRANSPARENT);
    if (row.hasSize) {
        dc.TextOut(row.letterOrigin.x, row.letterOrigin.y, row.letter);
    } else {
        // No callback: the platform draws and measures the text itself (width
        // and height 0). The brush is the window-text brush that Windows uses
        // when given none; some platforms take the context's current brush
        // instead, which is white and would make the letter vanish.
        GrayStringA(dc.m_hDC, GetSysColorBrush(COLOR_WINDOWTEXT), nullptr,
                    reinterpret_cast<LPARAM>(row.letter.c_str()),
                    static_cast<int>(row.letter.size()), row.letterOrigin.x, row.letterOrigin.y, 0,
                    0);
    }

    // The bar image takes the context's text and background colours.
    dc.SetTextColor(row.barUsedColour);
    dc.SetBkColor(row.barRestColour);
    // A client area too narrow for a bar gets neither bar nor box.
    if (row.drawBar) {
        const RECT& bar = row.bar;
        DrawUsageBar(dc.m_hDC, labelFont, bar.left, bar.top, bar.right - bar.left,
                     bar.bottom - bar.top, row.barValue, 100, row.barFormat);
        if (!row.hasSize) {
            // The dark box only for a drive the options exclude.
            const bool updatable = row.state != DriveState::NotQueried;
            const auto brush =
                static_cast<HBRUSH>(GetStockObject(updatable ? LTGRAY_BRUSH : DKGRAY_BRUSH));
            DrawPlaceholderBox(dc.m_hDC, brush, bar.left, bar.top, bar.right, bar.bottom);
        }
    }
    dc.SetTextColor(textColour);
    dc.SetBkColor(windowColour);

    if (row.hasSize) {
        RECT cell = row.freeCell;
        dc.DrawText(row.freeText, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    dc.SetTextColor(savedText);
    dc.SetBkColor(savedBack);
}

int PaintDriveRows(CDC& dc, DriveSource& source, int scrollPos, int clientWidth,
                   const RowMetrics& metrics, HFONT font, HDC visibleIn) {
    const HGDIOBJ labelFont = font != nullptr ? font : GetStockObject(SYSTEM_FONT);
    std::optional<tov::SelectGuard> textFont;
    if (font != nullptr)
        textFont.emplace(dc.m_hDC, font);
    const DriveList& drives = source.Drives();
    const size_t count = drives.size();
    int index = 0, painted = 0;
    for (size_t i = 0; i < count; ++i) {
        const DriveRecord& record = drives[i];
        if (record.bShown == 0)
            continue;
        const RowLayout row =
            LayoutRow(index++, scrollPos, clientWidth, record, metrics, source.StateOf(record));
        // Everything of a row lies within one pitch from its top.
        const RECT bounds{0, row.y, clientWidth, row.y + metrics.Scaled(metrics.rowPitch)};
        if (visibleIn != nullptr && !RectVisible(visibleIn, &bounds))
            continue;
        PaintDriveRow(dc, row, record, source, labelFont);
        ++painted;
    }
    return painted;
}
