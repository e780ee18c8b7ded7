#include "framework/ControlBar.h"

#include "framework/FrameWnd.h"

#include <algorithm>
#include <array>

namespace tov {

DWORD PreferredSide(DWORD allowed) {
    for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT}) {
        if ((allowed & side) != 0)
            return side;
    }
    return 0;
}

BarLayout LayOutBars(const RECT& client, std::span<const BarSlot> slots) {
    BarLayout layout;
    layout.bars.resize(slots.size());
    RECT rest = client;
    rest.right = std::max(rest.right, rest.left);
    rest.bottom = std::max(rest.bottom, rest.top);

    auto place = [&rest](DWORD side, int thickness) {
        RECT strip = rest;
        const int across = std::max(thickness, 0);
        switch (side) {
        case CBRS_ALIGN_BOTTOM:
            strip.top = std::max(rest.top, rest.bottom - across);
            rest.bottom = strip.top;
            break;
        case CBRS_ALIGN_LEFT:
            strip.right = std::min(rest.right, rest.left + across);
            rest.left = strip.right;
            break;
        case CBRS_ALIGN_RIGHT:
            strip.left = std::max(rest.left, rest.right - across);
            rest.right = strip.left;
            break;
        default: // top
            strip.bottom = std::min(rest.bottom, rest.top + across);
            rest.top = strip.bottom;
            break;
        }
        return strip;
    };

    for (size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i].dockable)
            layout.bars[i] = place(slots[i].side, slots[i].thickness);
    }
    for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT}) {
        for (size_t i = 0; i < slots.size(); ++i) {
            if (slots[i].dockable && slots[i].side == side)
                layout.bars[i] = place(side, slots[i].thickness);
        }
    }
    layout.pane = rest;
    return layout;
}

DWORD DockSideAt(POINT point, const RECT& dockArea, DWORD allowed, int zone) {
    if (point.x < dockArea.left - zone || point.x >= dockArea.right + zone ||
        point.y < dockArea.top - zone || point.y >= dockArea.bottom + zone)
        return 0;
    const std::array<std::pair<DWORD, int>, 4> distances{{
        {CBRS_ALIGN_TOP, std::abs(point.y - dockArea.top)},
        {CBRS_ALIGN_BOTTOM, std::abs(dockArea.bottom - 1 - point.y)},
        {CBRS_ALIGN_LEFT, std::abs(point.x - dockArea.left)},
        {CBRS_ALIGN_RIGHT, std::abs(dockArea.right - 1 - point.x)},
    }};
    DWORD best = 0;
    int bestDistance = zone + 1;
    for (const auto& [side, distance] : distances) {
        if ((allowed & side) != 0 && distance <= zone && distance < bestDistance) {
            best = side;
            bestDistance = distance;
        }
    }
    return best;
}

RECT KeepInside(const RECT& rect, const RECT& area) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // Overshooting the right or bottom edge is corrected first, so that a
    // rectangle larger than the area keeps its top-left corner visible.
    const int left = std::max<int>(area.left, std::min<int>(rect.left, area.right - width));
    const int top = std::max<int>(area.top, std::min<int>(rect.top, area.bottom - height));
    return RECT{left, top, left + width, top + height};
}

RECT NearestWorkArea(const RECT& rect) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return info.rcWork;
}

} // namespace tov

// --- CControlBar ---------------------------------------------------------

namespace {
constexpr int kDockZone = 32; // pixels around a frame edge where a dragged bar docks

RECT ScreenClientRect(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
} // namespace

DEFINE_MESSAGE_MAP(CControlBar, CWnd, OnWmLButtonDown<&CControlBar::OnLButtonDown>(),
                   OnWmMouseMove<&CControlBar::OnMouseMove>(),
                   OnWmLButtonUp<&CControlBar::OnLButtonUp>(),
                   OnMessage<WM_CAPTURECHANGED, &CControlBar::OnCaptureChanged>(),
                   OnMessage<WM_DPICHANGED_AFTERPARENT, &CControlBar::OnDpiChangedAfterParent>());

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    if (m_pDockSite != nullptr)
        m_pDockSite->RemoveControlBar(this);
    // The bar's own window goes before the floating window that may hold it,
    // so that no message reaches this half-destroyed object.
    if (m_hWnd != nullptr) {
        HWND window = m_hWnd;
        Detach();
        ::DestroyWindow(window);
    }
    m_floatFrame.reset();
}

