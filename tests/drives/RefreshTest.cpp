// Rebuilding the drive list against a scripted platform.
#include "drives/Refresh.h"
#include "drives/UpdatePolicy.h"
#include "tests/drives/ScriptedDrivePlatform.h"

#include <gtest/gtest.h>

#include <map>

namespace {
using Strings = std::vector<std::string>;
constexpr uint64_t GB = 1ull << 30;

class RefreshTest : public ::testing::Test {
protected:
    // Refreshes with the flags in `stored` (default 1) and the real update
    // policy over the scripted drive types.
    void Refresh(BOOL viewFloppies = TRUE, BOOL viewRemoveables = TRUE) {
        RefreshDriveList(
            list, platform,
            [this](const char* name) {
                lookups.emplace_back(name);
                const auto it = stored.find(name);
                return it != stored.end() ? it->second : 1;
            },
            [&](const std::string& spec) {
                return IsDriveUpdatable(spec, viewFloppies, viewRemoveables, platform);
            });
    }
    Strings Names() const {
        Strings names;
        for (const DriveRecord& r : list)
            names.emplace_back(r.sfi.szDisplayName);
        return names;
    }

    ScriptedDrivePlatform platform;
    std::map<std::string, int> stored;
    Strings lookups;
    DriveList list;
};

TEST_F(RefreshTest, KeepsThePlatformOrderAndFillsEachRecord) {
    platform.drives = {{"D:\\", "DATA (D:)", DRIVE_FIXED, true, 100 * GB, 40 * GB},
                       {"A:\\", "Floppy (A:)", DRIVE_REMOVABLE, true, 1440 * 1024, 1024},
                       {"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 3 * GB, 2 * GB}};
    Refresh();

    EXPECT_EQ(Names(), (Strings{"DATA (D:)", "Floppy (A:)", "Local Disk (C:)"}));
    EXPECT_EQ(platform.infoRoots, (Strings{"D:\\", "A:\\", "C:\\"}));
    EXPECT_EQ(lookups, Names());
    EXPECT_EQ(platform.sizeSpecs, (Strings{"D:", "A:", "C:"}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].ulTotalBytes, 100 * GB);
    EXPECT_EQ(list[0].ulTotalFreeBytes, 40 * GB);
    EXPECT_EQ(list[0].ulFreeBytesAvailable, 40 * GB);
    EXPECT_EQ(list[1].sfi.szTypeName, std::string("Removable Disk"));
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].bShown, 1) << i;
        EXPECT_EQ(list[i].sfi.hIcon, platform.handedOut[i]) << i;
    }
}

TEST_F(RefreshTest, HiddenAndNotUpdatableDrivesAreNeverSizeQueried) {
    platform.drives = {{"A:\\", "Floppy (A:)", DRIVE_REMOVABLE, true, 1024, 512},
                       {"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, GB, GB},
                       {"E:\\", "Stick (E:)", DRIVE_REMOVABLE, true, GB, GB},
                       {"N:\\", "Share (N:)", DRIVE_REMOTE, true, GB, GB}};
    stored = {{"Local Disk (C:)", 0}, {"Share (N:)", 5}};
    Refresh(FALSE, FALSE);

    EXPECT_EQ(platform.sizeSpecs, (Strings{"N:"}));
    // The type is asked for shown drives other than A: and B: only.
    EXPECT_EQ(platform.typeSpecs, (Strings{"E:", "N:"}));
    // Every drive still gets its shell information and its flag lookup.
    EXPECT_EQ(platform.infoRoots.size(), 4u);
    EXPECT_EQ(lookups.size(), 4u);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].bShown, 0);
    EXPECT_EQ(list[3].bShown, 1); // a stored 5 counts as shown and is normalised
    for (int i : {0, 1, 2})
        EXPECT_EQ(list[i].ulTotalBytes + list[i].ulTotalFreeBytes + list[i].ulFreeBytesAvailable,
                  0u);
    EXPECT_EQ(list[3].ulTotalBytes, GB);
}

TEST_F(RefreshTest, FlagsAreKeyedByTheWholeDisplayName) {
    // Two drives with the same name share an entry; a relabelled volume is a
    // new name and shows by default while its old entry is left alone.
    platform.drives = {{"C:\\", "Twin (C:)"}, {"D:\\", "Twin (C:)"}, {"E:\\", "NEW (E:)"}};
    stored = {{"Twin (C:)", 0}, {"OLD (E:)", 0}};
    Refresh();

    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].bShown, 0);
    EXPECT_EQ(list[1].bShown, 0);
    EXPECT_EQ(list[2].bShown, 1);
    EXPECT_EQ(lookups, (Strings{"Twin (C:)", "Twin (C:)", "NEW (E:)"}));
}

