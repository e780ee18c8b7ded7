// Paints the drive view's rows into any drawing context: the view's paint
// context, or a memory context in tests and benchmarks.
#pragma once

#include "drives/DriveSource.h"
#include "framework/PaintDC.h"
#include "view/RowLayout.h"

// One row of `record`: icon, letter (grayed without figures shown), usage
// bar, the grey box over the bar of a row without figures (dark grey in the
// row's state NotQueried, light grey in the others, labelled with the
// state's word), and the free-space text. Letter and free space are in the window text
// colour. Leaves the context's text and background colours as they were; its
// background mode ends TRANSPARENT.
// The icon is drawn at the row's icon size; the bar label in `labelFont`.
// The bar's colours follow `look` (BarColoursFor): under high contrast the
// box leaves the label's words clear and the bar gets its frame.
void PaintDriveRow(CDC& dc, const RowLayout& row, const DriveRecord& record,
                   const DriveSource& source, HGDIOBJ labelFont, const SystemLook& look = {});

// Every shown record of source's list in list order, each in the state the
// source gives it; hidden records leave no gap. Rows outside the context's clip region are drawn
// and clipped. `font` is the system font made for the metrics' DPI, or null where the stock one
// fits: the letter and the free space are then drawn in the context's own
// font and the bar label in the stock system font. With `visibleIn`, the
// rows none of whose pitch is visible in that context are skipped (a paint
// context: the rows outside the update region). Returns the rows painted.
int PaintDriveRows(CDC& dc, DriveSource& source, int scrollPos, int clientWidth,
                   const RowMetrics& metrics, HFONT font = nullptr, const SystemLook& look = {},
                   HDC visibleIn = nullptr);
