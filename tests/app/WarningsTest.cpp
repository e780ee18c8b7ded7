// The warnings over the real main frame with scripted drives: the icon in
// the notification area, its clicks, the taskbar's return, the drive menu's
// item and the Warnings dialog.
#include "FrameFixture.h"

#include <shellapi.h>

namespace {
using namespace tovtest;

constexpr uint64_t kMB = 1ULL << 20;
const std::string kWarningsKey = std::string(kTestCompanyKey) + "\\Tovemar\\Warnings";

class WarningsTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        // Wine's notification area comes up with its desktop, which a fresh
        // server may still be starting: the shell adds icons only once it is.
        GetDesktopWindow();
        ASSERT_TRUE(PumpUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; },
                              [] { Pump(); }));
        // E: is nearly full: 195 MB of 4 GB free, below 10 % of it.
        platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 4096 * kMB, 2048 * kMB},
                           {"D:\\", "Data (D:)", DRIVE_FIXED, true, 4096 * kMB, 2048 * kMB},
                           {"E:\\", "Full (E:)", DRIVE_FIXED, true, 4096 * kMB, 195 * kMB}};
    }
    // One free-space poll, its answers applied.
    void Poll() {
        SendMessageW(window, WM_TIMER, kAutoUpdateTimer, 0);
        ASSERT_TRUE(Settle());
    }
    // Whether the shell knows the frame's icon: changing a missing one fails.
    bool IconKnown() const {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = window;
        data.uID = kWarningIconId;
        return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    }
};

// Readings from start-up and polls: the icon while a drive is nearly full,
// gone once it has cleared; the frame's own removal at the end.
TEST_F(WarningsTest, TheIconStaysWhileADriveIsNearlyFull) {
    Open();
    EXPECT_TRUE(frame->Watch().NearlyFull(L"Full (E:)"));
    EXPECT_FALSE(frame->Watch().NearlyFull(L"Data (D:)"));
    EXPECT_TRUE(frame->WarningIcon().Shown());
    EXPECT_TRUE(IconKnown());

    platform.drives[2].freeBytes = 420 * kMB; // above the level, not 10 % above it
    Poll();
    EXPECT_TRUE(frame->WarningIcon().Shown());
    platform.drives[2].freeBytes = 460 * kMB;
    Poll();
    EXPECT_FALSE(frame->Watch().NearlyFull(L"Full (E:)"));
    EXPECT_FALSE(frame->WarningIcon().Shown());
    EXPECT_FALSE(IconKnown());

    platform.drives[1].freeBytes = 100 * kMB;
    Poll();
    EXPECT_TRUE(IconKnown());
    DestroyWindow(window);
    EXPECT_FALSE(IconKnown());
}

// A click on the icon or its balloon restores the minimized window with the
// drive warned of as the focus row; the taskbar's return adds the icon again.
TEST_F(WarningsTest, ClicksBringTheWindowUpAndTheIconOutlivesTheTaskbar) {
    Open();
    ShowWindow(window, SW_MINIMIZE);
    SendMessageW(window, WM_WARNING_ICON, 0, MAKELPARAM(WM_MOUSEMOVE, kWarningIconId));
    EXPECT_TRUE(IsIconic(window));
    SendMessageW(window, WM_WARNING_ICON, 0, MAKELPARAM(NIN_BALLOONUSERCLICK, kWarningIconId));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(frame->m_wndView.FocusRecord(), 2);

    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kWarningIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
    ASSERT_FALSE(IconKnown());
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconKnown());
}

// The minute's save writes a drive's history only when it has changed,
// which a new hourly reading does.
TEST_F(WarningsTest, AHistoryIsStoredAgainOnlyWhenItChanged) {
    Open();
    int64_t now = 1700000000;
    frame->SetWallClock([&] { return now; });
    const std::wstring historyKey = tov::Widen(kTestCompanyKey) + L"\\Tovemar\\History";
    const auto stored = [&] {
        return RegGetValueW(HKEY_CURRENT_USER, historyKey.c_str(), L"Full (E:)", RRF_RT_REG_BINARY,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    };
    now += 61;
    Poll();
    ASSERT_TRUE(stored());
    RegDeleteTreeW(HKEY_CURRENT_USER, historyKey.c_str());
    now += 61;
    Poll();
    EXPECT_FALSE(stored()) << "rewritten unchanged";
    now += 3600;
    Poll();
    EXPECT_TRUE(stored());
}

// The dialog: owned and centred like View Drives; a number out of range
// keeps it open; OK applies and saves at once, Cancel changes nothing.
TEST_F(WarningsTest, TheDialogRejectsOutOfRangeAndOkAppliesAndSaves) {
    Open();
    ModalFacts facts;
    RunCommand(ID_VIEW_WARNINGS, {[&](HWND d) {
                                      facts = ModalFacts::Of(d);
                                      SetDlgItemTextW(d, IDC_WARN_PERCENT, L"3");
                                  },
                                  Press(IDCANCEL)});
    // As View Drives, but the focus starts in the first field.
    EXPECT_FALSE(facts.focusOnOk);
    facts.focusOnOk = true;
    facts.ExpectModalOver(window, "Warnings");
    EXPECT_FALSE(StoredDword(kWarningsKey, "FreePercent").has_value());

    bool stayedOpen = false;
    RunCommand(ID_VIEW_WARNINGS,
               {[](HWND d) { SetDlgItemTextW(d, IDC_WARN_PERCENT, L"51"); }, Press(IDOK),
                [&](HWND d) {
                    stayedOpen = GetFocus() == GetDlgItem(d, IDC_WARN_PERCENT);
                    SetDlgItemTextW(d, IDC_WARN_PERCENT, L"1");
                    SetDlgItemTextW(d, IDC_WARN_GB, L"0");
                    CheckDlgButton(d, IDC_WARN_MARK, BST_CHECKED);
                },
                Press(IDOK)});
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(StoredDword(kWarningsKey, "FreePercent"), 1u);
    EXPECT_EQ(StoredDword(kWarningsKey, "FreeGB"), 0u);
    EXPECT_EQ(StoredDword(kWarningsKey, "Mark"), 1u);
    // At 1 % no drive is nearly full any more.
    EXPECT_FALSE(frame->Watch().NearlyFull(L"Full (E:)"));
    EXPECT_FALSE(frame->WarningIcon().Shown());
}
} // namespace
