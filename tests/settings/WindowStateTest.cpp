// RegistryKey and the window placement against the real registry and real
// top-level windows (on the virtual display), under a test-only company key.
#include "framework/Handle.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "settings/RegistryKey.h"
#include "settings/WindowState.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {
constexpr char kCompany[] = "VelmoraTestWindowState";
constexpr char kApplication[] = "Tovemar";
constexpr char kCompanyKey[] = "Software\\VelmoraTestWindowState";
constexpr char kAppKey[] = "Software\\VelmoraTestWindowState\\Tovemar";

using Bytes = std::array<BYTE, 64>;

class WindowStateTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey); }
    void TearDown() override {
        for (HWND window : windows)
            DestroyWindow(window);
        RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
    }

    void CreateAppKey() {
        tov::UniqueHKey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
    }
    void Store(const char* entry, DWORD type, const void* data, DWORD size) {
        CreateAppKey();
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kAppKey, entry, type, data, size),
                  ERROR_SUCCESS);
    }
    // The stored entry's type and bytes; type REG_NONE and no bytes when missing.
    std::pair<DWORD, std::vector<BYTE>> Stored(const char* entry) {
        DWORD type = REG_NONE, size = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, kAppKey, entry, RRF_RT_ANY | RRF_NOEXPAND, &type,
                         nullptr, &size) != ERROR_SUCCESS)
            return {REG_NONE, {}};
        std::vector<BYTE> bytes(size);
        RegGetValueA(HKEY_CURRENT_USER, kAppKey, entry, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     bytes.data(), &size);
        return {type, bytes};
    }
    // Loads `entry` into a buffer of `size` bytes filled with 0xAB, through a
    // key opened for reading.
    Bytes Load(const char* entry, DWORD size, const void* defaultBytes = nullptr) {
        Bytes buffer;
        buffer.fill(0xAB);
        RegistryKey key;
        key.Open(HKEY_CURRENT_USER, kAppKey);
        key.ExchangeBinary(entry, defaultBytes, buffer.data(), size);
        return buffer;
    }
    HWND NewWindow() {
        HWND window =
            CreateWindowExW(0, AfxRegisterWndClass(0), L"Placement test", WS_OVERLAPPEDWINDOW, 100,
                            80, 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        windows.push_back(window);
        return window;
    }
    static RECT WindowRect(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }

    std::vector<HWND> windows;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(WindowStateTest, OpenNeverCreatesTheKey) {
    for (Direction save : {Direction::Load, Direction::Save}) {
        RegistryKey key;
        key.SetDirection(save);
        EXPECT_NE(key.Open(HKEY_CURRENT_USER, kAppKey), ERROR_SUCCESS) << static_cast<int>(save);
        EXPECT_FALSE(key.m_hKey) << static_cast<int>(save);
        const BYTE data[4] = {1, 2, 3, 4};
        key.ExchangeBinary("Placement", nullptr, const_cast<BYTE*>(data), sizeof data);
    }
    tov::UniqueHKey probe;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKey, 0, KEY_READ, probe.put()),
              ERROR_SUCCESS);

    CreateAppKey();
    RegistryKey key;
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, kAppKey), ERROR_SUCCESS);
    EXPECT_TRUE(key.m_hKey);
    key.Close();
    EXPECT_FALSE(key.m_hKey);
}

TEST_F(WindowStateTest, BinaryLoadTakesWhatFitsAndNeverWritesPastTheSize) {
    const BYTE stored[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Store("Exact", REG_BINARY, stored, 8);
    Store("Short", REG_BINARY, stored, 3);
    Store("Long", REG_BINARY, stored, 8);

    Bytes exact = Load("Exact", 8);
    EXPECT_EQ(std::memcmp(exact.data(), stored, 8), 0);
    EXPECT_EQ(exact[8], 0xAB);

    // A short entry fills its own length and leaves the rest as it was.
    Bytes shortEntry = Load("Short", 8);
    EXPECT_EQ(std::memcmp(shortEntry.data(), stored, 3), 0);
    EXPECT_EQ(shortEntry[3], 0xAB);

    // Too long counts as missing: zeros, or the default, for `size` bytes.
    Bytes tooLong = Load("Long", 6);
    EXPECT_EQ(tooLong[0], 0);
    EXPECT_EQ(tooLong[5], 0);
    EXPECT_EQ(tooLong[6], 0xAB);
    const BYTE fallback[6] = {9, 9, 9, 9, 9, 9};
    Bytes missing = Load("Missing", 6, fallback);
    EXPECT_EQ(std::memcmp(missing.data(), fallback, 6), 0);
    EXPECT_EQ(missing[6], 0xAB);
}

TEST_F(WindowStateTest, SaveStoresThePlacementAsA44ByteBinaryEntry) {
    HWND window = NewWindow();
    ASSERT_NE(window, nullptr);
    // No application key yet: nothing is written and nothing is created.
    ExchangeWindowPlacement(window, Direction::Save, kCompany, kApplication);
    EXPECT_EQ(Stored("Placement").second.size(), 0u);
    tov::UniqueHKey probe;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kCompanyKey, 0, KEY_READ, probe.put()),
              ERROR_SUCCESS);

    const BYTE old[50] = {};
    Store("Placement", REG_SZ, old, sizeof old);
    ExchangeWindowPlacement(window, Direction::Save, kCompany, kApplication);
    const auto [type, bytes] = Stored("Placement");
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(bytes.size(), 44u);
    WINDOWPLACEMENT placement;
    std::memcpy(&placement, bytes.data(), sizeof placement);
    EXPECT_EQ(placement.length, 44u);
    EXPECT_TRUE(SameRect(placement.rcNormalPosition, RECT{100, 80, 500, 380}));
}

