// Drawing contexts: CDC wraps a device context the caller owns; CPaintDC is
// the paint context of one WM_PAINT (BeginPaint in the constructor, EndPaint
// in the destructor).
#pragma once

#include "framework/Handle.h"
#include "framework/Wnd.h"

#include <string_view>

class CDC {
public:
    explicit CDC(HDC dc = nullptr) : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }

    BOOL TextOut(int x, int y, std::string_view text) {
        return ::TextOutA(m_hDC, x, y, text.data(), static_cast<int>(text.size()));
    }
    int DrawText(std::string_view text, RECT* rect, UINT format) {
        return ::DrawTextA(m_hDC, text.data(), static_cast<int>(text.size()), rect, format);
    }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
};

class CPaintDC : public CDC {
public:
    [[nodiscard]] explicit CPaintDC(CWnd* wnd)
        : m_owner(BeginPaint(wnd->m_hWnd, &m_ps), {wnd->m_hWnd, &m_ps}) {
        m_hDC = m_owner.get();
    }

    PAINTSTRUCT m_ps{};

private:
    tov::DCOwner<tov::EndPaintOf> m_owner; // after m_ps, which it fills
};
