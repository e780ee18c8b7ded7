#include "view/DriveView.h"

#include "framework/PaintDC.h"
#include "view/FocusRow.h"
#include "view/RowPainter.h"
#include "view/RowText.h"
#include "view/Scrolling.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <utility>

CDriveView::CDriveView(DriveSource* source) : m_nBarHeight(28), m_nRowPitch(32), m_source(source) {}

DEFINE_MESSAGE_MAP(CDriveView, CWnd, OnWmPaint<&CDriveView::OnPaint>(),
                   OnWmVScroll<&CDriveView::OnVScroll>(), OnWmCreate<&CDriveView::OnCreate>(),
                   OnWmSize<&CDriveView::OnSize>(), OnWmMouseWheel<&CDriveView::OnMouseWheel>(),
                   OnWmKeyDown<&CDriveView::OnKeyDown>(),
                   OnMessage<WM_DPICHANGED_AFTERPARENT, &CDriveView::OnDpiChangedAfterParent>(),
                   OnMessage<WM_SETTINGCHANGE, &CDriveView::OnSettingChange>(),
                   OnWmSysColorChange<&CDriveView::OnSysColorChange>(),
                   OnMessage<WM_GETOBJECT, &CDriveView::OnGetObject>(),
                   OnMessage<WM_ERASEBKGND, &CDriveView::OnEraseBkgnd>(),
                   OnMessage<WM_DESTROY, &CDriveView::OnDestroy>(),
                   OnMessage<WM_LBUTTONDBLCLK, &CDriveView::OnLButtonDblClk>(),
                   OnMessage<WM_SETFOCUS, &CDriveView::OnFocusChange>(),
                   OnMessage<WM_KILLFOCUS, &CDriveView::OnFocusChange>(),
                   OnWmNotify<&CDriveView::OnNotify>());

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
            // Only the rows the update region meets: a changed answer
            // repaints its own row. What lies outside is not copied below.
            m_rowsPainted += static_cast<unsigned>(
                PaintDriveRows(offscreen, *m_source, GetScrollPos(m_hWnd, SB_VERT), width,
                               Metrics(), m_font.get(), m_look, dc.m_hDC));
            if (m_showFocus && GetFocus() == m_hWnd) {
                const RECT focus = FocusRowRect();
                if (!IsRectEmpty(&focus))
                    DrawFocusRect(memory.get(), &focus);
            }
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
    SyncTips();
}

int CDriveView::OnCreate(LPCREATESTRUCTW cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    // Details of the row under the mouse; several lines, each kept whole.
    m_tips.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                 nullptr, nullptr));
    if (m_tips)
        ::SendMessageW(m_tips.get(), TTM_SETMAXTIPWIDTH, 0, SHRT_MAX);
    m_look.highContrast = m_highContrastQuery();
    SetDpi(tov::WindowDpi(m_hWnd));
    return 0;
}

void CDriveView::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    UpdateScrollBars();
    RowsMoved();
}

std::vector<AccessibleRow> CDriveView::CurrentAccessibleRows() {
    if (m_source == nullptr)
        return {};
    const RECT client = GetClientRect();
    return AccessibleRows(*m_source, GetScrollPos(m_hWnd, SB_VERT), client.right - client.left,
                          Metrics(), FocusRow());
}

LRESULT CDriveView::OnGetObject(WPARAM wParam, LPARAM lParam) {
    // The object id travels in the low 32 bits.
    if (static_cast<LONG>(lParam) == kRowsPaintedObjectId)
        return static_cast<LRESULT>(m_rowsPainted);
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return Default();
    if (!m_accessible)
        m_accessible.reset(new DriveAccessible(this));
    return tov::LresultFromAccessible(wParam, m_accessible.get());
}

LRESULT CDriveView::OnDestroy(WPARAM, LPARAM) {
    // Screen readers may hold the object longer than the window lives.
    m_accessible.reset();
    // The frame may have destroyed the tooltip, which it owns, already.
    if (!::IsWindow(m_tips.get()))
        m_tips.release();
    m_tips.reset();
    return Default();
}

