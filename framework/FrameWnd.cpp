#include "framework/FrameWnd.h"

#include "framework/CommandText.h"
#include "framework/DockState.h"
#include "framework/StatusBar.h"
#include "framework/Text.h"
#include "framework/ToolBar.h"
#include "framework/WinApp.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {
// The frame whose LoadFrame is running on this thread; PostNcDestroy clears
// it, which tells LoadFrame that a failed creation has already deleted it.
thread_local CFrameWnd* t_frameBeingLoaded = nullptr;
} // namespace

DEFINE_MESSAGE_MAP(CFrameWnd, CWnd, OnWmCreate<&CFrameWnd::OnCreate>(),
                   OnWmClose<&CFrameWnd::OnClose>(), OnWmSize<&CFrameWnd::OnSize>(),
                   OnWmInitMenuPopup<&CFrameWnd::OnInitMenuPopup>(),
                   OnWmMenuSelect<&CFrameWnd::OnMenuSelect>(), OnWmNotify<&CFrameWnd::OnNotify>(),
                   OnMessage<WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI>(),
                   OnWmSysColorChange<&CFrameWnd::OnSysColorChange>(),
                   OnMessage<WM_SETTINGCHANGE, &CFrameWnd::OnSettingChange>(),
                   OnMessage<WM_DPICHANGED, &CFrameWnd::OnDpiChanged>());

// The framework's own commands: asked after the frame and the application,
// so that either can take any of them over.
static constexpr MsgMapEntry kFrameworkCommands[] = {
    OnCommand<ID_APP_EXIT, &CFrameWnd::OnAppExit>(),
    OnCommand<ID_VIEW_TOOLBAR, &CFrameWnd::OnViewToolBar>(),
    OnUpdateCommandUI<ID_VIEW_TOOLBAR, &CFrameWnd::OnUpdateViewToolBar>(),
    OnCommand<ID_VIEW_STATUS_BAR, &CFrameWnd::OnViewStatusBar>(),
    OnUpdateCommandUI<ID_VIEW_STATUS_BAR, &CFrameWnd::OnUpdateViewStatusBar>(),
};
static const MsgMap kFrameworkCommandMap{nullptr, kFrameworkCommands};

CFrameWnd::~CFrameWnd() {
    for (CControlBar* bar : m_bars)
        bar->m_pDockSite = nullptr;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(0, LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, void*) {
    const HINSTANCE instance = AfxGetInstanceHandle();
    const std::wstring title = AfxLoadStringW(resourceId);
    tov::UniqueMenu menu(LoadMenuA(instance, MAKEINTRESOURCEA(resourceId)));
    m_accel.reset(LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId)));

    CFrameWnd* const outer = std::exchange(t_frameBeingLoaded, this);
    const BOOL created =
        CreateEx(0, nullptr, title.c_str(), style & ~FWS_ADDTOTITLE, CW_USEDEFAULT, CW_USEDEFAULT,
                 CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, menu.get());
    const bool alive = t_frameBeingLoaded == this;
    t_frameBeingLoaded = outer;
    if (created) {
        menu.release(); // the window destroys its menu with itself
        return TRUE;
    }
    // A window that got as far as WM_NCCREATE has destroyed its menu and
    // deleted this object on its way out; otherwise both are still ours.
    if (alive) {
        if (CWinThread* thread = AfxGetThread(); thread != nullptr && thread->m_pMainWnd == this)
            thread->m_pMainWnd = nullptr;
        delete this;
    } else {
        menu.release();
    }
    return FALSE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    return m_accel && m_hWnd != nullptr && TranslateAcceleratorW(m_hWnd, m_accel.get(), msg);
}

void CFrameWnd::PostNcDestroy() {
    if (t_frameBeingLoaded == this)
        t_frameBeingLoaded = nullptr;
    delete this;
}

// --- Command routing -----------------------------------------------------

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) {
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    const MapKind kind = code == CN_UPDATE_COMMAND_UI ? MapKind::UpdateUI : MapKind::Command;
    const MsgMapEntry* entry = kFrameworkCommandMap.Find(kind, id);
    if (entry == nullptr)
        return FALSE;
    entry->thunk(this, 0, reinterpret_cast<LPARAM>(extra));
    return TRUE;
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A command under a running dialog would change what the dialog shows
    // (the list it edits, or a second dialog over it): it is dropped.
    if (InModalState())
        return TRUE;
    return CWnd::OnCommand(wParam, lParam);
}

