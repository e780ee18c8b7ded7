// The view as a real child window of a frame that owns the drive list:
// creation, the scroll range as the view is resized, scroll codes, and the
// rows painted at the scroll position.
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "tests/view/TestDrives.h"
#include "view/DriveView.h"
#include "view/Scrolling.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {
using testing_drives::SetClientSize;
using testing_drives::ShownDrives;
using testing_drives::TestFrame;

class ScrollTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(frame.CreatePopup(800, 700));
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{}, &frame,
                                AFX_IDW_PANE_FIRST));
    }
    // n shown drives in a view whose client area is 400 × height.
    void Show(int n, int height) {
        frame.drives = ShownDrives(n);
        view.UpdateScrollBars();
        SetClientSize(view.m_hWnd, 400, height);
    }
    SCROLLINFO Info() const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(view.m_hWnd, SB_VERT, &info);
        return info;
    }
    int Pos() const { return GetScrollPos(view.m_hWnd, SB_VERT); }
    bool BarShown() const { return (GetWindowLongA(view.m_hWnd, GWL_STYLE) & WS_VSCROLL) != 0; }
    void Scroll(UINT code, UINT position = 0) {
        view.SendMessage(WM_VSCROLL, MAKEWPARAM(code, position), 0);
    }
    int ClientHeight() const { return view.GetClientRect().bottom; }

    TestFrame frame;
    CDriveView view{&frame};
};