TEST_F(RefreshTest, FailedShellCallAndShortNamesStillGiveRecords) {
    platform.drives = {
        {"C:\\", std::nullopt}, {"X:\\", "X"}, {"Y:\\", "Y:", DRIVE_FIXED, true, GB, GB}};
    Refresh();

    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].sfi.hIcon, nullptr);
    EXPECT_EQ(Names(), (Strings{"", "X", "Y:"}));
    EXPECT_EQ(lookups, (Strings{"", "X", "Y:"}));
    // The drive spec is whatever the name's tail holds.
    EXPECT_EQ(platform.typeSpecs, (Strings{"", "X", "Y:"}));
    EXPECT_EQ(platform.sizeSpecs, (Strings{"", "X", "Y:"}));
    EXPECT_EQ(list[2].ulTotalBytes, GB);
}

TEST_F(RefreshTest, FailedSizeQueryLeavesZeroCounts) {
    platform.drives = {{"F:\\", "CD Drive (F:)", DRIVE_CDROM, false, GB, GB}};
    Refresh(FALSE, FALSE);
    EXPECT_EQ(platform.sizeSpecs, (Strings{"F:"})); // optical drives are always queried
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].bShown, 1);
    EXPECT_EQ(list[0].ulTotalBytes + list[0].ulTotalFreeBytes + list[0].ulFreeBytesAvailable, 0u);
}

TEST_F(RefreshTest, IconsOfThePreviousListAreReleasedAtEachRefresh) {
    platform.drives = {{"C:\\", "Local Disk (C:)"}, {"D:\\", "DATA (D:)"}};
    Refresh();
    const std::vector<HICON> first = platform.handedOut;
    EXPECT_TRUE(platform.released.empty());

    Refresh();
    EXPECT_EQ(platform.released, first);
    ASSERT_EQ(list.size(), 2u); // rebuilt, not appended to
    EXPECT_EQ(list[0].sfi.hIcon, platform.handedOut[2]);

    // What the owner of the list calls when it goes away.
    ReleaseDriveIcons(list, platform);
    EXPECT_EQ(platform.released, platform.handedOut);
    EXPECT_EQ(list[0].sfi.hIcon, nullptr);
    ReleaseDriveIcons(list, platform); // nothing is released twice
    EXPECT_EQ(platform.released.size(), 4u);
}

TEST_F(RefreshTest, UndeliveredRootListGivesAnEmptyList) {
    platform.drives = {{"C:\\", "Local Disk (C:)"}};
    Refresh();
    ASSERT_EQ(list.size(), 1u);

    for (DWORD result : {DWORD{0}, DWORD{512}, DWORD{4096}}) {
        platform.rootListResult = result;
        Refresh();
        EXPECT_TRUE(list.empty()) << result;
    }
    EXPECT_EQ(platform.infoRoots.size(), 1u);
    EXPECT_EQ(platform.released.size(), 1u); // the old list's icon
    platform.rootListResult.reset();
    platform.drives.clear();
    Refresh();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(platform.infoRoots.size(), 1u);
}

TEST_F(RefreshTest, RootListFillingTheWholeBufferIsReadWithinIt) {
    // 511 characters with no terminating empty string: one root, and the walk
    // stops at the end of the buffer.
    platform.rawRootList = std::string(511, 'x');
    Refresh();
    ASSERT_EQ(platform.infoRoots.size(), 1u);
    EXPECT_EQ(platform.infoRoots[0].size(), 511u);
    EXPECT_EQ(list.size(), 1u);
}

TEST(DriveRecordTest, SpecAndLetterComeFromTheNameTail) {
    EXPECT_EQ(DriveSpecOf("Local Disk (C:)"), "C:");
    EXPECT_EQ(DriveLetterOf("Local Disk (C:)"), "C");
    EXPECT_EQ(DriveSpecOf(""), "");
    EXPECT_EQ(DriveLetterOf(""), "");
    EXPECT_EQ(DriveSpecOf("Q"), "Q");
    EXPECT_EQ(DriveLetterOf("Q"), "Q");
    EXPECT_EQ(DriveSpecOf("Q:"), "Q:");
    EXPECT_EQ(DriveLetterOf("Q:"), "Q");
    EXPECT_EQ(DriveSpecOf("C: Disk"), "is");
}

TEST(DriveRecordTest, CountsShownDrives) {
    DriveList drives(3, DriveRecord{});
    EXPECT_EQ(CountShownDrives({}), 0);
    EXPECT_EQ(CountShownDrives(drives), 0);
    drives[0].bShown = 1;
    drives[2].bShown = 1;
    EXPECT_EQ(CountShownDrives(drives), 2);
}
} // namespace
