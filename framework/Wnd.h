// CWnd: a window object bound to one HWND, with message maps.
//
// The object is passed through the create parameter and bound at
// WM_NCCREATE (a window property holds the pointer); it is unbound at
// WM_NCDESTROY, after which PostNcDestroy runs. The window procedure is the
// one place that catches: nothing thrown may cross back into user32.
#pragma once

#include "framework/CmdTarget.h"

#include <string>

class CFrameWnd;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    // Lets a window translate a message before it is dispatched (accelerators).
    virtual BOOL PreTranslateMessage(MSG* msg);

    DECLARE_MESSAGE_MAP()

    // Creation. className null: PreCreateWindow picks the class.
    // Windows are created through the wide entry points, so they take and
    // keep text in any script.
    BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id, void* context = nullptr);
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  int x, int y, int cx, int cy, HWND parent, HMENU menuOrId);
    // Adjusts the creation parameters; the base picks the framework's
    // default class when none is given.
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    // Runs after the window is gone (WM_NCDESTROY); the base does nothing.
    virtual void PostNcDestroy() {}
    BOOL DestroyWindow();

    // The CWnd bound to `window`, or null when the window is not ours.
    static CWnd* FromHandle(HWND window);

    // Message dispatch through the message maps; unmapped messages go to
    // DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A command (menu, accelerator, toolbar) or a control notification.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The default processing of the message being handled.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Default handlers for derived classes' maps: each runs Default().
    int OnCreate(LPCREATESTRUCTW cs);
    void OnSize(UINT type, int cx, int cy);
    void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
    void OnSetFocus(CWnd* oldFocus);
    void OnClose();

    // This window as a frame window, or null: a typed way to the frame
    // behind a window handle or a main window.
    virtual CFrameWnd* AsFrameWnd() { return nullptr; }
    // The nearest ancestor (not this window) that is a CFrameWnd, or null.
    CFrameWnd* GetParentFrame() const;
    CWnd* GetParent() const;

    // Thin wrappers used by the program.
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    RECT GetClientRect() const;
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    static LRESULT CALLBACK StdWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Runs one message through the map chain; sets `handled`.
    LRESULT DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // The message being handled, for Default().
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };
    CurrentMessage m_current;
    // How many calls of this object's window procedure are on the stack, and
    // whether PostNcDestroy waits for the outermost of them to return: a
    // handler that destroys its own window (WM_CLOSE -> DestroyWindow) must not
    // have the object deleted under it.
    int m_nCallDepth = 0;
    bool m_bPostNcDestroyPending = false;

    friend LRESULT CallWindowObject(CWnd* wnd, HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam);
    // Dialogs bind their member controls to existing child windows.
    friend class CDialog;
    void Attach(HWND window);
    void Detach();
};

// Registers (once per distinct set of arguments) a window class whose window
// procedure is the framework's, and returns its name.
const wchar_t* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                   HBRUSH background = nullptr, HICON icon = nullptr);
