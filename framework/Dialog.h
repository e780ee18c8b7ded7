// Modal dialogs from templates, and binding of member objects to their controls.
//
// DoModal runs the template with DialogBoxParamA, owned by the given parent
// or, without one, by the application's main window; the platform disables
// the owner for the length of the run. An owner that is a frame is held in
// its modal state as well (its floating bars disabled, its commands dropped),
// and a frame already in it gets no second dialog. At WM_INITDIALOG the
// dialog window is bound to its object and subclassed, so from then on every
// message goes through the message maps (base: CDialog's map) exactly as for
// any CWnd, and what a map does not handle goes on to the dialog manager.
#pragma once

#include "framework/Wnd.h"

class CDialog;

// The context of one data exchange between a dialog and its members.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CDialog* m_pDlgWnd;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    DECLARE_MESSAGE_MAP()

    // Runs the dialog modally; returns the code given to EndDialog, or -1
    // when the dialog could not be created or its frame already runs one.
    virtual INT_PTR DoModal();
    // The base performs the first data exchange (members to controls) and
    // returns TRUE, so the focus goes to the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    // Runs DoDataExchange in the given direction; TRUE when it succeeded.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // OK (button, Enter): saves the data, then ends with IDOK.
    virtual void OnOK();
    // Cancel (button, Escape, close box): ends with IDCANCEL.
    virtual void OnCancel();
    void EndDialog(int result);

    // TRUE when the template leaves the position to the program (none of
    // DS_CENTER, DS_CENTERMOUSE, DS_ABSALIGN): the dialog is then centred
    // over its owner.
    BOOL CheckAutoCenter() const;
    // Centres the window over its owner, or over the work area when there is
    // no visible owner, keeping it inside the owner's monitor.
    void CenterWindow();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // WM_INITDIALOG: centres the dialog when the template asks for nothing
    // else, then runs OnInitDialog; its result decides the initial focus.
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

private:
    friend void DDX_Control(CDataExchange* dx, int id, CWnd& control);

    // Binds control (unbound) to the child window `window` for as long as
    // both live.
    static void BindControl(CWnd& control, HWND window);
    void Unsubclass();

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The dialog manager's window procedure, which this dialog's window had
    // before it was subclassed; null while the window is not subclassed.
    WNDPROC m_pfnSuper = nullptr;
};

// On the first exchange, binds `control` to the dialog's child `id`; later
// exchanges find it bound and do nothing. The binding ends by itself when the
// control window is destroyed (the member then holds no window), and a member
// destroyed first takes its window with it.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

namespace tov {

// The top-left corner that centres a window of the given size over `over`,
// moved back inside `workArea` where it would stick out (the top-left edges
// win when it is larger than the work area).
POINT CenteredPosition(SIZE size, const RECT& over, const RECT& workArea);

} // namespace tov
