#include "app/MainFrame.h"

#include "app/DriveMenu.h"
#include "app/DriveSelectDialog.h"
#include "app/HelpBinding.h"
#include "app/WarningsDialog.h"
#include "drives/DrivePlatform.h"
#include "drives/UpdatePolicy.h"
#include "framework/Clipboard.h"
#include "framework/Text.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "settings/WindowState.h"
#include "view/RowText.h"

#include <dbt.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>

namespace {
// The viewer's command that opens a topic; with no topic, the file's default one.
constexpr UINT kHhDisplayTopic = 0;
// The status bar has one pane: the stretchy message pane.
constexpr UINT kIndicators[] = {ID_SEPARATOR};

// The shell's drive notices the list follows.
constexpr LONG kShellDriveEvents = SHCNE_DRIVEADD | SHCNE_DRIVEREMOVED | SHCNE_MEDIAINSERTED |
                                   SHCNE_MEDIAREMOVED | SHCNE_FREESPACE | SHCNE_UPDATEITEM |
                                   SHCNE_RENAMEFOLDER;

// How long a copy waits for a busy clipboard, and how often it tries.
constexpr std::chrono::seconds kClipboardPatience{2};
constexpr UINT kClipboardRetryMs = 100;

UINT TimerDelay(std::chrono::milliseconds delay) {
    return static_cast<UINT>(std::max<long long>(USER_TIMER_MINIMUM, delay.count()));
}

// The dialog box that runs modally over `owner`, or null.
HWND ModalDialogOf(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetWindow(window, GW_OWNER) != s->owner || !IsWindowEnabled(window))
                return TRUE;
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770")
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
} // namespace

void PostAnswersNotice(HWND window, std::atomic<bool>& posted) {
    if (!posted.exchange(true) && !::PostMessageA(window, WM_DRIVE_ANSWERS, 0, 0))
        posted.store(false);
}

std::vector<std::string> NoticeRoots(const PIDLIST_ABSOLUTE* items, int count) {
    std::vector<std::string> roots;
    for (int i = 0; items != nullptr && i < count; ++i) {
        wchar_t path[MAX_PATH] = {};
        if (items[i] == nullptr || !SHGetPathFromIDListW(items[i], path) || path[1] != L':')
            continue;
        const wchar_t letter = path[0] >= L'a' && path[0] <= L'z' ? path[0] - L'a' + L'A' : path[0];
        if (letter < L'A' || letter > L'Z')
            continue;
        const std::string root{static_cast<char>(letter), ':', '\\'};
        if (std::find(roots.begin(), roots.end(), root) == roots.end())
            roots.push_back(root);
    }
    return roots;
}

bool IsFreeSpaceNotice(LONG event) {
    constexpr LONG kFreeSpaceEvents = SHCNE_FREESPACE | SHCNE_UPDATEITEM;
    const LONG kind = event & ~static_cast<LONG>(SHCNE_INTERRUPT);
    return kind != 0 && (kind & ~kFreeSpaceEvents) == 0;
}

