#include "app/DriveApp.h"

#include "app/MainFrame.h"
#include "res/resource.h"

static constexpr MsgMapEntry kEntries[] = {
    OnCommand<ID_APP_ABOUT, &CDriveApp::OnAppAbout>(),
};
const MsgMap CDriveApp::messageMap{&CWinApp::messageMap, kEntries};
const MsgMap* CDriveApp::GetMessageMap() const {
    return &messageMap;
}

BOOL CDriveApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    SetRegistryKey("Velmora");

    // The frame is the main window before its window exists: restoring the
    // window state during creation finds it through the current thread.
    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    frame->LoadFrame(IDR_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE);
    // LoadFrame deletes the frame when creation fails and clears m_pMainWnd.
    if (m_pMainWnd != nullptr) {
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
    }
    return TRUE;
}
