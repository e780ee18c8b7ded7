// The frame window under a real display: command routing, update-UI,
// accelerators, the framework's own commands, layout, fly-by and tooltips.
#include "tests/framework/FrameTestSupport.h"

#include <vector>

namespace frametest {
namespace {

using FrameWndTest = FrameFixture;

TEST_F(FrameWndTest, CommandsGoToViewThenFrameThenApplication) {
    Command(ID_TEST_SHARED);    // view, frame and application handle it
    Command(ID_TEST_FRAME_APP); // frame and application
    Command(ID_TEST_APP);       // application only
    Command(ID_TEST_NOBODY);
    EXPECT_EQ(g_log, (std::vector<std::string>{"view 33003", "frame 33004", "app 33005"}));
    EXPECT_FALSE(frame->OnCmdMsg(ID_TEST_NOBODY, CN_COMMAND, nullptr, nullptr));
}

// An application that takes over "Toolbar" from the framework.
struct OwnToolbarApp : TestApp {
    DECLARE_MESSAGE_MAP()
    void OnOwn() { Log("app", ID_VIEW_TOOLBAR); }
};
DEFINE_MESSAGE_MAP(OwnToolbarApp, TestApp, OnCommand<ID_VIEW_TOOLBAR, &OwnToolbarApp::OnOwn>());

TEST_F(FrameWndTest, ApplicationComesBeforeTheFrameworkDefaults) {
    OwnToolbarApp ownApp; // the application object from here on
    Command(ID_VIEW_TOOLBAR);
    EXPECT_EQ(g_log, (std::vector<std::string>{"app 59392"}));
    EXPECT_TRUE(frame->m_wndToolBar.IsVisible());
}

TEST_F(FrameWndTest, MenuCheckMarksFollowUpdateHandlersWhenThePopupOpens) {
    InitViewMenu();
    EXPECT_FALSE(MenuChecked(ID_TEST_TOGGLE));
    EXPECT_TRUE(MenuChecked(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(MenuChecked(ID_VIEW_STATUS_BAR));

    Command(ID_TEST_TOGGLE);
    InitViewMenu();
    EXPECT_TRUE(MenuChecked(ID_TEST_TOGGLE));

    // The system menu is the platform's; no update handler runs for it.
    const int before = g_toggleUpdates;
    SendMessageA(frameWindow, WM_INITMENUPOPUP,
                 reinterpret_cast<WPARAM>(GetSubMenu(GetMenu(frameWindow), 1)),
                 MAKELPARAM(0, TRUE));
    EXPECT_EQ(g_toggleUpdates, before);
}

TEST_F(FrameWndTest, ToolbarButtonsFollowUpdateHandlersWhenIdle) {
    HWND buttons = frame->m_wndToolBar.GetToolBarCtrl();
    frame->m_bFlag = TRUE;
    SendMessageA(frameWindow, WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_TRUE(SendMessageA(buttons, TB_ISBUTTONCHECKED, ID_TEST_TOGGLE, 0));
    EXPECT_FALSE(SendMessageA(buttons, TB_ISBUTTONCHECKED, ID_TEST_REFRESH, 0));
    frame->m_bFlag = FALSE;
    SendMessageA(frameWindow, WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_FALSE(SendMessageA(buttons, TB_ISBUTTONCHECKED, ID_TEST_TOGGLE, 0));
}

TEST_F(FrameWndTest, ToolbarResourceGivesButtonsAndSeparators) {
    const CToolBar& bar = frame->m_wndToolBar;
    ASSERT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(bar.GetItemID(0), static_cast<UINT>(ID_TEST_REFRESH));
    EXPECT_EQ(bar.GetItemID(1), 0u);
    EXPECT_EQ(bar.GetItemID(2), static_cast<UINT>(ID_TEST_TOGGLE));
    EXPECT_EQ(bar.GetItemID(3), static_cast<UINT>(ID_TEST_APP));
    EXPECT_EQ(bar.GetDlgCtrlID(), AFX_IDW_TOOLBAR);
    // The bar styles are the bar's, not the window's: the gripper bit
    // would be a dialog frame.
    EXPECT_EQ(GetWindowLongA(bar.m_hWnd, GWL_STYLE) & WS_DLGFRAME, 0);
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_GRIPPER);

    CToolBar missing;
    ASSERT_TRUE(missing.CreateEx(frame));
    EXPECT_FALSE(missing.LoadToolBar(IDR_TEST + 1));
}

TEST_F(FrameWndTest, ClickingAToolbarButtonRunsItsCommand) {
    HWND buttons = frame->m_wndToolBar.GetToolBarCtrl();
    RECT item{};
    ASSERT_TRUE(SendMessageA(buttons, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item)));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(buttons, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(buttons, WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(g_log, (std::vector<std::string>{"app 33005"}));
}

TEST_F(FrameWndTest, AcceleratorTurnsF5IntoItsCommandEvenWithoutTheToolbar) {
    MSG key{frameWindow, WM_KEYDOWN, VK_F5, 0x003F0001, 0, {}};
    EXPECT_TRUE(frame->PreTranslateMessage(&key));
    Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(frame->PreTranslateMessage(&key));
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 33001", "frame 33001"}));

    MSG other{frameWindow, WM_KEYDOWN, VK_F6, 0x00400001, 0, {}};
    EXPECT_FALSE(frame->PreTranslateMessage(&other));
}

TEST_F(FrameWndTest, ViewToolbarAndStatusBarToggleTheBarsWithCheckMarks) {
    HWND pane = frame->m_wndView.m_hWnd;
    const RECT withBoth = ChildRect(frameWindow, pane);
    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Shown(frame->m_wndToolBar.m_hWnd));
    EXPECT_EQ(ChildRect(frameWindow, pane).top, 0);
    InitViewMenu();
    EXPECT_FALSE(MenuChecked(ID_VIEW_TOOLBAR));

    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Shown(frame->m_wndStatusBar.m_hWnd));
    EXPECT_EQ(ChildRect(frameWindow, pane).bottom, frame->GetClientRect().bottom);
    InitViewMenu();
    EXPECT_FALSE(MenuChecked(ID_VIEW_STATUS_BAR));

    Command(ID_VIEW_TOOLBAR);
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(Shown(frame->m_wndToolBar.m_hWnd));
    EXPECT_TRUE(Shown(frame->m_wndStatusBar.m_hWnd));
    const RECT back = ChildRect(frameWindow, pane);
    EXPECT_TRUE(EqualRect(&back, &withBoth));
    InitViewMenu();
    EXPECT_TRUE(MenuChecked(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(MenuChecked(ID_VIEW_STATUS_BAR));
}

TEST_F(FrameWndTest, AppExitClosesTheMainWindowAndEndsTheLoop) {
    app.m_pMainWnd = frame;
    Command(ID_APP_EXIT);
    EXPECT_TRUE(IsWindow(frameWindow)); // closed once the command has returned
    EXPECT_TRUE(Pump());                // WM_QUIT
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(g_framesDeleted, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST_F(FrameWndTest, CloseBoxDestroysAndDeletesTheFrame) {
    // WM_CLOSE arrives inside another message of the same window (the
    // system menu's close): the frame is deleted only after both return.
    SendMessageA(frameWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(g_framesDeleted, 1);
}

TEST_F(FrameWndTest, BarsAlongTheEdgesAndThePaneInTheRest) {
    const RECT client = frame->GetClientRect();
    const RECT tool = ChildRect(frameWindow, frame->m_wndToolBar.m_hWnd);
    const RECT status = ChildRect(frameWindow, frame->m_wndStatusBar.m_hWnd);
    const RECT pane = ChildRect(frameWindow, frame->m_wndView.m_hWnd);
    EXPECT_EQ(tool.top, 0);
    EXPECT_EQ(tool.left, 0);
    EXPECT_EQ(tool.right, client.right);
    EXPECT_GE(tool.bottom - tool.top, 15 + 7); // a button's height at least
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.right, client.right);
    EXPECT_GT(status.bottom - status.top, 10);
    EXPECT_EQ(pane.top, tool.bottom);
    EXPECT_EQ(pane.bottom, status.top);
    EXPECT_EQ(pane.left, 0);
    EXPECT_EQ(pane.right, client.right);

    // Resizing the frame lays everything out again.
    SetWindowPos(frameWindow, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    const RECT smaller = frame->GetClientRect();
    EXPECT_EQ(ChildRect(frameWindow, frame->m_wndStatusBar.m_hWnd).bottom, smaller.bottom);
    EXPECT_EQ(ChildRect(frameWindow, frame->m_wndView.m_hWnd).right, smaller.right);

    frame->DockControlBar(&frame->m_wndToolBar, CBRS_ALIGN_LEFT);
    const RECT left = ChildRect(frameWindow, frame->m_wndToolBar.m_hWnd);
    const RECT paneLeft = ChildRect(frameWindow, frame->m_wndView.m_hWnd);
    EXPECT_EQ(left.left, 0);
    EXPECT_EQ(left.top, 0);
    EXPECT_EQ(left.bottom, ChildRect(frameWindow, frame->m_wndStatusBar.m_hWnd).top);
    EXPECT_LT(left.right - left.left, left.bottom - left.top); // standing upright
    EXPECT_EQ(paneLeft.left, left.right);
    EXPECT_EQ(paneLeft.top, 0);
    EXPECT_EQ(frame->m_wndToolBar.GetDockSide(), CBRS_ALIGN_LEFT);
}

TEST_F(FrameWndTest, DockingOnlyWhereBothFrameAndBarAllowIt) {
    frame->m_wndToolBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    frame->DockControlBar(&frame->m_wndToolBar, CBRS_ALIGN_RIGHT); // not allowed: first allowed
    EXPECT_EQ(frame->m_wndToolBar.GetDockSide(), CBRS_ALIGN_TOP);
    frame->DockControlBar(&frame->m_wndToolBar, CBRS_ALIGN_BOTTOM);
    EXPECT_EQ(frame->m_wndToolBar.GetDockSide(), CBRS_ALIGN_BOTTOM);
    // A docked bottom bar sits above the status bar.
    EXPECT_EQ(ChildRect(frameWindow, frame->m_wndToolBar.m_hWnd).bottom,
              ChildRect(frameWindow, frame->m_wndStatusBar.m_hWnd).top);
    frame->m_wndToolBar.EnableDocking(0);
    frame->DockControlBar(&frame->m_wndToolBar, CBRS_ALIGN_TOP); // not dockable at all
    EXPECT_EQ(frame->m_wndToolBar.GetDockSide(), CBRS_ALIGN_BOTTOM);
}

TEST_F(FrameWndTest, FloatingBarLivesInAToolWindowAndStillRoutesCommands) {
    frame->FloatControlBar(&frame->m_wndToolBar, POINT{300, 200});
    CToolBar& bar = frame->m_wndToolBar;
    ASSERT_TRUE(bar.IsFloating());
    HWND holder = GetParent(bar.m_hWnd);
    ASSERT_NE(holder, frameWindow);
    EXPECT_TRUE(GetWindowLongA(holder, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(Shown(holder));
    EXPECT_EQ(GetWindow(holder, GW_OWNER), frameWindow);
    const POINT at = bar.GetFloatingPosition();
    EXPECT_EQ(at.x, 300);
    EXPECT_EQ(at.y, 200);
    EXPECT_EQ(ChildRect(frameWindow, frame->m_wndView.m_hWnd).top, 0);

    // A click on a floating button reaches the frame.
    HWND buttons = bar.GetToolBarCtrl();
    RECT item{};
    SendMessageA(buttons, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const LPARAM click = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(buttons, WM_LBUTTONDOWN, MK_LBUTTON, click);
    SendMessageA(buttons, WM_LBUTTONUP, 0, click);
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 33001"}));

    // Its close box hides the bar; View > Toolbar brings it back, floating.
    SendMessageA(holder, WM_CLOSE, 0, 0);
    EXPECT_FALSE(Shown(holder));
    EXPECT_FALSE(bar.IsVisible());
    Command(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(Shown(holder));
    EXPECT_TRUE(bar.IsFloating());

    // It takes the DPI of its own tool window's monitor, not the frame's,
    // and the frame's again once docked.
    const UINT dpi = tov::WindowDpi(frameWindow);
    EXPECT_EQ(bar.GetDpi(), tov::WindowDpi(holder));
    RECT frameRect{}, rect{};
    GetWindowRect(frameWindow, &frameRect);
    SendMessageA(frameWindow, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), LPARAM(&frameRect));
    EXPECT_EQ(bar.GetDpi(), tov::WindowDpi(holder));
    GetWindowRect(holder, &rect);
    SendMessageA(holder, WM_DPICHANGED, MAKEWPARAM(3 * dpi / 2, 3 * dpi / 2), LPARAM(&rect));
    EXPECT_EQ(bar.GetDpi(), 3 * dpi / 2);

    // A double click on its caption docks it where it was.
    SendMessageA(holder, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(bar.GetDpi(), dpi);
    SendMessageA(frameWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&frameRect));
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(GetParent(bar.m_hWnd), frameWindow);
    EXPECT_FALSE(Shown(holder));
    EXPECT_EQ(ChildRect(frameWindow, bar.m_hWnd).top, 0);
    EXPECT_EQ(ChildRect(frameWindow, frame->m_wndView.m_hWnd).top,
              ChildRect(frameWindow, bar.m_hWnd).bottom);
}

// A placement that lands the window on a monitor of twice the scale, as
// Windows applies it: the window moves, then hears of the new DPI with a
// rectangle scaled from where it now is.
BOOL WINAPI PlaceOnTwiceTheScale(HWND window, const WINDOWPLACEMENT* placement) {
    const BOOL placed = SetWindowPlacement(window, placement);
    RECT at{};
    GetWindowRect(window, &at);
    RECT scaled{at.left, at.top, at.left + 2 * (at.right - at.left),
                at.top + 2 * (at.bottom - at.top)};
    const UINT dpi = 2 * tov::WindowDpi(window);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&scaled));
    return placed;
}

// The DPI change a restored placement causes scales the bars but keeps the
// stored rectangle; any other takes the suggested one.
TEST_F(FrameWndTest, ARestoredPlacementKeepsItsRectangleOnAMonitorOfAnotherScale) {
    const UINT dpi = tov::WindowDpi(frameWindow);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = RECT{120, 90, 620, 470};
    ASSERT_TRUE(tov::RestoreWindowPlacement(frameWindow, placement, PlaceOnTwiceTheScale));
    RECT rect{};
    GetWindowRect(frameWindow, &rect);
    EXPECT_TRUE(EqualRect(&rect, &placement.rcNormalPosition));
    EXPECT_EQ(frame->m_wndToolBar.GetDpi(), 2 * dpi);
    EXPECT_FALSE(tov::IsRestoringPlacement(frameWindow));

    PlaceOnTwiceTheScale(frameWindow, &placement);
    GetWindowRect(frameWindow, &rect);
    EXPECT_EQ(rect.right - rect.left, 1000);
}

// A DPI change swaps the status bar's font: the old one still exists when
// the control is handed the new one.
WNDPROC g_statusProc = nullptr;
int g_fontsSet = 0;
bool g_oldFontAlive = true;
LRESULT CALLBACK WatchFontSwap(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFONT) {
        ++g_fontsSet;
        const auto old =
            reinterpret_cast<HGDIOBJ>(CallWindowProcW(g_statusProc, window, WM_GETFONT, 0, 0));
        g_oldFontAlive = g_oldFontAlive && GetObjectType(old) == OBJ_FONT;
    }
    return CallWindowProcW(g_statusProc, window, message, wParam, lParam);
}

TEST_F(FrameWndTest, TheStatusBarLetsItsOldFontGoOnlyAfterTheSwitch) {
    const HWND status = frame->m_wndStatusBar.m_hWnd;
    const UINT dpi = tov::WindowDpi(frameWindow);
    SendMessageW(status, WM_DPICHANGED_AFTERPARENT, 2 * dpi, 0); // a font of its own
    g_statusProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchFontSwap)));
    SendMessageW(status, WM_DPICHANGED_AFTERPARENT, 3 * dpi / 2, 0);
    SetWindowLongPtrW(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_statusProc));
    EXPECT_EQ(g_fontsSet, 1);
    EXPECT_TRUE(g_oldFontAlive);
}

TEST_F(FrameWndTest, DraggingTheGripperDocksOrFloatsTheBar) {
    CToolBar& bar = frame->m_wndToolBar;
    RECT client{};
    GetClientRect(frameWindow, &client);
    // Drags from the gripper to a point given in the frame's client area.
    auto drag = [&](POINT to) {
        const POINT grip{3, 5};
        SendMessageA(bar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip.x, grip.y));
        POINT target = to;
        MapWindowPoints(frameWindow, bar.m_hWnd, &target, 1);
        const LPARAM at = MAKELPARAM(static_cast<short>(target.x), static_cast<short>(target.y));
        SendMessageA(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, at);
        SendMessageA(bar.m_hWnd, WM_LBUTTONUP, 0, at);
    };
    drag(POINT{client.right - 3, client.bottom / 2});
    EXPECT_EQ(bar.GetDockSide(), CBRS_ALIGN_RIGHT);
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(ChildRect(frameWindow, bar.m_hWnd).right, client.right);
    EXPECT_EQ(GetCapture(), nullptr);

    drag(POINT{client.right / 2, client.bottom / 2});
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_EQ(ChildRect(frameWindow, frame->m_wndView.m_hWnd).right, client.right);
}

TEST_F(FrameWndTest, StatusBarShowsReadyThenMenuPromptsThenReadyAgain) {
    EXPECT_EQ(StatusText(), "Ready");
    HMENU menu = GetMenu(frameWindow);
    SendMessageA(frameWindow, WM_MENUSELECT, MAKEWPARAM(ID_TEST_REFRESH, MF_HILITE),
                 reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(StatusText(), "Refreshes the test");
    SendMessageA(frameWindow, WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP | MF_HILITE),
                 reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(StatusText(), "");
    HMENU system = GetSystemMenu(frameWindow, FALSE);
    SendMessageA(frameWindow, WM_MENUSELECT, MAKEWPARAM(SC_SIZE, MF_SYSMENU | MF_HILITE),
                 reinterpret_cast<LPARAM>(system));
    EXPECT_EQ(StatusText(), "Change the window size");
    SendMessageA(frameWindow, WM_MENUSELECT, MAKEWPARAM(SC_RESTORE, MF_SYSMENU | MF_HILITE),
                 reinterpret_cast<LPARAM>(system));
    EXPECT_EQ(StatusText(), "Restore the window to normal size");
    SendMessageA(frameWindow, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(FrameWndTest, HotToolbarButtonShowsItsPromptUntilTheMouseLeaves) {
    HWND buttons = frame->m_wndToolBar.GetToolBarCtrl();
    NMTBHOTITEM hot{};
    hot.hdr = NMHDR{buttons, AFX_IDW_TOOLBAR, static_cast<UINT>(TBN_HOTITEMCHANGE)};
    hot.idOld = 0;
    hot.idNew = ID_TEST_TOGGLE;
    hot.dwFlags = HICF_MOUSE | HICF_ENTERING;
    SendMessageA(frameWindow, WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(StatusText(), "Toggles the test flag");
    hot.idOld = ID_TEST_TOGGLE;
    hot.idNew = 0;
    hot.dwFlags = HICF_MOUSE | HICF_LEAVING;
    SendMessageA(frameWindow, WM_NOTIFY, AFX_IDW_TOOLBAR, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(StatusText(), "Ready");

    // The native control's own hot-item change arrives the same way.
    SendMessageA(buttons, TB_SETHOTITEM, 3, 0);
    EXPECT_EQ(StatusText(), "Runs the application's command");
    SendMessageA(buttons, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(FrameWndTest, TooltipIsTheTextAfterTheLineFeed) {
    HWND buttons = frame->m_wndToolBar.GetToolBarCtrl();
    HWND tips = reinterpret_cast<HWND>(SendMessageA(buttons, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr); // CBRS_TOOLTIPS gives the control its tooltips

    NMTTDISPINFOW wide{};
    wide.hdr = NMHDR{tips, ID_TEST_APP, static_cast<UINT>(TTN_GETDISPINFOW)};
    SendMessageA(frameWindow, WM_NOTIFY, ID_TEST_APP, reinterpret_cast<LPARAM>(&wide));
    ASSERT_NE(wide.lpszText, nullptr);
    EXPECT_STREQ(wide.lpszText, L"Application");

    // Through the real tooltip control, which asks the frame.
    char text[80] = "";
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = buttons;
    tool.uId = ID_TEST_REFRESH;
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Refresh");
}

TEST_F(FrameWndTest, StatusBarIndicatorsAreCheckedAndShowTheirStrings) {
    CStatusBar& status = frame->m_wndStatusBar;
    EXPECT_FALSE(status.SetIndicators(nullptr, 1));
    const UINT none[] = {0};
    EXPECT_FALSE(status.SetIndicators(none, 0));
    const UINT panes[] = {ID_SEPARATOR, ID_TEST_APP};
    ASSERT_TRUE(status.SetIndicators(panes, 2));
    EXPECT_EQ(SendMessageA(status.m_hWnd, SB_GETPARTS, 0, 0), 2);
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    EXPECT_EQ(status.GetPaneText(1), "Runs the application's command"); // the prompt part
}

TEST_F(FrameWndTest, FailedCreationDeletesTheFrameAndClearsTheMainWindow) {
    auto* failing = new TestFrame;
    failing->m_bFailCreate = true;
    app.m_pMainWnd = failing;
    EXPECT_FALSE(failing->LoadFrame(IDR_TEST));
    EXPECT_EQ(g_framesDeleted, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    Pump(); // the WM_QUIT of the main window that never was

    // No window class at all: the window never existed.
    struct NoClassFrame : TestFrame {
        BOOL PreCreateWindow(CREATESTRUCTW& cs) override {
            cs.lpszClass = L"Tovemar.NoSuchClass";
            return TRUE;
        }
    };
    auto* noClass = new NoClassFrame;
    app.m_pMainWnd = noClass;
    EXPECT_FALSE(noClass->LoadFrame(IDR_TEST));
    EXPECT_EQ(g_framesDeleted, 2);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST_F(FrameWndTest, MessageLoopUpdatesWhenIdleAndEndsWithTheMainWindow) {
    app.m_pMainWnd = frame;
    frame->m_bExitWhenUpdated = true; // File > Exit from the first idle update
    PostMessageA(frameWindow, WM_COMMAND, ID_TEST_REFRESH, 0);
    // Characters of any script reach the (wide) windows as they were typed.
    const std::wstring typed = L"\u0416\u6570";
    g_chars.clear();
    for (wchar_t c : typed)
        PostMessageW(frame->m_wndView.m_hWnd, WM_CHAR, c, 1);
    g_toggleUpdates = 0;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(g_chars, typed);
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(g_toggleUpdates, 1); // once the queue was empty, not per message
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame 33001"}));
}

} // namespace
} // namespace frametest