DEFINE_MESSAGE_MAP(
    CMainFrame, CFrameWnd, OnWmCreate<&CMainFrame::OnCreate>(),
    OnWmSetFocus<&CMainFrame::OnSetFocus>(), OnWmClose<&CMainFrame::OnClose>(),
    OnWmEndSession<&CMainFrame::OnEndSession>(), OnMessage<WM_DESTROY, &CMainFrame::OnDestroy>(),
    OnMessage<WM_DEVICECHANGE, &CMainFrame::OnDeviceChange>(),
    OnMessage<WM_DRIVE_SHELL_NOTICE, &CMainFrame::OnShellNotice>(),
    OnMessage<WM_TIMER, &CMainFrame::OnTimer>(),
    OnMessage<WM_DPICHANGED, &CMainFrame::OnDpiChangedRefresh>(),
    OnCommand<ID_VIEW_UPDATE_AUTOMATICALLY, &CMainFrame::OnViewUpdateAutomatically>(),
    OnUpdateCommandUI<ID_VIEW_UPDATE_AUTOMATICALLY, &CMainFrame::OnUpdateViewUpdateAutomatically>(),
    OnCommand<ID_DRIVES_REFRESH, &CMainFrame::OnDrivesRefresh>(),
    OnCommand<ID_VIEW_DRIVES, &CMainFrame::OnSelectDrives>(),
    OnCommand<ID_VIEW_UPDATE_FLOPPIES, &CMainFrame::OnViewUpdateFloppies>(),
    OnCommand<ID_VIEW_UPDATE_REMOVABLES, &CMainFrame::OnViewUpdateRemovables>(),
    OnCommand<ID_HELP_CONTENTS, &CMainFrame::OnHelpContents>(),
    OnCommand<ID_EDIT_COPY, &CMainFrame::OnEditCopy>(),
    OnMessage<WM_CONTEXTMENU, &CMainFrame::OnContextMenu>(),
    OnUpdateCommandUI<ID_VIEW_UPDATE_FLOPPIES, &CMainFrame::OnUpdateViewUpdateFloppies>(),
    OnUpdateCommandUI<ID_VIEW_UPDATE_REMOVABLES, &CMainFrame::OnUpdateViewUpdateRemovables>(),
    OnMessage<WM_DRIVE_ANSWERS, &CMainFrame::OnDriveAnswers>(),
    OnCommand<ID_VIEW_WARNINGS, &CMainFrame::OnViewWarnings>(),
    OnMessage<WM_WARNING_ICON, &CMainFrame::OnWarningIcon>());

CMainFrame::CMainFrame(std::shared_ptr<DrivePlatform> platform)
    : m_catalogue(std::move(platform)), m_wndView(&m_catalogue),
      m_clock([] { return std::chrono::steady_clock::now(); }) {
    m_catalogue.SetOutlook([this](const DriveRecord& record) { return OutlookOf(record); });
}

void CMainFrame::SetClock(DriveCatalogue::Clock clock) {
    m_clock = clock;
    m_catalogue.SetClock(std::move(clock));
}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    cs.lpszClass = AfxRegisterWndClass(0);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTW cs) {
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_wndView.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{}, this,
                          AFX_IDW_PANE_FIRST, nullptr))
        return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS |
                                   CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
                               RECT{}, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAIN, IDB_TOOLBAR_LARGE))
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, 1))
        return -1;

    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);

    SetFrameIcons(IDR_MAIN);

    // A worker only posts, and only while the window lives: OnDestroy
    // clears the target under the workers' lock.
    const HWND window = m_hWnd;
    m_wndView.SetOpenHandler(
        [this](size_t record) { OpenDrive(m_catalogue.Drives()[record].szRoot); });
    // A poll of twenty drives wakes the window once, not twenty times.
    m_catalogue.SetNotify(
        [window, posted = m_answersPosted] { PostAnswersNotice(window, *posted); });

    ExchangeSettings(Direction::Load);
    ExchangeWarnings(Direction::Load, m_warnings);
    ExchangeWindowState(Direction::Load);
    m_nTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

    // Each loaded option goes through its toggle once, inverted first, so it
    // ends as 0 or 1 with its menu check mark set. The toggles' refreshes
    // wait for the one below, which asks every drive once under all the
    // options loaded.
    m_bCreating = true;
    UpdateOptions& options = m_catalogue.Options();
    options.viewFloppies = !options.viewFloppies;
    OnViewUpdateFloppies();
    options.viewRemoveables = !options.viewRemoveables;
    OnViewUpdateRemovables();
    // The stored value applies without a refresh of its own.
    options.autoUpdate = !options.autoUpdate;
    OnViewUpdateAutomatically();

    // The answers it waits for are the first readings.
    OnDrivesRefresh();
    m_bCreating = false;
    RegisterShellNotices();
    // The layout gave the view its size while the list was still empty (the
    // bars are laid out as they are docked), so no later resize brings the
    // scroll range to the drives just listed: it is computed here.
    m_wndView.UpdateScrollBars();
    return 0;
}

