#include "app/HelpBinding.h"

#include "framework/Registry.h"
#include "framework/SystemLibrary.h"

#include <cstring>
#include <string>

namespace {
using HtmlHelpProc = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

// HtmlHelpW, the viewer's wide entry point, is export 15 of its control
// library: a help file's path may hold any character.
constexpr WORD kHtmlHelpOrdinal = 15;
constexpr wchar_t kControlLibrary[] = L"hhctrl.ocx";
// HH_CLOSE_ALL of the viewer's commands.
constexpr UINT kHhCloseAll = 0x12;

// The binding, per process. The library is never released once loaded.
HMODULE s_hHelpControl = nullptr;
BOOL s_bHelpLoadFailed = FALSE;
HtmlHelpProc s_pfnHtmlHelp = nullptr;
tov::HelpPlatform* s_platform = nullptr;

tov::HelpPlatform& Platform() {
    static tov::Win32HelpPlatform real;
    return s_platform != nullptr ? *s_platform : real;
}

// A drive-qualified ("C:\...") or UNC ("\\server\...") path. Anything else
// would be looked up along the search path, current directory included.
bool IsFullPath(const char* path) {
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    if (isSeparator(path[0]))
        return isSeparator(path[1]);
    const unsigned char drive = static_cast<unsigned char>(path[0] | 0x20);
    return drive >= 'a' && drive <= 'z' && path[1] == ':' && isSeparator(path[2]);
}
} // namespace

namespace tov {

BOOL ReadRegisteredPath(HKEY root, const char* subkey, char (&buffer)[MAX_PATH]) {
    buffer[0] = '\0';
    const UniqueHKey key = OpenRegKey(root, subkey, KEY_READ);
    if (!key)
        return FALSE;
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        buffer[0] = '\0';
        return FALSE;
    }
    // The stored bytes need not end in a zero. A value that fills the whole
    // buffer without one is a path longer than fits: it is not cut short
    // (that could name another file) but counts as not registered.
    if (std::memchr(buffer, '\0', size) == nullptr) {
        if (size >= sizeof buffer) {
            buffer[0] = '\0';
            return FALSE;
        }
        buffer[size] = '\0';
    }
    if (type == REG_EXPAND_SZ) {
        char expanded[MAX_PATH];
        const DWORD length = ExpandEnvironmentStringsA(buffer, expanded, sizeof expanded);
        if (length == 0 || length > sizeof expanded) {
            buffer[0] = '\0';
            return FALSE;
        }
        std::memcpy(buffer, expanded, length);
    }
    return buffer[0] != '\0';
}

BOOL Win32HelpPlatform::ReadRegisteredPath(HKEY root, const char* subkey,
                                           char (&buffer)[MAX_PATH]) {
    return tov::ReadRegisteredPath(root, subkey, buffer);
}

HMODULE Win32HelpPlatform::LoadLibraryAt(const char* path) {
    if (!IsFullPath(path))
        return nullptr;
    // The library's own dependencies are looked for next to it first, then
    // in the system directory; the older flag serves systems without the
    // search flags.
    HMODULE library = LoadLibraryExA(
        path, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library != nullptr || GetLastError() != ERROR_INVALID_PARAMETER)
        return library;
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE Win32HelpPlatform::LoadControlFromSystem() {
    return LoadSystemLibrary(kControlLibrary);
}

FARPROC Win32HelpPlatform::FindExport(HMODULE library, WORD ordinal) {
    return GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
}

void ResetHelpBindingForTesting(HelpPlatform* platform) {
    s_platform = platform;
    s_hHelpControl = nullptr;
    s_bHelpLoadFailed = FALSE;
    s_pfnHtmlHelp = nullptr;
}

} // namespace tov

std::wstring ProgramDirectoryFile(const wchar_t* name) {
    // The module path may be longer than MAX_PATH; the buffer grows until
    // the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return {};
    return WithoutLongPathPrefix(path.substr(0, separator + 1) + name);
}

std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    const wchar_t drive = path.size() >= 7 ? static_cast<wchar_t>(path[4] | 0x20) : L'\0';
    const bool drivePath = drive >= L'a' && drive <= L'z' && path.compare(0, 4, L"\\\\?\\") == 0 &&
                           path[5] == L':' && path[6] == L'\\';
    return drivePath ? path.substr(4) : path;
}

void CloseHtmlHelp() {
    if (s_pfnHtmlHelp != nullptr)
        s_pfnHtmlHelp(nullptr, nullptr, kHhCloseAll, 0);
}

HWND CallHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
    tov::HelpPlatform& platform = Platform();
    if (s_hHelpControl == nullptr && !s_bHelpLoadFailed) {
        char path[MAX_PATH];
        if (platform.ReadRegisteredPath(HKEY_LOCAL_MACHINE, tov::kHelpControlKey, path))
            s_hHelpControl = platform.LoadLibraryAt(path);
        if (s_hHelpControl == nullptr)
            s_hHelpControl = platform.LoadControlFromSystem();
        if (s_hHelpControl == nullptr) {
            s_bHelpLoadFailed = TRUE;
            return nullptr;
        }
    }
    // Loading failed once: it is not tried again.
    if (s_hHelpControl == nullptr)
        return nullptr;
    if (s_pfnHtmlHelp == nullptr) {
        // Through void(*)(): the one function pointer type that converts to
        // any other without a warning.
        s_pfnHtmlHelp = reinterpret_cast<HtmlHelpProc>(
            reinterpret_cast<void (*)()>(platform.FindExport(s_hHelpControl, kHtmlHelpOrdinal)));
        if (s_pfnHtmlHelp == nullptr) {
            s_bHelpLoadFailed = TRUE;
            return nullptr;
        }
    }
    return s_pfnHtmlHelp(caller, file, command, data);
}
