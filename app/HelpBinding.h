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
    // The registered path of a library: the default value of `root`\`subkey`
    // (see ReadRegisteredPath); TRUE when read.
    virtual BOOL ReadRegisteredPath(HKEY root, const char* subkey, char (&buffer)[MAX_PATH]) = 0;
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
    BOOL ReadRegisteredPath(HKEY root, const char* subkey, char (&buffer)[MAX_PATH]) override;
    HMODULE LoadLibraryAt(const char* path) override;
    HMODULE LoadControlFromSystem() override;
    FARPROC FindExport(HMODULE library, WORD ordinal) override;
};

// Reads the default value of key `root`\`subkey` into buffer as a path: TRUE
// only when the value, with its terminating zero (added if the value lacks
// one), fits in the buffer. A REG_EXPAND_SZ value is returned expanded, and
// fails when its expansion does not fit. The buffer always holds a
// terminated string, an empty one on failure.
BOOL ReadRegisteredPath(HKEY root, const char* subkey, char (&buffer)[MAX_PATH]);

// The HTML Help control's registration, read from the machine-wide classes
// only: HKEY_CLASSES_ROOT merges the user's own classes over them, where any
// program running as the user could name its own library.
inline constexpr char kHelpControlKey[] =
    "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// Test-only: use `platform` (null: the real one) and return the binding to
// its start state (nothing loaded, no failure remembered). A library loaded
// before stays loaded.
void ResetHelpBindingForTesting(HelpPlatform* platform);

} // namespace tov

// HtmlHelpW of the platform's viewer, bound on first use; null, silently,
// when the viewer cannot be bound. Arguments are passed on unchanged.
HWND CallHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);

// Closes every help window the viewer opened (HH_CLOSE_ALL), when it was
// bound; otherwise does nothing and loads nothing. The viewer's windows run
// on a thread of this process, which must end before the process does.
void CloseHtmlHelp();

// The full path of file `name` in the directory of the program's executable,
// as a plain drive path where the program was started by a "\\?\" one;
// empty when the program's own path cannot be had.
std::wstring ProgramDirectoryFile(const wchar_t* name);

// `path` without a leading "\\?\" when a drive path ("C:\...") follows it,
// as the help viewer does not open such paths; any other path unchanged.
std::wstring WithoutLongPathPrefix(const std::wstring& path);
