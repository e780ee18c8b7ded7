// What the drive view and the drive selection dialog need of the drive
// catalogue: the list and the update policy's answer for a record. Answering
// never calls the platform, so painting cannot wait for a drive.
#pragma once

#include "drives/DriveRecord.h"
#include "drives/FreeSpaceWatch.h"

#include <optional>

// What a row can say about a drive's size.
enum class DriveState {
    Sized,         // its figures are known
    NoMedia,       // it answered and has no size (light box)
    NotQueried,    // its update option is off (dark box)
    Waiting,       // no figures known yet, its answer is out
    NotResponding, // its call has been out too long; figures known or not
};

// What the warnings say of a drive with figures.
struct DriveOutlook {
    bool nearlyFull = false;
    bool marked = false; // nearly full, and the user wants such rows in red
    std::optional<FreeTrend> trend;
};

class DriveSource {
public:
    virtual DriveList& Drives() = 0;
    // True when the drive may be queried for its size: the light box of a
    // drive without size data, not the dark one.
    virtual bool IsDriveUpdatable(const DriveRecord& record) const = 0;

    // The state of a record of this source. Answered from the record and
    // what the source knows of the drive's call, never from the platform.
    virtual DriveState StateOf(const DriveRecord& record) const {
        if (record.ulTotalBytes != 0)
            return DriveState::Sized;
        if (!IsDriveUpdatable(record))
            return DriveState::NotQueried;
        return record.bPending ? DriveState::Waiting : DriveState::NoMedia;
    }

    // True while the list is not settled: some drive's answer is out or
    // waiting to be applied.
    virtual bool Busy() const { return false; }

    // The warnings' view of a record; nothing said by default.
    virtual DriveOutlook OutlookOf(const DriveRecord&) const { return {}; }

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
