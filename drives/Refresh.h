// Rebuilding the drive list from the system's drive roots.
#pragma once

#include "drives/DrivePlatform.h"
#include "drives/DriveRecord.h"

#include <functional>
#include <string>

// Empties `drives` (releasing the icons of its records) and appends one record
// per drive root, in the platform's order: the shell's icon, display name and
// type name; bShown = 1 unless storedShownFlag(display name) is 0; and, only
// for a shown drive for which isUpdatable(drive spec) is true, the three byte
// counts. Every other record keeps zero counts. A root list that the platform
// could not deliver leaves the list empty.
void RefreshDriveList(DriveList& drives, DrivePlatform& platform,
                      const std::function<int(const char* displayName)>& storedShownFlag,
                      const std::function<bool(const std::string& spec)>& isUpdatable);

// Releases the icon of every record and clears the handles, so that the
// records can no longer be drawn with a released icon. For the owner of the
// list when it goes away; RefreshDriveList does it for the records it discards.
void ReleaseDriveIcons(DriveList& drives, DrivePlatform& platform = Win32DrivePlatform());
