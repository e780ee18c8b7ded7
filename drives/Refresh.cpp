#include "drives/Refresh.h"

#include <cstring>
#include <utility>

namespace {
// Room for the roots of all 26 drive letters ("C:\" and a NUL each) and more.
constexpr DWORD kRootBufferSize = 512;
} // namespace

void ReleaseDriveIcons(DriveList& drives, DrivePlatform& platform) {
    for (DriveRecord& record : drives) {
        if (record.sfi.hIcon != nullptr)
            platform.ReleaseIcon(std::exchange(record.sfi.hIcon, nullptr));
    }
}

void RefreshDriveList(DriveList& drives, DrivePlatform& platform,
                      const std::function<int(const char* displayName)>& storedShownFlag,
                      const std::function<bool(const std::string& spec)>& isUpdatable) {
    // Each refresh gets new icon handles from the shell; the old ones would
    // otherwise stay allocated for the life of the process.
    ReleaseDriveIcons(drives, platform);
    DriveList().swap(drives);

    // The last character stays NUL whatever the platform writes, so the walk
    // below cannot run past the buffer.
    char roots[kRootBufferSize] = {};
    const DWORD length = platform.LogicalDriveStrings(kRootBufferSize - 1, roots);
    // 0 is a failure, a larger number the size the list would have needed:
    // either way the buffer holds no list.
    if (length == 0 || length > kRootBufferSize - 1)
        return;

    const char* const end = roots + kRootBufferSize;
    for (const char* root = roots; root < end && *root != '\0'; root += std::strlen(root) + 1) {
        DriveRecord record;
        std::memset(&record, 0, sizeof record);
        platform.ShellFileInfo(root, &record.sfi);
        // The names are read as C strings from here on.
        record.sfi.szDisplayName[sizeof record.sfi.szDisplayName - 1] = '\0';
        record.sfi.szTypeName[sizeof record.sfi.szTypeName - 1] = '\0';

        record.bShown = storedShownFlag(record.sfi.szDisplayName) != 0 ? 1 : 0;
        if (record.bShown) {
            const std::string spec = DriveSpecOf(record.sfi.szDisplayName);
            if (isUpdatable(spec))
                platform.DiskFreeSpace(spec.c_str(), &record.ulFreeBytesAvailable,
                                       &record.ulTotalBytes, &record.ulTotalFreeBytes);
        }
        drives.push_back(record);
    }
}
