// A test frame with a view, toolbar and status bar built from the test
// resources, a test application, and a log of which object ran a command.
#pragma once

#include "framework/FrameWnd.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"
#include "framework/WinApp.h"
#include "tests/TestSupport.h"
#include "tests/framework/FrameTestResources.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace frametest {

// Commands in the order they ran: "view 33003", "frame 33001", "app 33005".
inline std::vector<std::string> g_log;
inline int g_toggleUpdates = 0; // update-UI queries of ID_TEST_TOGGLE
inline int g_framesDeleted = 0;
inline std::wstring g_chars; // the characters that reached a test view

inline void Log(const char* who, UINT id) {
    g_log.push_back(std::string(who) + " " + std::to_string(id));
}

class TestView : public CWnd {
public:
    DECLARE_MESSAGE_MAP()
    void OnShared() { Log("view", ID_TEST_SHARED); }
    LRESULT OnChar(WPARAM wParam, LPARAM) {
        g_chars.push_back(static_cast<wchar_t>(wParam));
        return 0;
    }
};

class TestFrame : public CFrameWnd {
public:
    ~TestFrame() override { ++g_framesDeleted; }
    DECLARE_MESSAGE_MAP()

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* info) override {
        if (m_wndView.OnCmdMsg(id, code, extra, info))
            return TRUE;
        return CFrameWnd::OnCmdMsg(id, code, extra, info);
    }

    int OnCreate(LPCREATESTRUCTW cs);
    void OnRefresh() { Log("frame", ID_TEST_REFRESH); }
    void OnToggle() { m_bFlag = !m_bFlag; }
    void OnUpdateToggle(CCmdUI* ui) {
        ++g_toggleUpdates;
        ui->SetCheck(m_bFlag);
        if (std::exchange(m_bExitWhenUpdated, false))
            PostMessageA(m_hWnd, WM_COMMAND, ID_APP_EXIT, 0);
    }
    void OnShared() { Log("frame", ID_TEST_SHARED); }
    void OnFrameApp() { Log("frame", ID_TEST_FRAME_APP); }

    TestView m_wndView;
    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;
    BOOL m_bFlag = FALSE;
    bool m_bFailCreate = false;
    bool m_bExitWhenUpdated = false;
};

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp("FrameTest") {}
    DECLARE_MESSAGE_MAP()
    void OnShared() { Log("app", ID_TEST_SHARED); }
    void OnFrameApp() { Log("app", ID_TEST_FRAME_APP); }
    void OnAppOnly() { Log("app", ID_TEST_APP); }
};

inline bool Pump() {
    return tovtest::Pump(nullptr);
}

// The window's own WS_VISIBLE, whatever its parent's.
bool Shown(HWND window);
// The child's rectangle in the parent's client coordinates.
RECT ChildRect(HWND parent, HWND child);

// Creates a TestFrame (600 x 400, hidden) for each test and deletes what is
// left of it afterwards.
class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new frame, or null when creation failed.
    TestFrame* NewFrame();
    std::string StatusText() const;
    void Command(UINT id) { SendMessageA(frame->m_hWnd, WM_COMMAND, id, 0); }
    bool MenuChecked(UINT id) const;
    void InitViewMenu() const;

    TestApp app;
    TestFrame* frame = nullptr;
    HWND frameWindow = nullptr;
};

} // namespace frametest
