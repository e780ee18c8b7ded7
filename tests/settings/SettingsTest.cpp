// The view options and the drives' shown flags in the real registry, under a
// test-only company key.
#include "drives/DriveCatalogue.h"
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "settings/ProfileSection.h"
#include "settings/Settings.h"
#include "tests/drives/ScriptedDrivePlatform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {
constexpr char kCompanyKey[] = "Software\\VelmoraTestSettings";
constexpr char kAppKey[] = "Software\\VelmoraTestSettings\\Tovemar";
using Values = std::map<std::string, DWORD>;

DriveRecord Record(const char* name, BYTE shown) {
    DriveRecord record;
    std::memset(&record, 0, sizeof record);
    tov::Widen(name).copy(record.sfi.szDisplayName, std::size(record.sfi.szDisplayName) - 1);
    record.bShown = shown;
    return record;
}

bool KeyExists(const std::string& path) {
    tov::UniqueHKey key;
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Every value of a key with its DWORD content; a value of another type or
// size is recorded as 0xFFFFFFFF.
Values ValuesOf(const std::string& path) {
    Values values;
    tov::UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[300];
        DWORD nameLength = sizeof name, type = 0, data = 0, size = sizeof data;
        if (RegEnumValueA(key.get(), i, name, &nameLength, nullptr, &type,
                          reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
            break;
        values[name] = type == REG_DWORD && size == 4 ? data : 0xFFFFFFFF;
    }
    return values;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
        app.SetRegistryKey("VelmoraTestSettings");
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey); }

    CWinApp app{"Tovemar"};
};

TEST_F(SettingsTest, FirstRunLoadsDefaultsAndWritesNothing) {
    DriveList drives{Record("Local Disk (C:)", 0)};
    BOOL floppies = 0, removables = 7;
    ExchangeSettings(Direction::Load, drives, floppies, removables);
    EXPECT_EQ(floppies, 1);
    EXPECT_EQ(removables, 1);
    EXPECT_EQ(ShownFlagReader()(L"Local Disk (C:)"), 1);
    EXPECT_EQ(drives[0].bShown, 0); // a load does not touch the records
    EXPECT_FALSE(KeyExists(kCompanyKey));
}

TEST_F(SettingsTest, LoadTakesStoredIntegersUnchangedAndReadsNoDrives) {
    ASSERT_TRUE(app.WriteProfileInt("Init", "ViewRemoveables", 5));
    ASSERT_TRUE(app.WriteProfileInt("Drives", "Local Disk (C:)", 0));
    DriveList drives{Record("Local Disk (C:)", 1)};
    BOOL floppies = 0, removables = 1;
    ExchangeSettings(Direction::Load, drives, floppies, removables);
    EXPECT_EQ(floppies, 1);
    EXPECT_EQ(removables, 5);
    EXPECT_EQ(drives[0].bShown, 1);
    EXPECT_EQ(ValuesOf(std::string(kAppKey) + "\\Init"), (Values{{"ViewRemoveables", 5}}));
}

TEST_F(SettingsTest, SaveWritesEveryRecordThenBothFlags) {
    DriveList drives{
        Record("Local Disk (C:)", 1), Record("DATA (D:)", 0), Record("", 1),
        Record("Twin (E:)", 1),       Record("Twin (E:)", 0), Record("3\xBD Floppy (A:)", 1)};
    BOOL floppies = 0, removables = 5;
    ExchangeSettings(Direction::Save, drives, floppies, removables);

    // The later of two records with the same name decides its entry; a
    // record without a name has none. A name the ANSI code page holds names
    // the entry it always named.
    EXPECT_EQ(
        ValuesOf(std::string(kAppKey) + "\\Drives"),
        (Values{
            {"Local Disk (C:)", 1}, {"DATA (D:)", 0}, {"Twin (E:)", 0}, {"3\xBD Floppy (A:)", 1}}));
    StoreShownFlag(L"", 0);
    StoreShownFlag(L"DATA (D:)", 1);
    EXPECT_EQ(
        ValuesOf(std::string(kAppKey) + "\\Drives"),
        (Values{
            {"Local Disk (C:)", 1}, {"DATA (D:)", 1}, {"Twin (E:)", 0}, {"3\xBD Floppy (A:)", 1}}));
    EXPECT_EQ(ValuesOf(std::string(kAppKey) + "\\Init"),
              (Values{{"ViewFloppies", 0}, {"ViewRemoveables", 5}}));
    EXPECT_EQ(floppies, 0);
    EXPECT_EQ(removables, 5);
}

