// The dock state: what a frame's bars look like, stored in the profile and
// applied to a new frame; damaged stored values are left out.
#include "framework/DockState.h"
#include "tests/TestSupport.h"
#include "framework/Handle.h"
#include "tests/framework/FrameTestSupport.h"

#include <algorithm>

namespace frametest {
namespace {

constexpr char kCompanyKey[] = "Software\\VelmoraTestDockState";
constexpr char kProfile[] = "FrameTest";

TEST(BarInfoFromStoredTest, AcceptsOnlyValuesInRange) {
    const tov::StoredBarValues good{59392, 1, 1, static_cast<int>(CBRS_ALIGN_LEFT), -200, 300};
    const auto info = tov::BarInfoFromStored(good);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->m_nBarID, 59392u);
    EXPECT_TRUE(info->m_bVisible);
    EXPECT_TRUE(info->m_bFloating);
    EXPECT_EQ(info->m_dwDockSide, CBRS_ALIGN_LEFT);
    EXPECT_EQ(info->m_pointPos.x, -200);
    EXPECT_EQ(info->m_pointPos.y, 300);

    const tov::StoredBarValues bad[] = {
        {0, 1, 0, 0x2000, 0, 0},           {0x10000, 1, 0, 0x2000, 0, 0},
        {-1, 1, 0, 0x2000, 0, 0},          {59392, 2, 0, 0x2000, 0, 0},
        {59392, -1, 0, 0x2000, 0, 0},      {59392, 1, 5, 0x2000, 0, 0},
        {59392, 1, 0, 0x3000, 0, 0},       {59392, 1, 0, 0, 0, 0},
        {59392, 1, 0, -0x2000, 0, 0},      {59392, 1, 0, 0x2000, 40000, 0},
        {59392, 1, 0, 0x2000, 0, INT_MIN},
    };
    for (const auto& values : bad)
        EXPECT_FALSE(tov::BarInfoFromStored(values))
            << values.barId << " " << values.visible << " " << values.floating << " "
            << values.dockSide << " " << values.x << " " << values.y;
}

class DockStateTest : public FrameFixture {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
        app.SetRegistryKey("VelmoraTestDockState");
        FrameFixture::SetUp();
    }
    void TearDown() override {
        FrameFixture::TearDown();
        RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
    }

    // Saves the frame's state, replaces the frame by a new one and applies
    // the stored state to it.
    void SaveAndRestart() {
        CDockState saved;
        frame->GetDockState(saved);
        saved.SaveState(kProfile);
        DestroyWindow(frameWindow);
        Pump();
        frame = NewFrame();
        ASSERT_NE(frame, nullptr);
        CDockState loaded;
        loaded.LoadState(kProfile);
        frame->SetDockState(loaded);
    }

    void Store(const std::string& section, const char* entry, DWORD type, const void* data,
               DWORD size) {
        tovtest::StoreRawProfileValue(app, section, entry, type, data, size);
    }
    void StoreInt(const std::string& section, const char* entry, int value) {
        Store(section, entry, REG_DWORD, &value, sizeof value);
    }
    void StoreBar(int index, int id, int visible, int floating, int side, int x, int y) {
        const std::string section = std::string(kProfile) + "-Bar" + std::to_string(index);
        StoreInt(section, "BarID", id);
        StoreInt(section, "Visible", visible);
        StoreInt(section, "Floating", floating);
        StoreInt(section, "DockSide", side);
        StoreInt(section, "XPos", x);
        StoreInt(section, "YPos", y);
    }
};

TEST_F(DockStateTest, FirstStartLeavesTheBarsAsCreated) {
    CDockState state;
    state.LoadState(kProfile);
    EXPECT_TRUE(state.m_arrBarInfo.empty());
    frame->SetDockState(state);
    CToolBar& bar = frame->m_wndToolBar;
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.GetDockSide(), CBRS_ALIGN_TOP);
    EXPECT_EQ(ChildRect(frameWindow, bar.m_hWnd).top, 0);
    EXPECT_TRUE(frame->m_wndStatusBar.IsVisible());
}

