#include "framework/StatusBar.h"

#include "framework/CommandText.h"
#include "framework/FrameWnd.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace tov {

std::vector<int> StatusPartEdges(std::span<const int> widths, int totalWidth) {
    int fixed = 0;
    int stretchy = 0;
    for (int width : widths) {
        if (width < 0)
            ++stretchy;
        else
            fixed += width;
    }
    const int spare = std::max(totalWidth - fixed, 0);
    std::vector<int> edges;
    int edge = 0;
    int stretchSeen = 0;
    for (int width : widths) {
        if (width < 0) {
            // Spread the spare pixels so the stretchy panes together fill it.
            ++stretchSeen;
            edge += spare * stretchSeen / stretchy - spare * (stretchSeen - 1) / stretchy;
        } else {
            edge += width;
        }
        edges.push_back(edge);
    }
    return edges;
}

} // namespace tov

namespace {
constexpr int kPaneMargin = 8; // pixels around a fixed pane's text at 96 DPI
} // namespace

// The native control paints and handles the mouse itself, so the map does
// not chain to CControlBar's gripper handling.
DEFINE_MESSAGE_MAP(CStatusBar, CWnd, OnWmSize<&CStatusBar::OnSize>(),
                   OnMessage<WM_DPICHANGED_AFTERPARENT, &CStatusBar::OnDpiChangedAfterParent>());

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    if (parent == nullptr || parent->m_hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    // The frame places and sizes the bar, so the control must not move itself.
    DWORD windowStyle = (style & ~CBRS_ALL) | WS_CHILD | WS_CLIPSIBLINGS | CCS_NOPARENTALIGN |
                        CCS_NORESIZE | CCS_NODIVIDER;
    if ((GetWindowLongA(parent->m_hWnd, GWL_STYLE) & WS_THICKFRAME) != 0)
        windowStyle |= SBARS_SIZEGRIP;
    HWND window = CreateWindowExW(
        0, STATUSCLASSNAMEW, nullptr, windowStyle, 0, 0, 0, 0, parent->m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
    if (window == nullptr)
        return FALSE;
    // Our window procedure goes in front of the control's, so that the bar
    // object learns of sizes and of the window's end.
    Attach(window);
    m_superProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    AttachToFrame(parent, style, id);

    ApplyFont();
    return TRUE;
}

void CStatusBar::ApplyFont() {
    // The stock font where it was made for the bar's DPI, else one made for
    // it. The old one goes only once the control has switched to the new
    // one: until then it may still draw with it.
    tov::UniqueFont made(tov::CreateStockFontForDpi(DEFAULT_GUI_FONT, m_nDpi));
    const HGDIOBJ font = made ? made.get() : GetStockObject(DEFAULT_GUI_FONT);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_font = std::move(made);
    tov::WindowDC dc(m_hWnd);
    tov::SelectGuard select(dc.get(), font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    int borders[3] = {0, 0, 0};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    m_nHeight = metrics.tmHeight + 2 * borders[1] + 2 * tov::SystemMetricForDpi(SM_CYEDGE, m_nDpi) +
                Scaled(2);
}

void CStatusBar::OnDpiChanged() {
    ApplyFont();
    // The fixed panes are measured again in the new font.
    const std::vector<UINT> indicators = m_indicators;
    if (!indicators.empty())
        SetIndicators(indicators.data(), static_cast<int>(indicators.size()));
}

LRESULT CStatusBar::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_superProc != nullptr)
        return CallWindowProcW(m_superProc, m_hWnd, message, wParam, lParam);
    return CWnd::DefWindowProc(message, wParam, lParam);
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
    // The native control holds at most 256 parts.
    if (m_hWnd == nullptr || ids == nullptr || count < 1 || count > 256)
        return FALSE;
    m_indicators.assign(ids, ids + count);
    m_widths.clear();
    tov::WindowDC dc(m_hWnd);
    tov::SelectGuard select(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    for (UINT id : m_indicators) {
        if (id == ID_SEPARATOR) {
            m_widths.push_back(-1);
            continue;
        }
        const std::string text = tov::PromptOf(AfxLoadString(id));
        SIZE extent{};
        GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        m_widths.push_back(extent.cx + 2 * Scaled(kPaneMargin));
    }
    UpdateParts();
    bool idleShown = false;
    for (int i = 0; i < count; ++i) {
        std::string text;
        if (m_indicators[static_cast<size_t>(i)] != ID_SEPARATOR)
            text = tov::PromptOf(AfxLoadString(m_indicators[static_cast<size_t>(i)]));
        else if (!idleShown)
            text = tov::IdleMessage();
        idleShown = idleShown || m_indicators[static_cast<size_t>(i)] == ID_SEPARATOR;
        SetPaneText(i, text);
    }
    return TRUE;
}

void CStatusBar::UpdateParts() {
    if (m_hWnd == nullptr || m_widths.empty())
        return;
    const RECT client = GetClientRect();
    std::vector<int> edges = tov::StatusPartEdges(m_widths, client.right);
    // The last pane reaches the right end, under the size grip if any.
    edges.back() = -1;
    SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void CStatusBar::OnSize(UINT, int, int) {
    Default();
    UpdateParts();
}

BOOL CStatusBar::SetPaneText(int index, const std::string& text) {
    if (m_hWnd == nullptr || index < 0 || index > 255)
        return FALSE;
    return static_cast<BOOL>(SendMessage(SB_SETTEXTA, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.c_str())));
}

std::string CStatusBar::GetPaneText(int index) const {
    if (m_hWnd == nullptr || index < 0 || index > 255)
        return {};
    const LRESULT length = ::SendMessageA(m_hWnd, SB_GETTEXTLENGTHA, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(LOWORD(length)) + 1, '\0');
    ::SendMessageA(m_hWnd, SB_GETTEXTA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

SIZE CStatusBar::CalcFixedLayout(BOOL) {
    return SIZE{32767, m_nHeight};
}
