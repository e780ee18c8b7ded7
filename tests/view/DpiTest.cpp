// The drive view at the DPI of the prefix it runs in (96 in the test
// prefix; tests/view/dpi.sh runs it again at 120, 144, 168 and 192, with
// TOVEMAR_EXPECT_DPI naming the DPI the prefix must have): rows at the scaled
// positions, icons and labels inside their rows, and a view that follows a
// change of DPI.
#include "framework/Dpi.h"
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "tests/view/TestDrives.h"
#include "view/DriveView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {
using testing_drives::MakeRecord;
using testing_drives::SetClientSize;
using testing_drives::TestFrame;

constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kSilver = 0x00C0C0C0;

// The vertical extent [top, bottom) of the pixels of `colour` in `area`;
// empty (top == bottom) when there are none.
struct Span {
    int top = 0;
    int bottom = 0;
    int Height() const { return bottom - top; }
};

class DpiTest : public ::testing::Test {
protected:
    void SetUp() override {
        dpi = tov::SystemDpi();
        if (const char* expected = std::getenv("TOVEMAR_EXPECT_DPI")) {
            ASSERT_EQ(dpi, static_cast<UINT>(std::atoi(expected))) << "the prefix's DPI";
        }
        ASSERT_TRUE(frame.CreatePopup(S(400), S(300)));
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{}, &frame,
                                AFX_IDW_PANE_FIRST));
        frame.ShowWindow(SW_SHOWNOACTIVATE);
        SHFILEINFOA info{};
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_ICON);
        icon.reset(info.hIcon);
        ASSERT_TRUE(icon);
    }
    int S(int value) const { return tov::ScaleForDpi(value, dpi); }

    // Drives with the shell's icon of C:; `used` of 1000 bytes each.
    void Show(std::initializer_list<int> used, int clientWidth, int clientHeight) {
        frame.drives.clear();
        for (int u : used) {
            frame.drives.push_back(MakeRecord("Local Disk (C:)", 1000, 1000 - u));
            frame.drives.back().sfi.hIcon = icon.get();
        }
        SetClientSize(view.m_hWnd, clientWidth, clientHeight);
        view.UpdateScrollBars();
        InvalidateRect(view.m_hWnd, nullptr, TRUE);
        UpdateWindow(view.m_hWnd);
    }
    COLORREF At(int x, int y) const {
        tov::WindowDC dc(view.m_hWnd);
        return GetPixel(dc.get(), x, y);
    }
    bool Background(int x, int y) const { return At(x, y) == GetSysColor(COLOR_WINDOW); }
    // Rows of `area` holding a pixel that is not the window colour (or, with
    // `colour`, a pixel of that colour).
    Span Ink(const RECT& area, COLORREF colour = CLR_INVALID) const {
        tov::WindowDC dc(view.m_hWnd);
        Span span{area.bottom, area.top};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = GetPixel(dc.get(), x, y);
                if (colour == CLR_INVALID ? c != GetSysColor(COLOR_WINDOW) : c == colour) {
                    span.top = std::min(span.top, y);
                    span.bottom = std::max(span.bottom, y + 1);
                    break;
                }
            }
        }
        return span.bottom > span.top ? span : Span{};
    }

    UINT dpi = tov::kBaseDpi;
    TestFrame frame;
    CDriveView view{&frame};
    tov::UniqueIcon icon;
};

// Rows S(32) apart from S(5), bars S(28) high from x = S(44); the icon and
// the letter stay inside their row and the bar label inside its bar.
TEST_F(DpiTest, RowsSitAtTheScaledPositionsAndKeepTheirContentsInside) {
    Show({0}, S(300), S(200)); // one row: nothing else inks the rows below
    const int barX = S(44);
    const Span iconInk = Ink(RECT{0, 0, barX, S(200)});
    EXPECT_GE(iconInk.top, S(5));
    EXPECT_LE(iconInk.bottom, S(5) + S(32));
    EXPECT_GT(iconInk.Height(), S(32) / 2) << "the icon at the size for the DPI";

    // An empty bar: silver, its label blue, clear of the bar's top and bottom.
    const Span label = Ink(RECT{barX, 0, S(300) - S(100), S(200)}, kBlue);
    EXPECT_GT(label.top, S(5));
    EXPECT_LT(label.bottom, S(5) + S(28));
    EXPECT_EQ(At(barX, S(5)), kSilver);
    EXPECT_EQ(At(barX, S(5) + S(28) - 1), kSilver);

    Show({1000, 1000, 1000}, S(300), S(200)); // full bars: blue
    for (int i = 0; i < 3; ++i) {
        const int top = S(5) + i * S(32);
        EXPECT_TRUE(Background(barX, top - 1)) << i;
        EXPECT_EQ(At(barX, top), kBlue) << i;
        EXPECT_EQ(At(barX, top + S(28) - 1), kBlue) << i;
        EXPECT_TRUE(Background(barX, top + S(28))) << i;
        EXPECT_TRUE(Background(barX - 1, top)) << i;
    }
    EXPECT_EQ(At(S(300) - S(100) - 1, S(5)), kBlue); // the bar's last column
    EXPECT_TRUE(Background(S(300) - S(100), S(5)));
}

// One line and one page of scrolling are the scaled 28 plus the scaled 5.
TEST_F(DpiTest, TheScrollStepIsScaled) {
    Show({1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, S(300), S(100));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(view.m_hWnd, SB_VERT, &info);
    EXPECT_EQ(info.nPage, static_cast<UINT>(S(28) + S(5)));
    view.SendMessage(WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(GetScrollPos(view.m_hWnd, SB_VERT), S(28) + S(5));
}

// Told of a DPI half as large again (another monitor), the view draws its
// rows and their font at that DPI; told of the old one, exactly as before.
TEST_F(DpiTest, AChangeOfDpiScalesRowsAndFonts) {
    const auto labelHeight = [&] {
        Show({0}, S(200), S(150));
        return Ink(RECT{S(44), 0, S(100), S(150)}, kBlue).Height();
    };
    const int before = labelHeight();
    ASSERT_GT(before, 0);
    const UINT system = dpi;
    dpi = system * 3 / 2;
    view.SendMessage(WM_DPICHANGED_AFTERPARENT, dpi);
    const int after = labelHeight();
    EXPECT_NEAR(after, before * 3 / 2, 2);
    EXPECT_EQ(At(S(44), S(5)), kSilver);
    EXPECT_TRUE(Background(S(44), S(5) - 1));

    dpi = system;
    view.SendMessage(WM_DPICHANGED_AFTERPARENT, dpi);
    EXPECT_EQ(labelHeight(), before);
}
} // namespace