void CControlBar::AttachToFrame(CWnd* parent, DWORD barStyle, UINT id) {
    m_dwStyle = barStyle & CBRS_ALL;
    m_nID = id;
    m_nDpi = tov::WindowDpi(parent != nullptr ? parent->m_hWnd : nullptr);
    if (parent != nullptr)
        m_pDockSite =
            parent->AsFrameWnd() != nullptr ? parent->AsFrameWnd() : parent->GetParentFrame();
    if (m_pDockSite != nullptr)
        m_pDockSite->AddControlBar(this);
}

void CControlBar::SetBarStyle(DWORD style) {
    const bool wasHorizontal = IsHorizontal();
    m_dwStyle = style & CBRS_ALL;
    if (wasHorizontal != IsHorizontal())
        OnOrientationChanged();
    if (m_hWnd != nullptr)
        Invalidate();
}

void CControlBar::EnableDocking(DWORD align) {
    m_dwDockStyle = align & CBRS_ALIGN_ANY;
}

BOOL CControlBar::IsVisible() const {
    return m_hWnd != nullptr && (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

POINT CControlBar::GetFloatingPosition() const {
    if (IsFloating() && m_floatFrame != nullptr && m_floatFrame->m_hWnd != nullptr) {
        RECT rect{};
        GetWindowRect(m_floatFrame->m_hWnd, &rect);
        return POINT{rect.left, rect.top};
    }
    return m_floatPos;
}

RECT CControlBar::GetGripperRect() const {
    if ((m_dwStyle & CBRS_GRIPPER) == 0 || IsFloating())
        return RECT{};
    RECT rect = GetClientRect();
    if (IsHorizontal())
        rect.right = rect.left + Scaled(kGripperSize);
    else
        rect.bottom = rect.top + Scaled(kGripperSize);
    return rect;
}

void CControlBar::DrawGripper(HDC dc) const {
    RECT grip = GetGripperRect();
    if (IsRectEmpty(&grip))
        return;
    // A raised ridge, three pixels thick at 96 DPI, along the bar's short side.
    const int inset = Scaled(2);
    if (IsHorizontal()) {
        grip.left += inset;
        grip.right = grip.left + Scaled(3);
        InflateRect(&grip, 0, -inset);
    } else {
        grip.top += inset;
        grip.bottom = grip.top + Scaled(3);
        InflateRect(&grip, -inset, 0);
    }
    DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
}

void CControlBar::OnLButtonDown(UINT, POINT point) {
    if (m_pDockSite == nullptr || m_dwDockStyle == 0 || IsFloating())
        return;
    m_drag = DragState{};
    m_drag.active = true;
    m_drag.grab = point;
    SetCapture(m_hWnd);
    POINT screen = point;
    ClientToScreen(m_hWnd, &screen);
    TrackTo(screen);
}

void CControlBar::OnMouseMove(UINT, POINT point) {
    if (!m_drag.active)
        return;
    ClientToScreen(m_hWnd, &point);
    TrackTo(point);
}

void CControlBar::OnLButtonUp(UINT, POINT point) {
    if (!m_drag.active)
        return;
    ClientToScreen(m_hWnd, &point);
    TrackTo(point);
    EndDrag(true);
}

LRESULT CControlBar::OnCaptureChanged(WPARAM, LPARAM) {
    // Losing the mouse to anyone else (a menu, another application) cancels.
    if (m_drag.active)
        EndDrag(false);
    return 0;
}

LRESULT CControlBar::OnDpiChangedAfterParent(WPARAM wParam, LPARAM) {
    m_nDpi = tov::DpiOfAfterParent(m_hWnd, wParam);
    OnDpiChanged();
    Invalidate();
    return 0;
}

void CControlBar::TakeDpi(UINT dpi) {
    if (dpi != m_nDpi)
        SendMessage(WM_DPICHANGED_AFTERPARENT, dpi, 0);
}

void CControlBar::TrackTo(POINT screenPoint) {
    const DWORD allowed = m_dwDockStyle & m_pDockSite->GetDockingSides();
    m_drag.target =
        tov::DockSideAt(screenPoint, ScreenClientRect(m_pDockSite->m_hWnd), allowed, kDockZone);
    const bool horizontal = m_drag.target == 0 || tov::IsHorizontalSide(m_drag.target);
    const SIZE size = CalcFixedLayout(horizontal);
    POINT grab = m_drag.grab;
    if (horizontal != IsHorizontal())
        std::swap(grab.x, grab.y);
    RECT rect{screenPoint.x - grab.x, screenPoint.y - grab.y, 0, 0};
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    m_drag.dropAt = POINT{rect.left, rect.top};

    EraseTracker();
    tov::WindowDC screen(nullptr);
    DrawFocusRect(screen.get(), &rect);
    m_drag.shown = rect;
    m_drag.drawn = true;
}

void CControlBar::EraseTracker() {
    if (!m_drag.drawn)
        return;
    tov::WindowDC screen(nullptr);
    DrawFocusRect(screen.get(), &m_drag.shown); // XOR: drawing again erases
    m_drag.drawn = false;
}

void CControlBar::EndDrag(bool apply) {
    EraseTracker();
    const DragState drag = m_drag;
    m_drag = DragState{};
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
    if (!apply || m_pDockSite == nullptr)
        return;
    if (drag.target == 0)
        m_pDockSite->FloatControlBar(this, drag.dropAt);
    else if (drag.target != GetDockSide())
        m_pDockSite->DockControlBar(this, drag.target);
}

// --- CMiniDockFrameWnd ---------------------------------------------------

DEFINE_MESSAGE_MAP(CMiniDockFrameWnd, CWnd, OnWmClose<&CMiniDockFrameWnd::OnClose>(),
                   OnWmSize<&CMiniDockFrameWnd::OnSize>(),
                   OnMessage<WM_NCLBUTTONDBLCLK, &CMiniDockFrameWnd::OnNcLButtonDblClk>(),
                   OnMessage<WM_EXITSIZEMOVE, &CMiniDockFrameWnd::OnExitSizeMove>(),
                   OnMessage<WM_DPICHANGED, &CMiniDockFrameWnd::OnDpiChanged>());

BOOL CMiniDockFrameWnd::Create(CWnd* owner, POINT position) {
    wchar_t title[128] = L"";
    GetWindowTextW(m_pBar->m_hWnd, title, static_cast<int>(std::size(title)));
    const wchar_t* windowClass = AfxRegisterWndClass(0, LoadCursorA(nullptr, IDC_ARROW),
                                                     reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_TOOLWINDOW, windowClass, title,
                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, position.x, position.y,
                    100, 40, owner != nullptr ? owner->m_hWnd : nullptr, nullptr);
}

void CMiniDockFrameWnd::FitToBar() {
    const SIZE size = m_pBar->CalcFixedLayout(TRUE);
    RECT rect{0, 0, size.cx, size.cy};
    // The caption and frame at the bar's DPI, its tool window's own.
    tov::AdjustWindowRectForDpi(&rect, static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)),
                                static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)),
                                m_pBar->GetDpi());
    SetWindowPos(m_hWnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    OnSize(SIZE_RESTORED, 0, 0);
}

