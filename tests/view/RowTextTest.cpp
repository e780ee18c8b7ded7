// The details of a row and the clipboard text of the shown drives.
#include "tests/view/TestDrives.h"
#include "view/RowText.h"

#include <gtest/gtest.h>

namespace {
using testing_drives::MakeRecord;
using testing_drives::TestDrives;

constexpr uint64_t kGB = 1024ull * 1024 * 1024;

// A drive of 931.51 GB, 354.84 GB of it free: 576.67 GB (61.9 %) used.
DriveRecord DataDrive() {
    DriveRecord record = MakeRecord("DATA (D:)", 1000204886016ull, 381010685952ull);
    wcscpy(record.sfi.szTypeName, L"Local Disk");
    wcscpy(record.szFileSystem, L"NTFS");
    return record;
}

// Name, type and file system, then the figures each in its own unit; a
// drive without figures says its state instead, and a name in any script
// comes through whole.
TEST(RowTextTest, DetailsGiveNameKindAndFiguresOrTheState) {
    EXPECT_EQ(RowDetails(DataDrive(), DriveState::Sized),
              L"DATA (D:)\nLocal Disk, NTFS\nTotal 931.51GB, used 576.67GB (61%), free 354.84GB");
    DriveRecord small = MakeRecord(" (C:)", 3 * kGB, 3 * kGB - 512 * 1024);
    EXPECT_EQ(RowDetails(small, DriveState::Sized),
              L" (C:)\n\nTotal 3.00GB, used 512.00KB (0%), free 3.00GB");

    DriveRecord empty = MakeRecord("Stick (E:)", 0, 0);
    wcscpy(empty.sfi.szTypeName, L"Removable Disk");
    const std::pair<DriveState, const wchar_t*> states[] = {
        {DriveState::NoMedia, L"no media"},
        {DriveState::NotQueried, L"not queried"},
        {DriveState::Waiting, L"waiting"},
        {DriveState::NotResponding, L"not responding"},
    };
    for (const auto& [state, words] : states)
        EXPECT_EQ(RowDetails(empty, state), std::wstring(L"Stick (E:)\nRemovable Disk\n") + words);

    DriveRecord cyrillic = DataDrive();
    wcscpy(cyrillic.sfi.szDisplayName, L"\u0414\u0430\u043d\u043d\u044b\u0435 (K:)");
    EXPECT_EQ(RowDetails(cyrillic, DriveState::Sized).substr(0, 12),
              L"\u0414\u0430\u043d\u043d\u044b\u0435 (K:)\n");
}

// A header, then one tab-separated line per shown drive in row order;
// hidden drives are left out, a drive without figures has its state's words.
TEST(RowTextTest, TheClipboardTextListsTheShownRows) {
    TestDrives source;
    source.drives = {MakeRecord("Floppy (A:)", 0, 0), DataDrive(),
                     MakeRecord("Hidden (H:)", kGB, kGB, false), MakeRecord("Stick (E:)", 0, 0),
                     MakeRecord("Tiny (T:)", 100, 40)};
    source.excluded = {"A:"};
    EXPECT_EQ(ShownDrivesText(source), L"Drive\tName\tTotal\tUsed\tFree\tUsed %\r\n"
                                       L"A:\tFloppy (A:)\t\t\t\tnot queried\r\n"
                                       L"D:\tDATA (D:)\t931.51GB\t576.67GB\t354.84GB\t61%\r\n"
                                       L"E:\tStick (E:)\t\t\t\tno media\r\n"
                                       L"T:\tTiny (T:)\t0.10KB\t0.06KB\t0.04KB\t60%\r\n");
}
} // namespace
