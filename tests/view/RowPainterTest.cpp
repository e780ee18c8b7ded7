// Rows painted through the real GDI into a DIB section: what each kind of
// drive shows, where, and in which colours.
#include "tests/view/DibCanvas.h"
#include "tests/view/TestDrives.h"
#include "view/RowPainter.h"
#include "view/UsageBar.h"

#include <gtest/gtest.h>

namespace {
using testing_drives::MakeRecord;
using testing_drives::TestDrives;

constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kSilver = 0x00C0C0C0;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kDarkGrey = 0x00404040;
constexpr COLORREF kRed = RGB(200, 0, 0);

class RowPainterTest : public ::testing::Test {
protected:
    void Paint(int clientWidth, int scrollPos = 0) {
        CDC dc(canvas.dc());
        PaintDriveRows(dc, drives, scrollPos, clientWidth, RowMetrics{});
    }
    // Pixels of the rectangle that are not white.
    int Inked(const RECT& r) const { return canvas.Area(r) - canvas.Count(r, kWhite); }
    static bool HasNeighbouringInk(const DibCanvas& c, const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x + 1 < r.right; ++x)
                if (c.At(x, y) != kWhite && c.At(x + 1, y) != kWhite)
                    return true;
        return false;
    }
    bool HasNeighbouringInk(const RECT& r) const { return HasNeighbouringInk(canvas, r); }

    DibCanvas canvas{640, 120};
    TestDrives drives;
};

TEST_F(RowPainterTest, ASizedDriveShowsIconLetterBarAndFreeSpace) {
    drives.drives = {MakeRecord("Local Disk (C:)", 1000, 500)};
    drives.drives[0].sfi.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    SetTextColor(canvas.dc(), kRed);
    Paint(600);

    // The bar: x 44 to 499, rows 5 to 32, half blue from the left.
    EXPECT_EQ(canvas.Count(RECT{44, 5, 45, 33}, kBlue), 28);
    EXPECT_EQ(canvas.Count(RECT{499, 5, 500, 33}, kSilver), 28);
    const RECT bar{44, 5, 500, 33};
    EXPECT_EQ(canvas.Count(bar, kBlue) + canvas.Count(bar, kSilver), canvas.Area(bar));
    EXPECT_EQ(Inked(RECT{44, 0, 505, 5}), 0);
    EXPECT_EQ(Inked(RECT{44, 33, 505, 120}), 0);
    EXPECT_EQ(Inked(RECT{500, 0, 505, 120}), 0);

    // The letter and the free-space text in the window text colour (which a
    // high-contrast scheme sets), not the context's; its colour is kept.
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 640, 120}, kRed), 0);
    EXPECT_GT(canvas.Count(RECT{7, 5, 30, 25}, windowText), 0);
    EXPECT_GT(canvas.Count(RECT{505, 5, 600, 37}, windowText), 0);
    EXPECT_EQ(Inked(RECT{600, 0, 640, 120}), 0);
    EXPECT_EQ(GetTextColor(canvas.dc()), kRed);
    EXPECT_EQ(GetBkMode(canvas.dc()), TRANSPARENT);

    // The icon at (5, 5), below the letter too; nothing left of it.
    EXPECT_GT(Inked(RECT{5, 25, 37, 37}), 0);
    EXPECT_EQ(Inked(RECT{0, 0, 5, 120}), 0);
    EXPECT_TRUE(drives.asked.empty()); // the policy is only asked without size data
}

