// The application object: starts the program and owns the main frame.
#pragma once

#include "framework/WinApp.h"

class CDriveApp : public CWinApp {
public:
    BOOL InitInstance() override;
    void OnAppAbout();

    DECLARE_MESSAGE_MAP()
};