void CMainFrame::SaveState() {
    if (std::exchange(m_bStateSaved, true))
        return;
    ExchangeSettings(Direction::Save);
    SaveHistories();
    // The settings above have created the application key this opens.
    ExchangeWindowState(Direction::Save);
}

void CMainFrame::ExchangeWindowState(Direction direction) {
    // The placement lives in the application key of the profile that holds
    // the settings; without an application object there is neither.
    const CWinApp* app = AfxGetApp();
    tov::StoredShow applied = tov::StoredShow::None;
    ::ExchangeWindowState(app != nullptr ? m_hWnd : nullptr, direction,
                          app != nullptr ? app->m_strRegistryKey.c_str() : "",
                          app != nullptr ? app->m_strAppName.c_str() : "", &applied);
    if (direction == Direction::Load)
        m_storedShow = applied;
}

void CMainFrame::OnClose() {
    m_bClosePending = false;
    // The drive menu's loop, and a shell command chosen from it with a loop
    // of its own, run on this frame's stack: the menu ends first, and the
    // window closes once the menu and its command have returned.
    if (m_bMenuOpen) {
        if (!std::exchange(m_bCloseAfterMenu, true))
            EndMenu();
        return;
    }
    if (InModalState()) {
        // Destroying the frame now would pull it from under the dialog and
        // its caller: the dialog ends first, and the frame closes after.
        if (!std::exchange(m_bCloseAfterModal, true)) {
            if (const HWND dialog = ModalDialogOf(m_hWnd))
                ::EndDialog(dialog, IDCANCEL);
        }
        return;
    }
    SaveState();
    // The help viewer's windows live on a thread of this process.
    CloseHtmlHelp();
    CFrameWnd::OnClose();
}

void CMainFrame::EndModalState() {
    CFrameWnd::EndModalState();
    if (!InModalState() && std::exchange(m_bCloseAfterModal, false))
        PostClose();
}

void CMainFrame::PostClose() {
    m_bClosePending = ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0) != FALSE;
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM) {
    // No worker tells this window of an answer from now on.
    m_catalogue.SetNotify(nullptr);
    if (m_nShellNotices != 0)
        SHChangeNotifyDeregister(std::exchange(m_nShellNotices, 0));
    for (const UINT_PTR timer : {kNoticeTimer, kAutoUpdateTimer, kStaleTimer, kClipboardTimer})
        ::KillTimer(m_hWnd, timer);
    m_warningIcon.Remove();
    return Default();
}

void CMainFrame::RegisterShellNotices() {
    // This thread's first shell calls; the drives' workers may still be in
    // the shell's first-use set-up, which two first callers would deadlock.
    WaitForShellSetUp();
    PIDLIST_ABSOLUTE computer = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(m_hWnd, CSIDL_DRIVES, &computer)) || computer == nullptr)
        return;
    SHChangeNotifyEntry entry{computer, FALSE};
    m_nShellNotices = SHChangeNotifyRegister(
        m_hWnd, SHCNRF_ShellLevel | SHCNRF_InterruptLevel | SHCNRF_NewDelivery, kShellDriveEvents,
        WM_DRIVE_SHELL_NOTICE, 1, &entry);
    ILFree(computer);
}

LRESULT CMainFrame::OnShellNotice(WPARAM wParam, LPARAM lParam) {
    // The notice's data is the shell's to free: read while it is locked.
    PIDLIST_ABSOLUTE* items = nullptr;
    LONG event = 0;
    std::vector<std::string> roots;
    if (const HANDLE lock = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wParam),
                                                      static_cast<DWORD>(lParam), &items, &event)) {
        roots = NoticeRoots(items, 2);
        SHChangeNotification_Unlock(lock);
    }
    // Only the free space of the drives named (of every polled one when
    // none is) has changed: no refresh, no new icons.
    if (IsFreeSpaceNotice(event)) {
        m_catalogue.PollRoots(roots);
        DrivesStateChanged();
        return 0;
    }
    NoticeDrivesChanged();
    return 0;
}

LRESULT CMainFrame::OnDeviceChange(WPARAM event, LPARAM data) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if ((event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE) && header != nullptr &&
        header->dbch_devicetype == DBT_DEVTYP_VOLUME)
        NoticeDrivesChanged();
    return TRUE;
}

