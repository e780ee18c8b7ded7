// CStatusBar: the native status bar control as a control bar, with panes
// given by string ids; the stretchy message pane shows prompts and "Ready".
#pragma once

#include "framework/ControlBar.h"
#include "framework/Handle.h"
#include "framework/WinApp.h"

#include <span>
#include <string>
#include <vector>

namespace tov {

// The right edges of the panes for SB_SETPARTS: each width is a pane's
// width, or -1 for a stretchy pane, which shares what the fixed panes leave
// of `totalWidth` with the other stretchy ones. Edges never go backwards.
std::vector<int> StatusPartEdges(std::span<const int> widths, int totalWidth);

} // namespace tov

class CStatusBar : public CControlBar {
public:
    DECLARE_MESSAGE_MAP()

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT id = AFX_IDW_STATUS_BAR);
    // One pane per id: ID_SEPARATOR is a stretchy pane (the first one holds
    // the idle text), any other id a pane as wide as its string's prompt
    // part, showing it.
    BOOL SetIndicators(const UINT* ids, int count);

    BOOL SetPaneText(int index, const std::string& text);
    std::string GetPaneText(int index) const;

    SIZE CalcFixedLayout(BOOL horizontal) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnSize(UINT type, int cx, int cy);

protected:
    void UpdateParts();
    // The font and height for the bar's DPI.
    void ApplyFont();
    void OnDpiChanged() override;

    std::vector<UINT> m_indicators;
    std::vector<int> m_widths;     // -1: stretchy
    WNDPROC m_superProc = nullptr; // the native control's window procedure
    int m_nHeight = 0;
    tov::UniqueFont m_font; // null while the stock font fits the DPI
};
