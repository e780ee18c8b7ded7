#include "drives/DrivePlatform.h"

DWORD DrivePlatform::LogicalDriveStrings(DWORD length, char* buffer) {
    return GetLogicalDriveStringsA(length, buffer);
}

void DrivePlatform::ShellFileInfo(const char* root, SHFILEINFOA* sfi) {
    SHGetFileInfoA(root, 0, sfi, sizeof *sfi, SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
}

BOOL DrivePlatform::DiskFreeSpace(const char* spec, uint64_t* freeBytesAvailable,
                                  uint64_t* totalBytes, uint64_t* totalFreeBytes) {
    // Queried into locals so that a failed call cannot leave partial results
    // in the caller's counts.
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!SHGetDiskFreeSpaceExA(spec, &available, &total, &totalFree))
        return FALSE;
    *freeBytesAvailable = available.QuadPart;
    *totalBytes = total.QuadPart;
    *totalFreeBytes = totalFree.QuadPart;
    return TRUE;
}

UINT DrivePlatform::DriveType(const char* spec) {
    return GetDriveTypeA(spec);
}

void DrivePlatform::ReleaseIcon(HICON icon) {
    if (icon != nullptr)
        DestroyIcon(icon);
}

DrivePlatform& Win32DrivePlatform() {
    static DrivePlatform platform;
    return platform;
}