void CMainFrame::NoticeDrivesChanged() {
    const auto now = m_clock();
    m_notices.Notice(now);
    if (const auto in = m_notices.DueIn(now))
        ::SetTimer(m_hWnd, kNoticeTimer, TimerDelay(*in), nullptr);
    m_catalogue.ScheduleRefresh();
    m_wndView.BusyMayHaveChanged();
}

LRESULT CMainFrame::OnTimer(WPARAM id, LPARAM) {
    switch (id) {
    case kNoticeTimer:
        if (m_notices.TakeIfDue(m_clock())) {
            ::KillTimer(m_hWnd, kNoticeTimer);
            OnDrivesRefresh();
        } else if (const auto in = m_notices.DueIn(m_clock())) {
            ::SetTimer(m_hWnd, kNoticeTimer, TimerDelay(*in), nullptr);
        }
        return 0;
    case kAutoUpdateTimer:
        m_catalogue.Poll();
        DrivesStateChanged();
        return 0;
    case kStaleTimer:
        // A call has been out long enough to say so: its row repaints.
        ::KillTimer(m_hWnd, kStaleTimer);
        m_wndView.RowsChanged();
        DrivesStateChanged();
        return 0;
    case kClipboardTimer:
        RetryCopy();
        return 0;
    default:
        return Default();
    }
}

void CMainFrame::DrivesStateChanged() {
    if (const auto in = m_catalogue.NextStateChangeIn())
        ::SetTimer(m_hWnd, kStaleTimer, TimerDelay(*in), nullptr);
    else
        ::KillTimer(m_hWnd, kStaleTimer);
    m_wndView.BusyMayHaveChanged();
}

LRESULT CMainFrame::OnDpiChangedRefresh(WPARAM wParam, LPARAM lParam) {
    const int iconSize = m_wndView.Metrics().IconSize();
    const LRESULT result = CFrameWnd::OnDpiChanged(wParam, lParam);
    if (m_wndView.Metrics().IconSize() != iconSize)
        OnDrivesRefresh();
    return result;
}

void CMainFrame::OnEndSession(BOOL ending) {
    // The session ends without closing the window: what closing would save
    // is saved now.
    if (ending)
        SaveState();
}

void CMainFrame::OnSetFocus(CWnd*) {
    if (m_wndView.m_hWnd != nullptr)
        ::SetFocus(m_wndView.m_hWnd);
}

BOOL CMainFrame::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) {
    if (m_wndView.OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
}

void CMainFrame::RefreshDrives() {
    TakeAnswers(m_catalogue.Refresh(ShownFlagReader(), m_wndView.Metrics().IconSize(),
                                    m_bCreating ? RefreshWait::Deadline : RefreshWait::None));
}

void CMainFrame::ExchangeSettings(Direction direction) {
    UpdateOptions& options = m_catalogue.Options();
    ::ExchangeSettings(direction, m_catalogue.Drives(), options.viewFloppies,
                       options.viewRemoveables, &options.autoUpdate);
}

LRESULT CMainFrame::OnDriveAnswers(WPARAM, LPARAM) {
    // Cleared before the answers are looked at: one that arrives meanwhile
    // posts a notice of its own.
    m_answersPosted->store(false);
    ApplyDriveAnswers();
    return 0;
}

void CMainFrame::ApplyDriveAnswers() {
    // The window is about to go: what waited for a hold to end asks no drive.
    if (m_bClosePending)
        m_catalogue.DropOwedWork();
    const DriveCatalogue::Applied applied = m_catalogue.ApplyAnswers();
    TakeAnswers(applied);
    // The view repaints the rows that look different now, and only those.
    if (applied.changed)
        m_wndView.RowsChanged();
    DrivesStateChanged();
}

void CMainFrame::TakeAnswers(const DriveCatalogue::Applied& applied) {
    for (const auto& [name, shown] : applied.choices)
        StoreShownFlag(name.c_str(), shown);
    ObserveDrives(applied.answeredRoots);
}

void CMainFrame::OnShownDrivesChanged() {
    ExchangeSettings(Direction::Save);
    // The view rescrolls and repaints the rows from the first that changed.
    m_wndView.RowsChanged();
}

void CMainFrame::OnDrivesRefresh() {
    RefreshDrives();
    // Only what the refresh changed at once repaints (the options' boxes,
    // drives that came or went); answers repaint their rows as they arrive.
    m_wndView.RowsChanged();
    DrivesStateChanged();
}

void CMainFrame::ToggleOption(BOOL& flag, UINT commandId) {
    flag = ToggledFlag(flag);
    CheckMenuItem(GetMenu(m_hWnd), commandId, MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED));
    // While the frame is created, its own refresh follows the toggles.
    if (!m_bCreating)
        OnDrivesRefresh();
}