void CFrameWnd::BeginModalState() {
    if (m_nModalDepth++ > 0 || m_hWnd == nullptr)
        return;
    struct Search {
        HWND owner;
        std::vector<HWND>* found;
    } search{m_hWnd, &m_modalDisabled};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            const auto* s = reinterpret_cast<Search*>(param);
            if (GetWindow(window, GW_OWNER) == s->owner && IsWindowEnabled(window) &&
                FromHandle(window) != nullptr)
                s->found->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    for (HWND window : m_modalDisabled)
        EnableWindow(window, FALSE);
}

void CFrameWnd::EndModalState() {
    if (m_nModalDepth == 0 || --m_nModalDepth > 0)
        return;
    for (HWND window : std::exchange(m_modalDisabled, {})) {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
}

void CFrameWnd::OnSysColorChange() {
    for (CControlBar* bar : m_bars) {
        if (bar->m_hWnd != nullptr)
            ::SendMessageA(bar->m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    }
    if (HWND pane = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::SendMessageA(pane, WM_SYSCOLORCHANGE, 0, 0);
    Default();
}

LRESULT CFrameWnd::OnSettingChange(WPARAM wParam, LPARAM lParam) {
    if (HWND pane = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::SendMessageW(pane, WM_SETTINGCHANGE, wParam, lParam);
    return Default();
}

void CFrameWnd::SetFrameIcons(UINT iconId) {
    m_nIconId = iconId;
    LoadFrameIcons(tov::WindowDpi(m_hWnd));
}

void CFrameWnd::LoadFrameIcons(UINT dpi) {
    if (m_nIconId == 0 || m_hWnd == nullptr)
        return;
    const auto load = [this, dpi](int metricX, int metricY) {
        return tov::UniqueIcon(
            static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIconId),
                                          IMAGE_ICON, tov::SystemMetricForDpi(metricX, dpi),
                                          tov::SystemMetricForDpi(metricY, dpi), LR_DEFAULTCOLOR)));
    };
    // The old icons go once the window has let them go.
    tov::UniqueIcon big = load(SM_CXICON, SM_CYICON);
    tov::UniqueIcon small = load(SM_CXSMICON, SM_CYSMICON);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    m_bigIcon = std::move(big);
    m_smallIcon = std::move(small);
}

void CFrameWnd::OnAppExit() {
    // Posted: the main window closes once the command that asked for it has
    // returned, so no handler is left running in a deleted frame.
    CWinThread* thread = AfxGetThread();
    CWnd* main = thread != nullptr ? thread->GetMainWnd() : nullptr;
    if (main != nullptr && main->m_hWnd != nullptr)
        PostMessageA(main->m_hWnd, WM_CLOSE, 0, 0);
}

void CFrameWnd::ToggleBar(UINT barId) {
    if (CControlBar* bar = GetControlBar(barId))
        ShowControlBar(bar, !bar->IsVisible());
}

void CFrameWnd::UpdateBarCheck(UINT barId, CCmdUI* ui) {
    const CControlBar* bar = GetControlBar(barId);
    ui->Enable(bar != nullptr);
    ui->SetCheck(bar != nullptr && bar->IsVisible());
}

void CFrameWnd::OnViewToolBar() {
    ToggleBar(AFX_IDW_TOOLBAR);
}
void CFrameWnd::OnUpdateViewToolBar(CCmdUI* ui) {
    UpdateBarCheck(AFX_IDW_TOOLBAR, ui);
}
void CFrameWnd::OnViewStatusBar() {
    ToggleBar(AFX_IDW_STATUS_BAR);
}
void CFrameWnd::OnUpdateViewStatusBar(CCmdUI* ui) {
    UpdateBarCheck(AFX_IDW_STATUS_BAR, ui);
}

// --- Base message handlers -----------------------------------------------

int CFrameWnd::OnCreate(LPCREATESTRUCTW) {
    return static_cast<int>(Default());
}

void CFrameWnd::OnClose() {
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT, BOOL sysMenu) {
    if (sysMenu)
        return;
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id == 0 || id == static_cast<UINT>(-1)) // separator or submenu
            continue;
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_pMenu = popup;
        ui.DoUpdate(this);
    }
}

void CFrameWnd::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && menu == nullptr) {
        SetMessageText(tov::IdleMessage());
        return;
    }
    const UINT promptId = tov::MenuPromptId(item, flags, menu);
    SetMessageText(promptId != 0 ? tov::PromptOf(AfxLoadString(promptId)) : std::string());
}

