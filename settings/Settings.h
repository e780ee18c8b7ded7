// The user's choices kept in the profile: the two view options (section
// "Init") and one shown flag per drive display name (section "Drives").
#pragma once

#include "drives/DriveRecord.h"

#include <windows.h>

// direction 0 (load): reads "ViewFloppies" and "ViewRemoveables" (default 1
// each) unchanged into the two flags; the drives' flags are not read here
// (see StoredShownFlag). direction 1 (save): writes each record's bShown under
// its display name, in list order, then the two flags.
void ExchangeSettings(int direction, DriveList& drives, BOOL& viewFloppies, BOOL& viewRemoveables);

// The shown flag stored for a drive's display name; 1 when none is stored.
int StoredShownFlag(const char* displayName);
