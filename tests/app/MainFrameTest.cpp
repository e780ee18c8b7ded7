// The real main frame with the program's resources and a scripted set of
// drives, under Xvfb: start-up, commands, status bar, closing and the window
// state it keeps between runs.
#include "FrameFixture.h"
#include "framework/Dpi.h"
#include "tests/view/DibCanvas.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <map>
#include <utility>
#include <string>
#include <thread>

namespace {
using namespace tovtest;

const std::string kAppKey = std::string(kTestCompanyKey) + "\\Tovemar";

DWORD ReadDword(const char* section, const char* entry) {
    return StoredDword(kAppKey + "\\" + section, entry).value_or(0xDEADBEEF);
}

class MainFrameTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        platform.drives = {{"A:\\", "3\xBD Floppy (A:)", DRIVE_REMOVABLE, false},
                           {"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 1000, 250},
                           {"E:\\", "Stick (E:)", DRIVE_REMOVABLE, true, 500, 100}};
    }

    // Closes as the close box does, or as File > Exit does; the frame deletes itself.
    void Close(UINT how = WM_CLOSE) {
        if (how == WM_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        else
            SendMessageA(window, WM_COMMAND, ID_APP_EXIT, 0);
        Pump();
        EXPECT_FALSE(IsWindow(window));
        frame = nullptr;
    }

    bool MenuChecked(UINT id) const {
        return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    bool ButtonPressed(UINT id) {
        SendMessageA(window, WM_IDLEUPDATECMDUI, TRUE, 0);
        return SendMessageA(frame->m_wndToolBar.GetToolBarCtrl(), TB_ISBUTTONCHECKED, id, 0) != 0;
    }
    std::string StatusText() const {
        char text[256] = {};
        SendMessageA(frame->m_wndStatusBar.m_hWnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }
    void StoreInit(const char* entry, DWORD value) {
        ASSERT_TRUE(TestApp().WriteProfileInt("Init", entry, static_cast<int>(value)));
    }
};

TEST_F(MainFrameTest, FirstStartShowsEverythingWithBothOptionsOn) {
    Open();
    EXPECT_EQ(frame->m_catalogue.Options().viewFloppies, 1);
    EXPECT_EQ(frame->m_catalogue.Options().viewRemoveables, 1);
    EXPECT_TRUE(MenuChecked(ID_VIEW_UPDATE_FLOPPIES));
    EXPECT_TRUE(MenuChecked(ID_VIEW_UPDATE_REMOVABLES));
    EXPECT_TRUE(ButtonPressed(ID_VIEW_UPDATE_FLOPPIES));
    EXPECT_TRUE(ButtonPressed(ID_VIEW_UPDATE_REMOVABLES));
    ASSERT_EQ(frame->m_catalogue.Drives().size(), 3u);
    EXPECT_EQ(frame->m_catalogue.CountShownDrives(), 3);
    EXPECT_EQ(frame->m_catalogue.Drives()[1].ulTotalBytes, 1000u);
    // Each option went through its toggle, yet each drive was asked once.
    ASSERT_TRUE(Settle());
    EXPECT_EQ(platform.rootListCalls, 1);
    EXPECT_EQ(platform.infoRoots.size(), 3u);

    // The toolbar spans the top of the client area, the status bar reads "Ready".
    RECT client, bar;
    GetClientRect(window, &client);
    GetWindowRect(frame->m_wndToolBar.m_hWnd, &bar);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(StatusText(), "Ready");
    EXPECT_EQ(GetFocus(), frame->m_wndView.m_hWnd);
}

TEST_F(MainFrameTest, F5AndTheToggleCommandsRefresh) {
    Open();
    const int before = platform.rootListCalls;
    // Screen readers hear that the view's rows changed.
    static int reorders;
    reorders = 0;
    const HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_REORDER, EVENT_OBJECT_REORDER, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND, LONG object, LONG, DWORD, DWORD) {
            reorders += object == OBJID_CLIENT ? 1 : 0;
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    PostMessageA(frame->m_wndView.m_hWnd, WM_KEYDOWN, VK_F5, 0);
    Pump();
    UnhookWinEvent(hook);
    EXPECT_EQ(platform.rootListCalls, before + 1);
    EXPECT_GE(reorders, 1); // the refresh, then each batch of answers

    ASSERT_TRUE(Settle());
    platform.sizeRoots.clear();
    SendMessageA(window, WM_COMMAND, ID_VIEW_UPDATE_FLOPPIES, 0);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(frame->m_catalogue.Options().viewFloppies, 0);
    EXPECT_FALSE(MenuChecked(ID_VIEW_UPDATE_FLOPPIES));
    EXPECT_FALSE(ButtonPressed(ID_VIEW_UPDATE_FLOPPIES));
    EXPECT_EQ(platform.rootListCalls, before + 2);
    std::sort(platform.sizeRoots.begin(), platform.sizeRoots.end());
    EXPECT_EQ(platform.sizeRoots, (std::vector<std::string>{"C:\\", "E:\\"}));

    SendMessageA(window, WM_COMMAND, ID_VIEW_UPDATE_REMOVABLES, 0);
    EXPECT_EQ(frame->m_catalogue.Options().viewRemoveables, 0);
    EXPECT_FALSE(MenuChecked(ID_VIEW_UPDATE_REMOVABLES));
    EXPECT_FALSE(ButtonPressed(ID_VIEW_UPDATE_REMOVABLES));
    // The options act at once, before any answer.
    EXPECT_EQ(frame->m_catalogue.Drives()[2].ulTotalBytes, 0u);

    // The toolbar button sends the same command.
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(ID_VIEW_UPDATE_REMOVABLES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(frame->m_wndToolBar.GetToolBarCtrl()));
    EXPECT_EQ(frame->m_catalogue.Options().viewRemoveables, 1);
    EXPECT_TRUE(MenuChecked(ID_VIEW_UPDATE_REMOVABLES));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(frame->m_catalogue.Drives()[2].ulTotalBytes, 500u);
}

// F5 repaints nothing at once, and nothing once its answers are in when they
// change nothing: only rows that look different repaint.
TEST_F(MainFrameTest, F5ThatChangesNothingRepaintsNothing) {
    // A drive without figures says "waiting" while it is asked: A: has some.
    platform.drives[0] = {"A:\\", "3\xBD Floppy (A:)", DRIVE_REMOVABLE, true, 1440, 100};
    Open();
    ASSERT_TRUE(Settle());
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageA(window, WM_COMMAND, ID_DRIVES_REFRESH, 0);
    for (const HWND w : {window, frame->m_wndToolBar.m_hWnd, frame->m_wndView.m_hWnd})
        EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE));
    ASSERT_TRUE(PumpUntil([&] { return !frame->m_catalogue.Busy(); },
                          [] {
                              for (MSG m; PeekMessageA(&m, nullptr, WM_DRIVE_ANSWERS,
                                                       WM_DRIVE_ANSWERS, PM_REMOVE);)
                                  DispatchMessageA(&m);
                          }));
    EXPECT_FALSE(GetUpdateRect(frame->m_wndView.m_hWnd, nullptr, FALSE));
}

// The stale timer's tick repaints the row of a call that stopped answering,
// and that row alone; the shell's notice of a change asks the drives (after
// the notices' quiet time).
TEST_F(MainFrameTest, TheStaleTimerRepaintsTheLateRowAndShellNoticesAskTheDrives) {
    platform.drives.push_back({"S:\\", "Slow (S:)", DRIVE_REMOTE, true, 2000, 500});
    Hold("S:\\");
    StoreInit("AutoUpdate", 0); // no poll asks the drives meanwhile
    Open();
    auto now = std::chrono::steady_clock::now();
    frame->SetClock([&now] { return now; });
    const HWND view = frame->m_wndView.m_hWnd;
    RedrawWindow(view, nullptr, nullptr, RDW_VALIDATE);
    now += kDriveStaleAfter;
    SendMessageA(window, WM_TIMER, kStaleTimer, 0);
    RECT dirty{};
    GetUpdateRect(view, &dirty, FALSE);
    EXPECT_EQ(std::make_pair(dirty.top, dirty.bottom), std::make_pair(32L * 3 + 5, 32L * 4 + 5));
    EXPECT_EQ(frame->m_catalogue.StateOf(frame->m_catalogue.Drives()[3]),
              DriveState::NotResponding);

    const size_t calls = platform.AllCalls();
    // A notice that names no drive, as the shell may send.
    SendMessageA(window, WM_DRIVE_SHELL_NOTICE, 0, 0);
    now += kNoticeLongestWait;
    SendMessageA(window, WM_TIMER, kNoticeTimer, 0);
    EXPECT_TRUE(PumpUntil([&] { return platform.AllCalls() > calls; }, [] { Pump(); }));
}

TEST_F(MainFrameTest, StoredOptionsAreLoadedAndEndAsZeroOrOne) {
    StoreInit("ViewFloppies", 5);
    StoreInit("ViewRemoveables", 0);
    Open();
    EXPECT_EQ(frame->m_catalogue.Options().viewFloppies, 1);
    EXPECT_EQ(frame->m_catalogue.Options().viewRemoveables, 0);
    EXPECT_TRUE(MenuChecked(ID_VIEW_UPDATE_FLOPPIES));
    EXPECT_FALSE(MenuChecked(ID_VIEW_UPDATE_REMOVABLES));
    // The removable E: is not queried; A: (no medium) is.
    EXPECT_EQ(frame->m_catalogue.Drives()[2].ulTotalBytes, 0u);
}

TEST_F(MainFrameTest, HighlightedCommandsShowTheirPromptThenReady) {
    Open();
    HMENU menu = GetMenu(window);
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(ID_DRIVES_REFRESH, MF_HILITE),
                 reinterpret_cast<LPARAM>(GetSubMenu(menu, 1)));
    EXPECT_EQ(StatusText(), "Updates the current drive statistics");
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(ID_VIEW_DRIVES, MF_HILITE),
                 reinterpret_cast<LPARAM>(GetSubMenu(menu, 2)));
    EXPECT_EQ(StatusText(), "Determine which drives to display...");
    SendMessageA(window, WM_MENUSELECT, MAKEWPARAM(0xFFFF, 0xFFFF), 0);
    EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(MainFrameTest, ASlowDriveNeverHoldsTheWindowAndFillsInItsRowLate) {
    platform.drives.push_back({"F:\\", "CD (F:)", DRIVE_CDROM, false});
    platform.drives.push_back({"S:\\", "Slow (S:)", DRIVE_REMOTE, true, 2000, 500});
    Hold("S:\\");
    Open();
    const DriveList& drives = frame->m_catalogue.Drives();
    ASSERT_EQ(drives.size(), 5u);
    EXPECT_EQ(drives[4].bPending, 1);
    EXPECT_EQ(drives[2].ulTotalBytes, 500u);

    // Painting rows without size data (F:, S:) calls nothing.
    const size_t calls = platform.AllCalls();
    RedrawWindow(frame->m_wndView.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(platform.AllCalls(), calls);

    // F5 while S: is out does not ask it again; its answer fills in the row
    // without another refresh.
    PostMessageA(frame->m_wndView.m_hWnd, WM_KEYDOWN, VK_F5, 0);
    Pump();
    EXPECT_EQ(platform.CallsOn("S:\\"), 1u);
    const int refreshes = platform.rootListCalls;
    platform.Release("S:\\");
    ASSERT_TRUE(PumpUntil([&] { return drives[4].bPending == 0; }, [] { Pump(); }));
    EXPECT_EQ(platform.rootListCalls, refreshes);
    EXPECT_STREQ(drives[4].sfi.szDisplayName, L"Slow (S:)");
    EXPECT_EQ(drives[4].ulTotalBytes, 2000u);
}

// Ending the session never closes the window; it saves then what closing
// saves, and only once.
TEST_F(MainFrameTest, CloseBoxExitAndTheEndOfTheSessionSaveTheSameOnce) {
    // A drive that never answers neither delays the close nor leaves an
    // entry without a name.
    platform.drives.push_back({"S:\\", "Slow (S:)", DRIVE_REMOTE});
    Hold("S:\\");
    std::map<std::string, std::string> closed;
    for (UINT how : {UINT(WM_CLOSE), UINT(WM_COMMAND), UINT(WM_ENDSESSION)}) {
        SCOPED_TRACE(how);
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestCompanyKey);
        Open();
        SetWindowPos(window, nullptr, 70, 50, 500, 380, SWP_NOZORDER);
        frame->m_catalogue.Drives()[1].bShown = 0; // as the drive dialog would leave it
        frame->m_catalogue.Options().viewRemoveables = 0;
        SendMessageA(window, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
        if (how == WM_ENDSESSION) {
            SendMessageA(window, WM_ENDSESSION, FALSE, 0); // the end was called off
            EXPECT_TRUE(StoredSettings().empty());
            SendMessageA(window, WM_ENDSESSION, TRUE, 0);
        } else {
            Close(how);
        }
        EXPECT_EQ(ReadDword("Drives", "Local Disk (C:)"), 0u);
        EXPECT_EQ(ReadDword("Drives", "Stick (E:)"), 1u);
        EXPECT_EQ(ReadDword("Drives", ""), 0xDEADBEEFu);
        EXPECT_EQ(ReadDword("Init", "ViewFloppies"), 1u);
        EXPECT_EQ(ReadDword("Init", "ViewRemoveables"), 0u);

        BYTE placement[64] = {};
        DWORD type = 0, size = sizeof placement;
        ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kAppKey.c_str(), "Placement", RRF_RT_ANY, &type,
                               placement, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(size, 44u);
        EXPECT_EQ(placement[0], 44);
        if (how == WM_CLOSE)
            closed = StoredSettings();
        else
            EXPECT_EQ(StoredSettings(), closed);
    }
    // Neither a second end of the session nor the close after it saves again.
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestCompanyKey);
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    Close();
    EXPECT_TRUE(StoredSettings().empty());
}

