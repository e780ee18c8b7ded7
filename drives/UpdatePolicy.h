// Which drives are queried for their size, steered by the two view options.
#pragma once

#include "drives/DrivePlatform.h"

#include <string>

// "A:" and "B:" (exact, case-sensitive) follow viewFloppies without their
// type being asked; any other drive of type DRIVE_REMOVABLE follows
// viewRemoveables; every other drive, including one whose type query fails,
// is always updatable. Any non-zero flag counts as on.
bool IsDriveUpdatable(const std::string& spec, BOOL viewFloppies, BOOL viewRemoveables,
                      DrivePlatform& platform);

// The value of a view option after its toggle: 1 from 0, 0 from anything else.
BOOL ToggledFlag(BOOL flag);
