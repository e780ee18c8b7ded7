#include "framework/Dialog.h"

#include "framework/FrameWnd.h"
#include "framework/WinApp.h"

#include <cstring>

LRESULT CallWindowObject(CWnd* wnd, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace {
// Holds a bound control's own window procedure while ours watches it.
constexpr char kControlProcProperty[] = "Tovemar.ControlProc";

// The window style stored in dialog template `id` of the program, or 0 when
// there is no such template. Both template layouts are read: the extended
// one starts with version 1 and the signature 0xFFFF, then the help id and
// the extended style before the style.
DWORD TemplateStyle(UINT id) {
    const HINSTANCE instance = AfxGetInstanceHandle();
    const HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (resource == nullptr)
        return 0;
    const auto* bytes =
        static_cast<const unsigned char*>(LockResource(LoadResource(instance, resource)));
    const DWORD size = SizeofResource(instance, resource);
    if (bytes == nullptr || size < 16)
        return 0;
    WORD head[2];
    std::memcpy(head, bytes, sizeof head);
    DWORD style = 0;
    std::memcpy(&style, bytes + (head[0] == 1 && head[1] == 0xFFFF ? 12 : 0), sizeof style);
    return style;
}
} // namespace

namespace tov {

POINT CenteredPosition(SIZE size, const RECT& over, const RECT& workArea) {
    LONG x = over.left + ((over.right - over.left) - size.cx) / 2;
    LONG y = over.top + ((over.bottom - over.top) - size.cy) / 2;
    if (x + size.cx > workArea.right)
        x = workArea.right - size.cx;
    if (y + size.cy > workArea.bottom)
        y = workArea.bottom - size.cy;
    if (x < workArea.left)
        x = workArea.left;
    if (y < workArea.top)
        y = workArea.top;
    return {x, y};
}

} // namespace tov

DEFINE_MESSAGE_MAP(CDialog, CWnd, OnMessage<WM_INITDIALOG, &CDialog::HandleInitDialog>(),
                   OnCommand<IDOK, &CDialog::OnOK>(), OnCommand<IDCANCEL, &CDialog::OnCancel>());

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    // The window outlives its object only on abnormal paths; CWnd's destructor
    // then destroys it, and the dialog manager must see its last messages.
    Unsubclass();
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr)
        return -1;
    HWND owner = nullptr;
    if (m_pParentWnd != nullptr) {
        owner = m_pParentWnd->m_hWnd;
    } else if (CWinThread* thread = AfxGetThread(); thread != nullptr) {
        if (CWnd* main = thread->GetMainWnd())
            owner = main->m_hWnd;
    }
    // Owned by a frame, the dialog holds the whole frame in its modal state,
    // and only one such dialog runs at a time.
    CWnd* ownerWnd = FromHandle(owner);
    CFrameWnd* frame = ownerWnd != nullptr ? ownerWnd->AsFrameWnd() : nullptr;
    if (frame != nullptr) {
        if (frame->InModalState())
            return -1;
        frame->BeginModalState();
    }
    const INT_PTR result =
        DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    // A frame whose window went away meanwhile may be gone with it.
    if (frame != nullptr && FromHandle(owner) == frame)
        frame->EndModalState();
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Before WM_INITDIALOG the dialog manager handles everything alone; once
    // bound, every message has already been through the message maps on its
    // way here, so the answer is "not handled" and the default runs.
    if (message != WM_INITDIALOG || FromHandle(window) != nullptr)
        return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (dialog == nullptr || dialog->m_hWnd != nullptr)
        return FALSE;
    dialog->Attach(window);
    dialog->m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    // WM_INITDIALOG returns its result directly: TRUE lets the dialog manager
    // set the focus.
    return CallWindowObject(dialog, window, message, wParam, lParam);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        result = CWnd::WindowProc(message, wParam, lParam);
    } catch (...) {
        // A failed handler counts as unhandled: the dialog manager's default.
        result = DefWindowProc(message, wParam, lParam);
    }
    if (message == WM_NCDESTROY)
        Unsubclass();
    return result;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper == nullptr)
        return 0;
    return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
}

void CDialog::Unsubclass() {
    if (m_pfnSuper != nullptr && m_hWnd != nullptr)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    if (CheckAutoCenter())
        CenterWindow();
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr)
        return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    if (m_hWnd != nullptr)
        ::EndDialog(m_hWnd, result);
}

BOOL CDialog::CheckAutoCenter() const {
    return (TemplateStyle(m_nIDTemplate) & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) == 0;
}

void CDialog::CenterWindow() {
    RECT rect{};
    if (m_hWnd == nullptr || !GetWindowRect(m_hWnd, &rect))
        return;
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    const bool overOwner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(overOwner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST),
                         &monitor))
        return;
    RECT over = monitor.rcWork;
    if (overOwner)
        GetWindowRect(owner, &over);
    const POINT position = tov::CenteredPosition({rect.right - rect.left, rect.bottom - rect.top},
                                                 over, monitor.rcWork);
    SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::BindControl(CWnd& control, HWND window) {
    if (control.m_hWnd != nullptr || window == nullptr || FromHandle(window) != nullptr)
        return;
    // Through the wide calls: subclassing through the ANSI ones would turn
    // the control into an ANSI window, and its wide text into question marks.
    const LONG_PTR own = GetWindowLongPtrW(window, GWLP_WNDPROC);
    if (own == 0 || !SetPropA(window, kControlProcProperty, reinterpret_cast<HANDLE>(own)))
        return;
    control.Attach(window);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDialog::ControlProc));
}

// Watches a bound control so that its binding ends with its window. The
// control keeps its own behaviour: every message goes to its own procedure.
LRESULT CALLBACK CDialog::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto own = reinterpret_cast<WNDPROC>(GetPropA(window, kControlProcProperty));
    if (message == WM_NCDESTROY) {
        if (own != nullptr)
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        RemovePropA(window, kControlProcProperty);
        if (CWnd* control = FromHandle(window))
            control->Detach();
    }
    if (own == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return CallWindowProcW(own, window, message, wParam, lParam);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr || dx->m_pDlgWnd->m_hWnd == nullptr)
        return;
    CDialog::BindControl(control, GetDlgItem(dx->m_pDlgWnd->m_hWnd, id));
}