// What closing saves comes back on the next start: the hidden drive (never
// asked for its size), the options, the placement and the toolbar's state.
TEST_F(MainFrameTest, WhatClosingSavesComesBackAfterARestart) {
    Open();
    SetWindowPos(window, nullptr, 70, 50, 500, 380, SWP_NOZORDER);
    SendMessageA(window, WM_COMMAND, ID_VIEW_UPDATE_REMOVABLES, 0);
    ASSERT_TRUE(Settle());
    frame->m_catalogue.Drives()[0].bShown = 0; // as the drive dialog would leave it
    SendMessageA(window, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    EXPECT_FALSE(IsWindowVisible(frame->m_wndToolBar.m_hWnd));
    Close();
    platform.sizeRoots.clear();

    Reopen();
    EXPECT_EQ(frame->m_catalogue.Drives()[0].bShown, 0);
    EXPECT_EQ(frame->m_catalogue.CountShownDrives(), 2);
    EXPECT_EQ(std::count(platform.sizeRoots.begin(), platform.sizeRoots.end(), "A:\\"), 0);
    EXPECT_EQ(frame->m_catalogue.Options().viewFloppies, 1);
    EXPECT_EQ(frame->m_catalogue.Options().viewRemoveables, 0);
    RECT rect;
    GetWindowRect(window, &rect);
    const RECT closedAt{70, 50, 570, 430};
    EXPECT_TRUE(EqualRect(&rect, &closedAt));
    EXPECT_FALSE(IsWindowVisible(frame->m_wndToolBar.m_hWnd));
    // View > Toolbar brings it back, docked at the top.
    SendMessageA(window, WM_COMMAND, ID_VIEW_TOOLBAR, 0);
    EXPECT_TRUE(IsWindowVisible(frame->m_wndToolBar.m_hWnd));
    frame->DockControlBar(&frame->m_wndToolBar, CBRS_ALIGN_LEFT);
    // Minimized from maximized and closed: it opens maximized again.
    ShowWindow(window, SW_MAXIMIZE);
    ShowWindow(window, SW_MINIMIZE);
    Close();

    Reopen();
    EXPECT_TRUE(IsZoomed(window));
    RECT bar;
    GetWindowRect(frame->m_wndToolBar.m_hWnd, &bar);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_TRUE(IsWindowVisible(frame->m_wndToolBar.m_hWnd));
    EXPECT_EQ(bar.left, 0);
    EXPECT_LT(bar.right - bar.left, bar.bottom - bar.top); // upright: docked on the left
}

// The option is stored, starts with the stored value and only starts or
// stops the poll: no refresh of its own.
TEST_F(MainFrameTest, UpdateAutomaticallyIsStoredAndOnlyStartsOrStopsThePoll) {
    StoreInit("AutoUpdate", 0);
    Open();
    EXPECT_FALSE(MenuChecked(ID_VIEW_UPDATE_AUTOMATICALLY));
    ASSERT_TRUE(Settle());
    const int refreshes = platform.rootListCalls;
    SendMessageA(window, WM_COMMAND, ID_VIEW_UPDATE_AUTOMATICALLY, 0);
    EXPECT_TRUE(MenuChecked(ID_VIEW_UPDATE_AUTOMATICALLY));
    EXPECT_FALSE(frame->m_catalogue.Busy());
    // A tick reads the fixed C: again, nothing else.
    platform.sizeRoots.clear();
    platform.drives[1].freeBytes = 400;
    SendMessageA(window, WM_TIMER, kAutoUpdateTimer, 0);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(platform.sizeRoots, std::vector<std::string>{"C:\\"});
    EXPECT_EQ(frame->m_catalogue.Drives()[1].ulTotalFreeBytes, 400u);
    EXPECT_EQ(platform.rootListCalls, refreshes);
    // Only C:'s row, the second, repaints when its figures change.
    const HWND view = frame->m_wndView.m_hWnd;
    RedrawWindow(view, nullptr, nullptr, RDW_UPDATENOW);
    platform.drives[1].freeBytes = 300;
    SendMessageA(window, WM_TIMER, kAutoUpdateTimer, 0);
    ASSERT_TRUE(PumpUntil([&] { return !frame->m_catalogue.Busy(); },
                          [] {
                              for (MSG m; PeekMessageA(&m, nullptr, WM_DRIVE_ANSWERS,
                                                       WM_DRIVE_ANSWERS, PM_REMOVE);)
                                  DispatchMessageA(&m);
                          }));
    RECT dirty{};
    GetUpdateRect(view, &dirty, FALSE);
    EXPECT_EQ(dirty.top, 37);
    EXPECT_EQ(dirty.bottom, 69);
    Close();
    EXPECT_EQ(ReadDword("Init", "AutoUpdate"), 1u);
}

// A burst of volume notices gives one refresh half a second after the last,
// never later than two seconds after the first; other devices none.
TEST_F(MainFrameTest, VolumeNoticesAreCoalescedIntoOneRefresh) {
    Open();
    auto now = std::chrono::steady_clock::time_point{};
    frame->SetClock([&now] { return now; });
    const int refreshes = platform.rootListCalls;
    DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << 4, DBTF_MEDIA};
    DEV_BROADCAST_HDR port{sizeof port, DBT_DEVTYP_PORT, 0};
    const auto notice = [&](const void* data) {
        SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(data));
    };
    const auto tick = [&] { SendMessageA(window, WM_TIMER, kNoticeTimer, 0); };
    notice(&port);
    tick();
    EXPECT_EQ(platform.rootListCalls, refreshes);
    ASSERT_TRUE(Settle());
    notice(&volume);
    EXPECT_TRUE(frame->m_catalogue.Busy()) << "a refresh is on its way";
    for (int i = 0; i < 6; ++i) {
        notice(&volume);
        now += std::chrono::milliseconds(300);
        tick();
    }
    EXPECT_EQ(platform.rootListCalls, refreshes);
    // Half a second after this one would be 2.3 s: the cap holds at 2 s.
    notice(&volume);
    now += std::chrono::milliseconds(200);
    tick();
    EXPECT_EQ(platform.rootListCalls, refreshes + 1);
    tick();
    SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(&volume));
    now += std::chrono::milliseconds(499);
    tick();
    EXPECT_EQ(platform.rootListCalls, refreshes + 1);
    now += std::chrono::milliseconds(1);
    tick();
    EXPECT_EQ(platform.rootListCalls, refreshes + 2);
}

