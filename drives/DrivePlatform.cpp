#include "drives/DrivePlatform.h"

#include <string>

DWORD DrivePlatform::LogicalDriveStrings(DWORD length, char* buffer) {
    return GetLogicalDriveStringsA(length, buffer);
}

void DrivePlatform::ShellFileInfo(const char* root, SHFILEINFOW* sfi) {
    // Called on worker threads without a COM apartment of their own: an
    // apartment per worker makes concurrent calls wait for each other under
    // Wine, and a drive root needs none.
    const std::string text(root);
    const std::wstring wide(text.begin(), text.end()); // "D:\" is plain ASCII
    SHGetFileInfoW(wide.c_str(), 0, sfi, sizeof *sfi,
                   SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
}

BOOL DrivePlatform::DiskFreeSpace(const char* root, uint64_t* freeBytesAvailable,
                                  uint64_t* totalBytes, uint64_t* totalFreeBytes) {
    // Queried into locals so that a failed call cannot leave partial results
    // in the caller's counts.
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!SHGetDiskFreeSpaceExA(root, &available, &total, &totalFree))
        return FALSE;
    *freeBytesAvailable = available.QuadPart;
    *totalBytes = total.QuadPart;
    *totalFreeBytes = totalFree.QuadPart;
    return TRUE;
}

UINT DrivePlatform::DriveType(const char* root) {
    return GetDriveTypeA(root);
}

void DrivePlatform::ReleaseIcon(HICON icon) {
    if (icon != nullptr)
        DestroyIcon(icon);
}

std::shared_ptr<DrivePlatform> Win32DrivePlatform() {
    static const auto platform = std::make_shared<DrivePlatform>();
    return platform;
}
