// CDriveView: the child window that fills the main frame's client area with
// one row per shown drive, and scrolls vertically when the rows do not fit.
//
// The view owns nothing but its layout constants, the DPI it is shown at, the
// font made for that DPI, the keyboard's focus row (kept by its drive's root)
// and the tooltip that shows a row's details: every paint reads the drive
// list it was handed and asks its update policy afresh, which answers from
// the records without calling the platform. The scroll position lives in the
// view's vertical scroll bar.
#pragma once

#include "drives/DriveSource.h"
#include "framework/Dpi.h"
#include "framework/Handle.h"
#include "framework/Wnd.h"
#include "view/DriveAccessible.h"
#include "view/RowLayout.h"
#include "view/Scrolling.h"

#include <functional>
#include <string>
#include <vector>

// A private object id of WM_GETOBJECT (positive ids are the window's own):
// the view answers it with the number of rows it has painted so far, for
// the benchmark that counts the rows a change repaints. Screen readers
// never ask for it.
constexpr LONG kRowsPaintedObjectId = 0x52575053;

class CDriveView : public CWnd, public AccessibleRowSource {
public:
    // `source` is the drive data the view shows; null shows nothing.
    explicit CDriveView(DriveSource* source = nullptr);
    ~CDriveView() override = default;

    DECLARE_MESSAGE_MAP()
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

    // Recomputes the scroll range from the number of shown drives and the
    // client height, and shows the scroll bar only when the rows overflow.
    // Call it after the set of shown drives changes.
    void UpdateScrollBars();

    // Paints through one client-sized off-screen bitmap at the client
    // origin, filled with the window colour, so that a live update never
    // flickers; the background is never erased on its own.
    void OnPaint();
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
    int OnCreate(LPCREATESTRUCTW cs);
    void OnSize(UINT type, int cx, int cy);
    // The wheel scrolls by the user's wheel setting and leaves the focus row
    // where it is. Up/Down, Page Up/Down and Home/End move the focus row (the
    // view scrolls only to keep it in sight); Enter opens its drive.
    void OnMouseWheel(UINT keyFlags, short delta, POINT point);
    void OnKeyDown(UINT virtualKey, UINT repeatCount, UINT flags);
    // A double-click on a row opens its drive.
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    // The focus rectangle shows only while the view has the keyboard focus.
    LRESULT OnFocusChange(WPARAM wParam, LPARAM lParam);
    // The tooltip asks for the details of the row under the mouse.
    LRESULT OnNotify(NMHDR* header);
    // The DPI changed: lengths and fonts follow, the scroll range too.
    LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
    // A system setting changed (passed on by the frame): the font and the
    // high-contrast look follow.
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    // The system's colours changed (passed on by the frame): the
    // high-contrast look is read again and the rows repainted.
    void OnSysColorChange();
    // Where the view tells screen readers a focus row's figures.
    void SetAnnouncer(void (*announce)(HWND, std::wstring_view)) { m_announce = announce; }
    // Where the view asks whether high contrast is on; read again at once.
    void SetHighContrastQuery(bool (*query)());

    // WM_GETOBJECT: the client area is an accessible list of the shown rows.
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    // The rows changed (a refresh, a late answer, the shown set): screen
    // readers hear of it, and the rows that now look different from what
    // was last shown repaint, those only (all when the set of rows or the
    // view's geometry changed); a tooltip showing follows its row's text.
    void RowsChanged();
    // The rows painted since the view was created.
    unsigned RowsPainted() const { return m_rowsPainted; }
    // The source may have become settled or busy: screen readers hear of a
    // change of the list's busy state.
    void BusyMayHaveChanged();
    bool AccessibleRowsBusy() override { return m_source != nullptr && m_source->Busy(); }
    HWND AccessibleWindow() const override { return m_hWnd; }
    std::vector<AccessibleRow> CurrentAccessibleRows() override;

