#include "settings/Settings.h"

#include "framework/WinApp.h"
#include "settings/ProfileSection.h"

namespace {
constexpr char kInitSection[] = "Init";
constexpr char kDrivesSection[] = "Drives";
} // namespace

void ExchangeSettings(Direction direction, DriveList& drives, BOOL& viewFloppies,
                      BOOL& viewRemoveables, BOOL* autoUpdate) {
    ProfileSection section(direction, kInitSection);
    section.SetSection(kDrivesSection);
    // Shown flags are only written here; each refresh reads them per drive.
    if (direction == Direction::Save) {
        for (const DriveRecord& record : drives) {
            int shown = record.bShown;
            if (record.sfi.szDisplayName[0] != '\0')
                section.ExchangeInt(record.sfi.szDisplayName, 1, &shown);
        }
    }
    section.SetSection(kInitSection);
    section.ExchangeInt("ViewFloppies", 1, &viewFloppies);
    section.ExchangeInt("ViewRemoveables", 1, &viewRemoveables);
    if (autoUpdate != nullptr)
        section.ExchangeInt("AutoUpdate", 1, autoUpdate);
}

void StoreShownFlag(const wchar_t* displayName, int shown) {
    if (displayName[0] != '\0')
        ProfileSection(Direction::Save, kDrivesSection).ExchangeInt(displayName, 1, &shown);
}

std::function<int(const wchar_t* displayName)> ShownFlagReader() {
    const CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_strRegistryKey.empty())
        return [](const wchar_t*) { return 1; };
    return [path = app->ApplicationKeyPath() + "\\" + kDrivesSection](const wchar_t* displayName) {
        return TryReadProfileInt(path, displayName).value_or(1);
    };
}
