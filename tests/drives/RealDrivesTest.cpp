// One refresh through the real drive calls, in the test prefix whose drives
// the test runner prepares: A: floppy, D: labelled "DATA", E: floppy type,
// F: an optical drive without a medium, N: network.
#include "drives/DriveCatalogue.h"
#include "framework/ComApartment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <mutex>
#include <vector>

namespace {
// The real platform, recording which drives were asked for their size.
class CountingWin32Platform : public DrivePlatform {
public:
    std::mutex mutex;
    std::vector<std::string> sizeRoots;
    BOOL DiskFreeSpace(const char* root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                       uint64_t* totalFreeBytes) override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            sizeRoots.emplace_back(root);
        }
        return DrivePlatform::DiskFreeSpace(root, freeBytesAvailable, totalBytes, totalFreeBytes);
    }
};

const DriveRecord* FindByLetter(const DriveList& drives, const char* letter) {
    for (const DriveRecord& r : drives)
        if (DriveLetterOf(r) == letter)
            return &r;
    return nullptr;
}

// True when the bitmap's bits are all zero.
bool Blank(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    std::vector<BYTE> bits(static_cast<size_t>(info.bmWidthBytes) * info.bmHeight);
    GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    return std::all_of(bits.begin(), bits.end(), [](BYTE b) { return b == 0; });
}

// Many threads released together ask for icons, first of all in the
// process (the lists still cold): none comes back as a black square (mask
// and colour all 0). Defined first, so that it runs before the refresh.
TEST(RealDrivesTest, IconsCopiedOnManyThreadsAtOnceAreNeverBlank) {
    if (std::getenv("TOVEMAR_TEST_DRIVES") == nullptr)
        GTEST_SKIP() << "needs the drives that test.sh prepares";
    const std::shared_ptr<DrivePlatform> platform = Win32DrivePlatform();
    for (int round = 0; round < 20; ++round) {
        std::promise<void> gate;
        const std::shared_future<void> go = gate.get_future().share();
        std::vector<std::future<HICON>> icons;
        for (int i = 0; i < 8; ++i)
            icons.push_back(std::async(std::launch::async, [&platform, go, i] {
                const tov::ComApartment apartment;
                go.wait();
                SHFILEINFOW sfi{};
                // Every kind of drive; the system's size and a larger list's.
                static const char* const roots[] = {"C:\\", "D:\\", "E:\\", "F:\\",
                                                    "G:\\", "N:\\", "A:\\", "C:\\"};
                platform->ShellFileInfo(roots[i], &sfi, i < 7 ? 32 : 48);
                return sfi.hIcon;
            }));
        gate.set_value();
        for (std::future<HICON>& future : icons) {
            const HICON icon = future.get();
            ICONINFO info{};
            ASSERT_TRUE(icon != nullptr && GetIconInfo(icon, &info)) << round;
            EXPECT_FALSE(Blank(info.hbmMask) && (info.hbmColor == nullptr || Blank(info.hbmColor)))
                << round;
            DeleteObject(info.hbmMask);
            DeleteObject(info.hbmColor);
            platform->ReleaseIcon(icon);
        }
    }
    // The check the platform makes itself: a copy that came back all zero.
    const BYTE zeros[32 * 32 / 8] = {};
    const HICON black = CreateIcon(nullptr, 32, 32, 1, 1, zeros, zeros);
    EXPECT_TRUE(IsBlankIcon(black));
    DestroyIcon(black);
}
TEST(RealDrivesTest, RefreshReadsThePreparedDrives) {
    if (std::getenv("TOVEMAR_TEST_DRIVES") == nullptr)
        GTEST_SKIP() << "needs the drives that test.sh prepares";

    const auto platformPtr = std::make_shared<CountingWin32Platform>();
    CountingWin32Platform& platform = *platformPtr;
    // Long enough for the shell's first use in a new process.
    DriveCatalogue catalogue(platformPtr, std::chrono::seconds(10));
    catalogue.Options() = {FALSE, TRUE};
    catalogue.Refresh([](const wchar_t*) { return 1; });
    const DriveList& drives = catalogue.Drives();

    ASSERT_GE(drives.size(), 5u);
    std::string letters;
    for (const DriveRecord& r : drives)
        letters += DriveLetterOf(r);
    EXPECT_EQ(letters.substr(0, 6), "ACDEFG"); // the platform lists roots by letter

    const DriveRecord* data = FindByLetter(drives, "D");
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(data->sfi.szDisplayName, L"DATA (D:)");
    EXPECT_NE(data->sfi.hIcon, nullptr);
    EXPECT_GT(data->ulTotalBytes, 0u);
    EXPECT_GE(data->ulTotalBytes, data->ulTotalFreeBytes);

    const DriveRecord* optical = FindByLetter(drives, "F");
    ASSERT_NE(optical, nullptr);
    EXPECT_EQ(optical->ulTotalBytes + optical->ulTotalFreeBytes + optical->ulFreeBytesAvailable,
              0u);

    const DriveRecord* floppy = FindByLetter(drives, "A");
    ASSERT_NE(floppy, nullptr);
    EXPECT_EQ(floppy->ulTotalBytes, 0u);
    const auto asked = [&](const char* root) {
        return std::count(platform.sizeRoots.begin(), platform.sizeRoots.end(), root);
    };
    EXPECT_EQ(asked("A:\\"), 0);
    // E: is removable and the removable option is on; F: is optical.
    EXPECT_EQ(asked("E:\\"), 1);
    EXPECT_EQ(asked("F:\\"), 1);
    EXPECT_EQ(FindByLetter(drives, "E")->uDriveType, static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(FindByLetter(drives, "N")->uDriveType, static_cast<UINT>(DRIVE_REMOTE));
}

} // namespace
