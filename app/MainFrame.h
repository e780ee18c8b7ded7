// The main window: owns the drive catalogue (the drive list and the two
// update options), the toolbar, the status bar and the drive view, and routes
// commands to the view first.
#pragma once

#include "app/DriveShell.h"
#include "app/RefreshSchedule.h"
#include "drives/DriveCatalogue.h"
#include "framework/FrameWnd.h"
#include "framework/StatusBar.h"
#include "framework/ToolBar.h"
#include "settings/ProfileSection.h"
#include "view/DriveView.h"

#include <atomic>
#include <memory>

// Posted to the frame by a drive's worker when its late answers are ready.
constexpr UINT WM_DRIVE_ANSWERS = WM_APP + 1;
// Posted to the frame by the shell for a change of the drives.
constexpr UINT WM_DRIVE_SHELL_NOTICE = WM_APP + 2;

// The frame's timers: the coalesced refresh after notices, the free-space
// poll, and the moment a call still out turns "not responding".
constexpr UINT_PTR kNoticeTimer = 1;
constexpr UINT_PTR kAutoUpdateTimer = 2;
constexpr UINT_PTR kStaleTimer = 3;

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

    int OnCreate(LPCREATESTRUCTW cs);
    void OnSetFocus(CWnd* oldFocus);
    // While a modal dialog of the frame runs, ends it first; the frame
    // closes normally once the dialog's loop has returned.
    void OnClose();
    void EndModalState() override;
    LRESULT OnDestroy(WPARAM, LPARAM);
    // WM_DEVICECHANGE: a volume arrived or went: a coalesced refresh.
    LRESULT OnDeviceChange(WPARAM event, LPARAM data);
    // WM_DRIVE_SHELL_NOTICE: the shell told of a drive change: the same.
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
    // Edit > Copy: the shown drives onto the clipboard as text.
    void OnEditCopy();
    // A right-click, Shift+F10 or the menu key on a row of the view: the
    // drive's menu.
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnUpdateViewUpdateFloppies(CCmdUI* cmdUI);
    void OnUpdateViewUpdateRemovables(CCmdUI* cmdUI);
    // WM_DRIVE_ANSWERS: fills in the rows whose answers have arrived.
    LRESULT OnDriveAnswers(WPARAM, LPARAM);
    // After the set of shown drives changed in the drive selection dialog:
    // saves the settings, repaints and recomputes the scroll range.
    void OnShownDrivesChanged();

    DriveCatalogue m_catalogue;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CDriveView m_wndView;
    // The system's shell for the drive menu and for opening a drive.
    std::shared_ptr<DriveShell> m_shell = Win32DriveShell();

private:
    // Saves the settings and the window state, the first time only: closing
    // and the end of the session both save, and neither twice.
    void SaveState();
    // Flips one update option, sets its menu check mark and refreshes.
    void ToggleOption(BOOL& flag, UINT commandId);
    // Applies the answers that have arrived, unless the dialog holds them.
    void ApplyDriveAnswers();
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

    // Shows the menu of drive `record` at `screen` and carries out the choice.
    void ShowDriveMenu(size_t record, POINT screen);

    bool m_bStateSaved = false;
    bool m_bCreating = false;        // OnCreate runs: refreshes wait for answers
    bool m_bCloseAfterModal = false; // a close waits for the modal dialog's end
    bool m_bMenuOpen = false;        // the drive menu or its shell command runs
    bool m_bCloseAfterMenu = false;  // a close waits for the menu's end
    bool m_bClosePending = false;    // a WM_CLOSE is posted and not yet handled
    ULONG m_nShellNotices = 0;       // the shell's registration, 0 when none
    NoticeCoalescer m_notices;
    DriveCatalogue::Clock m_clock;
    // A WM_DRIVE_ANSWERS is on its way; shared with the workers' notice.
    std::shared_ptr<std::atomic<bool>> m_answersPosted = std::make_shared<std::atomic<bool>>(false);
};
