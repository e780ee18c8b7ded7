// CFrameWnd: a top-level window with menu, accelerators, control bars and a
// view, which routes commands and keeps the command user interface current.
#pragma once

#include "framework/ControlBar.h"
#include "framework/Handle.h"

#include <string>
#include <vector>

class CDockState;
class CToolBar;

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    DECLARE_MESSAGE_MAP()

    CFrameWnd* AsFrameWnd() override { return this; }

    // Creates the frame with the menu, accelerators and title of resource
    // `resourceId`. When creation fails the frame object is deleted (and is
    // no longer the thread's main window) and the result is FALSE.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW,
                           CWnd* parent = nullptr, void* context = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // The frame object is heap-allocated and deletes itself when its window is gone.
    void PostNcDestroy() override;

    // Command routing: this frame's map, then the application object, then
    // the framework's own commands (exit, toolbar and status bar toggles).
    // A derived frame overrides it to offer commands to its view first.
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

    // Base behaviours for derived frames' maps.
    int OnCreate(LPCREATESTRUCTW cs);
    void OnClose(); // destroys the window
    void OnSize(UINT type, int cx, int cy);

    // Lays the visible docked bars along the client edges and the view (the
    // child AFX_IDW_PANE_FIRST) in what is left.
    void RecalcLayout();

    // Control bars.
    void EnableDocking(DWORD align); // the sides (CBRS_ALIGN_*) bars may dock on
    DWORD GetDockingSides() const { return m_dwDockSides; }
    // Docks `bar` on `side` (a CBRS_ALIGN_* value; 0: the first side both the
    // frame and the bar allow, top first). Does nothing when neither allows it.
    void DockControlBar(CControlBar* bar, DWORD side = 0);
    // Floats `bar` in a tool window whose top-left corner is `screenPosition`,
    // kept within the work area of the monitor nearest to it.
    void FloatControlBar(CControlBar* bar, POINT screenPosition);
    // Where FloatControlBar finds the work area (tests lay out monitors of their own).
    tov::WorkAreaLookup m_workAreaOf = tov::NearestWorkArea;
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay = FALSE);
    // The bar with control id `id`, or null.
    CControlBar* GetControlBar(UINT id) const;
    const std::vector<CControlBar*>& GetControlBars() const { return m_bars; }

    void GetDockState(CDockState& state) const;
    void SetDockState(const CDockState& state);

    // The status bar's message pane.
    void SetMessageText(const std::string& text);
    void SetMessageText(UINT stringId); // the prompt of string `stringId`

    // Message handlers, public for the message map.
    void OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    // Shown at another DPI: the bars and the view follow, the window takes
    // the suggested rectangle and lays itself out again.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    // Only top-level windows hear of new system colours: passed on to the
    // bars and the view.
    void OnSysColorChange();
    // Only top-level windows hear of changed system settings (the message
    // font among them): passed on to the view.
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);

    // Gives the window the big and small images of icon resource `iconId` at
    // the sizes of the window's DPI, and again whenever that DPI changes.
    void SetFrameIcons(UINT iconId);

    // Modal state, entered while a modal dialog owned by this frame runs. The
    // platform disables the frame itself; this disables the frame's other
    // windows of ours (the floating bars' tool windows, whose buttons send
    // commands here) and drops every command that still reaches the frame,
    // posted ones included. Nests; the outermost end enables again what the
    // beginning disabled.
    // A derived frame may act once the outermost modal state has ended.
    void BeginModalState();
    virtual void EndModalState();
    bool InModalState() const { return m_nModalDepth > 0; }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The framework's commands.
    void OnAppExit();
    void OnViewToolBar();
    void OnUpdateViewToolBar(CCmdUI* ui);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI* ui);

protected:
    friend class CControlBar;
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    void ToggleBar(UINT barId);
    void LoadFrameIcons(UINT dpi);
    void UpdateBarCheck(UINT barId, CCmdUI* ui);

    tov::UniqueAccel m_accel;
    DWORD m_dwDockSides = 0;
    std::vector<CControlBar*> m_bars; // in creation order
    std::string m_tipText;            // the tooltip text handed out last
    std::wstring m_tipTextW;
    int m_nModalDepth = 0;
    std::vector<HWND> m_modalDisabled; // the windows BeginModalState disabled
    // The window's icons, owned here: shared icons come at the size first
    // cached, whatever size is asked for.
    UINT m_nIconId = 0;
    tov::UniqueIcon m_bigIcon, m_smallIcon;
};