    // Called with the index in the drive list of a drive the user opens.
    void SetOpenHandler(std::function<void(size_t record)> open) { m_open = std::move(open); }
    // The index in the drive list of the row at `client` (client
    // coordinates), or of the focus row; -1 for none.
    int RecordAt(POINT client);
    int FocusRecord();
    // Makes the row of the shown drive at `root` the focus row, scrolled
    // into view; the focus row stays when no shown drive has that root.
    void FocusDrive(const std::string& root);
    // The focus row's rectangle in client coordinates; empty without one.
    RECT FocusRowRect();

    // The row metrics at the view's current DPI.
    RowMetrics Metrics() const { return {m_nBarHeight, m_nRowPitch, m_nDpi}; }

    int m_nBarHeight; // height of a bar; + 5 is one scroll step
    int m_nRowPitch;  // distance between row tops

private:
    DriveSource* m_source;
    int ScrollStep() const { return Metrics().ScrollStep(); }
    void SetDpi(UINT dpi);
    // Reads the high-contrast setting again and repaints.
    void FollowSystemLook();
    // The focus row's figures to screen readers, which speak only the
    // name of a list item that focus reaches.
    void AnnounceFocusRow();
    // Applies one scroll code (a line code moves by `lines` line steps) and
    // repaints the whole view at the new position; returns the position
    // asked for.
    int Scroll(UINT code, int position, int lines = 1);

    // The focus row among the shown rows, found again by its drive's root
    // after the list changes; -1 when no drive is shown.
    int FocusRow();
    void MoveFocusRow(int row);
    void OpenRecord(int record);
    // Gives the tooltip one tool per shown row, at the row's place now;
    // does nothing while the rows' number and places stay as they were.
    void SyncTips();
    int ClientHeight() const;
    // Shown row `row` in client coordinates: the client width, one pitch
    // high; empty when there is no such row.
    RECT ShownRowRect(int row);
    // The same for any row index, shown or not.
    RECT RowRect(int row) const;

    // What decides where the rows are: when it changes, every row moves.
    struct Geometry {
        int scrollPos = -1, width = 0, height = 0;
        UINT dpi = 0;
        bool operator==(const Geometry& o) const {
            return scrollPos == o.scrollPos && width == o.width && height == o.height &&
                   dpi == o.dpi;
        }
        bool operator!=(const Geometry& o) const { return !(*this == o); }
    };
    Geometry CurrentGeometry() const;
    // The whole view repaints: the rows moved (scrolled, resized, scaled).
    void RowsMoved();
    // One shown row as it was last shown.
    struct ShownRow {
        DriveRecord record;
        DriveState state;
        bool marked; // its used share is red
    };

    WheelAccumulator m_wheel;
    std::string m_focusRoot;  // the focus row's drive
    int m_focusRow = 0;       // its place when last found
    bool m_showFocus = false; // a navigation key has reached the view in this run
    std::function<void(size_t)> m_open;
    tov::UniqueWindow m_tips; // the rows' tooltip
    std::wstring m_tipText;   // what the tooltip shows now
    // The tools' number and the geometry their places were set for.
    size_t m_tipCount = 0;
    Geometry m_tipGeometry;
    // The shown rows and the geometry as RowsChanged last compared them.
    std::vector<ShownRow> m_shown;
    Geometry m_shownGeometry;
    unsigned m_rowsPainted = 0;
    UINT m_nDpi = tov::kBaseDpi;
    tov::UniqueFont m_font;             // the system font for m_nDpi; null where the stock one fits
    UniqueDriveAccessible m_accessible; // made when a client first asks
    bool m_bBusy = false;               // the busy state screen readers last heard of
    bool (*m_highContrastQuery)() = &tov::HighContrastOn;
    void (*m_announce)(HWND, std::wstring_view) = &tov::AnnounceToScreenReaders;
    SystemLook m_look; // high contrast as last read
};
