// The user's choices kept in the profile: the two view options (section
// "Init") and one shown flag per drive display name (section "Drives"). A
// display name is an entry name as it is, in any script; one that the ANSI
// code page can represent names the same entry as ever.
#pragma once

#include "drives/DriveRecord.h"
#include "settings/ProfileSection.h"

#include <windows.h>

#include <functional>

// Load: reads "ViewFloppies" and "ViewRemoveables" (default 1 each)
// unchanged into the two flags; the drives' flags are not read here (see
// ShownFlagReader). Save: writes each record's bShown under its display name,
// in list order, then the two flags. A record without a name has no entry:
// an empty name is never stored.
// With `autoUpdate`, "AutoUpdate" (default 1) is exchanged after them the
// same way.
void ExchangeSettings(Direction direction, DriveList& drives, BOOL& viewFloppies,
                      BOOL& viewRemoveables, BOOL* autoUpdate = nullptr);

// Stores one drive's shown flag under its display name; an empty name is
// not stored.
void StoreShownFlag(const wchar_t* displayName, int shown);

// Reads the shown flag stored for a display name, 1 when none is stored. The
// reader owns the path it reads, so it may run on any thread and outlive the
// application object.
std::function<int(const wchar_t* displayName)> ShownFlagReader();
