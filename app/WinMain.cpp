#include "app/DriveApp.h"
#include "drives/DrivePlatform.h"
#include "framework/ProcessReference.h"

#include <ole2.h>

// The one application object.
static CDriveApp theApp;

namespace {
// Libraries loaded by name from now on (the accessibility and help
// libraries, and what shell extensions load for themselves) come from the
// system directory only, never from the folder a portable copy was unpacked
// to; the image's load configuration does the same for its imports. The
// shell extensions of the drive menu still work: COM loads an in-process
// server by its registered full path with the altered search order, which
// looks for the server's own imports beside it. The default directories
// (LOAD_LIBRARY_SEARCH_DEFAULT_DIRS) would add only the program's folder,
// which no extension lives in. The function exists from Windows 8, and on
// Windows 7 with its update; without it the program's own loads name the
// system directory themselves.
void LoadLibrariesFromSystemOnly() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (set != nullptr)
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// OLE on the window's thread for the program's life: the shell's menus and
// the accessible object handed to screen readers need its apartment, whose
// calls arrive through the message loop.
class OleSession {
public:
    OleSession() : m_initialized(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleSession() {
        if (m_initialized)
            OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    bool m_initialized;
};
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystemOnly();
    // A drive without its medium fails its queries quietly instead of
    // raising the system's "no disk in the drive" box.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
    const OleSession ole;
    tov::ProcessReference process;
    const tov::ShellProcessReference offered(process);
    const int code = AfxWinMain(instance);
    // The main window has gone. Sheets the drive menu opened (Properties and
    // the like) run on shell threads that hold the process's reference: the
    // process ends when the last of them closes, not with them.
    process.Release();
    process.RunUntilReleased();
    return code;
}
