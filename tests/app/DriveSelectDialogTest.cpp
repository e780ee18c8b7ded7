// The "View Drives" dialog over a real main frame with scripted drives,
// driven by clicks and keys from inside its modal loop.
#include "FrameFixture.h"

#include <string>
#include <vector>

namespace {
using namespace tovtest;

// Counts the paints of one window by watching its window procedure.
class PaintCounter {
public:
    explicit PaintCounter(HWND window) : m_window(window) {
        s_count = 0;
        s_own = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Watch)));
    }
    ~PaintCounter() {
        if (IsWindow(m_window))
            SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_own));
    }
    static int Count() { return s_count; }

private:
    static LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT)
            ++s_count;
        return CallWindowProcA(s_own, window, message, wParam, lParam);
    }
    static inline WNDPROC s_own = nullptr;
    static inline int s_count = 0;
    HWND m_window;
};

class DriveSelectDialogTest : public FrameFixture {
protected:
    // n fixed drives named "Disk n (X:)" from C: on, all with size data.
    void ScriptDrives(int n) {
        platform.drives.clear();
        for (int i = 0; i < n; ++i) {
            const char letter = static_cast<char>('C' + i);
            platform.drives.push_back({std::string(1, letter) + ":\\",
                                       "Disk " + std::to_string(i) + " (" + letter + ":)",
                                       DRIVE_FIXED, true, 1000, 400});
        }
    }