void CDriveView::RowsChanged() {
    NotifyWinEvent(EVENT_OBJECT_REORDER, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    if (m_source == nullptr)
        return;
    const DriveList& drives = m_source->Drives();
    std::vector<ShownRow> shown;
    shown.reserve(drives.size());
    for (const DriveRecord& record : drives) {
        if (record.bShown != 0)
            shown.push_back(
                {record, m_source->StateOf(record), m_source->OutlookOf(record).marked});
    }
    // A new number of rows changes the scroll range, which may move them.
    if (shown.size() != m_shown.size())
        UpdateScrollBars();
    const Geometry geometry = CurrentGeometry();
    bool textChanged = false;
    if (geometry != m_shownGeometry) {
        Invalidate(FALSE);
        textChanged = true;
    } else {
        const size_t common = std::min(shown.size(), m_shown.size());
        for (size_t i = 0; i < common; ++i) {
            const ShownRow &was = m_shown[i], &is = shown[i];
            if (was.marked != is.marked ||
                !SameRowPixels(was.record, was.state, is.record, is.state)) {
                const RECT bounds = RowRect(static_cast<int>(i));
                ::InvalidateRect(m_hWnd, &bounds, FALSE);
            }
            textChanged =
                textChanged || !SameRowDetails(was.record, was.state, is.record, is.state);
        }
        if (shown.size() != m_shown.size()) {
            // Rows came or went at the end: everything from there down.
            RECT rest = GetClientRect();
            rest.top = RowRect(static_cast<int>(common)).top;
            ::InvalidateRect(m_hWnd, &rest, FALSE);
            textChanged = true;
        }
    }
    m_shown = std::move(shown);
    m_shownGeometry = geometry;
    SyncTips();
    // A tip on show asks for its text again; the others ask when they show.
    if (textChanged && m_tips && ::IsWindowVisible(m_tips.get()))
        ::SendMessageW(m_tips.get(), TTM_UPDATE, 0, 0);
}

void CDriveView::RowsMoved() {
    // The paint that follows shows the rows where they are now.
    Invalidate(FALSE);
    m_shownGeometry = CurrentGeometry();
}

RECT CDriveView::RowRect(int row) const {
    const RowMetrics metrics = Metrics();
    const RECT client = GetClientRect();
    // Everything of a row lies within one pitch from its top.
    const int top =
        LayoutRow(row, GetScrollPos(m_hWnd, SB_VERT), client.right, DriveRecord{}, metrics).y;
    return {0, top, client.right, top + metrics.Scaled(metrics.rowPitch)};
}

CDriveView::Geometry CDriveView::CurrentGeometry() const {
    const RECT client = GetClientRect();
    return {GetScrollPos(m_hWnd, SB_VERT), client.right - client.left, client.bottom - client.top,
            m_nDpi};
}

RECT CDriveView::ShownRowRect(int row) {
    const int record = m_source != nullptr ? RecordOfShownRow(m_source->Drives(), row) : -1;
    return record >= 0 ? RowRect(row) : RECT{};
}

void CDriveView::BusyMayHaveChanged() {
    if (std::exchange(m_bBusy, AccessibleRowsBusy()) != m_bBusy)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CDriveView::SetDpi(UINT dpi) {
    m_nDpi = dpi;
    m_font.reset(tov::CreateStockFontForDpi(SYSTEM_FONT, dpi));
    UpdateScrollBars();
    RowsMoved();
}

LRESULT CDriveView::OnDpiChangedAfterParent(WPARAM wParam, LPARAM) {
    SetDpi(tov::DpiOfAfterParent(m_hWnd, wParam));
    return 0;
}

LRESULT CDriveView::OnSettingChange(WPARAM, LPARAM) {
    // The system's fonts may have changed: the font is made again. High
    // contrast going on or off comes as SPI_SETHIGHCONTRAST.
    m_look.highContrast = m_highContrastQuery();
    SetDpi(m_nDpi);
    return 0;
}

void CDriveView::OnSysColorChange() {
    FollowSystemLook();
}

void CDriveView::SetHighContrastQuery(bool (*query)()) {
    m_highContrastQuery = query;
    FollowSystemLook();
}

void CDriveView::FollowSystemLook() {
    m_look.highContrast = m_highContrastQuery();
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

int CDriveView::Scroll(UINT code, int position, int lines) {
    ApplyScrollCode(m_hWnd, SB_VERT, code, position, TRUE, ScrollStep() * lines);
    // Every scroll event repaints the whole view at the new position.
    RowsMoved();
    // The rows moved under the mouse: a tip shown stands for another row now.
    if (m_tips)
        ::SendMessageW(m_tips.get(), TTM_POP, 0, 0);
    SyncTips();
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
    if (virtualKey == VK_RETURN) {
        OpenRecord(FocusRecord());
        return;
    }
    const int count = m_source != nullptr ? m_source->CountShownDrives() : 0;
    const int row =
        MovedFocusRow(virtualKey, FocusRow(), count, WhollyVisibleRows(ClientHeight(), Metrics()));
    if (row < 0) {
        Default();
        return;
    }
    m_showFocus = true;
    MoveFocusRow(row);
}

int CDriveView::ClientHeight() const {
    const RECT client = GetClientRect();
    return client.bottom - client.top;
}

int CDriveView::FocusRow() {
    if (m_source == nullptr)
        return -1;
    const DriveList& drives = m_source->Drives();
    m_focusRow = ShownRowOfRoot(drives, m_focusRoot, m_focusRow);
    const int record = RecordOfShownRow(drives, m_focusRow);
    if (record >= 0)
        m_focusRoot = drives[static_cast<size_t>(record)].szRoot;
    return m_focusRow;
}

int CDriveView::FocusRecord() {
    return m_source != nullptr ? RecordOfShownRow(m_source->Drives(), FocusRow()) : -1;
}

void CDriveView::FocusDrive(const std::string& root) {
    if (m_source == nullptr)
        return;
    const int row = ShownRowOfRoot(m_source->Drives(), root, FocusRow());
    if (row >= 0)
        MoveFocusRow(row);
}

void CDriveView::MoveFocusRow(int row) {
    const bool moved = row != FocusRow();
    const int record = RecordOfShownRow(m_source->Drives(), row);
    m_focusRow = row;
    m_focusRoot = m_source->Drives()[static_cast<size_t>(record)].szRoot;
    const int position = GetScrollPos(m_hWnd, SB_VERT);
    const int wanted = ScrollPosShowingRow(row, position, ClientHeight(), Metrics());
    if (wanted != position)
        Scroll(SB_THUMBPOSITION, wanted);
    Invalidate(TRUE);
    if (moved) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, row + 1);
        AnnounceFocusRow();
    }
}

void CDriveView::AnnounceFocusRow() {
    const int row = FocusRow();
    const std::vector<AccessibleRow> rows = CurrentAccessibleRows();
    if (row >= 0 && static_cast<size_t>(row) < rows.size() && m_announce != nullptr)
        m_announce(m_hWnd, rows[static_cast<size_t>(row)].value);
}

RECT CDriveView::FocusRowRect() {
    return ShownRowRect(FocusRow());
}

int CDriveView::RecordAt(POINT client) {
    const std::vector<AccessibleRow> rows = CurrentAccessibleRows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (PtInRect(&rows[i].bounds, client))
            return RecordOfShownRow(m_source->Drives(), static_cast<int>(i));
    }
    return -1;
}

