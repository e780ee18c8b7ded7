#include "view/DriveView.h"

#include "framework/PaintDC.h"
#include "view/RowPainter.h"
#include "view/Scrolling.h"

#include <cstring>
#include <utility>

CDriveView::CDriveView(DriveSource* source) : m_nBarHeight(28), m_nRowPitch(32), m_source(source) {}

DEFINE_MESSAGE_MAP(CDriveView, CWnd, OnWmPaint<&CDriveView::OnPaint>(),
                   OnWmVScroll<&CDriveView::OnVScroll>(), OnWmCreate<&CDriveView::OnCreate>(),
                   OnWmSize<&CDriveView::OnSize>(), OnWmMouseWheel<&CDriveView::OnMouseWheel>(),
                   OnWmKeyDown<&CDriveView::OnKeyDown>(),
                   OnMessage<WM_DPICHANGED_AFTERPARENT, &CDriveView::OnDpiChangedAfterParent>(),
                   OnMessage<WM_SETTINGCHANGE, &CDriveView::OnSettingChange>(),
                   OnMessage<WM_GETOBJECT, &CDriveView::OnGetObject>(),
                   OnMessage<WM_ERASEBKGND, &CDriveView::OnEraseBkgnd>(),
                   OnMessage<WM_DESTROY, &CDriveView::OnDestroy>());

BOOL CDriveView::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    // The frame asks for a flat border; the view shows a sunken edge instead.
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    // Repainted whole on every resize. The class brush is the window colour
    // the paint fills its bitmap with; the background itself is not erased.
    cs.lpszClass =
        AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return TRUE;
}

void CDriveView::OnPaint() {
    CPaintDC dc(this);
    const RECT client = GetClientRect();
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    tov::UniqueDC memory(CreateCompatibleDC(dc.m_hDC));
    tov::UniqueBitmap image(CreateCompatibleBitmap(dc.m_hDC, width, height));
    if (!memory || !image)
        return;
    {
        tov::SelectGuard imageGuard(memory.get(), image.get());
        FillRect(memory.get(), &client, GetSysColorBrush(COLOR_WINDOW));
        if (m_source != nullptr) {
            CDC offscreen(memory.get());
            PaintDriveRows(offscreen, *m_source, GetScrollPos(m_hWnd, SB_VERT), width, Metrics(),
                           m_font.get());
        }
        BitBlt(dc.m_hDC, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
    }
}

LRESULT CDriveView::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1; // the paint covers every pixel
}

// Showing or hiding the scroll bar changes the client width, so the platform
// may send WM_SIZE from inside: OnSize then runs this again. The height is the
// same, so the inner run reaches the same range and visibility and ends there.
void CDriveView::UpdateScrollBars() {
    const int shown = m_source != nullptr ? m_source->CountShownDrives() : 0;
    const RECT client = GetClientRect();
    const ScrollRange range = ComputeScrollRange(shown, client.bottom - client.top, ScrollStep());
    if (!range.visible)
        SetScrollPos(m_hWnd, SB_VERT, 0, TRUE);

    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(m_hWnd, SB_VERT, &info);
    // The position is kept as read; the platform clamps it into the new range.
    info.nMin = 0;
    info.nMax = range.nMax;
    info.nPage = static_cast<UINT>(range.nPage);
    info.nTrackPos = 0;
    SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    ShowScrollBar(m_hWnd, SB_VERT, range.visible);
}

int CDriveView::OnCreate(LPCREATESTRUCTW cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    SetDpi(tov::WindowDpi(m_hWnd));
    return 0;
}

void CDriveView::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    UpdateScrollBars();
}

std::vector<AccessibleRow> CDriveView::CurrentAccessibleRows() {
    if (m_source == nullptr)
        return {};
    const RECT client = GetClientRect();
    return AccessibleRows(*m_source, GetScrollPos(m_hWnd, SB_VERT), client.right - client.left,
                          Metrics());
}

