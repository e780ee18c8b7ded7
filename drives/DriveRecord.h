// One logical drive as the last refresh found it, and the ordered list of them.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A plain value, copied whole. All zeros before anything is filled in; the
// three byte counts stay 0 unless the size query ran and succeeded at the
// last refresh. A total of 0 means "no size data".
struct DriveRecord {
    SHFILEINFOA sfi;               // icon, display name, type name from the shell
    BYTE bShown;                   // 0 or 1: the drive has a row in the view
    uint64_t ulFreeBytesAvailable; // free bytes available to the calling user
    uint64_t ulTotalBytes;         // size of the drive; 0 = no size data
    uint64_t ulTotalFreeBytes;     // free bytes on the drive
};

// The drives in the order in which the platform listed their roots.
using DriveList = std::vector<DriveRecord>;

// The drive spec ("C:") and the drive letter ("C") from the tail of a display
// name such as "Local Disk (C:)": the characters starting three before the
// end (clamped to the start of the name). The shape is not checked.
std::string DriveSpecOf(std::string_view displayName);
std::string DriveLetterOf(std::string_view displayName);

// The number of records whose bShown is not 0.
int CountShownDrives(const DriveList& drives);
