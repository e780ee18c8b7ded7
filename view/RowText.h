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
// A nearly-full drive's figures end with ", nearly full"; a drive with a
// trend gets a fourth line, its ChangeLine.
std::wstring RowDetails(const DriveRecord& record, DriveState state,
                        const DriveOutlook& outlook = {});

// What the notification of a nearly-full drive says: "195.31MB free of
// 3.81GB (95% used)".
std::wstring NearlyFullText(const DriveRecord& record);

// A time to come in whole units, rounded: "less than a minute", "about
// 1 minute", "about 40 minutes", "about 5 hours", "about 12 days".
std::wstring ForecastWords(int64_t seconds);

// An amount of bytes with its sign, in the free space's units: "-1.20GB".
std::wstring SignedAmountText(double bytes);

// The change over the span fitted and the forecast when there is one:
// "-1.20GB in the last 3 hours, full in about 12 days".
std::wstring ChangeLine(const FreeTrend& trend);

// True when RowDetails says the same of both, without making either text.
bool SameRowDetails(const DriveRecord& before, DriveState beforeState, const DriveRecord& after,
                    DriveState afterState);

// The shown drives in row order as tab-separated lines under a header line
// ("Drive\tName\tTotal\tUsed\tFree\tUsed %\tChange/day\tFull in"), each line
// ended by CR LF. A drive without figures has empty amounts and its state's
// words in the "Used %" column; the last two are empty without a trend and
// without a forecast.
std::wstring ShownDrivesText(DriveSource& source);