    static HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_DRIVE_LIST); }

    static std::vector<std::string> Entries(HWND dialog) {
        std::vector<std::string> entries;
        const int count = static_cast<int>(SendMessageA(List(dialog), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[300] = {};
            SendMessageA(List(dialog), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            entries.emplace_back(text);
        }
        return entries;
    }

    static std::vector<int> Selection(HWND dialog) {
        std::vector<int> selected;
        const int count = static_cast<int>(SendMessageA(List(dialog), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            selected.push_back(SendMessageA(List(dialog), LB_GETSEL, i, 0) > 0 ? 1 : 0);
        return selected;
    }

    std::vector<int> ShownFlags() const {
        std::vector<int> shown;
        for (const DriveRecord& record : frame->m_catalogue.Drives())
            shown.push_back(record.bShown);
        return shown;
    }

    // Clicks entry `index`, scrolled into view first.
    static void ClickEntry(HWND dialog, int index) {
        SendMessageA(List(dialog), LB_SETTOPINDEX, index, 0);
        RECT item{};
        SendMessageA(List(dialog), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        PostClick(List(dialog), (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    }

    bool ViewHasScrollBar() const {
        return (GetWindowLongA(frame->m_wndView.m_hWnd, GWL_STYLE) & WS_VSCROLL) != 0;
    }
    int ViewScrollMax() const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE;
        GetScrollInfo(frame->m_wndView.m_hWnd, SB_VERT, &info);
        return info.nMax;
    }
};

TEST_F(DriveSelectDialogTest, ListsEveryDriveInOrderSelectedWhenShownWithTheFocusOnOk) {
    ScriptDrives(4);
    ASSERT_TRUE(TestApp().WriteProfileInt("Drives", "Disk 2 (E:)", 0));
    Open();
    ASSERT_EQ(ShownFlags(), (std::vector<int>{1, 1, 0, 1}));
    const auto before = StoredSettings();

    std::vector<std::string> entries;
    std::vector<int> selection;
    ModalFacts facts;
    RunCommand(ID_VIEW_DRIVES, {[&](HWND d) {
                                    entries = Entries(d);
                                    selection = Selection(d);
                                    facts = ModalFacts::Of(d);
                                },
                                Press(IDCANCEL)});
    EXPECT_EQ(entries, (std::vector<std::string>{"Disk 0 (C:)", "Disk 1 (D:)", "Disk 2 (E:)",
                                                 "Disk 3 (F:)"}));
    EXPECT_EQ(selection, (std::vector<int>{1, 1, 0, 1}));
    facts.ExpectModalOver(window, "View Drives");
    EXPECT_TRUE(IsWindowEnabled(window));
    // Filling the list changed and wrote nothing.
    EXPECT_EQ(ShownFlags(), (std::vector<int>{1, 1, 0, 1}));
    EXPECT_EQ(StoredSettings(), before);
}

// Both dialogs of the program end every way a dialog ends, give the frame
// back, and opening and closing them stores nothing.
TEST_F(DriveSelectDialogTest, BothDialogsEndEveryWayAndClosingWithoutAChangeWritesNothing) {
    ScriptDrives(3);
    Open();
    ASSERT_TRUE(StoredSettings().empty());
    const std::vector<ModalScript::Step> endings = {Press(IDOK), Key(VK_RETURN), Key(VK_ESCAPE),
                                                    CloseBox()};
    for (UINT command : {UINT{ID_VIEW_DRIVES}, ID_APP_ABOUT}) {
        for (size_t i = 0; i < endings.size(); ++i) {
            RunCommand(command, {endings[i]});
            EXPECT_EQ(tovtest::FindOpenDialog(), nullptr) << command << " ending " << i;
            EXPECT_TRUE(IsWindowEnabled(window)) << command << " ending " << i;
        }
    }
    RunCommand(ID_VIEW_DRIVES, {Press(IDCANCEL)});
    EXPECT_EQ(tovtest::FindOpenDialog(), nullptr);
    EXPECT_TRUE(StoredSettings().empty());
    EXPECT_EQ(ShownFlags(), (std::vector<int>{1, 1, 1}));
}

TEST_F(DriveSelectDialogTest, OneClickFlipsThatDriveAloneAndAppliesItAtOnce) {
    ScriptDrives(12); // more rows than the view holds
    ASSERT_TRUE(TestApp().WriteProfileInt("Drives", "Disk 1 (D:)", 0));
    Open();
    const int maxBefore = ViewScrollMax();
    ASSERT_TRUE(ViewHasScrollBar());

    std::vector<int> selection, shown;
    int paints = 0, maxDuring = 0;
    PaintCounter counter(frame->m_wndView.m_hWnd);
    RunCommand(ID_VIEW_DRIVES, {[&](HWND d) { ClickEntry(d, 1); },
                                [&](HWND d) {
                                    // The dialog is still open: all of it has happened.
                                    selection = Selection(d);
                                    shown = ShownFlags();
                                    paints = PaintCounter::Count();
                                    maxDuring = ViewScrollMax();
                                    EXPECT_EQ(StoredDriveFlag("Disk 1 (D:)"), 1);
                                    EXPECT_EQ(StoredDriveFlag("Disk 0 (C:)"), 1);
                                    EXPECT_EQ(StoredDriveFlag("Disk 11 (N:)"), 1);
                                    // The click, not the opening, saved: both options too.
                                    DWORD value = 0, size = sizeof value;
                                    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER,
                                                           "Software\\VelmoraTestDialogs\\Tovemar"
                                                           "\\Init",
                                                           "ViewFloppies", RRF_RT_REG_DWORD,
                                                           nullptr, &value, &size),
                                              ERROR_SUCCESS);
                                },
                                [&](HWND d) { ClickEntry(d, 4); },
                                [&](HWND d) {
                                    EXPECT_EQ(Selection(d)[4], 0);
                                    EXPECT_EQ(StoredDriveFlag("Disk 4 (G:)"), 0);
                                    EXPECT_EQ(frame->m_catalogue.CountShownDrives(), 11);
                                },
                                Press(IDOK)});
    std::vector<int> expected(12, 1);
    EXPECT_EQ(selection, expected);
    EXPECT_EQ(shown, expected);
    EXPECT_GT(paints, 0) << "the view repainted while the dialog was open";
    EXPECT_EQ(maxDuring - maxBefore, frame->m_wndView.m_nBarHeight + 5) << "one row more";
    expected[4] = 0;
    EXPECT_EQ(ShownFlags(), expected);
}

TEST_F(DriveSelectDialogTest, OpensAtTheFirstEntryAndSpaceFlipsTheEntryWithTheCaret) {
    ScriptDrives(20); // more entries than the list shows, the last one selected
    Open();
    int caret = -1, top = -1;
    std::vector<int> afterSpace;
    RunCommand(ID_VIEW_DRIVES,
               {[&](HWND d) {
                    caret = static_cast<int>(SendMessageA(List(d), LB_GETCARETINDEX, 0, 0));
                    top = static_cast<int>(SendMessageA(List(d), LB_GETTOPINDEX, 0, 0));
                    SetFocus(List(d));
                    PostKey(List(d), VK_SPACE);
                },
                [&](HWND d) {
                    afterSpace = Selection(d);
                    PostKey(List(d), VK_DOWN);
                    PostKey(List(d), VK_SPACE);
                    // Moving the caret notifies too. (Wine's list
                    // does not notify for the space bar itself.)
                    PostKey(List(d), VK_DOWN);
                },
                Press(IDOK)});
    EXPECT_EQ(caret, 0);
    EXPECT_EQ(top, 0);
    std::vector<int> expected(20, 1);
    expected[0] = 0;
    EXPECT_EQ(afterSpace, expected);
    expected[1] = 0;
    EXPECT_EQ(ShownFlags(), expected);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(StoredDriveFlag(platform.drives[i].displayName.value()), expected[i]) << i;
}

TEST_F(DriveSelectDialogTest, DeselectingEveryEntryEmptiesTheViewAndHidesItsScrollBar) {
    ScriptDrives(12);
    Open();
    ASSERT_TRUE(ViewHasScrollBar());
    bool scrollBarDuring = true;
    int shownDuring = -1;
    RunCommand(ID_VIEW_DRIVES, {[&](HWND d) {
                                    SetFocus(List(d));
                                    PostKey(List(d), VK_HOME);
                                    for (int i = 0; i < 12; ++i) {
                                        PostKey(List(d), VK_SPACE);
                                        PostKey(List(d), VK_DOWN);
                                    }
                                },
                                [&](HWND d) {
                                    EXPECT_EQ(Selection(d), std::vector<int>(12, 0));
                                    scrollBarDuring = ViewHasScrollBar();
                                    shownDuring = frame->m_catalogue.CountShownDrives();
                                },
                                Press(IDOK)});
    EXPECT_FALSE(scrollBarDuring);
    EXPECT_EQ(shownDuring, 0);
    EXPECT_EQ(StoredDriveFlag("Disk 11 (N:)"), 0);
}

TEST_F(DriveSelectDialogTest, CancelKeepsTheChangesAndReopeningShowsThem) {
    ScriptDrives(3);
    Open();
    RunCommand(ID_VIEW_DRIVES,
               {[&](HWND d) { ClickEntry(d, 0); }, [](HWND) { PostKey(GetFocus(), VK_ESCAPE); }});
    EXPECT_EQ(ShownFlags(), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(StoredDriveFlag("Disk 0 (C:)"), 0);
    EXPECT_EQ(frame->m_catalogue.CountShownDrives(), 2);

    std::vector<int> reopened;
    RunCommand(ID_VIEW_DRIVES, {[&](HWND d) { reopened = Selection(d); }, Press(IDCANCEL)});
    EXPECT_EQ(reopened, (std::vector<int>{0, 1, 1}));
    // A refresh reads the stored flag back.
    SendMessageA(window, WM_COMMAND, ID_DRIVES_REFRESH, 0);
    EXPECT_EQ(ShownFlags(), (std::vector<int>{0, 1, 1}));
}

TEST_F(DriveSelectDialogTest, ADriveStillUnnamedIsListedByItsRootAndItsChoiceStoredLater) {
    ScriptDrives(2);
    platform.drives.push_back({"S:\\", "Slow (S:)", DRIVE_REMOTE, true, 1000, 400});
    Hold("S:\\");
    Open();
    std::vector<std::string> entries;
    bool pendingAfterAnswer = false;
    RunCommand(ID_VIEW_DRIVES,
               {[&](HWND d) {
                    entries = Entries(d);
                    ClickEntry(d, 2);
                },
                [&](HWND) {
                    platform.Release("S:\\");
                    // Its answer arrives while the dialog is open, and waits.
                    EXPECT_TRUE(PumpUntil([&] { return platform.CallsOn("S:\\") >= 3; }, [] {}));
                },
                [&](HWND) { pendingAfterAnswer = frame->m_catalogue.Drives()[2].bPending; },
                Press(IDOK)});
    EXPECT_EQ(entries, (std::vector<std::string>{"Disk 0 (C:)", "Disk 1 (D:)", "S:\\"}));
    EXPECT_TRUE(pendingAfterAnswer);
    EXPECT_EQ(StoredDriveFlag(""), -1) << "an empty name is never stored";
    ASSERT_TRUE(
        PumpUntil([&] { return frame->m_catalogue.Drives()[2].bPending == 0; }, [] { Pump(); }));
    // The choice stands and is stored under the name that arrived.
    EXPECT_EQ(ShownFlags(), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(StoredDriveFlag("Slow (S:)"), 0);
}

TEST_F(DriveSelectDialogTest, AnEmptyDriveListGivesAnEmptyListThatStillCloses) {
    platform.drives.clear();
    Open();
    int count = -1;
    RunCommand(ID_VIEW_DRIVES,
               {[&](HWND d) { count = static_cast<int>(SendMessageA(List(d), LB_GETCOUNT, 0, 0)); },
                Press(IDOK)});
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(StoredSettings().empty());
}

} // namespace