// Another program's hold on the clipboard, from a thread of its own, until
// Release().
class ClipboardHolder {
public:
    ClipboardHolder()
        : m_thread([this] {
              m_held = OpenClipboard(nullptr) && EmptyClipboard();
              SetEvent(m_opened.get());
              WaitForSingleObject(m_release.get(), 20000);
              CloseClipboard();
          }) {
        WaitForSingleObject(m_opened.get(), 20000);
    }
    ~ClipboardHolder() { Release(); }
    void Release() {
        SetEvent(m_release.get());
        if (m_thread.joinable())
            m_thread.join();
    }
    bool m_held = false;

private:
    tov::UniqueHandle<HANDLE, CloseHandle> m_opened{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    tov::UniqueHandle<HANDLE, CloseHandle> m_release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::thread m_thread;
};

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Ctrl+C while the clipboard is held: the copy lands once it is let go,
// the window going on meanwhile; held past two seconds, nothing is copied
// and the status bar says why.
TEST_F(MainFrameTest, ACopyWaitsForABusyClipboardThenSaysItIsBusy) {
    Open();
    auto now = std::chrono::steady_clock::time_point{};
    frame->SetClock([&now] { return now; });
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.m_held);
        SendMessageA(window, WM_COMMAND, ID_EDIT_COPY, 0);
        Pump();
        holder.Release();
        ASSERT_TRUE(PumpUntil([] { return !ClipboardText().empty(); }, [] { Pump(); }));
    }
    EXPECT_EQ(ClipboardText().rfind(L"Drive\t", 0), 0u) << ClipboardText().size();

    ClipboardHolder holder;
    SendMessageA(window, WM_COMMAND, ID_EDIT_COPY, 0);
    now += std::chrono::milliseconds(1999);
    SendMessageA(window, WM_TIMER, kClipboardTimer, 0);
    EXPECT_EQ(StatusText(), "Ready");
    now += std::chrono::milliseconds(1);
    SendMessageA(window, WM_TIMER, kClipboardTimer, 0);
    EXPECT_EQ(StatusText(), "The clipboard is busy; nothing was copied");
    holder.Release();
    SendMessageA(window, WM_TIMER, kClipboardTimer, 0);
    EXPECT_EQ(ClipboardText(), L"") << "given up: the copy never lands";
}

