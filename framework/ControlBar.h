// CControlBar: the common base of the frame's toolbars and status bar, with
// the bar styles, the docking side and the floating tool window; and the pure
// geometry of docking (where bars go in the frame, where a dragged bar lands).
#pragma once

#include "framework/Dpi.h"
#include "framework/Wnd.h"

#include <memory>
#include <span>
#include <vector>

// Bar styles. They share the low word (and bit 22) of the style passed to a
// bar's creation; the bar keeps them apart from its window style.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_FLOATING = 0x0001;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

class CFrameWnd;
class CMiniDockFrameWnd;

namespace tov {

// True for the two sides along which a bar lies horizontally.
constexpr bool IsHorizontalSide(DWORD side) {
    return (side & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
}
// True for exactly one of the four CBRS_ALIGN_* sides.
constexpr bool IsSingleSide(DWORD side) {
    return side == CBRS_ALIGN_LEFT || side == CBRS_ALIGN_TOP || side == CBRS_ALIGN_RIGHT ||
           side == CBRS_ALIGN_BOTTOM;
}
// The one side a set of allowed sides prefers: top, bottom, left, right; 0 if none.
DWORD PreferredSide(DWORD allowed);

// One bar as the frame's layout sees it: the side it sits on, its thickness
// across that side, and whether it is dockable (fixed bars such as the status
// bar are laid out outermost, before every docked bar).
struct BarSlot {
    DWORD side = CBRS_ALIGN_TOP;
    int thickness = 0;
    bool dockable = true;
};

struct BarLayout {
    std::vector<RECT> bars; // one per slot, in the slots' order
    RECT pane{};            // what is left for the view
};

// Lays the bars along the edges of `client`: first the fixed bars, then the
// dockable ones side by side in the order top, bottom, left, right, each in
// the slots' order; a bar takes a full strip of the rectangle that is left.
// Nothing gets a negative size.
BarLayout LayOutBars(const RECT& client, std::span<const BarSlot> slots);

// Where a bar dragged to `point` lands: the nearest side of `dockArea` (the
// frame's client rectangle, same coordinates) when the point lies within
// `zone` pixels of that side, inside or just outside the area, and the side
// is allowed; 0 (floating) otherwise.
DWORD DockSideAt(POINT point, const RECT& dockArea, DWORD allowed, int zone);

// `rect` moved (not resized, unless it is larger) so that it lies inside `area`.
RECT KeepInside(const RECT& rect, const RECT& area);

// The work area of the monitor a window at `rect` (screen coordinates)
// belongs to: the one it overlaps most, else the nearest
// (MonitorFromRect with MONITOR_DEFAULTTONEAREST).
RECT NearestWorkArea(const RECT& rect);
using WorkAreaLookup = RECT (*)(const RECT& rect);

} // namespace tov

class CControlBar : public CWnd {
public:
    CControlBar();
    ~CControlBar() override;

    DECLARE_MESSAGE_MAP()

    // The bar styles (CBRS_*) apart from the window style.
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD style);
    // The sides (CBRS_ALIGN_*) this bar may dock on; 0: not dockable.
    void EnableDocking(DWORD align);
    DWORD GetDockingSides() const { return m_dwDockStyle; }

    UINT GetDlgCtrlID() const { return m_nID; }
    bool IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
    // The side the bar is docked on, or was last docked on while it floats.
    DWORD GetDockSide() const { return m_dwStyle & CBRS_ALIGN_ANY; }
    bool IsHorizontal() const { return IsFloating() || tov::IsHorizontalSide(GetDockSide()); }
    // Shown, whether or not the frame itself is visible yet.
    BOOL IsVisible() const;
    // The top-left corner of the floating window in screen coordinates:
    // where it is while floating, where it was last.
    POINT GetFloatingPosition() const;

    // The size the bar needs lying horizontally or vertically.
    virtual SIZE CalcFixedLayout(BOOL horizontal) = 0;
    // Brings the bar's command user interface up to date; target receives
    // the update-UI queries.
    virtual void OnUpdateCmdUI(CCmdTarget* target) { (void)target; }

    // The frame the bar belongs to (docked or floating), or null.
    CFrameWnd* m_pDockSite = nullptr;

    // Mouse handling of the gripper: drag the bar to another side or out
    // of the frame, where it floats.
    void OnLButtonDown(UINT keyFlags, POINT point);
    void OnMouseMove(UINT keyFlags, POINT point);
    void OnLButtonUp(UINT keyFlags, POINT point);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    // The frame's DPI changed: the bar takes the new DPI and resizes itself.
    LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
    UINT GetDpi() const { return m_nDpi; }
    // Takes `dpi` (that of the window now holding the bar) when it differs.
    void TakeDpi(UINT dpi);

protected:
    friend class CFrameWnd;
    friend class CMiniDockFrameWnd;

    // Binds the bar to its frame after its window exists.
    void AttachToFrame(CWnd* parent, DWORD barStyle, UINT id);
    // The bar now lies the other way or floats; the base does nothing.
    virtual void OnOrientationChanged() {}
    // The bar's DPI has changed to m_nDpi; the base does nothing.
    virtual void OnDpiChanged() {}
    // A length of the bar given at 96 DPI, at the bar's DPI.
    int Scaled(int value) const { return tov::ScaleForDpi(value, m_nDpi); }
    // The gripper's rectangle in client coordinates; empty without one.
    RECT GetGripperRect() const;
    static constexpr int kGripperSize = 8; // at 96 DPI
    void DrawGripper(HDC dc) const;

    DWORD m_dwStyle = 0;     // CBRS_* of the bar
    DWORD m_dwDockStyle = 0; // sides it may dock on
    UINT m_nID = 0;
    UINT m_nDpi = tov::kBaseDpi;
    POINT m_floatPos{};
    std::unique_ptr<CMiniDockFrameWnd> m_floatFrame;

private:
    struct DragState {
        bool active = false;
        POINT grab{}; // the cursor's offset within the bar at the start
        RECT shown{}; // the tracking rectangle currently drawn
        bool drawn = false;
        DWORD target = 0; // side under the cursor, 0 = float
        POINT dropAt{};   // screen position of the floating window
    };
    DragState m_drag;
    void TrackTo(POINT screenPoint);
    void EraseTracker();
    void EndDrag(bool apply);
};

// The small tool window that holds a floating bar.
class CMiniDockFrameWnd : public CWnd {
public:
    explicit CMiniDockFrameWnd(CControlBar* bar) : m_pBar(bar) {}

    DECLARE_MESSAGE_MAP()

    BOOL Create(CWnd* owner, POINT position);
    // Resizes the window around the bar's horizontal size.
    void FitToBar();

    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitSizeMove(WPARAM wParam, LPARAM lParam);
    // Moved to a monitor of another DPI: the bar follows, the window fits it.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

private:
    CControlBar* m_pBar;
};
