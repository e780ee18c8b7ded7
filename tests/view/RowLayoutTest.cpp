// The pure cores of the drive view: row layout and texts, the used
// percentage, the bar's arithmetic and bit image, and the scroll range.
#include "tests/view/TestDrives.h"
#include "view/BarFill.h"
#include "view/RowLayout.h"
#include "view/Scrolling.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
using testing_drives::MakeRecord;

constexpr uint64_t KB = 1024;
constexpr uint64_t MB = KB * KB;
constexpr uint64_t GB = MB * KB;

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

TEST(RowLayout, RowsArePitch32ApartAndWidth600PutsTheBarAt44To499) {
    const DriveRecord disk = MakeRecord("Local Disk (C:)", 1000, 500);
    EXPECT_EQ(LayoutRow(0, 0, 600, disk).y, 5);
    EXPECT_EQ(LayoutRow(2, 0, 600, disk).y, 69);
    EXPECT_EQ(LayoutRow(9, 31, 600, disk).y, 262);

    const RowLayout row = LayoutRow(1, 0, 600, disk);
    EXPECT_EQ(row.y, 37);
    EXPECT_EQ(row.icon.x, 5);
    EXPECT_EQ(row.icon.y, 37);
    EXPECT_EQ(row.letterOrigin.x, 7);
    EXPECT_EQ(row.letterOrigin.y, 37);
    EXPECT_EQ(row.letter, "C");
    EXPECT_TRUE(SameRect(row.bar, {44, 37, 500, 65})); // the last column is 499
    EXPECT_TRUE(SameRect(row.freeCell, {505, 37, 600, 69}));
    const BarColours colours = BarColoursFor(row.state);
    EXPECT_EQ(colours.usedFill, COLORREF{0x00FF0000});
    EXPECT_EQ(colours.restFill, COLORREF{0x00C0C0C0});
}

TEST(RowLayout, TextsWithAndWithoutSizeData) {
    const RowLayout sized = LayoutRow(0, 0, 600, MakeRecord("Local Disk (C:)", 200, 150));
    EXPECT_TRUE(sized.hasSize);
    EXPECT_STREQ(sized.barFormat, "%.0f%%");
    EXPECT_EQ(sized.barValue, 25u);
    EXPECT_EQ(sized.freeText, "0.15KB");

    // A drive not responding shows no figures, known or not; its word is whole.
    for (const DriveState state : {DriveState::Waiting, DriveState::NotResponding}) {
        const RowLayout late =
            LayoutRow(0, 0, 600, MakeRecord("Share (N:)", 200, 150), RowMetrics{}, state);
        EXPECT_FALSE(late.hasSize);
        EXPECT_EQ(FormatBarLabel(late.barFormat, 0.0),
                  state == DriveState::Waiting ? "waiting" : "not responding");
    }

    const RowLayout empty = LayoutRow(0, 0, 600, MakeRecord("CD Drive (F:)", 0, 0));
    EXPECT_FALSE(empty.hasSize);
    EXPECT_STREQ(empty.barFormat, "no media");
    EXPECT_EQ(empty.barValue, 0u);
    EXPECT_EQ(empty.freeText, "");
    EXPECT_EQ(empty.letter, "F");

    // The letter comes from the root, whatever shape the name has, and
    // there is one while the name is unknown.
    for (const char* name : {"(Q:) DATA", "DATA", ""}) {
        DriveRecord record = MakeRecord(name, 0, 0);
        std::strcpy(record.szRoot, "Q:\\");
        EXPECT_EQ(LayoutRow(0, 0, 600, record).letter, "Q") << name;
    }
    EXPECT_EQ(LayoutRow(0, 0, 600, DriveRecord{}).letter, "");
}

TEST(RowLayout, NoBarBelowAWidthOf145) {
    EXPECT_FALSE(LayoutRow(0, 0, 100, MakeRecord("(C:)", 1000, 1)).drawBar);
    EXPECT_FALSE(LayoutRow(0, 0, 144, MakeRecord("(C:)", 1000, 1)).drawBar);
    const RowLayout narrowest = LayoutRow(0, 0, 145, MakeRecord("(C:)", 1000, 1));
    EXPECT_TRUE(narrowest.drawBar);
    EXPECT_EQ(narrowest.bar.right - narrowest.bar.left, 1);
}

