// The keyboard's focus row of the drive view: the rules for moving it among
// the shown rows, for scrolling it into view and for finding it again by its
// drive's root after the list changed. Pure functions, testable without a
// window; indices count shown rows only.
#pragma once

#include "drives/DriveRecord.h"
#include "view/RowLayout.h"

#include <string>

// Where `key` moves the focus row from `index` among `count` rows: Up and
// Down by one, Page Up and Page Down by `pageRows`, Home and End to the first
// and the last, clamped to the rows. -1 when `key` does not move it or there
// are no rows.
int MovedFocusRow(UINT key, int index, int count, int pageRows);

// The rows wholly visible in a client area `clientHeight` high: at least one.
int WhollyVisibleRows(int clientHeight, const RowMetrics& metrics);

// The scroll position at which row `index` shows whole: `scrollPos` when it
// already does, else the nearest position that does (the platform clamps it
// into the scroll range).
int ScrollPosShowingRow(int index, int scrollPos, int clientHeight, const RowMetrics& metrics);

// The row of the shown drive with root `root`; when no shown drive has it,
// `fallback` clamped to the shown rows. -1 when no drive is shown.
int ShownRowOfRoot(const DriveList& drives, const std::string& root, int fallback);

// The index in `drives` of shown row `row`; -1 when there is none.
int RecordOfShownRow(const DriveList& drives, int row);
