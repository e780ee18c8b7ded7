// Libraries the program loads by name, taken from the system directory only.
#pragma once

#include <windows.h>

namespace tov {

using LoadLibraryExFunction = HMODULE(WINAPI*)(LPCWSTR name, HANDLE file, DWORD flags);

// Loads library `name` from the system directory only, never from the
// program's or the current directory; null when it is not there. Windows 7
// without its loader update refuses the search flags (ERROR_INVALID_PARAMETER):
// there the system directory's full path is named instead. `load` stands in
// for LoadLibraryExW in tests.
HMODULE LoadSystemLibrary(const wchar_t* name, LoadLibraryExFunction load = &LoadLibraryExW);

} // namespace tov