LRESULT CFrameWnd::OnNotify(NMHDR* header) {
    switch (header->code) {
    case TTN_GETDISPINFOA: {
        // A toolbar button's tooltip: the text after the line feed of the
        // button's command string. The buffer lives until the next request.
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        if ((info->uFlags & TTF_IDISHWND) != 0)
            break;
        m_tipText = tov::TipOf(AfxLoadString(static_cast<UINT>(header->idFrom)));
        info->lpszText = m_tipText.data();
        info->hinst = nullptr;
        return 0;
    }
    case TTN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        if ((info->uFlags & TTF_IDISHWND) != 0)
            break;
        m_tipTextW = tov::Widen(tov::TipOf(AfxLoadString(static_cast<UINT>(header->idFrom))));
        info->lpszText = m_tipTextW.data();
        info->hinst = nullptr;
        return 0;
    }
    case TBN_HOTITEMCHANGE: {
        // Fly-by: the hot button's prompt while the mouse is over it, the
        // idle text once it leaves.
        const auto* hot = reinterpret_cast<const NMTBHOTITEM*>(header);
        const CToolBar* bar = nullptr;
        for (CControlBar* candidate : m_bars) {
            auto* toolBar = dynamic_cast<CToolBar*>(candidate);
            if (toolBar != nullptr && toolBar->GetToolBarCtrl() == header->hwndFrom)
                bar = toolBar;
        }
        if (bar == nullptr || (bar->GetBarStyle() & CBRS_FLYBY) == 0)
            break;
        if ((hot->dwFlags & HICF_LEAVING) != 0 || hot->idNew == 0)
            SetMessageText(tov::IdleMessage());
        else
            SetMessageText(static_cast<UINT>(hot->idNew));
        return 0;
    }
    default:
        break;
    }
    return Default();
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    for (CControlBar* bar : m_bars)
        bar->OnUpdateCmdUI(this);
    return 0;
}

LRESULT CFrameWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const UINT dpi = LOWORD(wParam);
    // The docked bars and the view first, so that the layout below meets
    // their new sizes. A floating bar keeps the DPI of its own monitor.
    for (CControlBar* bar : m_bars) {
        if (bar->m_hWnd != nullptr && !bar->IsFloating())
            ::SendMessageW(bar->m_hWnd, WM_DPICHANGED_AFTERPARENT, dpi, 0);
    }
    if (HWND pane = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        ::SendMessageW(pane, WM_DPICHANGED_AFTERPARENT, dpi, 0);
    // The rectangle a stored placement gives is already in the new
    // monitor's pixels: the suggestion, scaled from it, is not taken.
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested != nullptr && !tov::IsRestoringPlacement(m_hWnd))
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
    LoadFrameIcons(dpi);
    return 0;
}

// --- Control bars --------------------------------------------------------

