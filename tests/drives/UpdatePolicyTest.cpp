// Which drives may be queried for their size.
#include "drives/UpdatePolicy.h"
#include "tests/drives/ScriptedDrivePlatform.h"

#include <gtest/gtest.h>

namespace {
using Strings = std::vector<std::string>;

TEST(UpdatePolicyTest, FloppyLettersFollowTheFloppyOptionWithoutATypeQuery) {
    ScriptedDrivePlatform platform;
    // Whatever is mapped to B:, a network share here, it is a floppy letter.
    platform.drives = {{"A:\\", "A", DRIVE_REMOVABLE}, {"B:\\", "B", DRIVE_REMOTE}};
    for (const char* spec : {"A:", "B:"}) {
        EXPECT_TRUE(IsDriveUpdatable(spec, TRUE, FALSE, platform)) << spec;
        EXPECT_TRUE(IsDriveUpdatable(spec, 5, FALSE, platform)) << spec;
        EXPECT_FALSE(IsDriveUpdatable(spec, FALSE, TRUE, platform)) << spec;
    }
    EXPECT_TRUE(platform.typeSpecs.empty());
}

TEST(UpdatePolicyTest, OtherRemovableDrivesFollowTheRemovableOption) {
    ScriptedDrivePlatform platform;
    platform.drives = {{"E:\\", "E", DRIVE_REMOVABLE}, {"a:\\", "a", DRIVE_REMOVABLE}};
    EXPECT_TRUE(IsDriveUpdatable("E:", FALSE, TRUE, platform));
    EXPECT_TRUE(IsDriveUpdatable("E:", FALSE, -1, platform));
    EXPECT_FALSE(IsDriveUpdatable("E:", TRUE, FALSE, platform));
    // The floppy letters are compared exactly: a lower-case spec is typed.
    EXPECT_FALSE(IsDriveUpdatable("a:", TRUE, FALSE, platform));
    EXPECT_TRUE(IsDriveUpdatable("a:", FALSE, TRUE, platform));
    EXPECT_EQ(platform.typeSpecs, (Strings{"E:", "E:", "E:", "a:", "a:"}));
}

TEST(UpdatePolicyTest, EveryOtherTypeIsAlwaysUpdatable) {
    ScriptedDrivePlatform platform;
    platform.drives = {{"C:\\", "C", DRIVE_FIXED},   {"F:\\", "F", DRIVE_CDROM},
                       {"N:\\", "N", DRIVE_REMOTE},  {"R:\\", "R", DRIVE_RAMDISK},
                       {"U:\\", "U", DRIVE_UNKNOWN}, {"V:\\", "V", DRIVE_NO_ROOT_DIR}};
    for (const char* spec : {"C:", "F:", "N:", "R:", "U:", "V:", "W:", ""})
        EXPECT_TRUE(IsDriveUpdatable(spec, FALSE, FALSE, platform)) << spec;
}

TEST(UpdatePolicyTest, ToggleGivesOneOnlyFromZero) {
    EXPECT_EQ(ToggledFlag(0), 1);
    EXPECT_EQ(ToggledFlag(1), 0);
    EXPECT_EQ(ToggledFlag(5), 0);
    EXPECT_EQ(ToggledFlag(-1), 0);
    EXPECT_EQ(ToggledFlag(ToggledFlag(1)), 1);
}
} // namespace
