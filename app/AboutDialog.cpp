#include "app/AboutDialog.h"

#include "app/DriveApp.h"
#include "res/resource.h"

const MsgMap CAboutDialog::messageMap{&CDialog::messageMap, {}};
const MsgMap* CAboutDialog::GetMessageMap() const {
    return &messageMap;
}

CAboutDialog::CAboutDialog(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

void CAboutDialog::DoDataExchange(CDataExchange*) {}

void CDriveApp::OnAppAbout() {
    // Owned by (and centred over) the main window, which it disables while open.
    CAboutDialog about;
    about.DoModal();
}
