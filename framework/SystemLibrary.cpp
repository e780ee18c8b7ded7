#include "framework/SystemLibrary.h"

#include <string>

namespace tov {

HMODULE LoadSystemLibrary(const wchar_t* name, LoadLibraryExFunction load) {
    SetLastError(ERROR_SUCCESS);
    HMODULE library = load(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library != nullptr || GetLastError() != ERROR_INVALID_PARAMETER)
        return library;
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(directory, length) + L"\\" + name;
    // The library's own dependencies are looked for beside it, in the
    // system directory, before the standard search.
    return load(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace tov
