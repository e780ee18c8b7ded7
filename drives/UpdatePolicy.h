// Which drives are queried for their size, steered by the two view options.
#pragma once

#include <windows.h>

// The view options; any non-zero value counts as on.
struct UpdateOptions {
    BOOL viewFloppies = TRUE;    // the drives A: and B: are queried
    BOOL viewRemoveables = TRUE; // other removable drives are queried
    BOOL autoUpdate = TRUE;      // the free space of fixed and network drives is polled
};

// Whether the policy needs the drive type of the drive with this letter:
// not for A: and B:, whose type could already touch a slow empty drive.
bool NeedsDriveType(char letter);

// "A" and "B" (exact, case-sensitive) follow viewFloppies whatever their
// type; any other drive of type DRIVE_REMOVABLE follows viewRemoveables;
// every other drive, one of unknown type included, is always updatable.
bool IsDriveUpdatable(char letter, UINT driveType, const UpdateOptions& options);

// The value of a view option after its toggle: 1 from 0, 0 from anything else.
BOOL ToggledFlag(BOOL flag);