void CMainFrame::OnViewUpdateFloppies() {
    ToggleOption(m_catalogue.Options().viewFloppies, ID_VIEW_UPDATE_FLOPPIES);
}

void CMainFrame::OnViewUpdateRemovables() {
    ToggleOption(m_catalogue.Options().viewRemoveables, ID_VIEW_UPDATE_REMOVABLES);
}

void CMainFrame::OnViewUpdateAutomatically() {
    BOOL& flag = m_catalogue.Options().autoUpdate;
    flag = ToggledFlag(flag);
    CheckMenuItem(GetMenu(m_hWnd), ID_VIEW_UPDATE_AUTOMATICALLY,
                  MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED));
    ApplyAutoUpdate();
}

void CMainFrame::ApplyAutoUpdate() {
    // Off, nothing wakes the program up for it.
    if (m_catalogue.Options().autoUpdate)
        ::SetTimer(m_hWnd, kAutoUpdateTimer,
                   static_cast<UINT>(std::chrono::milliseconds(kAutoUpdateInterval).count()),
                   nullptr);
    else
        ::KillTimer(m_hWnd, kAutoUpdateTimer);
}

void CMainFrame::OnUpdateViewUpdateAutomatically(CCmdUI* cmdUI) {
    cmdUI->SetCheck(m_catalogue.Options().autoUpdate);
}

void CMainFrame::OnUpdateViewUpdateFloppies(CCmdUI* cmdUI) {
    cmdUI->SetCheck(m_catalogue.Options().viewFloppies);
}

void CMainFrame::OnUpdateViewUpdateRemovables(CCmdUI* cmdUI) {
    cmdUI->SetCheck(m_catalogue.Options().viewRemoveables);
}

void CMainFrame::OnSelectDrives() {
    // Answers that arrive while the dialog is open wait: its entries stand
    // for the records as they were when it opened.
    m_catalogue.HoldAnswers(true);
    CDriveSelectDialog dialog(m_catalogue, [this] { OnShownDrivesChanged(); });
    dialog.DoModal();
    m_catalogue.HoldAnswers(false);
    // Every change has been applied and saved while the dialog was open.
    ApplyDriveAnswers();
}

void CMainFrame::OnHelpContents() {
    // The viewer opens the file's default topic; whether it could is the
    // viewer's business, and nothing is shown when no viewer can be bound.
    // The file is the one beside the program, named in full: by its bare
    // name the viewer would look in the current directory, which may hold
    // nothing or somebody else's file.
    const std::wstring file = ProgramDirectoryFile(L"Tovemar.chm");
    if (!file.empty())
        CallHtmlHelp(GetFocus(), file.c_str(), kHhDisplayTopic, 0);
}

void CMainFrame::OnEditCopy() {
    // The rows as they stand now, however late the text lands.
    m_pendingCopy = ShownDrivesText(m_catalogue);
    m_copyDeadline = m_clock() + kClipboardPatience;
    // Held by another program for a moment (a clipboard history, a remote
    // desktop's copier): tried again from the message loop, which goes on.
    if (tov::PutTextOnClipboard(m_hWnd, m_pendingCopy)) {
        m_pendingCopy.clear();
        ::KillTimer(m_hWnd, kClipboardTimer);
    } else {
        ::SetTimer(m_hWnd, kClipboardTimer, kClipboardRetryMs, nullptr);
    }
}

