// One logical drive as the last refresh found it, and the ordered list of them.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

// A plain value, copied whole. All zeros before anything is filled in; the
// three byte counts stay 0 unless the size query ran and succeeded for the
// drive. A total of 0 means "no size data".
struct DriveRecord {
    SHFILEINFOW sfi;               // icon, display name, type name from the shell, in UTF-16
    BYTE bShown;                   // 0 or 1: the drive has a row in the view
    uint64_t ulFreeBytesAvailable; // free bytes available to the calling user
    uint64_t ulTotalBytes;         // size of the drive; 0 = no size data
    uint64_t ulTotalFreeBytes;     // free bytes on the drive
    // The root as the platform listed it ("D:\"): the drive's letter and the
    // spec of its type and size queries, whatever shape the shell gives the
    // display name.
    char szRoot[MAX_PATH];
    // The platform's drive type, asked once per refresh; DRIVE_UNKNOWN when
    // it was not asked (A: and B:) or did not answer.
    UINT uDriveType;
    // 1 while the drive's answers are still out. A drive listed before
    // keeps its last record (the best known) meanwhile; a new one has no
    // icon, no name and no size data. Replaced whole when they arrive.
    BYTE bPending;
    // 1 when the user set bShown while the drive's answers were out: the
    // choice stands, and is stored under the name when one arrives.
    BYTE bChosen;
    // The volume's file-system name ("NTFS"), empty when not asked or unknown.
    WCHAR szFileSystem[32];
};

// The drives in the order in which the platform listed their roots.
using DriveList = std::vector<DriveRecord>;

// The drive letter, taken from the root ("D:\" gives "D"); empty for an
// empty root.
std::string DriveLetterOf(const DriveRecord& record);

// What the drive selection dialog lists for a drive: its display name, or
// its root while it has no name.
std::wstring ListedNameOf(const DriveRecord& record);

// The number of records whose bShown is not 0.
int CountShownDrives(const DriveList& drives);