TEST_F(ScrollTest, CreationGivesASunkenEdgeAndAHiddenBar) {
    EXPECT_EQ(view.m_nBarHeight, 28);
    EXPECT_EQ(view.m_nRowPitch, 32);
    const LONG style = GetWindowLongA(view.m_hWnd, GWL_STYLE);
    EXPECT_EQ(style & WS_BORDER, 0);
    EXPECT_NE(GetWindowLongA(view.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(GetClassLongA(view.m_hWnd, GCL_STYLE), CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
    EXPECT_EQ(GetDlgCtrlID(view.m_hWnd), static_cast<int>(AFX_IDW_PANE_FIRST));
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(Pos(), 0);
}

TEST_F(ScrollTest, TenDrivesIn300PixelsScrollUpTo31) {
    Show(10, 300);
    ASSERT_EQ(ClientHeight(), 300);
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(view.GetClientRect().right, 400 - GetSystemMetrics(SM_CXVSCROLL));
    const SCROLLINFO info = Info();
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 63);
    EXPECT_EQ(info.nPage, 33u);
    Scroll(SB_THUMBPOSITION, 1000);
    EXPECT_EQ(Pos(), 31);
}

TEST_F(ScrollTest, RowsThatFitHideTheBarAndResetThePosition) {
    Show(4, 300);
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(Pos(), 0);

    Show(10, 330); // exactly fitting
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(Pos(), 0);

    SetClientSize(view.m_hWnd, 400, 300);
    EXPECT_TRUE(BarShown());
    Scroll(SB_THUMBTRACK, 20);
    ASSERT_EQ(Pos(), 20);
    SetClientSize(view.m_hWnd, 400, 400); // the view grows: the rows fit again
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(Pos(), 0);
    SetClientSize(view.m_hWnd, 400, 300); // and shrinks: the bar returns at 0
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(Pos(), 0);
    EXPECT_EQ(Info().nMax, 63);
}

TEST_F(ScrollTest, LinePageTopAndBottomCodesMoveWithinTheRange) {
    Show(10, 300);
    Scroll(SB_LINEDOWN);
    EXPECT_EQ(Pos(), 31); // 33, clamped
    Scroll(SB_LINEUP);
    EXPECT_EQ(Pos(), 0); // -2, clamped

    Show(20, 300); // largest position 361
    // Top and bottom (the scroll bar's own menu) go to the first and the last rows.
    const std::pair<UINT, int> steps[] = {
        {SB_LINEDOWN, 33},   {SB_PAGEDOWN, 66}, {SB_PAGEUP, 33}, {SB_BOTTOM, 361},
        {SB_ENDSCROLL, 361}, {9, 361},          {SB_TOP, 0},     {SB_THUMBPOSITION, 361},
    };
    for (const auto& [code, expected] : steps) {
        Scroll(code, 5000);
        EXPECT_EQ(Pos(), expected) << "code " << code;
    }
}

// One notch is the user's wheel setting (three lines by default); smaller
// deltas add up to a step; the ends clamp. The wheel leaves the focus row.
TEST_F(ScrollTest, TheWheelScrollsByLinesAndPagesToTheEnds) {
    Show(20, 300); // largest position 361
    const auto wheel = [&](int delta) {
        view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(10, 10));
        return Pos();
    };
    EXPECT_EQ(wheel(-WHEEL_DELTA), 99);
    EXPECT_EQ(wheel(-30), 99);
    EXPECT_EQ(wheel(-30), 132);
    EXPECT_EQ(wheel(-30), 165);
    EXPECT_EQ(wheel(-30), 198);
    EXPECT_EQ(wheel(-10 * WHEEL_DELTA - 30), 361);
    EXPECT_EQ(wheel(WHEEL_DELTA / 2), 328); // a turn back starts afresh
    EXPECT_EQ(wheel(10 * WHEEL_DELTA), 0);
    EXPECT_EQ(view.FocusRecord(), 0);
}

// The keys move the focus row, by a page of the 9 wholly visible rows for
// Page Up and Down, clamped at both ends; the view scrolls only as far as
// it takes to show the focus row whole. The row is kept by its drive when
// the rows before it change, and its place when its drive goes.
TEST_F(ScrollTest, KeysMoveTheFocusRowAndScrollItIntoView) {
    Show(20, 300); // rows 32 apart, painted from 5 below their top
    const struct {
        UINT key;
        int row, pos;
    } keys[] = {
        {VK_UP, 0, 0},      {VK_DOWN, 1, 0},  {VK_NEXT, 10, 57},  {VK_END, 19, 345},
        {VK_DOWN, 19, 345}, {VK_UP, 18, 345}, {VK_PRIOR, 9, 288}, {VK_LEFT, 9, 288},
        {VK_HOME, 0, 0},    {VK_NEXT, 9, 25},
    };
    for (const auto& [key, row, pos] : keys) {
        view.SendMessage(WM_KEYDOWN, key, 1);
        EXPECT_EQ(view.FocusRecord(), row) << "key " << key;
        EXPECT_EQ(Pos(), pos) << "key " << key;
    }
    frame.drives[0].bShown = 0; // a refresh hides the first drive
    EXPECT_EQ(view.FocusRecord(), 9);
    view.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(view.FocusRecord(), 10);
    frame.drives.erase(frame.drives.begin() + 10); // its drive goes: the 10th shown row
    EXPECT_EQ(view.FocusRecord(), 10);
}

TEST(WheelAccumulator, PageSettingScrollsOnePagePerNotch) {
    WheelAccumulator wheel;
    const auto steps = [&](int delta, UINT setting) {
        const WheelAccumulator::Steps s = wheel.Add(delta, setting);
        return std::pair<UINT, int>{s.code, s.count};
    };
    EXPECT_EQ(steps(-WHEEL_DELTA, WHEEL_PAGESCROLL), std::make_pair(UINT{SB_PAGEDOWN}, 1));
    EXPECT_EQ(steps(2 * WHEEL_DELTA, WHEEL_PAGESCROLL), std::make_pair(UINT{SB_PAGEUP}, 2));
    EXPECT_EQ(steps(WHEEL_DELTA - 1, WHEEL_PAGESCROLL).second, 0);
    EXPECT_EQ(steps(WHEEL_DELTA / 2, 7), std::make_pair(UINT{SB_LINEUP}, 3)); // 3.5 lines
    EXPECT_EQ(steps(WHEEL_DELTA / 2, 7), std::make_pair(UINT{SB_LINEUP}, 4)); // + the half
    EXPECT_EQ(steps(-WHEEL_DELTA, 0).second, 0);
}

TEST_F(ScrollTest, ApplyScrollCodeReportsThePositionAskedFor) {
    Show(10, 300);
    int position = 0;
    EXPECT_TRUE(ApplyScrollCode(view.m_hWnd, SB_VERT, SB_LINEDOWN, position, TRUE, 33));
    EXPECT_EQ(position, 33); // unclamped; the bar holds the clamped 31
    EXPECT_EQ(Info().nPos, 31);
    position = 500;
    EXPECT_TRUE(ApplyScrollCode(view.m_hWnd, SB_VERT, SB_THUMBTRACK, position, TRUE, 33));
    EXPECT_EQ(position, 31); // read back after the clamp
    position = 7;
    EXPECT_FALSE(ApplyScrollCode(view.m_hWnd, SB_VERT, 9, position, TRUE, 33));
    EXPECT_EQ(position, 7);
}

TEST_F(ScrollTest, EveryScrollEventInvalidatesTheWholeView) {
    frame.ShowWindow(SW_SHOWNOACTIVATE); // only a visible window collects invalid areas
    Show(10, 300);
    for (UINT code : {UINT{SB_LINEDOWN}, UINT{SB_ENDSCROLL}, 9u}) {
        ValidateRect(view.m_hWnd, nullptr);
        Scroll(code);
        RECT update{};
        ASSERT_TRUE(GetUpdateRect(view.m_hWnd, &update, FALSE)) << code;
        const RECT client = view.GetClientRect();
        EXPECT_TRUE(EqualRect(&update, &client)) << code;
    }
}

// A change repaints the rows that look different, and a paint paints the
// rows its update region meets: none for a new icon handle of the same
// image, one for one drive's figures, every row from a hidden one's down.
TEST_F(ScrollTest, OnlyRowsThatLookDifferentRepaint) {
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    Show(5, 300);
    // The update region's (top, bottom) after RowsChanged, and the rows painted.
    const auto change = [&] {
        view.RowsChanged();
        RECT dirty{};
        GetUpdateRect(view.m_hWnd, &dirty, FALSE);
        const unsigned before = view.RowsPainted();
        UpdateWindow(view.m_hWnd);
        return std::make_tuple(dirty.top, dirty.bottom, view.RowsPainted() - before);
    };
    change();
    frame.drives[2].sfi.hIcon = LoadIconA(nullptr, IDI_WARNING);
    EXPECT_EQ(change(), std::make_tuple(69L, 101L, 1u));
    frame.drives[2].sfi.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    frame.drives[2].ulTotalFreeBytes -= 1; // the same texts
    EXPECT_EQ(change(), std::make_tuple(0L, 0L, 0u));
    frame.drives[2].ulTotalFreeBytes = 0;
    EXPECT_EQ(change(), std::make_tuple(69L, 101L, 1u));
    frame.drives[1].bShown = 0;
    EXPECT_EQ(change(), std::make_tuple(37L, 300L, 3u));
}

TEST_F(ScrollTest, HidingADriveAtTheEndClampsThePosition) {
    Show(20, 300);
    Scroll(SB_THUMBPOSITION, 361);
    ASSERT_EQ(Pos(), 361);
    frame.drives[3].bShown = 0;
    view.UpdateScrollBars();
    EXPECT_EQ(Info().nMax, 19 * 33 - 300 + 33);
    EXPECT_EQ(Pos(), 328);
    EXPECT_TRUE(BarShown());
}

TEST_F(ScrollTest, PaintDrawsTheFrameRowsAtTheScrollPosition) {
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    Show(10, 300);
    for (DriveRecord& r : frame.drives)
        r.ulTotalFreeBytes = 0; // full bars: blue from end to end
    const auto pixel = [&](int x, int y) {
        InvalidateRect(view.m_hWnd, nullptr, TRUE);
        UpdateWindow(view.m_hWnd);
        tov::WindowDC dc(view.m_hWnd);
        return GetPixel(dc.get(), x, y);
    };
    EXPECT_EQ(pixel(45, 5), COLORREF{0x00FF0000});
    EXPECT_EQ(pixel(45, 4), GetSysColor(COLOR_WINDOW));
    Scroll(SB_THUMBPOSITION, 20); // row 0 now starts at y = -15
    EXPECT_EQ(pixel(45, 12), COLORREF{0x00FF0000});
    EXPECT_EQ(pixel(45, 14), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixel(45, 17), COLORREF{0x00FF0000}); // row 1
}
} // namespace
