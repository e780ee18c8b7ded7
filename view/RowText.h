// The texts a drive's row gives beyond what it paints: the details shown in
// its tooltip and read as its accessible description, and the shown drives
// as plain text for the clipboard. Pure functions of the records and the
// source's state of each, so they are testable without a window.
#pragma once

#include "drives/DriveSource.h"

#include <string>

// What a row says of a drive without figures: "no media", "not queried",
// "waiting", "not responding"; empty for a drive with figures.
std::wstring StateWords(DriveState state);

// Three lines: the display name ("DATA (D:)"); the shell's type name and the
// file system when known ("Local Disk, NTFS"); the figures ("Total 931.51GB,
// used 576.67GB (62%), free 354.84GB"), or the state's words for a drive
// without figures.
std::wstring RowDetails(const DriveRecord& record, DriveState state);

// True when RowDetails says the same of both, without making either text.
bool SameRowDetails(const DriveRecord& before, DriveState beforeState, const DriveRecord& after,
                    DriveState afterState);

// The shown drives in row order as tab-separated lines under a header line
// ("Drive\tName\tTotal\tUsed\tFree\tUsed %"), each line ended by CR LF. A
// drive without figures has empty amounts and its state's words in the last
// column.
std::wstring ShownDrivesText(DriveSource& source);
