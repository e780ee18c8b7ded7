// The main window: owns the drive list, the two update options, the toolbar,
// the status bar and the drive view, and routes commands to the view first.
#pragma once

#include "drives/DrivePlatform.h"
#include "drives/DriveSource.h"
#include "framework/FrameWnd.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"
#include "view/DriveView.h"

class CMainFrame : public CFrameWnd, public DriveSource {
public:
    // The platform is the source of drive information; tests pass a scripted one.
    explicit CMainFrame(DrivePlatform& platform = Win32DrivePlatform());
    ~CMainFrame() override;

    const MsgMap* GetMessageMap() const override;
    static const MsgMap messageMap;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

    DriveList& Drives() override { return m_drives; }
    bool IsDriveUpdatable(const std::string& spec) override;

    // Rebuilds m_drives from the system; neither repaints nor rescrolls.
    void RefreshDrives();
    // Loads (0) or saves (1) the update options and every drive's shown flag.
    void ExchangeSettings(int direction);

    int OnCreate(LPCREATESTRUCTA cs);
    void OnSetFocus(CWnd* oldFocus);
    void OnClose();
    void OnEndSession(BOOL ending);
    void OnDrivesRefresh();
    void OnSelectDrives();
    void OnViewUpdateFloppies();
    void OnViewUpdateRemovables();
    void OnHelpContents();
    void OnUpdateViewUpdateFloppies(CCmdUI* cmdUI);
    void OnUpdateViewUpdateRemovables(CCmdUI* cmdUI);

    DriveList m_drives;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CDriveView m_wndView;
    BOOL m_bViewRemoveables = TRUE;
    BOOL m_bViewFloppies = TRUE;

private:
    // Saves the settings and the window state, the first time only: closing
    // and the end of the session both save, and neither twice.
    void SaveState();
    // Flips one update option, sets its menu check mark and refreshes.
    void ToggleOption(BOOL& flag, UINT commandId);

    DrivePlatform& m_platform;
    bool m_bStateSaved = false;
};
