// The platform calls that a drive list needs, made directly: the drive roots,
// then per root the shell's icon and names and the three byte counts. The
// bare start-up program and the refresh benchmark both use them as the floor.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace bare {

struct Drive {
    char root[4]{}; // "C:\\"
    SHFILEINFOA sfi{};
    ULARGE_INTEGER available{}, total{}, free{};
};

inline std::vector<Drive> QueryDrives() {
    std::vector<Drive> drives;
    char roots[512] = {};
    const DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
    if (length == 0 || length >= sizeof roots)
        return drives;
    for (const char* root = roots; *root != '\0'; root += lstrlenA(root) + 1) {
        Drive drive;
        lstrcpynA(drive.root, root, sizeof drive.root);
        SHGetFileInfoA(root, 0, &drive.sfi, sizeof drive.sfi,
                       SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
        SHGetDiskFreeSpaceExA(root, &drive.available, &drive.total, &drive.free);
        drives.push_back(drive);
    }
    return drives;
}

inline void ReleaseIcons(const std::vector<Drive>& drives) {
    for (const Drive& drive : drives)
        if (drive.sfi.hIcon != nullptr)
            DestroyIcon(drive.sfi.hIcon);
}

} // namespace bare
