// The drive menu, double-click and Enter over the real main frame, with a
// stand-in shell: which items the menu holds, and what each choice does.
#include "FrameFixture.h"
#include "app/DriveShell.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {
using namespace tovtest;

// The shell's menu of a drive: "&Open" (its default) and "P&roperties".
// It deletes itself as what it is, in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FakeContextMenu final : public IContextMenu {
public:
    FakeContextMenu(std::vector<UINT>& invoked, const std::function<void()>& whileInvoked)
        : m_invoked(invoked), m_whileInvoked(whileInvoked) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IContextMenu) ? this : nullptr;
        if (*out == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT,
                                               UINT) override {
        InsertMenuW(menu, index, MF_BYPOSITION | MF_STRING, first, L"&Open");
        InsertMenuW(menu, index + 1, MF_BYPOSITION | MF_STRING, first + 1, L"P&roperties");
        SetMenuDefaultItem(menu, first, FALSE);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
        m_invoked.push_back(LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)));
        if (m_whileInvoked)
            m_whileInvoked();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) override {
        return E_NOTIMPL;
    }

private:
    ULONG m_refs = 1;
    std::vector<UINT>& m_invoked;
    const std::function<void()>& m_whileInvoked;
};
#pragma GCC diagnostic pop

// Records what the menu held ("*" marks the default, "-" a separator) and
// chooses the item with the text `pick`.
class FakeShell final : public DriveShell {
public:
    UniqueContextMenu ContextMenuOf(const std::wstring& root, HWND) override {
        asked.push_back(root);
        return UniqueContextMenu(new FakeContextMenu(invoked, whileInvoked));
    }
    UINT TrackMenu(HMENU menu, HWND, POINT, IContextMenu*) override {
        held = answersHeld();
        if (whileShown)
            whileShown();
        items.clear();
        UINT chosen = 0;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = 64;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            items.push_back((info.fType & MFT_SEPARATOR) ? L"-" : text);
            if (info.fState & MFS_DEFAULT)
                items.back() += L"*";
            if (info.fState & MFS_CHECKED)
                items.back() += L"[x]";
            if (pick == text)
                chosen = info.wID;
        }
        return chosen;
    }
    // Called on the drive engine's threads.
    void Open(const std::wstring& root) override {
        std::lock_guard<std::mutex> lock(mutex);
        opened.push_back(root);
    }
    std::vector<std::wstring> Opened() {
        std::lock_guard<std::mutex> lock(mutex);
        return opened;
    }

    std::function<bool()> answersHeld;
    std::function<void()> whileShown, whileInvoked;
    std::wstring pick;
    bool held = false;
    std::vector<std::wstring> asked, items;
    std::vector<UINT> invoked;

private:
    std::mutex mutex;
    std::vector<std::wstring> opened;
};

class DriveMenuTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        platform.drives = {{"A:\\", "Floppy (A:)", DRIVE_REMOVABLE, false},
                           {"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 1000, 250},
                           {"E:\\", "Stick (E:)", DRIVE_REMOVABLE, true, 500, 100}};
    }
    void Open() {
        FrameFixture::Open();
        frame->m_shell = shell;
        // Every drive the test does not hold answers the menu's probe.
        frame->m_menuPatience = std::chrono::seconds(20);
        shell->answersHeld = [this] { return frame->m_catalogue.AnswersHeld(); };
    }
    HWND View() const { return frame->m_wndView.m_hWnd; }
    // A right-click on shown row `row`, as the view's default handling passes it on.
    void RightClick(int row) {
        POINT point{100, 32 * row + 20};
        ClientToScreen(View(), &point);
        SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(View()),
                     MAKELPARAM(point.x, point.y));
        Pump();
    }

    std::shared_ptr<FakeShell> shell = std::make_shared<FakeShell>();
};

// An answered drive: Tovemar's item, a separator, the shell's items with the
// shell's default; a shell item goes to the shell, Hide hides the row and
// stores 0 under the drive's name at once. Answers wait while the menu shows.
TEST_F(DriveMenuTest, AnAnsweredDriveGetsHideWarnAndTheShellsItems) {
    Open();
    ASSERT_TRUE(Settle());
    shell->pick = L"P&roperties";
    RightClick(1);
    EXPECT_EQ(shell->asked, (std::vector<std::wstring>{L"C:\\"}));
    EXPECT_EQ(shell->items,
              (std::vector<std::wstring>{L"&Hide This Drive", L"Don't &Warn for This Drive", L"-",
                                         L"&Open*", L"P&roperties"}));
    EXPECT_TRUE(shell->held);
    EXPECT_FALSE(frame->m_catalogue.AnswersHeld());
    EXPECT_EQ(shell->invoked, (std::vector<UINT>{1}));

    // Silencing is stored by name and checks the item.
    shell->pick = L"Don't &Warn for This Drive";
    RightClick(1);
    const std::string silenced = std::string(kTestCompanyKey) + "\\Tovemar\\Silenced";
    EXPECT_EQ(StoredDword(silenced, "Local Disk (C:)"), 1u);
    shell->pick.clear();
    RightClick(1);
    EXPECT_EQ(shell->items[1], L"Don't &Warn for This Drive[x]");

    shell->pick = L"&Hide This Drive";
    RightClick(1);
    EXPECT_EQ(frame->m_catalogue.Drives()[1].bShown, 0);
    EXPECT_EQ(StoredDriveFlag("Local Disk (C:)"), 0);
    EXPECT_EQ(shell->invoked.size(), 1u);
}