TEST_F(SettingsTest, SaveOfAnEmptyListWritesOnlyInit) {
    DriveList drives;
    BOOL floppies = 1, removables = 1;
    ExchangeSettings(Direction::Save, drives, floppies, removables);
    EXPECT_FALSE(KeyExists(std::string(kAppKey) + "\\Drives"));
    EXPECT_EQ(ValuesOf(std::string(kAppKey) + "\\Init"),
              (Values{{"ViewFloppies", 1}, {"ViewRemoveables", 1}}));
}

TEST_F(SettingsTest, SaveThenRefreshRestoresTheShownSet) {
    const auto platformPtr = std::make_shared<ScriptedDrivePlatform>();
    ScriptedDrivePlatform& platform = *platformPtr;
    platform.drives = {{"C:\\", "Local Disk (C:)"},
                       {"D:\\", "DATA (D:)"},
                       {"E:\\", "Twin (E:)"},
                       {"F:\\", "Twin (E:)"}};
    DriveCatalogue catalogue(platformPtr, std::chrono::seconds(10));
    DriveList& drives = catalogue.Drives();
    const auto refresh = [&] { catalogue.Refresh(ShownFlagReader()); };
    refresh();
    drives[1].bShown = 0;
    drives[3].bShown = 0; // the later twin decides: both are hidden after the refresh
    BOOL floppies = 1, removables = 1;
    ExchangeSettings(Direction::Save, drives, floppies, removables);

    // D: is relabelled and comes back as a new, shown name; its old hidden
    // entry stays and applies again when the old name returns.
    platform.drives[1].displayName = "BACKUP (D:)";
    refresh();
    std::vector<int> shown;
    for (const DriveRecord& r : drives)
        shown.push_back(r.bShown);
    EXPECT_EQ(shown, (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(ShownFlagReader()(L"DATA (D:)"), 0);

    platform.drives[1].displayName = "DATA (D:)";
    refresh();
    EXPECT_EQ(drives[1].bShown, 0);
}

TEST_F(SettingsTest, ProfileSectionExchangesInItsDirectionAndSection) {
    ProfileSection section;
    EXPECT_EQ(section.m_bSave, 0);
    EXPECT_EQ(section.m_strSection, "Init");

    int value = 42;
    EXPECT_EQ(section.ExchangeInt("Answer", 9, &value), 9);
    EXPECT_EQ(value, 9);

    section.SetDirection(Direction::Save);
    section.SetSection("Other");
    value = 42;
    EXPECT_NE(section.ExchangeInt("Answer", 9, &value), 0);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(app.GetProfileInt("Other", "Answer", 0), 42u);
    EXPECT_EQ(app.GetProfileInt("Init", "Answer", 0), 0u);

    ProfileSection loader(Direction::Load, "Other");
    value = 0;
    EXPECT_EQ(loader.ExchangeInt("Answer", 9, &value), 42);
    EXPECT_EQ(value, 42);
}

TEST(ProfileSectionWithoutAppTest, NoApplicationMeansDefaultsAndNoWrites) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    int value = 3;
    EXPECT_EQ(ProfileSection(Direction::Save, "Init").ExchangeInt("ViewFloppies", 1, &value), 0);
    EXPECT_EQ(ProfileSection(Direction::Load, "Init").ExchangeInt("ViewFloppies", 1, &value), 1);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(ShownFlagReader()(L"Local Disk (C:)"), 1);
}
} // namespace
