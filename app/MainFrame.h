// The main window: owns the drive catalogue (the drive list and the two
// update options), the toolbar, the status bar and the drive view, and routes
// commands to the view first.
#pragma once

#include "app/DriveShell.h"
#include "app/RefreshSchedule.h"
#include "drives/DriveCatalogue.h"
#include "framework/FrameWnd.h"
#include "framework/NotifyIcon.h"
#include "framework/StartupShow.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"
#include "settings/ProfileSection.h"
#include "settings/Warnings.h"
#include "view/DriveView.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Posted to the frame by a drive's worker when its late answers are ready.
constexpr UINT WM_DRIVE_ANSWERS = WM_APP + 1;
// Posted to the frame by the shell for a change of the drives.
constexpr UINT WM_DRIVE_SHELL_NOTICE = WM_APP + 2;
// The notification-area icon's callback: the event in lParam's low word.
constexpr UINT WM_WARNING_ICON = WM_APP + 3;
// The id of the frame's notification-area icon (no GUID).
constexpr UINT kWarningIconId = 1;

// The frame's timers: the coalesced refresh after notices, the free-space
// poll, and the moment a call still out turns "not responding".
constexpr UINT_PTR kNoticeTimer = 1;
constexpr UINT_PTR kAutoUpdateTimer = 2;
constexpr UINT_PTR kStaleTimer = 3;
// A copy waiting for the clipboard, which another program holds.
constexpr UINT_PTR kClipboardTimer = 4;

// Posts WM_DRIVE_ANSWERS to `window` unless one is on its way (`posted`):
// one notice stands for every answer that arrives before the frame looks at
// them. A post that fails clears the flag, so the next answer posts again.
void PostAnswersNotice(HWND window, std::atomic<bool>& posted);

// The drive roots ("C:\") of the paths a shell notice's items name; the
// items that name no path on a drive letter give none.
std::vector<std::string> NoticeRoots(const PIDLIST_ABSOLUTE* items, int count);
// True for a shell notice's event that changes only free space (a file
// copy sends them every few seconds), whatever its delivery flags.
bool IsFreeSpaceNotice(LONG event);

class CMainFrame : public CFrameWnd {
public:
    // The platform is the source of drive information; tests pass a scripted one.
    explicit CMainFrame(std::shared_ptr<DrivePlatform> platform = Win32DrivePlatform());
    ~CMainFrame() override;

    DECLARE_MESSAGE_MAP()
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

    // Rebuilds the drive list from the system; neither repaints nor rescrolls.
    // Waits for the drives' answers up to the deadline only while the frame
    // is being created, so that start-up paints complete rows.
    void RefreshDrives();
    // The clock of the coalesced refresh and of the drives' call ages.
    void SetClock(DriveCatalogue::Clock clock);
    // Loads or saves the update options and every drive's shown flag.
    void ExchangeSettings(Direction direction);
    // Loads or saves the placement and the bars' docking under the
    // application's profile.
    void ExchangeWindowState(Direction direction);
    // The show state the stored placement gave the frame while it was created.
    tov::StoredShow StoredShow() const { return m_storedShow; }

    int OnCreate(LPCREATESTRUCTW cs);
    void OnSetFocus(CWnd* oldFocus);
    // While a modal dialog of the frame runs, ends it first; the frame
    // closes normally once the dialog's loop has returned.
    void OnClose();
    void EndModalState() override;
    LRESULT OnDestroy(WPARAM, LPARAM);
    // WM_DEVICECHANGE: a volume arrived or went: a coalesced refresh.
    LRESULT OnDeviceChange(WPARAM event, LPARAM data);
    // WM_DRIVE_SHELL_NOTICE: the shell told of a drive change: the same;
    // a free-space notice reads the free space of the drives it names.
    LRESULT OnShellNotice(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM id, LPARAM);
    // WM_DPICHANGED: the frame's layout, then the icons again at their new size.
    LRESULT OnDpiChangedRefresh(WPARAM wParam, LPARAM lParam);
    void OnViewUpdateAutomatically();
    void OnUpdateViewUpdateAutomatically(CCmdUI* cmdUI);
    void OnEndSession(BOOL ending);
    void OnDrivesRefresh();
    void OnSelectDrives();
    void OnViewUpdateFloppies();
    void OnViewUpdateRemovables();
    void OnHelpContents();
    // Edit > Copy: the shown drives onto the clipboard as text. While
    // another program holds the clipboard the copy is tried again for up to
    // two seconds; then the status bar says the clipboard is busy.
    void OnEditCopy();
    // A right-click, Shift+F10 or the menu key on a row of the view: the
    // drive's menu.
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnUpdateViewUpdateFloppies(CCmdUI* cmdUI);
    void OnUpdateViewUpdateRemovables(CCmdUI* cmdUI);
    // WM_DRIVE_ANSWERS: fills in the rows whose answers have arrived.
    LRESULT OnDriveAnswers(WPARAM, LPARAM);
    // View > Warnings...: the nearly-full levels and the two choices; OK
    // applies and saves them at once.
    void OnViewWarnings();
    // WM_WARNING_ICON: a click on the icon or its balloon brings the window
    // up with the drive warned of as the focus row.
    LRESULT OnWarningIcon(WPARAM, LPARAM lParam);
    // The taskbar was recreated: the icon is added again.
    void OnTaskbarCreated();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The wall clock, in seconds, the free-space readings are timed by.
    void SetWallClock(std::function<int64_t()> clock) { m_wallClock = std::move(clock); }
    const WarningOptions& Warnings() const { return m_warnings; }
    const FreeSpaceWatch& Watch() const { return m_watch; }
    const CNotifyIcon& WarningIcon() const { return m_warningIcon; }

