// What the drive view and the drive selection dialog need of the window that
// owns the drive list: the list itself and the update policy.
#pragma once

#include "drives/DriveRecord.h"

#include <string>

class DriveSource {
public:
    virtual DriveList& Drives() = 0;
    // True when the drive with this spec ("C:") may be queried for its size.
    virtual bool IsDriveUpdatable(const std::string& spec) = 0;
    int CountShownDrives() { return ::CountShownDrives(Drives()); }

protected:
    ~DriveSource() = default;
};
