#include "settings/Settings.h"

#include "settings/ProfileSection.h"

namespace {
constexpr char kInitSection[] = "Init";
constexpr char kDrivesSection[] = "Drives";
} // namespace

void ExchangeSettings(int direction, DriveList& drives, BOOL& viewFloppies, BOOL& viewRemoveables) {
    const BOOL save = direction != 0 ? TRUE : FALSE;
    ProfileSection section(save, kInitSection);
    section.SetSection(kDrivesSection);
    // Shown flags are only written here; each refresh reads them per drive.
    if (save) {
        for (const DriveRecord& record : drives) {
            int shown = record.bShown;
            section.ExchangeInt(record.sfi.szDisplayName, 1, &shown);
        }
    }
    section.SetSection(kInitSection);
    section.ExchangeInt("ViewFloppies", 1, &viewFloppies);
    section.ExchangeInt("ViewRemoveables", 1, &viewRemoveables);
}

int StoredShownFlag(const char* displayName) {
    int shown = 1;
    return ProfileSection(FALSE, kDrivesSection).ExchangeInt(displayName, 1, &shown);
}