    // After the set of shown drives changed in the drive selection dialog:
    // saves the settings, repaints and recomputes the scroll range.
    void OnShownDrivesChanged();

    DriveCatalogue m_catalogue;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CDriveView m_wndView;
    // The system's shell for the drive menu and for opening a drive.
    std::shared_ptr<DriveShell> m_shell = Win32DriveShell();
    // How long the drive menu waits for its drive's answer before it opens
    // without the shell's items.
    std::chrono::milliseconds m_menuPatience = kDriveMenuPatience;

private:
    // Saves the settings and the window state, the first time only: closing
    // and the end of the session both save, and neither twice.
    void SaveState();
    // Flips one update option, sets its menu check mark and refreshes.
    void ToggleOption(BOOL& flag, UINT commandId);
    // Applies the answers that have arrived, unless the dialog holds them.
    void ApplyDriveAnswers();
    // Stores the choices and keeps the readings that applied answers brought,
    // whichever call applied them.
    void TakeAnswers(const DriveCatalogue::Applied& applied);
    // A device or media notice: the refresh follows once the burst is over.
    void NoticeDrivesChanged();
    // Starts or stops the free-space poll as the option says.
    void ApplyAutoUpdate();
    // After the catalogue changed state: the timer for the next drive to
    // turn "not responding", and the busy state screen readers hear of.
    void DrivesStateChanged();
    // Posts the close that waited for a modal loop's end.
    void PostClose();
    // Registers for the shell's drive notices; deregistered at destruction.
    void RegisterShellNotices();
    // Puts the waiting copy onto the clipboard if it can be had; gives up,
    // saying so, once the copy has waited long enough.
    void RetryCopy();

    // Shows the menu of drive `record` at `screen` and carries out the choice.
    void ShowDriveMenu(size_t record, POINT screen);
    // Opens the drive in the file manager through the drive engine; an open
    // of a drive with one still out is dropped.
    void OpenDrive(const std::string& root);

    // Takes the figures of the drives at `roots` as readings; tells of a
    // drive that became nearly full and updates the icon.
    void ObserveDrives(const std::vector<std::string>& roots);
    // After the warnings' state changed: the icon and its tip, the rows.
    void WarningsChanged();
    // A balloon for the drive of record `record`, unless it is silenced.
    void WarnOf(const DriveRecord& record);
    void SaveHistories();
    DriveOutlook OutlookOf(const DriveRecord& record) const;

    WarningOptions m_warnings;
    FreeSpaceWatch m_watch;
    CNotifyIcon m_warningIcon;
    std::string m_strWarnedRoot; // the drive a click on the icon brings up
    UINT m_nTaskbarCreated = 0;
    std::function<int64_t()> m_wallClock = [] { return static_cast<int64_t>(std::time(nullptr)); };
    int64_t m_nHistorySaved = 0; // the wall-clock second of the last save
    // Per drive name, the length and the last reading's time of the history
    // stored last: a history changes only by a reading added at its end.
    std::map<std::wstring, std::pair<size_t, int64_t>> m_historyStored;

    tov::StoredShow m_storedShow = tov::StoredShow::None;
    bool m_bStateSaved = false;
    bool m_bCreating = false;        // OnCreate runs: refreshes wait for answers
    bool m_bCloseAfterModal = false; // a close waits for the modal dialog's end
    bool m_bMenuOpen = false;        // the drive menu or its shell command runs
    bool m_bCloseAfterMenu = false;  // a close waits for the menu's end
    bool m_bClosePending = false;    // a WM_CLOSE is posted and not yet handled
    ULONG m_nShellNotices = 0;       // the shell's registration, 0 when none
    NoticeCoalescer m_notices;
    DriveCatalogue::Clock m_clock;
    std::wstring m_pendingCopy; // the text of a copy that waits for the clipboard
    std::chrono::steady_clock::time_point m_copyDeadline;
    // A WM_DRIVE_ANSWERS is on its way; shared with the workers' notice.
    std::shared_ptr<std::atomic<bool>> m_answersPosted = std::make_shared<std::atomic<bool>>(false);
};
