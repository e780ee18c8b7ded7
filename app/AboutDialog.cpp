#include "app/AboutDialog.h"

#include "res/resource.h"

DEFINE_MESSAGE_MAP(CAboutDialog, CDialog);

CAboutDialog::CAboutDialog(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

void CAboutDialog::DoDataExchange(CDataExchange*) {}