// A close that reaches the frame while View Drives runs ends the dialog
// first, then closes the frame normally, saving once; the refresh and the
// poll that waited for the dialog ask no drive.
TEST_F(MainFrameTest, ACloseDuringTheDrivesDialogEndsItFirstThenCloses) {
    Open();
    ASSERT_TRUE(Settle());
    auto now = std::chrono::steady_clock::now();
    frame->SetClock([&now] { return now; });
    const size_t calls = platform.AllCalls();
    bool frameAliveAtDialogEnd = false;
    RunCommand(ID_VIEW_DRIVES, {[&](HWND dialog) {
                   DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME, 0, 1u << 2, 0};
                   SendMessageA(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                                reinterpret_cast<LPARAM>(&volume));
                   now += kNoticeLongestWait;
                   SendMessageA(window, WM_TIMER, kNoticeTimer, 0);
                   SendMessageA(window, WM_TIMER, kAutoUpdateTimer, 0);
                   SendMessageA(window, WM_CLOSE, 0, 0);
                   frameAliveAtDialogEnd = IsWindow(window) && !IsWindowVisible(dialog);
               }});
    EXPECT_TRUE(frameAliveAtDialogEnd);
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(platform.AllCalls(), calls);
    frame = nullptr;
    EXPECT_EQ(ReadDword("Init", "ViewFloppies"), 1u);
}