void CMainFrame::RetryCopy() {
    const bool placed = tov::PutTextOnClipboard(m_hWnd, m_pendingCopy);
    if (!placed && m_clock() < m_copyDeadline)
        return;
    ::KillTimer(m_hWnd, kClipboardTimer);
    m_pendingCopy.clear();
    if (!placed)
        m_wndStatusBar.SetPaneText(0, AfxLoadString(IDS_CLIPBOARD_BUSY));
}

LRESULT CMainFrame::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    const HWND view = m_wndView.m_hWnd;
    if (reinterpret_cast<HWND>(wParam) != view)
        return Default();
    POINT screen{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    int record = -1;
    if (lParam == -1) {
        // From the keyboard: the focus row's menu, at the row's lower left.
        record = m_wndView.FocusRecord();
        const RECT row = m_wndView.FocusRowRect();
        screen = {row.left, row.bottom};
        ::ClientToScreen(view, &screen);
    } else {
        POINT client = screen;
        ::ScreenToClient(view, &client);
        record = m_wndView.RecordAt(client);
    }
    if (record >= 0)
        ShowDriveMenu(static_cast<size_t>(record), screen);
    return 0;
}

void CMainFrame::OpenDrive(const std::string& root) {
    m_catalogue.Open(root, [shell = m_shell, wide = tov::Widen(root)] { shell->Open(wide); });
}

void CMainFrame::ShowDriveMenu(size_t record, POINT screen) {
    const DriveRecord& drive = m_catalogue.Drives()[record];
    const std::string root = drive.szRoot;
    // The shell is asked only right after the drive answered: a share that
    // dropped since its last answer would hold the window for the network's
    // timeout.
    const bool withShellItems =
        ShellMayAsk(drive, m_catalogue.StateOf(drive)) && m_catalogue.Probe(root, m_menuPatience);
    const bool silenced = IsSilenced(drive.sfi.szDisplayName);
    // The menu stands for the drive as it was when it opened.
    m_catalogue.HoldAnswers(true);
    m_bMenuOpen = true;
    const DriveMenuChoice choice = ::ShowDriveMenu(*m_shell, m_wndView.m_hWnd, screen,
                                                   tov::Widen(root), withShellItems, silenced);
    m_bMenuOpen = false;
    m_catalogue.HoldAnswers(false);
    if (std::exchange(m_bCloseAfterMenu, false))
        PostClose();
    // The choice acts on the drive by its root, wherever its record is now.
    const DriveList& drives = m_catalogue.Drives();
    for (size_t i = 0; i < drives.size(); ++i) {
        if (root != drives[i].szRoot)
            continue;
        if (choice == DriveMenuChoice::Open) {
            OpenDrive(root);
        } else if (choice == DriveMenuChoice::ToggleWarnings) {
            StoreSilenced(drives[i].sfi.szDisplayName, !silenced);
            WarningsChanged();
        } else if (choice == DriveMenuChoice::Hide) {
            // As clearing the drive's line in View Drives does.
            m_catalogue.SetShown(i, false);
            OnShownDrivesChanged();
        }
        break;
    }
    ApplyDriveAnswers();
}

// --- Warnings ---------------------------------------------------------------

DriveOutlook CMainFrame::OutlookOf(const DriveRecord& record) const {
    DriveOutlook outlook;
    if (record.ulTotalBytes == 0)
        return outlook;
    const std::wstring name = record.sfi.szDisplayName;
    outlook.nearlyFull = m_watch.NearlyFull(name);
    outlook.marked = outlook.nearlyFull && m_warnings.mark;
    outlook.trend = m_watch.Trend(name);
    return outlook;
}

