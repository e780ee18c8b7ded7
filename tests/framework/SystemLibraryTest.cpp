#include "framework/Handle.h"
#include "framework/SystemLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct Call {
    std::wstring name;
    DWORD flags;
};
std::vector<Call> g_calls;
bool g_refuseSearchFlags = true;

// The real loader, recorded; without the search flags while
// g_refuseSearchFlags holds, as Windows 7 before its update.
HMODULE WINAPI RecordingLoader(LPCWSTR name, HANDLE file, DWORD flags) {
    g_calls.push_back({name, flags});
    if (g_refuseSearchFlags && (flags & LOAD_LIBRARY_SEARCH_SYSTEM32) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryExW(name, file, flags);
}

std::wstring SystemDirectory() {
    wchar_t directory[MAX_PATH] = {};
    GetSystemDirectoryW(directory, MAX_PATH);
    return directory;
}
} // namespace

// Where the search flags are refused, the library is loaded by its full path
// in the system directory; any other failure is final.
TEST(SystemLibrary, WithoutTheSearchFlagsTheSystemDirectoryIsNamed) {
    g_calls.clear();
    g_refuseSearchFlags = true;
    const tov::UniqueModule oleacc(tov::LoadSystemLibrary(L"oleacc.dll", &RecordingLoader));
    EXPECT_TRUE(oleacc);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].name, SystemDirectory() + L"\\oleacc.dll");
    EXPECT_EQ(g_calls[1].flags, static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH));

    g_calls.clear();
    g_refuseSearchFlags = false;
    EXPECT_EQ(tov::LoadSystemLibrary(L"TovemarMissing.dll", &RecordingLoader), nullptr);
    EXPECT_EQ(g_calls.size(), 1u);
}
