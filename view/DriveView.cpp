#include "view/DriveView.h"

#include "framework/PaintDC.h"
#include "view/RowPainter.h"
#include "view/Scrolling.h"

CDriveView::CDriveView(DriveSource* source) : m_nBarHeight(28), m_nRowPitch(32), m_source(source) {}

DEFINE_MESSAGE_MAP(CDriveView, CWnd, OnWmPaint<&CDriveView::OnPaint>(),
                   OnWmVScroll<&CDriveView::OnVScroll>(), OnWmCreate<&CDriveView::OnCreate>(),
                   OnWmSize<&CDriveView::OnSize>());

BOOL CDriveView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CWnd::PreCreateWindow(cs))
        return FALSE;
    // The frame asks for a flat border; the view shows a sunken edge instead.
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    // Repainted whole on every resize; the background is erased in the
    // window colour before each paint, which draws rows only.
    cs.lpszClass =
        AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return TRUE;
}

void CDriveView::OnPaint() {
    CPaintDC dc(this);
    if (m_source == nullptr)
        return;
    const RECT client = GetClientRect();
    PaintDriveRows(dc, *m_source, GetScrollPos(m_hWnd, SB_VERT), client.right - client.left,
                   RowMetrics{m_nBarHeight, m_nRowPitch});
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

int CDriveView::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    UpdateScrollBars();
    return 0;
}

void CDriveView::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    UpdateScrollBars();
}

void CDriveView::OnVScroll(UINT code, UINT position, CWnd* scrollBar) {
    int pos = static_cast<int>(position);
    ApplyScrollCode(m_hWnd, SB_VERT, code, pos, TRUE, ScrollStep());
    // Every scroll event repaints the whole view at the new position.
    Invalidate(TRUE);
    CWnd::OnVScroll(code, static_cast<UINT>(pos), scrollBar);
}