// Started maximized and closed without a change, the frame stores exactly
// what it read: its normal rectangle too, which creation must not take from
// the maximized window.
TEST_F(MainFrameTest, AMaximizedStartAndCloseStoreWhatWasRead) {
    Open();
    SetWindowPos(window, nullptr, 100, 100, 500, 400, SWP_NOZORDER);
    ShowWindow(window, SW_MAXIMIZE);
    Close();
    const auto stored = StoredSettings();
    Reopen();
    EXPECT_TRUE(IsZoomed(window));
    Close();
    EXPECT_EQ(StoredSettings(), stored);
}

// Only top-level windows hear of new system colours; the toolbar's button
// images follow them all the same.
TEST_F(MainFrameTest, ToolbarImagesFollowANewButtonTextColour) {
    Open();
    // How many pixels of the images, drawn side by side, have `colour`.
    const auto pixels = [this](COLORREF colour) {
        const auto images = reinterpret_cast<HIMAGELIST>(
            SendMessageA(frame->m_wndToolBar.GetToolBarCtrl(), TB_GETIMAGELIST, 0, 0));
        int width = 0, height = 0;
        ImageList_GetIconSize(images, &width, &height);
        const int count = ImageList_GetImageCount(images);
        DibCanvas canvas(width * count, height);
        canvas.Fill(RGB(0xFD, 0x01, 0xFE)); // a colour of neither the images nor the system
        for (int i = 0; i < count; ++i)
            ImageList_Draw(images, i, canvas.dc(), i * width, 0, ILD_NORMAL);
        return canvas.Count(RECT{0, 0, width * count, height}, colour);
    };
    const int element = COLOR_BTNTEXT;
    const COLORREF before = GetSysColor(element);
    const COLORREF changed = RGB(0x12, 0x9A, 0x56);
    const int drawnBefore = pixels(before);
    ASSERT_GT(drawnBefore, 0) << "the images need pixels in the button text colour";
    ASSERT_EQ(pixels(changed), 0);

    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    Pump();
    const int oldAfter = pixels(before), newAfter = pixels(changed);
    SetSysColors(1, &element, &before);
    Pump();
    EXPECT_EQ(oldAfter, 0);
    EXPECT_EQ(newAfter, drawnBefore);
}
} // namespace

