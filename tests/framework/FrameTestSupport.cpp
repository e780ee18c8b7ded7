#include "tests/framework/FrameTestSupport.h"

namespace frametest {

DEFINE_MESSAGE_MAP(TestView, CWnd, OnCommand<ID_TEST_SHARED, &TestView::OnShared>(),
                   OnMessage<WM_CHAR, &TestView::OnChar>());

DEFINE_MESSAGE_MAP(TestFrame, CFrameWnd, OnWmCreate<&TestFrame::OnCreate>(),
                   OnCommand<ID_TEST_REFRESH, &TestFrame::OnRefresh>(),
                   OnCommand<ID_TEST_TOGGLE, &TestFrame::OnToggle>(),
                   OnUpdateCommandUI<ID_TEST_TOGGLE, &TestFrame::OnUpdateToggle>(),
                   OnCommand<ID_TEST_SHARED, &TestFrame::OnShared>(),
                   OnCommand<ID_TEST_FRAME_APP, &TestFrame::OnFrameApp>());

DEFINE_MESSAGE_MAP(TestApp, CWinApp, OnCommand<ID_TEST_SHARED, &TestApp::OnShared>(),
                   OnCommand<ID_TEST_FRAME_APP, &TestApp::OnFrameApp>(),
                   OnCommand<ID_TEST_APP, &TestApp::OnAppOnly>());

int TestFrame::OnCreate(LPCREATESTRUCTW cs) {
    if (CFrameWnd::OnCreate(cs) == -1 || m_bFailCreate)
        return -1;
    if (!m_wndView.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{}, this,
                          AFX_IDW_PANE_FIRST))
        return -1;
    // The styles the program itself uses for its bars.
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, 0x50402834, RECT{}, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_TEST))
        return -1;
    const UINT indicators[] = {ID_SEPARATOR};
    if (!m_wndStatusBar.Create(this, 0x50008200, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(indicators, 1))
        return -1;
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    return 0;
}

bool Shown(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void FrameFixture::SetUp() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    g_log.clear();
    g_toggleUpdates = 0;
    g_framesDeleted = 0;
    frame = NewFrame();
    ASSERT_NE(frame, nullptr);
}

TestFrame* FrameFixture::NewFrame() {
    auto* created = new TestFrame;
    if (!created->LoadFrame(IDR_TEST))
        return nullptr; // LoadFrame has deleted it
    frameWindow = created->m_hWnd;
    // Left hidden: a shown top-level window costs Wine a wait for a window
    // manager when it goes away, and nothing here depends on the screen.
    SetWindowPos(frameWindow, nullptr, 50, 50, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    return created;
}

void FrameFixture::TearDown() {
    if (frameWindow != nullptr && IsWindow(frameWindow))
        DestroyWindow(frameWindow); // deletes the frame
    Pump();
    app.m_pMainWnd = nullptr;
}

std::string FrameFixture::StatusText() const {
    char text[256] = "";
    SendMessageA(frame->m_wndStatusBar.m_hWnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

void FrameFixture::InitViewMenu() const {
    HMENU view = GetSubMenu(GetMenu(frameWindow), 1);
    SendMessageA(frameWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view),
                 MAKELPARAM(1, FALSE));
}

bool FrameFixture::MenuChecked(UINT id) const {
    return (GetMenuState(GetMenu(frameWindow), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

} // namespace frametest
