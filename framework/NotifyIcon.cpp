#include "framework/NotifyIcon.h"

#include <shellapi.h>

#include <algorithm>

namespace {
// Copies as much of `text` as fits into a fixed field, always ending it.
template <size_t N> void CopyField(WCHAR (&field)[N], const std::wstring& text) {
    const size_t count = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), count, field);
    field[count] = L'\0';
}
} // namespace

NOTIFYICONDATAW CNotifyIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = m_nId;
    data.uFlags = flags;
    data.uCallbackMessage = m_nMessage;
    data.hIcon = m_hIcon;
    return data;
}

bool CNotifyIcon::Show(HWND window, UINT id, UINT callbackMessage, HICON icon,
                       const std::wstring& tip) {
    if (m_bAdded && (window != m_hWnd || id != m_nId))
        Remove();
    // Unchanged, the shell is not asked again (the frame shows the icon
    // after every poll).
    if (m_bAdded && icon == m_hIcon && callbackMessage == m_nMessage && tip == m_strTip)
        return true;
    m_hWnd = window;
    m_nId = id;
    m_nMessage = callbackMessage;
    m_hIcon = icon;
    m_strTip = tip;
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    CopyField(data.szTip, tip);
    if (m_bAdded)
        return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    if (!Shell_NotifyIconW(NIM_ADD, &data))
        return false;
    m_bAdded = true;
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
    return true;
}

bool CNotifyIcon::Warn(const std::wstring& title, const std::wstring& text) {
    if (!m_bAdded)
        return false;
    NOTIFYICONDATAW data = Data(NIF_INFO);
    CopyField(data.szInfoTitle, title);
    CopyField(data.szInfo, text);
    data.dwInfoFlags = NIIF_WARNING;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void CNotifyIcon::Remove() {
    if (!m_bAdded)
        return;
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    m_bAdded = false;
}
