// Paint context: BeginPaint in the constructor, EndPaint in the destructor.
#pragma once

#include "framework/Wnd.h"

#include <string_view>

class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd) : m_window(wnd->m_hWnd) { m_hDC = BeginPaint(m_window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { EndPaint(m_window, &m_ps); }

    HDC m_hDC = nullptr;
    PAINTSTRUCT m_ps{};

    BOOL TextOut(int x, int y, std::string_view text) {
        return TextOutA(m_hDC, x, y, text.data(), static_cast<int>(text.size()));
    }
    int DrawText(std::string_view text, RECT* rect, UINT format) {
        return DrawTextA(m_hDC, text.data(), static_cast<int>(text.size()), rect, format);
    }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }

private:
    HWND m_window;
};
