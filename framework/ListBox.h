// CListBox: a CWnd over a list box control (usually a dialog's, bound with
// DDX_Control), with the operations the program uses.
#pragma once

#include "framework/Wnd.h"

#include <string>

class CListBox : public CWnd {
public:
    // Appends (or, in a sorted list, inserts) an entry; returns its index or
    // LB_ERR / LB_ERRSPACE.
    int AddString(const char* text) {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int AddString(const wchar_t* text) {
        return static_cast<int>(
            ::SendMessageW(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    // The text of entry `index`; empty when there is no such entry.
    std::wstring GetText(int index) const {
        const LRESULT length = ::SendMessageW(m_hWnd, LB_GETTEXTLEN, index, 0);
        if (length == LB_ERR)
            return {};
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied =
            ::SendMessageW(m_hWnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
        return text;
    }
    // Multiple-selection lists: selects or deselects entry `index` (-1: all).
    int SetSel(int index, BOOL select = TRUE) {
        return static_cast<int>(SendMessage(LB_SETSEL, select, index));
    }
    // Positive when entry `index` is selected, 0 when not, LB_ERR on error.
    int GetSel(int index) const {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_GETSEL, index, 0));
    }
    int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0)); }
    int GetSelCount() const {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_GETSELCOUNT, 0, 0));
    }
    int GetCaretIndex() const {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCARETINDEX, 0, 0));
    }
    // Puts the keyboard caret on entry `index`, scrolled into view.
    int SetCaretIndex(int index) {
        return static_cast<int>(SendMessage(LB_SETCARETINDEX, index, FALSE));
    }
    // Scrolls entry `index` to the top of the list.
    int SetTopIndex(int index) { return static_cast<int>(SendMessage(LB_SETTOPINDEX, index)); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
};
