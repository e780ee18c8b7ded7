#include "drives/UpdatePolicy.h"

bool IsDriveUpdatable(const std::string& spec, BOOL viewFloppies, BOOL viewRemoveables,
                      DrivePlatform& platform) {
    // A: and B: are the floppy letters whatever is mapped to them; asking
    // their type could already touch a slow empty drive.
    if (spec == "A:" || spec == "B:")
        return viewFloppies != 0;
    if (platform.DriveType(spec.c_str()) != DRIVE_REMOVABLE)
        return true;
    return viewRemoveables != 0;
}

BOOL ToggledFlag(BOOL flag) {
    return flag == 0 ? TRUE : FALSE;
}
