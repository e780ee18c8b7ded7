#include "framework/Wnd.h"

#include "framework/Dpi.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"

#include <cwchar>
#include <iterator>
#include <set>
#include <string>

namespace {
// The window property that binds an HWND to its CWnd.
constexpr char kObjectProperty[] = "Tovemar.CWnd";
} // namespace

CWnd* WndFromHandle(HWND window) {
    return CWnd::FromHandle(window);
}

CWnd* CWnd::FromHandle(HWND window) {
    if (window == nullptr)
        return nullptr;
    return static_cast<CWnd*>(GetPropA(window, kObjectProperty));
}

CWnd::~CWnd() {
    // Unbind first, so that the window's last messages never reach an object
    // that is half destroyed.
    if (m_hWnd != nullptr) {
        HWND window = m_hWnd;
        Detach();
        ::DestroyWindow(window);
    }
}

void CWnd::Attach(HWND window) {
    m_hWnd = window;
    SetPropA(window, kObjectProperty, this);
}

void CWnd::Detach() {
    if (m_hWnd != nullptr)
        RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

DEFINE_MESSAGE_MAP(CWnd, CCmdTarget);

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, void*) {
    return CreateEx(0, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    int x, int y, int cx, int cy, HWND parent, HMENU menuOrId) {
    CREATESTRUCTW cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = AfxGetInstanceHandle();
    if (!PreCreateWindow(cs))
        return FALSE;
    HWND window = CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, this);
    return window != nullptr;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

LRESULT CallWindowObject(CWnd* wnd, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const CWnd::CurrentMessage saved = wnd->m_current;
    wnd->m_current = {message, wParam, lParam};
    ++wnd->m_nCallDepth;
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through user32; a failed handler counts as
        // default processing.
        result = ::DefWindowProcW(window, message, wParam, lParam);
    }
    wnd->m_current = saved;
    if (message == WM_NCDESTROY) {
        wnd->Detach();
        CWinThread* thread = AfxGetThread();
        if (thread != nullptr && thread->m_pMainWnd == wnd) {
            // The main window is gone: the message loop ends.
            thread->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        wnd->m_bPostNcDestroyPending = true;
    }
    // PostNcDestroy may delete the object, so it runs only once no call of
    // this object's window procedure is left to return into it.
    if (--wnd->m_nCallDepth == 0 && wnd->m_bPostNcDestroyPending) {
        wnd->m_bPostNcDestroyPending = false;
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK CWnd::StdWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* wnd = static_cast<CWnd*>(cs->lpCreateParams);
        if (wnd != nullptr && FromHandle(window) == nullptr)
            wnd->Attach(window);
        tov::EnableNonClientScaling(window, (cs->style & WS_CHILD) == 0);
    }
    CWnd* wnd = FromHandle(window);
    if (wnd == nullptr)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return CallWindowObject(wnd, window, message, wParam, lParam);
}

LRESULT CWnd::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const MsgMapEntry* entry = GetMessageMap()->Find(MapKind::Message, message);
    handled = entry != nullptr;
    return handled ? entry->thunk(this, wParam, lParam) : 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && OnCommand(wParam, lParam))
        return 0;
    bool handled = false;
    const LRESULT result = DispatchToMap(message, wParam, lParam, handled);
    return handled ? result : DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam != 0) {
        // A control's notification: its own entry first; a button click
        // (toolbar buttons included) is also a command.
        if (const MsgMapEntry* entry = GetMessageMap()->Find(MapKind::Notify, id, code)) {
            entry->thunk(this, wParam, lParam);
            return TRUE;
        }
        if (code != BN_CLICKED)
            return FALSE;
    }
    return OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

int CWnd::OnCreate(LPCREATESTRUCTW) {
    return static_cast<int>(Default());
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnVScroll(UINT code, UINT position, CWnd* scrollBar) {
    DefWindowProc(WM_VSCROLL, MAKEWPARAM(code, position),
                  reinterpret_cast<LPARAM>(scrollBar ? scrollBar->m_hWnd : nullptr));
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnClose() {
    Default();
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND window = ::GetParent(m_hWnd); window != nullptr; window = ::GetParent(window)) {
        if (CWnd* wnd = FromHandle(window); wnd != nullptr && wnd->AsFrameWnd() != nullptr)
            return wnd->AsFrameWnd();
    }
    return nullptr;
}

RECT CWnd::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

const wchar_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    // Class names must outlive their registration; a node set keeps them.
    static std::set<std::wstring> registered;
    wchar_t name[96];
    std::swprintf(name, std::size(name), L"Tovemar:%x:%p:%p:%p", classStyle,
                  static_cast<void*>(cursor), static_cast<void*>(background),
                  static_cast<void*>(icon));
    auto [it, inserted] = registered.insert(name);
    if (inserted) {
        WNDCLASSW wc{};
        wc.style = classStyle;
        wc.lpfnWndProc = &CWnd::StdWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = it->c_str();
        RegisterClassW(&wc);
    }
    return it->c_str();
}
