// Binding to the platform's HTML Help viewer on first use.
//
// The viewer's control library is loaded at most once per process (from its
// registered path, else by name from the system directory) and never
// released; a failure to load is remembered for good. A library without the
// viewer's entry point stays loaded and the lookup is tried again each call.
#pragma once

#include <windows.h>

#include <string>

namespace tov {

// What binding the viewer needs of the platform; tests substitute their own.
class HelpPlatform {
public:
    virtual ~HelpPlatform() = default;
    // The registered path of the HTML Help control; TRUE when read.
    virtual BOOL ReadControlPath(char (&buffer)[MAX_PATH]) = 0;
    // Loads the library at a full path; null when it fails.
    virtual HMODULE LoadLibraryAt(const char* path) = 0;
    // Loads the control library "hhctrl.ocx" from the system directory only.
    virtual HMODULE LoadControlFromSystem() = 0;
    // The library's export with the given ordinal, or null.
    virtual FARPROC FindExport(HMODULE library, WORD ordinal) = 0;
};

// The real platform.
class Win32HelpPlatform : public HelpPlatform {
public:
    BOOL ReadControlPath(char (&buffer)[MAX_PATH]) override;
    HMODULE LoadLibraryAt(const char* path) override;
    HMODULE LoadControlFromSystem() override;
    FARPROC FindExport(HMODULE library, WORD ordinal) override;
};

// Loads library `name` from the system directory only, never from the
// program's or the current directory; null when it is not there.
HMODULE LoadSystemLibrary(const char* name);

// Reads the default value of key `root`\`subkey` into buffer as a path: TRUE
// only when the value, with its terminating zero (added if the value lacks
// one), fits in the buffer. The buffer always holds a terminated string, an
// empty one on failure.
BOOL ReadRegisteredPath(HKEY root, const char* subkey, char (&buffer)[MAX_PATH]);

// Test-only: use `platform` (null: the real one) and return the binding to
// its start state (nothing loaded, no failure remembered). A library loaded
// before stays loaded.
void ResetHelpBindingForTesting(HelpPlatform* platform);

} // namespace tov

// HtmlHelpW of the platform's viewer, bound on first use; null, silently,
// when the viewer cannot be bound. Arguments are passed on unchanged.
HWND CallHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);

// The full path of file `name` in the directory of the program's executable;
// empty when the program's own path cannot be had.
std::wstring ProgramDirectoryFile(const wchar_t* name);

// The registered path of the HTML Help control: the default value of
// HKEY_CLASSES_ROOT, CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32.
// TRUE when read; see ReadRegisteredPath.
BOOL QueryHelpControlPath(char (&buffer)[MAX_PATH]);