TEST_F(RowPainterTest, DrivesWithoutSizeShowAGreyBoxByPolicyAndNoFreeSpace) {
    drives.drives = {MakeRecord("Removable Disk (E:)", 0, 0), MakeRecord("Floppy (A:)", 0, 0)};
    drives.excluded = {"A:"};
    Paint(600);
    EXPECT_EQ(drives.asked, (std::vector<std::string>{"E:", "A:"}));

    // The "no media" bar's blue label, drawn alone for reference.
    DibCanvas reference(640, 40);
    SetTextColor(reference.dc(), kBlue);
    SetBkColor(reference.dc(), kSilver);
    DrawUsageBar(reference.dc(), GetStockObject(SYSTEM_FONT), 44, 5, 456, 28, 0, 100, "no media");
    const RECT bar0{44, 5, 500, 33};
    const int labelPixels = reference.Count(bar0, kBlue);
    ASSERT_GT(labelPixels, 20);

    // E: may be queried: the light grey box covers about half of the label.
    EXPECT_NEAR(canvas.Count(bar0, kBlue), labelPixels / 2, labelPixels / 5);
    EXPECT_EQ(canvas.Count(bar0, kBlue) + canvas.Count(bar0, kSilver), canvas.Area(bar0));
    // A: is excluded: the dark grey box covers about half of the bar.
    const RECT box1{45, 38, 500, 65};
    EXPECT_NEAR(canvas.Count(box1, kDarkGrey), canvas.Area(box1) / 2, canvas.Area(box1) / 20);

    // No free-space text for either.
    EXPECT_EQ(Inked(RECT{500, 0, 640, 120}), 0);

    // The letters are grayed: inked in a checkerboard, never two pixels side
    // by side, while a plain letter has solid strokes.
    for (int y : {5, 37}) {
        const RECT letter{0, y, 40, y + 32};
        EXPECT_GT(Inked(letter), 5);
        EXPECT_FALSE(HasNeighbouringInk(letter)) << y;
    }
    DibCanvas plain(40, 40);
    TextOutA(plain.dc(), 7, 5, "E", 1);
    EXPECT_TRUE(HasNeighbouringInk(plain, RECT{0, 0, 40, 40}));
}

TEST_F(RowPainterTest, HiddenDrivesLeaveNoGapAndRowsMoveUpByTheScrollPosition) {
    drives.drives = {MakeRecord("Floppy (A:)", 1000, 1000),
                     MakeRecord("Local Disk (C:)", 1000, 0, false),
                     MakeRecord("Data (D:)", 1000, 0)};
    Paint(600);
    EXPECT_EQ(canvas.Count(RECT{44, 5, 45, 33}, kSilver), 28);  // A: empty
    EXPECT_EQ(canvas.Count(RECT{499, 37, 500, 65}, kBlue), 28); // D: full, at row 1
    EXPECT_EQ(Inked(RECT{0, 65, 640, 120}), 0);

    canvas.Fill(kWhite);
    Paint(600, 20);
    EXPECT_EQ(canvas.Count(RECT{44, 0, 45, 13}, kSilver), 13);  // A: at y = -15
    EXPECT_EQ(canvas.Count(RECT{499, 17, 500, 45}, kBlue), 28); // D: at y = 17
    EXPECT_EQ(Inked(RECT{44, 13, 500, 17}), 0);
}

TEST_F(RowPainterTest, MoreFreeThanTotalShowsAnEmptyBar) {
    drives.drives = {MakeRecord("(C:)", 1000, 5000)};
    Paint(600);
    // Not a full bar from a wrapped-around used amount: the left end is silver.
    EXPECT_EQ(canvas.Count(RECT{44, 5, 80, 33}, kSilver), 36 * 28);
}

TEST_F(RowPainterTest, ANarrowViewGetsNeitherBarNorBox) {
    drives.drives = {MakeRecord("(C:)", 1000, 500), MakeRecord("(F:)", 0, 0)};
    drives.excluded = {"F:"};
    for (int width : {100, 140, 144}) {
        canvas.Fill(kWhite);
        Paint(width);
        const RECT all{0, 0, 640, 120};
        EXPECT_EQ(
            canvas.Count(all, kBlue) + canvas.Count(all, kSilver) + canvas.Count(all, kDarkGrey), 0)
            << width;
        EXPECT_EQ(Inked(RECT{40, 37, 640, 120}), 0) << width; // F: shows only its letter
    }
}

TEST_F(RowPainterTest, NoShownDrivesPaintNothing) {
    Paint(600);
    drives.drives = {MakeRecord("(C:)", 1000, 500, false), MakeRecord("(F:)", 0, 0, false)};
    Paint(600);
    EXPECT_EQ(Inked(RECT{0, 0, 640, 120}), 0);
    EXPECT_TRUE(drives.asked.empty());
}
} // namespace