void CMainFrame::ObserveDrives(const std::vector<std::string>& roots) {
    if (roots.empty())
        return;
    const int64_t now = m_wallClock();
    const DriveList& drives = m_catalogue.Drives();
    for (const std::string& root : roots) {
        const auto record = std::find_if(drives.begin(), drives.end(),
                                         [&](const DriveRecord& r) { return root == r.szRoot; });
        // A drive goes by its name; one without a name has nothing to keep.
        if (record == drives.end() || record->sfi.szDisplayName[0] == L'\0')
            continue;
        const std::wstring name = record->sfi.szDisplayName;
        if (!m_watch.Knows(name))
            m_watch.SetHistory(name, LoadHistory(name.c_str()));
        const uint64_t total = record->bShown ? record->ulTotalBytes : 0;
        if (m_watch.Observe(name, total, record->ulTotalFreeBytes, now, m_warnings.levels) ==
            Crossing::BecameNearlyFull)
            WarnOf(*record);
    }
    // The first save a minute after the first readings, then at most once
    // a minute; closing saves too.
    constexpr int64_t kHistoryInterval = 60;
    if (m_nHistorySaved == 0)
        m_nHistorySaved = now;
    else if (now - m_nHistorySaved >= kHistoryInterval)
        SaveHistories();
    WarningsChanged();
}

void CMainFrame::WarnOf(const DriveRecord& record) {
    if (!m_warnings.notify || IsSilenced(record.sfi.szDisplayName))
        return;
    m_strWarnedRoot = record.szRoot;
    // The icon must be there for its balloon.
    WarningsChanged();
    m_warningIcon.Warn(tov::Widen(DriveLetterOf(record)) + L": is nearly full",
                       NearlyFullText(record));
}

void CMainFrame::WarningsChanged() {
    std::wstring tip = L"Nearly full:";
    bool any = false;
    for (const DriveRecord& record : m_catalogue.Drives()) {
        if (!record.bShown || record.ulTotalBytes == 0 ||
            !m_watch.NearlyFull(record.sfi.szDisplayName) || IsSilenced(record.sfi.szDisplayName))
            continue;
        tip += (any ? L", " : L" ") + tov::Widen(DriveLetterOf(record)) + L":";
        any = true;
    }
    if (any && m_warnings.notify) {
        const auto icon = static_cast<HICON>(
            LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAIN), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        m_warningIcon.Show(m_hWnd, kWarningIconId, WM_WARNING_ICON, icon, tip);
    } else {
        m_warningIcon.Remove();
    }
}

void CMainFrame::SaveHistories() {
    m_nHistorySaved = m_wallClock();
    // The history changes at most hourly, the saves come every minute: an
    // unchanged one is not written again.
    for (const std::wstring& name : m_watch.Names()) {
        const FreeReadings& history = m_watch.History(name);
        if (history.empty())
            continue;
        const std::pair<size_t, int64_t> mark{history.size(), history.back().time};
        const auto stored = m_historyStored.find(name);
        if (stored != m_historyStored.end() && stored->second == mark)
            continue;
        StoreHistory(name.c_str(), history);
        m_historyStored[name] = mark;
    }
}

void CMainFrame::OnViewWarnings() {
    CWarningsDialog dialog(m_warnings);
    if (dialog.DoModal() != IDOK)
        return;
    m_warnings = dialog.m_options;
    ExchangeWarnings(Direction::Save, m_warnings);
    for (const auto& [name, crossing] : m_watch.Relevel(m_warnings.levels)) {
        if (crossing != Crossing::BecameNearlyFull)
            continue;
        for (const DriveRecord& record : m_catalogue.Drives())
            if (name == record.sfi.szDisplayName && record.bShown)
                WarnOf(record);
    }
    WarningsChanged();
    // The marks may have changed on any row.
    ::InvalidateRect(m_wndView.m_hWnd, nullptr, FALSE);
}

LRESULT CMainFrame::OnWarningIcon(WPARAM, LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
    case NIN_BALLOONUSERCLICK:
        break;
    default:
        return 0;
    }
    ::ShowWindow(m_hWnd, ::IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    if (!m_strWarnedRoot.empty())
        m_wndView.FocusDrive(m_strWarnedRoot);
    ::SetFocus(m_wndView.m_hWnd);
    return 0;
}

void CMainFrame::OnTaskbarCreated() {
    m_warningIcon.Forget();
    WarningsChanged();
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == m_nTaskbarCreated) {
        OnTaskbarCreated();
        return 0;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}
