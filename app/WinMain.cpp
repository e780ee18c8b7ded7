#include "app/DriveApp.h"

// The one application object.
static CDriveApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return AfxWinMain(instance, showCommand);
}