// Closed while a shell command from the menu runs a loop of its own (its
// dialog): no close comes back to that loop, and the window closes once the
// command has returned.
TEST_F(DriveMenuTest, ACloseDuringAShellCommandClosesOnceAfterIt) {
    Open();
    shell->pick = L"P&roperties";
    int handled = 0;
    shell->whileInvoked = [&] {
        SendMessageW(window, WM_CLOSE, 0, 0);
        for (MSG m; handled < 100 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++handled)
            DispatchMessageW(&m);
        EXPECT_TRUE(IsWindow(window));
    };
    RightClick(1);
    EXPECT_LT(handled, 100) << "the command's loop never ran dry";
    EXPECT_FALSE(IsWindow(window));
    frame = nullptr;
}

// A drive whose answer is out gets Tovemar's items only, from the keyboard
// too; Open, a double-click and Enter open the drive by its root.
TEST_F(DriveMenuTest, ADriveWithoutAnswerGetsOpenAndHideOnly) {
    Hold("E:\\");
    Open();
    SendMessageW(View(), WM_KEYDOWN, VK_END, 1); // the focus row on E:
    shell->pick = L"&Open";
    SendMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(View()), -1);
    Pump();
    EXPECT_TRUE(shell->asked.empty());
    EXPECT_EQ(shell->items, (std::vector<std::wstring>{L"&Hide This Drive",
                                                       L"Don't &Warn for This Drive", L"&Open*"}));
    SendMessageW(View(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 20));
    SendMessageW(View(), WM_KEYDOWN, VK_RETURN, 1);
    // E:'s open waits behind its call out, and the second one is dropped.
    ASSERT_TRUE(PumpUntil([&] { return shell->Opened().size() == 1; }, [] { Pump(); }));
    platform.Release("E:\\");
    ASSERT_TRUE(PumpUntil([&] { return shell->Opened().size() == 2; }, [] { Pump(); }));
    EXPECT_EQ(shell->Opened(), (std::vector<std::wstring>{L"A:\\", L"E:\\"}));

    // Closed while the menu shows: the menu ends first, then the window closes.
    bool outlivesMenu = false;
    shell->whileShown = [&] {
        SendMessageW(window, WM_CLOSE, 0, 0);
        outlivesMenu = IsWindow(window);
    };
    RightClick(0);
    EXPECT_TRUE(outlivesMenu);
    EXPECT_FALSE(IsWindow(window));
    frame = nullptr;
}

// A drive that answered once but not the menu's probe gets Tovemar's items
// only: the window's thread asks the shell only right after an answer.
TEST_F(DriveMenuTest, ADriveThatStoppedAnsweringGetsOpenAndHideOnly) {
    Open();
    ASSERT_TRUE(Settle());
    platform.Hold("C:\\");
    frame->m_menuPatience = std::chrono::milliseconds(1);
    RightClick(1);
    EXPECT_TRUE(shell->asked.empty());
    EXPECT_EQ(shell->items, (std::vector<std::wstring>{L"&Hide This Drive",
                                                       L"Don't &Warn for This Drive", L"&Open*"}));
    EXPECT_EQ(platform.CallsOn("C:\\"), 4u) << "three calls of the refresh and the probe";
}

// A free-space notice names the drives whose free space is read, nothing
// more; any other drive notice still refreshes.
TEST(ShellNoticeTest, FreeSpaceNoticesNameTheirDrivesRoots) {
    EXPECT_TRUE(IsFreeSpaceNotice(SHCNE_FREESPACE));
    EXPECT_TRUE(IsFreeSpaceNotice(SHCNE_UPDATEITEM | SHCNE_INTERRUPT));
    EXPECT_FALSE(IsFreeSpaceNotice(SHCNE_UPDATEITEM | SHCNE_MEDIAREMOVED));
    EXPECT_FALSE(IsFreeSpaceNotice(SHCNE_DRIVEADD));
    EXPECT_FALSE(IsFreeSpaceNotice(0));
    PIDLIST_ABSOLUTE items[3] = {};
    SHParseDisplayName(L"c:\\windows", nullptr, &items[0], 0, nullptr);
    SHParseDisplayName(L"C:\\", nullptr, &items[1], 0, nullptr);
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &items[2]);
    EXPECT_EQ(NoticeRoots(items, 2), (std::vector<std::string>{"C:\\"}));
    EXPECT_TRUE(NoticeRoots(items + 2, 1).empty()) << "the computer names no drive";
    EXPECT_TRUE(NoticeRoots(nullptr, 2).empty());
    for (PIDLIST_ABSOLUTE item : items)
        ILFree(item);
}

// A failed post of the answers' notice leaves the way open for the next.
TEST(PostAnswersNoticeTest, AFailedPostLetsTheNextAnswerPostAgain) {
    std::atomic<bool> posted{false};
    const HWND gone =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    PostAnswersNotice(gone, posted);
    EXPECT_FALSE(posted.load());
    const HWND live =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    PostAnswersNotice(live, posted);
    PostAnswersNotice(live, posted);
    MSG message{};
    int notices = 0;
    while (PeekMessageA(&message, live, WM_DRIVE_ANSWERS, WM_DRIVE_ANSWERS, PM_REMOVE))
        ++notices;
    EXPECT_EQ(notices, 1);
    DestroyWindow(live);
}
} // namespace