void CDriveView::OpenRecord(int record) {
    if (record >= 0 && m_open)
        m_open(static_cast<size_t>(record));
}

LRESULT CDriveView::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    OpenRecord(RecordAt({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}));
    return 0;
}

LRESULT CDriveView::OnFocusChange(WPARAM, LPARAM) {
    if (m_showFocus)
        Invalidate(TRUE);
    if (GetFocus() == m_hWnd && FocusRow() >= 0) {
        NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, FocusRow() + 1);
        AnnounceFocusRow();
    }
    return Default();
}

void CDriveView::SyncTips() {
    if (!m_tips || m_source == nullptr)
        return;
    // The tools stand for row places; their texts are asked when they show.
    const auto count = static_cast<size_t>(m_source->CountShownDrives());
    const Geometry geometry = CurrentGeometry();
    if (count == m_tipCount && geometry == m_tipGeometry)
        return;
    const HWND tips = m_tips.get();
    const auto tools = static_cast<size_t>(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0));
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hWnd;
    for (size_t id = count; id < tools; ++id) {
        tool.uId = id;
        ::SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    for (size_t id = 0; id < count; ++id) {
        tool.uId = id;
        tool.rect = RowRect(static_cast<int>(id));
        if (id < tools) {
            ::SendMessageW(tips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
            continue;
        }
        tool.uFlags = TTF_SUBCLASS;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    m_tipCount = count;
    m_tipGeometry = geometry;
}

LRESULT CDriveView::OnNotify(NMHDR* header) {
    if (header->hwndFrom != m_tips.get() || header->code != TTN_GETDISPINFOW)
        return Default();
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    // The details of this one row, made as it shows.
    const int record = m_source != nullptr
                           ? RecordOfShownRow(m_source->Drives(), static_cast<int>(header->idFrom))
                           : -1;
    m_tipText.clear();
    if (record >= 0) {
        const DriveRecord& drive = m_source->Drives()[static_cast<size_t>(record)];
        m_tipText = RowDetails(drive, m_source->StateOf(drive));
    }
    info->lpszText = m_tipText.data();
    return 0;
}
