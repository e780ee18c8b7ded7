#include "app/DriveApp.h"

#include "app/AboutDialog.h"
#include "app/MainFrame.h"
#include "res/resource.h"

DEFINE_MESSAGE_MAP(CDriveApp, CWinApp, OnCommand<ID_APP_ABOUT, &CDriveApp::OnAppAbout>());

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
        // The launching program's show command may take the first call's
        // place; the stored state is then shown again.
        for (const int command :
             tov::StartupShowCalls(frame->StoredShow(), tov::LaunchShowCommand()))
            frame->ShowWindow(command);
        frame->UpdateWindow();
    }
    return TRUE;
}

void CDriveApp::OnAppAbout() {
    // Owned by (and centred over) the main window, which it disables while open.
    CAboutDialog about;
    about.DoModal();
}
