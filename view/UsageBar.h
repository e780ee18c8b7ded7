// GDI rendering of the usage bar and of the grey placeholder box that covers
// the bar of a drive without size data.
#pragma once

#include <windows.h>

#include <cstdint>

// Draws a cx × cy bar at (x, y): the label (`format` printed with the
// percentage value × 100 ÷ max) centred in `font`, columns 0 to the fill
// column in the target's text colour with the label in its background colour,
// the rest the other way round. The bar is composed in a one-bit memory image
// and reaches the target in one block transfer; the target's colours, modes
// and selected objects are left as they were. Draws nothing when cx or cy is
// not positive.
void DrawUsageBar(HDC target, HGDIOBJ font, int x, int y, int cx, int cy, uint32_t value,
                  uint32_t max, const char* format);

// The colours of a bar and of the box over a bar without figures.
struct BarColours {
    COLORREF usedFill;            // the filled columns
    COLORREF usedText;            // the label's pixels over them
    COLORREF restFill;            // the columns right of the fill
    COLORREF restText;            // the label's pixels over those
    COLORREF frame = CLR_INVALID; // a one-pixel frame on the bar's edge; CLR_INVALID for none
    COLORREF box;                 // the grayed box laid over a bar without figures
};

// DrawUsageBar in `colours` instead of the target's two: one block transfer
// where the label is drawn in the other part's fill colour (as DrawUsageBar
// draws it), one per part otherwise. The target's colours are left as they were.
// The frame is not drawn here (see DrawBarFrame).
void DrawColouredBar(HDC target, HGDIOBJ font, const RECT& bar, uint32_t value, uint32_t max,
                     const char* format, const BarColours& colours);

// The one-pixel frame of `colours` on the edge of `bar`; nothing without one.
void DrawBarFrame(HDC target, const RECT& bar, const BarColours& colours);

// Where the label `text` in `font` lies inside `bar` as the bar centres it.
RECT BarLabelRect(HDC target, HGDIOBJ font, const RECT& bar, const char* text);

// Brush arguments of DrawPlaceholderBox that stand for the stock grey brushes.
inline const HBRUSH kPlaceholderLightGrey = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(-2));
inline const HBRUSH kPlaceholderDarkGrey = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(-1));

// Lays `brush` in the platform's grayed pattern over the box from (x, y) to
// (x2, y2), through GrayStringA and PlaceholderOutputProc. Returns the result
// of GrayStringA; FALSE without drawing for an empty box.
BOOL DrawPlaceholderBox(HDC target, HBRUSH brush, int x, int y, int x2, int y2);

// GrayStringA's output callback for the box: data points at the box's four
// coordinates {x, y, x2, y2}; draws one rectangle from (0, 0) to (x2, y2).
BOOL CALLBACK PlaceholderOutputProc(HDC dc, LPARAM data, int count);