LRESULT CDriveView::OnGetObject(WPARAM wParam, LPARAM lParam) {
    // The object id travels in the low 32 bits.
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return Default();
    if (!m_accessible)
        m_accessible.reset(new DriveAccessible(this));
    return tov::LresultFromAccessible(wParam, m_accessible.get());
}

LRESULT CDriveView::OnDestroy(WPARAM, LPARAM) {
    // Screen readers may hold the object longer than the window lives.
    m_accessible.reset();
    return Default();
}

void CDriveView::RowsChanged() {
    NotifyWinEvent(EVENT_OBJECT_REORDER, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CDriveView::InvalidateRowOf(const char* root) {
    if (m_source == nullptr)
        return;
    const RowMetrics metrics = Metrics();
    const int pitch = metrics.Scaled(metrics.rowPitch);
    const RECT client = GetClientRect();
    int index = 0;
    for (const DriveRecord& record : m_source->Drives()) {
        if (record.bShown == 0)
            continue;
        if (std::strcmp(record.szRoot, root) == 0) {
            // Everything of a row lies within one pitch from its top.
            const int top =
                LayoutRow(index, GetScrollPos(m_hWnd, SB_VERT), client.right, record, metrics).y;
            const RECT row{0, top, client.right, top + pitch};
            ::InvalidateRect(m_hWnd, &row, FALSE);
            return;
        }
        ++index;
    }
}

void CDriveView::BusyMayHaveChanged() {
    if (std::exchange(m_bBusy, AccessibleRowsBusy()) != m_bBusy)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CDriveView::SetDpi(UINT dpi) {
    m_nDpi = dpi;
    m_font.reset(tov::CreateStockFontForDpi(SYSTEM_FONT, dpi));
    UpdateScrollBars();
    Invalidate(TRUE);
}

LRESULT CDriveView::OnDpiChangedAfterParent(WPARAM wParam, LPARAM) {
    SetDpi(tov::DpiOfAfterParent(m_hWnd, wParam));
    return 0;
}

LRESULT CDriveView::OnSettingChange(WPARAM, LPARAM) {
    // The system's fonts may have changed: the font is made again.
    SetDpi(m_nDpi);
    return 0;
}

int CDriveView::Scroll(UINT code, int position, int lines) {
    ApplyScrollCode(m_hWnd, SB_VERT, code, position, TRUE, ScrollStep() * lines);
    // Every scroll event repaints the whole view at the new position.
    Invalidate(TRUE);
    return position;
}

void CDriveView::OnVScroll(UINT code, UINT position, CWnd* scrollBar) {
    const int pos = Scroll(code, static_cast<int>(position));
    CWnd::OnVScroll(code, static_cast<UINT>(pos), scrollBar);
}

void CDriveView::OnMouseWheel(UINT, short delta, POINT) {
    UINT linesPerNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    const WheelAccumulator::Steps steps = m_wheel.Add(delta, linesPerNotch);
    if (steps.count == 0)
        return;
    if (steps.code == SB_LINEUP || steps.code == SB_LINEDOWN) {
        Scroll(steps.code, 0, steps.count);
        return;
    }
    for (int i = 0; i < steps.count; ++i)
        Scroll(steps.code, 0);
}

void CDriveView::OnKeyDown(UINT virtualKey, UINT, UINT) {
    // The keys move the rows as the scroll bar's own commands do.
    static constexpr std::pair<UINT, UINT> kKeyCodes[] = {
        {VK_UP, SB_LINEUP},     {VK_DOWN, SB_LINEDOWN}, {VK_PRIOR, SB_PAGEUP},
        {VK_NEXT, SB_PAGEDOWN}, {VK_HOME, SB_TOP},      {VK_END, SB_BOTTOM},
    };
    for (const auto& [key, code] : kKeyCodes) {
        if (key == virtualKey) {
            Scroll(code, 0);
            return;
        }
    }
    Default();
}
