#include "drives/UpdatePolicy.h"

bool NeedsDriveType(char letter) {
    return letter != 'A' && letter != 'B';
}

bool IsDriveUpdatable(char letter, UINT driveType, const UpdateOptions& options) {
    // A: and B: are the floppy letters whatever is mapped to them.
    if (!NeedsDriveType(letter))
        return options.viewFloppies != 0;
    if (driveType != DRIVE_REMOVABLE)
        return true;
    return options.viewRemoveables != 0;
}

BOOL ToggledFlag(BOOL flag) {
    return flag == 0 ? TRUE : FALSE;
}
