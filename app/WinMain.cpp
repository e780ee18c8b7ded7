#include "app/DriveApp.h"

// The one application object.
static CDriveApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // A drive without its medium fails its queries quietly instead of
    // raising the system's "no disk in the drive" box.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
    return AfxWinMain(instance);
}