// A hidden status bar and a toolbar floated from the bottom come back as
// they were: the view then fills the client area.
TEST_F(DockStateTest, HiddenAndFloatingBarsComeBackAsTheyWere) {
    Command(ID_VIEW_STATUS_BAR);
    frame->DockControlBar(&frame->m_wndToolBar, CBRS_ALIGN_BOTTOM);
    frame->FloatControlBar(&frame->m_wndToolBar, POINT{240, 180});
    SaveAndRestart();
    EXPECT_FALSE(frame->m_wndStatusBar.IsVisible());
    const RECT pane = ChildRect(frameWindow, frame->m_wndView.m_hWnd);
    const RECT client = frame->GetClientRect();
    EXPECT_TRUE(EqualRect(&pane, &client));
    InitViewMenu();
    EXPECT_TRUE(MenuChecked(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(MenuChecked(ID_VIEW_STATUS_BAR));

    CToolBar& bar = frame->m_wndToolBar;
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_TRUE(Shown(GetParent(bar.m_hWnd)));
    EXPECT_EQ(bar.GetFloatingPosition().x, 240);
    EXPECT_EQ(bar.GetFloatingPosition().y, 180);
    // Docking back goes to the side it floated from.
    SendMessageA(GetParent(bar.m_hWnd), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(bar.GetDockSide(), CBRS_ALIGN_BOTTOM);
}

TEST_F(DockStateTest, FloatingPositionOffTheScreenIsBroughtBack) {
    StoreBar(0, AFX_IDW_TOOLBAR, 1, 1, CBRS_ALIGN_TOP, 30000, -30000);
    StoreInt(std::string(kProfile) + "-Summary", "Bars", 1);
    CDockState state;
    state.LoadState(kProfile);
    frame->SetDockState(state);
    RECT holder{};
    GetWindowRect(GetParent(frame->m_wndToolBar.m_hWnd), &holder);
    EXPECT_LE(holder.right,
              GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_GE(holder.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
}

// Two monitors side by side, the right one (x from 1024) a portrait screen
// reaching 400 rows higher than the left one, whose taskbar takes its bottom
// 40 rows: the desktop's bounding box has a corner above the left one that no
// monitor shows. The work area of the nearest monitor, as MonitorFromRect
// answers for the rectangles below.
RECT LShapedWorkArea(const RECT& rect) {
    return rect.left >= 1024 ? RECT{1024, -400, 1624, 768} : RECT{0, 0, 1024, 728};
}

TEST_F(DockStateTest, AFloatingBarIsKeptOnTheWorkAreaOfTheNearestMonitor) {
    frame->m_workAreaOf = LShapedWorkArea;
    CToolBar& bar = frame->m_wndToolBar;
    struct Case {
        POINT asked, expected;
    };
    RECT holder{};
    frame->FloatControlBar(&bar, POINT{0, 0});
    GetWindowRect(GetParent(bar.m_hWnd), &holder);
    const int height = holder.bottom - holder.top;
    const Case cases[] = {
        {{1300, -300}, {1300, -300}},       // on the right monitor, above the left one's top
        {{200, -300}, {200, 0}},            // in the dead corner: onto the left monitor
        {{200, 760}, {200, 728 - height}},  // over the taskbar: above it
        {{1500, 750}, {1500, 768 - height}} // the right monitor has no taskbar
    };
    for (const Case& c : cases) {
        frame->FloatControlBar(&bar, c.asked);
        EXPECT_EQ(bar.GetFloatingPosition().x, c.expected.x) << c.asked.x << "," << c.asked.y;
        EXPECT_EQ(bar.GetFloatingPosition().y, c.expected.y) << c.asked.x << "," << c.asked.y;
    }
}

TEST_F(DockStateTest, DamagedStoredStateIsLeftOut) {
    const std::string summary = std::string(kProfile) + "-Summary";
    // An absurd count: nothing is read.
    StoreInt(summary, "Bars", 100000);
    StoreBar(0, AFX_IDW_TOOLBAR, 0, 0, CBRS_ALIGN_LEFT, 0, 0);
    CDockState state;
    state.LoadState(kProfile);
    EXPECT_TRUE(state.m_arrBarInfo.empty());
    StoreInt(summary, "Bars", -1);
    state.LoadState(kProfile);
    EXPECT_TRUE(state.m_arrBarInfo.empty());
    Store(summary, "Bars", REG_SZ, "1", 2);
    state.LoadState(kProfile);
    EXPECT_TRUE(state.m_arrBarInfo.empty());

    // Bar by bar: a side that is two sides, a missing entry, a string, an
    // unknown bar, a repeated bar; only the one good entry survives.
    StoreInt(summary, "Bars", 6);
    StoreBar(0, AFX_IDW_TOOLBAR, 0, 0, CBRS_ALIGN_LEFT | CBRS_ALIGN_TOP, 0, 0);
    StoreBar(1, AFX_IDW_TOOLBAR, 0, 0, CBRS_ALIGN_LEFT, 0, 0);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, (app.ApplicationKeyPath() + "\\FrameTest-Bar1").c_str(),
                       "YPos");
    StoreBar(2, AFX_IDW_TOOLBAR, 0, 0, CBRS_ALIGN_LEFT, 0, 0);
    Store(std::string(kProfile) + "-Bar2", "Visible", REG_SZ, "0", 2);
    StoreBar(3, 1234, 0, 0, CBRS_ALIGN_LEFT, 0, 0);
    StoreBar(4, AFX_IDW_TOOLBAR, 1, 0, CBRS_ALIGN_RIGHT, 0, 0);
    StoreBar(5, AFX_IDW_TOOLBAR, 0, 0, CBRS_ALIGN_LEFT, 0, 0);
    state.LoadState(kProfile);
    ASSERT_EQ(state.m_arrBarInfo.size(), 2u);
    EXPECT_EQ(state.m_arrBarInfo[0].m_nBarID, 1234u);
    EXPECT_EQ(state.m_arrBarInfo[1].m_dwDockSide, CBRS_ALIGN_RIGHT);
    frame->SetDockState(state); // the unknown bar is passed over
    EXPECT_EQ(frame->m_wndToolBar.GetDockSide(), CBRS_ALIGN_RIGHT);
    EXPECT_TRUE(frame->m_wndToolBar.IsVisible());
}

} // namespace
} // namespace frametest
