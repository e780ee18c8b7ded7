#include "framework/Handle.h"
#include "framework/SystemLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace {
int g_calls = 0;
std::wstring g_lastName;
DWORD g_lastFlags = 0;
bool g_refuseSearchFlags = true;

// The real loader, counted; without the search flags while
// g_refuseSearchFlags holds, as Windows 7 before its update.
HMODULE WINAPI CountingLoader(LPCWSTR name, HANDLE file, DWORD flags) {
    ++g_calls;
    g_lastName = name;
    g_lastFlags = flags;
    if (g_refuseSearchFlags && (flags & LOAD_LIBRARY_SEARCH_SYSTEM32) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryExW(name, file, flags);
}
} // namespace

// Where the search flags are refused, the library is loaded by its full path
// in the system directory; any other failure is final.
TEST(SystemLibrary, WithoutTheSearchFlagsTheSystemDirectoryIsNamed) {
    const tov::UniqueModule oleacc(tov::LoadSystemLibrary(L"oleacc.dll", &CountingLoader));
    EXPECT_TRUE(oleacc);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(g_calls, 2);
    EXPECT_EQ(g_lastName, std::wstring(system) + L"\\oleacc.dll");
    EXPECT_EQ(g_lastFlags, static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH));

    g_calls = 0;
    g_refuseSearchFlags = false;
    EXPECT_EQ(tov::LoadSystemLibrary(L"TovemarMissing.dll", &CountingLoader), nullptr);
    EXPECT_EQ(g_calls, 1);
}
