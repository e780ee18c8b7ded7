// CDriveView: the child window that fills the main frame's client area with
// one row per shown drive, and scrolls vertically when the rows do not fit.
//
// The view owns nothing but its layout constants: every paint reads the drive
// list it was handed and asks its update policy afresh, which answers from
// the records without calling the platform. The scroll position lives in the
// view's vertical scroll bar.
#pragma once

#include "drives/DriveSource.h"
#include "framework/Wnd.h"

class CDriveView : public CWnd {
public:
    // `source` is the drive data the view shows; null shows nothing.
    explicit CDriveView(DriveSource* source = nullptr);
    ~CDriveView() override = default;

    DECLARE_MESSAGE_MAP()
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    // Recomputes the scroll range from the number of shown drives and the
    // client height, and shows the scroll bar only when the rows overflow.
    // Call it after the set of shown drives changes.
    void UpdateScrollBars();

    void OnPaint();
    void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
    int OnCreate(LPCREATESTRUCTA cs);
    void OnSize(UINT type, int cx, int cy);

    int m_nBarHeight; // height of a bar; + 5 is one scroll step
    int m_nRowPitch;  // distance between row tops

private:
    DriveSource* m_source;
    int ScrollStep() const { return m_nBarHeight + 5; }
};