void CMiniDockFrameWnd::OnClose() {
    // The close box hides the bar; View > Toolbar brings it back here.
    if (m_pBar->m_pDockSite != nullptr)
        m_pBar->m_pDockSite->ShowControlBar(m_pBar, FALSE);
    else
        ShowWindow(SW_HIDE);
}

void CMiniDockFrameWnd::OnSize(UINT, int, int) {
    if (m_pBar->m_hWnd != nullptr && ::GetParent(m_pBar->m_hWnd) == m_hWnd) {
        const RECT client = GetClientRect();
        SetWindowPos(m_pBar->m_hWnd, nullptr, 0, 0, client.right, client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    // A double click on the caption docks the bar where it was docked last.
    if (wParam == HTCAPTION && m_pBar->m_pDockSite != nullptr) {
        m_pBar->m_pDockSite->DockControlBar(m_pBar, m_pBar->GetDockSide());
        return 0;
    }
    return DefWindowProc(WM_NCLBUTTONDBLCLK, wParam, lParam);
}

LRESULT CMiniDockFrameWnd::OnExitSizeMove(WPARAM, LPARAM) {
    // Moving the tool window with the cursor onto an edge of the frame docks
    // the bar there.
    CFrameWnd* site = m_pBar->m_pDockSite;
    if (site != nullptr && site->m_hWnd != nullptr) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const DWORD side =
            tov::DockSideAt(cursor, ScreenClientRect(site->m_hWnd),
                            m_pBar->GetDockingSides() & site->GetDockingSides(), kDockZone);
        if (side != 0)
            site->DockControlBar(m_pBar, side);
    }
    return 0;
}

LRESULT CMiniDockFrameWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    if (m_pBar->m_hWnd != nullptr)
        ::SendMessageW(m_pBar->m_hWnd, WM_DPICHANGED_AFTERPARENT, LOWORD(wParam), 0);
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitToBar();
    return 0;
}