// A maximized window keeps its normal rectangle through a save and a load.
TEST_F(WindowStateTest, MaximizedPlacementKeepsItsNormalRectangle) {
    CreateAppKey();
    HWND first = NewWindow();
    ASSERT_NE(first, nullptr);
    MoveWindow(first, 150, 120, 420, 310, FALSE);
    ShowWindow(first, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(IsZoomed(first));
    ExchangeWindowPlacement(first, Direction::Save, kCompany, kApplication);
    HWND second = NewWindow();
    EXPECT_EQ(ExchangeWindowPlacement(second, Direction::Load, kCompany, kApplication),
              tov::StoredShow::Maximized);
    EXPECT_TRUE(IsZoomed(second));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(second, &placement);
    EXPECT_TRUE(SameRect(placement.rcNormalPosition, RECT{150, 120, 570, 430}));
}

TEST_F(WindowStateTest, UnusableEntriesLeaveTheCreatedPlacement) {
    HWND window = NewWindow();
    ASSERT_NE(window, nullptr);
    const RECT created = WindowRect(window);
    WINDOWPLACEMENT maximized;
    std::memset(&maximized, 0, sizeof maximized);
    maximized.length = sizeof maximized;
    maximized.showCmd = SW_SHOWMAXIMIZED;
    maximized.rcNormalPosition = RECT{0, 0, 10, 10};

    // No key: nothing applied, which start-up's show calls are told.
    EXPECT_EQ(ExchangeWindowPlacement(window, Direction::Load, kCompany, kApplication),
              tov::StoredShow::None);
    EXPECT_TRUE(SameRect(WindowRect(window), created));

    // Longer than the record: counts as missing.
    BYTE longer[48] = {};
    std::memcpy(longer, &maximized, sizeof maximized);
    Store("Placement", REG_BINARY, longer, sizeof longer);
    EXPECT_EQ(ExchangeWindowPlacement(window, Direction::Load, kCompany, kApplication),
              tov::StoredShow::None);
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(SameRect(WindowRect(window), created));

    // Shorter: its own bytes (the length field here) over the window's
    // current placement, which leaves the window where it is.
    Store("Placement", REG_BINARY, &maximized, 8);
    ExchangeWindowPlacement(window, Direction::Load, kCompany, kApplication);
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_TRUE(SameRect(WindowRect(window), created));

    // Exactly 44 bytes of another type is used: the type is not examined.
    Store("Placement", REG_NONE, &maximized, sizeof maximized);
    ExchangeWindowPlacement(window, Direction::Load, kCompany, kApplication);
    EXPECT_TRUE(IsZoomed(window));
}

TEST_F(WindowStateTest, NullWindowSkipsThePlacement) {
    CreateAppKey();
    ExchangeWindowPlacement(nullptr, Direction::Save, kCompany, kApplication);
    ExchangeWindowPlacement(nullptr, Direction::Load, kCompany, kApplication);
    EXPECT_EQ(Stored("Placement").second.size(), 0u);
}

TEST_F(WindowStateTest, DockStateNeedsAMainFrame) {
    EXPECT_FALSE(ExchangeDockState(Direction::Load, kApplication)); // no thread object
    CWinApp app{kApplication};
    app.SetRegistryKey(kCompany);
    EXPECT_FALSE(ExchangeDockState(Direction::Save, kApplication)); // no main window
    CWnd notAFrame;
    app.m_pMainWnd = &notAFrame;
    EXPECT_FALSE(ExchangeWindowState(nullptr, Direction::Save, kCompany, kApplication));

    // A frame (here without bars) is exchanged under the application name,
    // in the application profile.
    CFrameWnd frame;
    app.m_pMainWnd = &frame;
    EXPECT_TRUE(ExchangeWindowState(nullptr, Direction::Save, kCompany, kApplication));
    DWORD subKeys = 0;
    tov::UniqueHKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kAppKey, 0, KEY_READ, key.put()), ERROR_SUCCESS);
    RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
    EXPECT_GT(subKeys, 0u);
    EXPECT_TRUE(ExchangeDockState(Direction::Load, kApplication));
    app.m_pMainWnd = nullptr;
}
} // namespace