void CFrameWnd::AddControlBar(CControlBar* bar) {
    if (std::find(m_bars.begin(), m_bars.end(), bar) == m_bars.end())
        m_bars.push_back(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
    std::erase(m_bars, bar);
    bar->m_pDockSite = nullptr;
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
    for (CControlBar* bar : m_bars) {
        if (bar->GetDlgCtrlID() == id && bar->m_hWnd != nullptr)
            return bar;
    }
    return nullptr;
}

void CFrameWnd::EnableDocking(DWORD align) {
    m_dwDockSides = align & CBRS_ALIGN_ANY;
}

void CFrameWnd::RecalcLayout() {
    if (m_hWnd == nullptr)
        return;
    std::vector<CControlBar*> docked;
    std::vector<tov::BarSlot> slots;
    for (CControlBar* bar : m_bars) {
        if (bar->m_hWnd == nullptr || bar->IsFloating() || !bar->IsVisible())
            continue;
        const DWORD side = bar->GetDockSide() != 0 ? bar->GetDockSide() : CBRS_ALIGN_TOP;
        const bool horizontal = tov::IsHorizontalSide(side);
        const SIZE size = bar->CalcFixedLayout(horizontal);
        docked.push_back(bar);
        slots.push_back({side, horizontal ? size.cy : size.cx, bar->GetDockingSides() != 0});
    }
    const tov::BarLayout layout = tov::LayOutBars(GetClientRect(), slots);
    for (size_t i = 0; i < docked.size(); ++i) {
        const RECT& r = layout.bars[i];
        SetWindowPos(docked[i]->m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (HWND pane = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)) {
        const RECT& r = layout.pane;
        SetWindowPos(pane, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CFrameWnd::DockControlBar(CControlBar* bar, DWORD side) {
    if (bar == nullptr || bar->m_hWnd == nullptr)
        return;
    const DWORD allowed = m_dwDockSides & bar->GetDockingSides();
    if (!tov::IsSingleSide(side) || (side & allowed) == 0)
        side = tov::PreferredSide(allowed);
    if (side == 0)
        return;
    if (::GetParent(bar->m_hWnd) != m_hWnd)
        SetParent(bar->m_hWnd, m_hWnd);
    if (bar->m_floatFrame != nullptr && bar->m_floatFrame->m_hWnd != nullptr)
        bar->m_floatFrame->ShowWindow(SW_HIDE);
    DWORD border = CBRS_BORDER_BOTTOM;
    if (side == CBRS_ALIGN_BOTTOM)
        border = CBRS_BORDER_TOP;
    else if (side == CBRS_ALIGN_LEFT)
        border = CBRS_BORDER_RIGHT;
    else if (side == CBRS_ALIGN_RIGHT)
        border = CBRS_BORDER_LEFT;
    bar->SetBarStyle((bar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING)) |
                     side | border);
    // Back from a tool window on another monitor: the frame's DPI again.
    bar->TakeDpi(tov::WindowDpi(m_hWnd));
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, POINT screenPosition) {
    if (bar == nullptr || bar->m_hWnd == nullptr || bar->GetDockingSides() == 0)
        return;
    if (bar->m_floatFrame == nullptr)
        bar->m_floatFrame = std::make_unique<CMiniDockFrameWnd>(bar);
    CMiniDockFrameWnd& floatFrame = *bar->m_floatFrame;
    if (floatFrame.m_hWnd == nullptr && !floatFrame.Create(this, screenPosition))
        return;
    const bool visible = bar->IsVisible();
    bar->SetBarStyle(bar->GetBarStyle() | CBRS_FLOATING);
    SetParent(bar->m_hWnd, floatFrame.m_hWnd);
    // The tool window's monitor may scale otherwise than the frame's.
    bar->TakeDpi(tov::WindowDpi(floatFrame.m_hWnd));
    floatFrame.FitToBar();

    // Kept on a monitor: a position stored on another display setup must
    // not leave the bar where nobody can reach it, neither off every screen
    // nor in a corner of the desktop's bounding box that no monitor shows
    // (monitors of different sizes side by side), nor under the taskbar.
    RECT rect{};
    GetWindowRect(floatFrame.m_hWnd, &rect);
    OffsetRect(&rect, screenPosition.x - rect.left, screenPosition.y - rect.top);
    rect = tov::KeepInside(rect, m_workAreaOf(rect));
    SetWindowPos(floatFrame.m_hWnd, nullptr, rect.left, rect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    bar->m_floatPos = POINT{rect.left, rect.top};
    floatFrame.ShowWindow(visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
    if (bar == nullptr || bar->m_hWnd == nullptr)
        return;
    bar->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (bar->IsFloating() && bar->m_floatFrame != nullptr && bar->m_floatFrame->m_hWnd != nullptr)
        bar->m_floatFrame->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (!delay)
        RecalcLayout();
}

void CFrameWnd::GetDockState(CDockState& state) const {
    state.Clear();
    for (const CControlBar* bar : m_bars) {
        if (bar->m_hWnd == nullptr || bar->GetDlgCtrlID() == 0)
            continue;
        CControlBarInfo info;
        info.m_nBarID = bar->GetDlgCtrlID();
        info.m_bVisible = bar->IsVisible();
        info.m_bFloating = bar->IsFloating();
        info.m_dwDockSide = bar->GetDockSide() != 0 ? bar->GetDockSide() : CBRS_ALIGN_TOP;
        info.m_pointPos = bar->GetFloatingPosition();
        state.m_arrBarInfo.push_back(info);
    }
}

void CFrameWnd::SetDockState(const CDockState& state) {
    for (const CControlBarInfo& info : state.m_arrBarInfo) {
        CControlBar* bar = GetControlBar(info.m_nBarID);
        if (bar == nullptr)
            continue;
        // Fixed bars (the status bar) keep their place; only their
        // visibility is restored.
        if (bar->GetDockingSides() != 0) {
            if (info.m_bFloating) {
                // The side docked on last, for docking back by double click.
                if ((info.m_dwDockSide & bar->GetDockingSides()) != 0)
                    bar->SetBarStyle((bar->GetBarStyle() & ~CBRS_ALIGN_ANY) | info.m_dwDockSide);
                FloatControlBar(bar, info.m_pointPos);
            } else {
                DockControlBar(bar, info.m_dwDockSide);
            }
        }
        ShowControlBar(bar, info.m_bVisible, TRUE);
    }
    RecalcLayout();
}

// --- Status text ---------------------------------------------------------

void CFrameWnd::SetMessageText(const std::string& text) {
    if (auto* status = dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR)))
        status->SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT stringId) {
    SetMessageText(tov::PromptOf(AfxLoadString(stringId)));
}
