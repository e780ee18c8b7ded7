// The details of a row and the clipboard text of the shown drives.
#include "tests/view/DibCanvas.h"
#include "tests/view/TestDrives.h"
#include "view/DriveAccessible.h"
#include "view/RowPainter.h"
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
    FreeTrend trend;
    trend.bytesPerSecond = -1.2 * kGB / 3 / 3600;
    source.outlooks["T"].trend = trend;
    trend.fullIn = 12 * 86400;
    source.outlooks["D"].trend = trend;
    source.outlooks["E"].trend = trend; // no figures: nothing to say
    EXPECT_EQ(ShownDrivesText(source),
              L"Drive\tName\tTotal\tUsed\tFree\tUsed %\tChange/day\tFull in\r\n"
              L"A:\tFloppy (A:)\t\t\t\tnot queried\t\t\r\n"
              L"D:\tDATA (D:)\t931.51GB\t576.67GB\t354.84GB\t61%\t-9.60GB\tabout 12 days\r\n"
              L"E:\tStick (E:)\t\t\t\tno media\t\t\r\n"
              L"T:\tTiny (T:)\t0.10KB\t0.06KB\t0.04KB\t60%\t-9.60GB\t\r\n");
}

// Each unit up to where it rounds to the next one.
TEST(RowTextTest, ForecastWordsRoundToAWholeUnit) {
    const std::pair<int64_t, const wchar_t*> cases[] = {
        {0, L"less than a minute"},       {59, L"less than a minute"},
        {60, L"about 1 minute"},          {89, L"about 1 minute"},
        {90, L"about 2 minutes"},         {2400, L"about 40 minutes"},
        {3569, L"about 59 minutes"},      {3570, L"about 1 hour"},
        {5 * 3600, L"about 5 hours"},     {84599, L"about 23 hours"},
        {84600, L"about 1 day"},          {12 * 86400, L"about 12 days"},
        {365 * 86400, L"about 365 days"},
    };
    for (const auto& [seconds, words] : cases)
        EXPECT_EQ(ForecastWords(seconds), words) << seconds;
    EXPECT_EQ(SignedAmountText(1.5 * 1024), L"+1.50KB");
}

// A nearly-full drive says so in its value and its details; a trend adds
// the fourth line.
TEST(RowTextTest, NearlyFullAndTheTrendInTheDetailsAndTheAccessibleValue) {
    TestDrives source;
    source.drives = {MakeRecord("Small (D:)", 4096ull << 20, 200000000ull)};
    FreeTrend trend;
    trend.change = -1.2 * kGB;
    trend.span = 3 * 3600;
    trend.fullIn = 12 * 86400;
    source.outlooks["D"] = {true, false, trend};
    const std::vector<AccessibleRow> rows = AccessibleRows(source, 0, 600, RowMetrics{}, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value, L"95% used, 190.73MB free, nearly full");
    EXPECT_EQ(rows[0].description, L"Small (D:)\n\nTotal 4.00GB, used 3.81GB (95%), free "
                                   L"190.73MB, nearly full\n-1.20GB in the last 3 hours, full in "
                                   L"about 12 days");
    trend.span = 45;
    trend.fullIn.reset();
    EXPECT_EQ(ChangeLine(trend), L"-1.20GB in the last 45 seconds");
}

// Marked, a nearly-full drive's used share is red and nothing else changes.
TEST(RowTextTest, AMarkedRowPaintsItsUsedShareRed) {
    TestDrives source;
    source.drives = {MakeRecord("Full (F:)", 1000, 50)};
    DibCanvas plain(640, 40), marked(640, 40);
    CDC plainDc(plain.dc()), markedDc(marked.dc());
    PaintDriveRows(plainDc, source, 0, 600, RowMetrics{});
    source.outlooks["F"] = {true, true, std::nullopt};
    PaintDriveRows(markedDc, source, 0, 600, RowMetrics{});
    const RECT all{0, 0, 640, 40};
    EXPECT_EQ(marked.Count(all, 0x000000FF), plain.Count(all, 0x00FF0000));
    EXPECT_GT(marked.Count(all, 0x000000FF), 400);
    EXPECT_EQ(marked.Count(all, 0x00C0C0C0), plain.Count(all, 0x00C0C0C0));
}
} // namespace
