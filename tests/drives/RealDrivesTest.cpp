// One refresh through the real drive calls, in the test prefix whose drives
// the test runner prepares: A: floppy, D: labelled "DATA", E: floppy type,
// F: an optical drive without a medium, N: network.
#include "drives/Refresh.h"
#include "drives/UpdatePolicy.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// The real platform, recording which drives were asked for their size.
class CountingWin32Platform : public DrivePlatform {
public:
    std::vector<std::string> sizeSpecs;
    BOOL DiskFreeSpace(const char* spec, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                       uint64_t* totalFreeBytes) override {
        sizeSpecs.emplace_back(spec);
        return DrivePlatform::DiskFreeSpace(spec, freeBytesAvailable, totalBytes, totalFreeBytes);
    }
};

const DriveRecord* FindBySpec(const DriveList& drives, const char* spec) {
    for (const DriveRecord& r : drives)
        if (DriveSpecOf(r.sfi.szDisplayName) == spec)
            return &r;
    return nullptr;
}

TEST(RealDrivesTest, RefreshReadsThePreparedDrives) {
    if (std::getenv("TOVEMAR_TEST_DRIVES") == nullptr)
        GTEST_SKIP() << "needs the drives that test.sh prepares";

    CountingWin32Platform platform;
    DriveList drives;
    RefreshDriveList(
        drives, platform, [](const char*) { return 1; },
        [&](const std::string& spec) { return IsDriveUpdatable(spec, FALSE, TRUE, platform); });

    ASSERT_GE(drives.size(), 5u);
    std::string letters;
    for (const DriveRecord& r : drives)
        letters += DriveLetterOf(r.sfi.szDisplayName);
    EXPECT_EQ(letters.substr(0, 6), "ACDEFG"); // the platform lists roots by letter

    const DriveRecord* data = FindBySpec(drives, "D:");
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(data->sfi.szDisplayName, "DATA (D:)");
    EXPECT_NE(data->sfi.hIcon, nullptr);
    EXPECT_GT(data->ulTotalBytes, 0u);
    EXPECT_GE(data->ulTotalBytes, data->ulTotalFreeBytes);

    const DriveRecord* optical = FindBySpec(drives, "F:");
    ASSERT_NE(optical, nullptr);
    EXPECT_EQ(optical->ulTotalBytes + optical->ulTotalFreeBytes + optical->ulFreeBytesAvailable,
              0u);

    const DriveRecord* floppy = FindBySpec(drives, "A:");
    ASSERT_NE(floppy, nullptr);
    EXPECT_EQ(floppy->ulTotalBytes, 0u);
    EXPECT_EQ(std::count(platform.sizeSpecs.begin(), platform.sizeSpecs.end(), "A:"), 0);
    // E: is removable and the removable option is on; F: is optical.
    EXPECT_EQ(std::count(platform.sizeSpecs.begin(), platform.sizeSpecs.end(), "E:"), 1);
    EXPECT_EQ(std::count(platform.sizeSpecs.begin(), platform.sizeSpecs.end(), "F:"), 1);
    EXPECT_EQ(platform.DriveType("E:"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(platform.DriveType("N:"), static_cast<UINT>(DRIVE_REMOTE));

    ReleaseDriveIcons(drives, platform);
}
} // namespace
