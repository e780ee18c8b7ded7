// Which drives may be queried for their size.
#include "drives/UpdatePolicy.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdatePolicyTest, FloppyLettersFollowTheFloppyOptionWhateverTheirType) {
    // Whatever is mapped to B:, a network share here, it is a floppy letter.
    for (char letter : {'A', 'B'}) {
        EXPECT_FALSE(NeedsDriveType(letter));
        EXPECT_TRUE(IsDriveUpdatable(letter, DRIVE_REMOTE, {TRUE, FALSE})) << letter;
        EXPECT_TRUE(IsDriveUpdatable(letter, DRIVE_REMOVABLE, {5, FALSE})) << letter;
        EXPECT_FALSE(IsDriveUpdatable(letter, DRIVE_FIXED, {FALSE, TRUE})) << letter;
    }
}

TEST(UpdatePolicyTest, OtherRemovableDrivesFollowTheRemovableOption) {
    EXPECT_TRUE(NeedsDriveType('E'));
    EXPECT_TRUE(IsDriveUpdatable('E', DRIVE_REMOVABLE, {FALSE, TRUE}));
    EXPECT_TRUE(IsDriveUpdatable('E', DRIVE_REMOVABLE, {FALSE, -1}));
    EXPECT_FALSE(IsDriveUpdatable('E', DRIVE_REMOVABLE, {TRUE, FALSE}));
    // The floppy letters are compared exactly.
    EXPECT_FALSE(IsDriveUpdatable('a', DRIVE_REMOVABLE, {TRUE, FALSE}));
}

TEST(UpdatePolicyTest, EveryOtherTypeIsAlwaysUpdatable) {
    // An unknown type is also what a drive that did not answer has.
    for (UINT type :
         {DRIVE_FIXED, DRIVE_CDROM, DRIVE_REMOTE, DRIVE_RAMDISK, DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR})
        EXPECT_TRUE(IsDriveUpdatable('C', type, {FALSE, FALSE})) << type;
    EXPECT_TRUE(IsDriveUpdatable('\0', DRIVE_UNKNOWN, {FALSE, FALSE}));
}

TEST(UpdatePolicyTest, ToggleGivesOneOnlyFromZero) {
    EXPECT_EQ(ToggledFlag(0), 1);
    EXPECT_EQ(ToggledFlag(1), 0);
    EXPECT_EQ(ToggledFlag(5), 0);
    EXPECT_EQ(ToggledFlag(-1), 0);
}
} // namespace
