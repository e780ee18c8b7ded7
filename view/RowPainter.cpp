#include "view/RowPainter.h"

#include "framework/Handle.h"
#include "view/UsageBar.h"

#include <optional>

void PaintDriveRow(CDC& dc, const RowLayout& row, const DriveRecord& record,
                   const DriveSource& source, HGDIOBJ labelFont, const SystemLook& look) {
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

    // A client area too narrow for a bar gets neither bar nor box.
    if (row.drawBar) {
        const RECT& bar = row.bar;
        const BarColours colours =
            BarColoursFor(row.state, look, row.hasSize && source.OutlookOf(record).marked);
        DrawColouredBar(dc.m_hDC, labelFont, bar, row.barValue, 100, row.barFormat, colours);
        if (!row.hasSize) {
            const tov::UniqueBrush box(CreateSolidBrush(colours.box));
            // Under high contrast the box leaves the words clear, so that
            // they read as plainly as any text of the theme.
            const int saved = look.highContrast ? SaveDC(dc.m_hDC) : 0;
            if (saved != 0) {
                const RECT label = BarLabelRect(dc.m_hDC, labelFont, bar, row.barFormat);
                ExcludeClipRect(dc.m_hDC, label.left - 2, label.top - 1, label.right + 2,
                                label.bottom + 1);
            }
            DrawPlaceholderBox(dc.m_hDC, box.get(), bar.left, bar.top, bar.right, bar.bottom);
            if (saved != 0)
                RestoreDC(dc.m_hDC, saved);
        }
        DrawBarFrame(dc.m_hDC, bar, colours);
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
                   const RowMetrics& metrics, HFONT font, const SystemLook& look, HDC visibleIn) {
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
        PaintDriveRow(dc, row, record, source, labelFont, look);
        ++painted;
    }
    return painted;
}
