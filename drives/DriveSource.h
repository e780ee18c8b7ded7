// What the drive view and the drive selection dialog need of the drive
// catalogue: the list and the update policy's answer for a record. Answering
// never calls the platform, so painting cannot wait for a drive.
#pragma once

#include "drives/DriveRecord.h"

class DriveSource {
public:
    virtual DriveList& Drives() = 0;
    // True when the drive may be queried for its size: the light box of a
    // drive without size data, not the dark one.
    virtual bool IsDriveUpdatable(const DriveRecord& record) const = 0;

    int CountShownDrives() { return ::CountShownDrives(Drives()); }
    // Sets bShown of record `index` as the user chose it. A choice made for
    // a drive whose name has not arrived is kept for when it arrives.
    void SetShown(size_t index, bool shown) {
        DriveRecord& record = Drives()[index];
        const BYTE value = shown ? 1 : 0;
        if (record.bShown == value)
            return;
        record.bShown = value;
        if (record.bPending)
            record.bChosen = 1;
    }

protected:
    ~DriveSource() = default;
};
