// The bars under a high-contrast theme: the theme's colours, painted through
// a stand-in for the system's colours, and a view that follows the setting
// as soon as the system announces it.
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "tests/view/DibCanvas.h"
#include "tests/view/TestDrives.h"
#include "view/DriveView.h"
#include "view/RowPainter.h"

#include <gtest/gtest.h>

namespace {
using testing_drives::MakeRecord;

// A theme whose six colours all differ, and differ from the fixed bar colours.
constexpr COLORREF kHighlight = RGB(0x1A, 0xEB, 0xFF), kHighlightText = RGB(0x20, 0x10, 0x00),
                   kWindow = RGB(0x00, 0x00, 0x30), kWindowText = RGB(0xFF, 0xFF, 0x60),
                   kGrayText = RGB(0x3F, 0xF2, 0x3F);
DWORD WINAPI ThemeColour(int index) {
    switch (index) {
    case COLOR_HIGHLIGHT:
        return kHighlight;
    case COLOR_HIGHLIGHTTEXT:
        return kHighlightText;
    case COLOR_WINDOW:
        return kWindow;
    case COLOR_WINDOWTEXT:
        return kWindowText;
    case COLOR_GRAYTEXT:
        return kGrayText;
    default:
        return RGB(0x80, 0x00, 0x80);
    }
}
constexpr SystemLook kHighContrast{true, &ThemeColour};

int Count(const DibCanvas& c, const RECT& r, std::initializer_list<COLORREF> colours) {
    int n = 0;
    for (COLORREF colour : colours)
        n += c.Count(r, colour);
    return n;
}

// A 50 % bar: the used share in the highlight colour with its label in the
// highlight text colour, the rest in the window colours, a frame of window
// text colour; a bar without figures: its word in window text, wholly clear
// of the gray text box that covers the rest of the bar.
TEST(HighContrastTest, BarsAndBoxesTakeTheThemesColours) {
    testing_drives::TestDrives drives;
    drives.drives = {MakeRecord("Local Disk (C:)", 1000, 500), MakeRecord("Floppy (A:)", 0, 0)};
    drives.excluded = {"A:"};
    DibCanvas canvas(640, 80);
    CDC dc(canvas.dc());
    PaintDriveRows(dc, drives, 0, 600, RowMetrics{}, nullptr, kHighContrast);

    const RECT bar{44, 5, 500, 33};
    const RECT inside{45, 6, 499, 32};
    EXPECT_EQ(canvas.Count(bar, kWindowText) - canvas.Count(inside, kWindowText),
              canvas.Area(bar) - canvas.Area(inside))
        << "the frame";
    const RECT used{45, 6, 44 + 228, 32}, rest{44 + 228, 6, 499, 32};
    EXPECT_EQ(Count(canvas, used, {kHighlight, kHighlightText}), canvas.Area(used));
    EXPECT_GT(canvas.Count(used, kHighlightText), 10) << "the label over the used share";
    EXPECT_EQ(Count(canvas, rest, {kWindow, kWindowText}), canvas.Area(rest));
    EXPECT_GT(canvas.Count(rest, kWindowText), 10) << "the label over the rest";

    // The excluded drive's box: the word as a bar draws it alone, every one
    // of its pixels intact; the box's gray text laid over the rest.
    const RECT box{44, 37, 500, 65};
    DibCanvas word(640, 80);
    const BarColours colours = BarColoursFor(DriveState::NotQueried, kHighContrast);
    DrawColouredBar(word.dc(), GetStockObject(SYSTEM_FONT), box, 0, 100, kBarNoMediaLabel, colours);
    int glyphs = 0, intact = 0;
    for (int y = box.top + 1; y < box.bottom - 1; ++y)
        for (int x = box.left + 1; x < box.right - 1; ++x)
            if (word.At(x, y) == kWindowText) {
                ++glyphs;
                intact += canvas.At(x, y) == kWindowText ? 1 : 0;
            }
    EXPECT_GT(glyphs, 20);
    EXPECT_EQ(intact, glyphs);
    EXPECT_GT(canvas.Count(box, kGrayText), canvas.Area(box) / 4);
    EXPECT_EQ(Count(canvas, box, {kGrayText, kWindow, kWindowText}), canvas.Area(box));
}

bool g_highContrast = false;
bool HighContrastForTest() {
    return g_highContrast;
}

// The view follows the setting as soon as either message announces it.
TEST(HighContrastViewTest, FollowsSettingChangeAndSysColorChange) {
    testing_drives::TestFrame frame;
    CDriveView view{&frame};
    ASSERT_TRUE(frame.CreatePopup(400, 100));
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 100}, &frame,
                            AFX_IDW_PANE_FIRST));
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    view.SetHighContrastQuery(&HighContrastForTest);
    frame.drives = {MakeRecord("Local Disk (C:)", 1000, 0)}; // a full bar
    const auto barColour = [&] {
        UpdateWindow(view.m_hWnd);
        const tov::WindowDC dc(view.m_hWnd);
        return GetPixel(dc.get(), 50, 15);
    };
    ASSERT_NE(GetSysColor(COLOR_HIGHLIGHT), kBarUsedColour);
    EXPECT_EQ(barColour(), kBarUsedColour);
    g_highContrast = true;
    SendMessageW(frame.m_hWnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(barColour(), GetSysColor(COLOR_HIGHLIGHT));
    g_highContrast = false;
    SendMessageW(frame.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(barColour(), kBarUsedColour);
}
} // namespace