namespace {
// Moved to a monitor of twice the DPI, the frame takes the suggested
// rectangle, the toolbar the larger images, the bars and the rows grow, the
// view fills what the bars leave and the window's icons come at the DPI's
// sizes; moved back, every size is as before.
TEST_F(MainFrameTest, ADpiChangeScalesTheBarsAndRowsAndTakesTheSuggestedRectangle) {
    Open();
    const UINT dpi = tov::WindowDpi(window);
    struct Sizes {
        int button, toolBar, statusBar, step, viewTop, bigIcon, smallIcon;
        RECT frame;
        bool operator==(const Sizes& o) const {
            return button == o.button && toolBar == o.toolBar && statusBar == o.statusBar &&
                   step == o.step && viewTop == o.viewTop && bigIcon == o.bigIcon &&
                   smallIcon == o.smallIcon && EqualRect(&frame, &o.frame);
        }
    };
    const auto sizes = [&] {
        Pump();
        Sizes s{};
        s.button =
            HIWORD(SendMessageA(frame->m_wndToolBar.GetToolBarCtrl(), TB_GETBUTTONSIZE, 0, 0));
        RECT r{};
        GetWindowRect(frame->m_wndToolBar.m_hWnd, &r);
        s.toolBar = r.bottom - r.top;
        GetWindowRect(frame->m_wndStatusBar.m_hWnd, &r);
        s.statusBar = r.bottom - r.top;
        s.step = frame->m_wndView.Metrics().ScrollStep();
        GetWindowRect(frame->m_wndView.m_hWnd, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        s.viewTop = r.top;
        GetWindowRect(window, &s.frame);
        for (const auto& [kind, width] :
             {std::pair{ICON_BIG, &s.bigIcon}, {ICON_SMALL, &s.smallIcon}}) {
            ICONINFO info{};
            GetIconInfo(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, kind, 0)), &info);
            const tov::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
            BITMAP bitmap{};
            GetObjectA(colour.get(), sizeof bitmap, &bitmap);
            *width = bitmap.bmWidth;
        }
        return s;
    };
    const Sizes before = sizes();
    ASSERT_TRUE(Settle());
    // The same DPI again asks nothing; a new one asks the icons at their size.
    const RECT at = WindowRect(window);
    const int refreshes = platform.rootListCalls;
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&at));
    EXPECT_EQ(platform.rootListCalls, refreshes);

    RECT suggested{100, 80, 100 + 700, 80 + 520};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(platform.iconSizes.back(), tov::ScaleForDpi(32, 2 * dpi));
    const Sizes after = sizes();
    EXPECT_TRUE(EqualRect(&after.frame, &suggested));
    EXPECT_EQ(after.button, 2 * 15 + tov::ScaleForDpi(7, 2 * dpi)) << "the larger images";
    EXPECT_GT(after.toolBar, before.toolBar * 3 / 2);
    EXPECT_GT(after.statusBar, before.statusBar * 3 / 2);
    EXPECT_EQ(after.step, tov::ScaleForDpi(28, 2 * dpi) + tov::ScaleForDpi(5, 2 * dpi));
    EXPECT_EQ(after.viewTop, after.toolBar);
    EXPECT_EQ(after.bigIcon, tov::SystemMetricForDpi(SM_CXICON, 2 * dpi));
    EXPECT_EQ(after.smallIcon, tov::SystemMetricForDpi(SM_CXSMICON, 2 * dpi));

    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&before.frame));
    EXPECT_TRUE(sizes() == before);
}
} // namespace