TEST(RowLayout, MoreFreeThanTotalCountsAsNothingUsed) {
    EXPECT_EQ(UsedBytes(1000, 1500), 0u);
    EXPECT_EQ(UsedBytes(1000, 1000), 0u);
    EXPECT_EQ(UsedBytes(1000, 400), 600u);
    const RowLayout row = LayoutRow(0, 0, 600, MakeRecord("(C:)", 10 * GB, 11 * GB));
    EXPECT_EQ(row.barValue, 0u);
    EXPECT_EQ(row.freeText, "11.00GB");
}

TEST(FreeSpaceText, PicksTheUnitBeforePrintingTwoDecimals) {
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0.00KB"},         {1023, "1.00KB"},         {1536, "1.50KB"},
        {MB - 1, "1024.00KB"}, {MB, "1.00MB"},           {GB - 1, "1024.00MB"},
        {GB, "1.00GB"},        {1024 * GB, "1024.00GB"}, {500107862016, "465.76GB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FreeSpaceText(c.bytes), c.text) << c.bytes;
}

TEST(UsedPercent, TruncatesAndDividesSmallTotalsByOne) {
    EXPECT_EQ(UsedPercent(50, 200), 25);
    EXPECT_EQ(UsedPercent(999, 1000), 99);
    EXPECT_EQ(UsedPercent(10050, 10050), 100);
    EXPECT_EQ(UsedPercent(150, 150), 150); // 150 ÷ (150 ÷ 100) = 150 ÷ 1
    EXPECT_EQ(UsedPercent(60, 80), 60);
    EXPECT_EQ(UsedPercent(100, 100), 100);
    EXPECT_EQ(UsedPercent(0, 0), 0);
    EXPECT_EQ(UsedPercent(-500, 1000), 0);
    EXPECT_EQ(UsedPercent(int64_t{3} << 40, int64_t{4} << 40), 75);
}

TEST(BarModel, FillColumnAndLabel) {
    EXPECT_EQ(BarFillColumn(200, BarPercentage(50, 100)), 99);
    EXPECT_EQ(BarFillColumn(200, BarPercentage(100, 100)), 199);
    EXPECT_EQ(BarFillColumn(200, BarPercentage(0, 100)), 0);
    EXPECT_EQ(BarFillColumn(50, BarPercentage(2, 100)), 0);
    EXPECT_EQ(BarFillColumn(101, BarPercentage(1, 100)), 1);
    EXPECT_EQ(BarFillColumn(200, BarPercentage(150, 100)), 199);
    EXPECT_EQ(BarFillColumn(200, BarPercentage(0xFFFFFFFFu, 1)), 199);
    EXPECT_EQ(BarFillColumn(1, 100.0), 0);
    EXPECT_EQ(BarPercentage(7, 0), 0.0);

    EXPECT_EQ(FormatBarLabel("%.0f%%", 50.0), "50%");
    EXPECT_EQ(FormatBarLabel("%.0f%%", 150.0), "150%");
    EXPECT_EQ(FormatBarLabel("no media", 50.0), "no media");
    EXPECT_EQ(FormatBarLabel("%.0f%%", BarPercentage(0xFFFFFFFFu, 100)), "4294967295%");
    EXPECT_EQ(FormatBarLabel("%.0f%%", BarPercentage(0xFFFFFFFFu, 1)), "429496729500%");
    // Longer than the buffer: cut, not overrun.
    EXPECT_EQ(FormatBarLabel(std::string(40, 'x').c_str(), 0.0), std::string(31, 'x'));
}

TEST(ScrollRange, OverflowDecidesRangeAndVisibility) {
    const ScrollRange ten = ComputeScrollRange(10, 300, 33);
    EXPECT_EQ(ten.nMax, 63);
    EXPECT_EQ(ten.nPage, 33);
    EXPECT_EQ(ten.LargestPosition(), 31);
    const ScrollRange four = ComputeScrollRange(4, 300, 33);
    EXPECT_EQ(four.nMax, -168);
    EXPECT_FALSE(four.visible);
    EXPECT_FALSE(ComputeScrollRange(10, 330, 33).visible);
}
} // namespace
