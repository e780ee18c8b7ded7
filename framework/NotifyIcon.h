// One icon of the program in the notification area, in the shell's
// version-4 behaviour: its callback message carries the event in the low
// word of lParam (NIN_SELECT, NIN_KEYSELECT, NIN_BALLOONUSERCLICK, ...).
// Removed when the object goes.
#pragma once

#include <windows.h>

#include <string>

class CNotifyIcon {
public:
    CNotifyIcon() = default;
    CNotifyIcon(const CNotifyIcon&) = delete;
    CNotifyIcon& operator=(const CNotifyIcon&) = delete;
    ~CNotifyIcon() { Remove(); }

    // Adds the icon of `window` with id `id`, or changes its icon and tip
    // when they differ from what the shell has. False when the shell refused.
    bool Show(HWND window, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip);
    // A balloon over the shown icon: the warning sign, a title and a text.
    bool Warn(const std::wstring& title, const std::wstring& text);
    void Remove();
    // The icon as the shell knows it is gone (the taskbar was recreated):
    // the next Show adds it again.
    void Forget() { m_bAdded = false; }
    bool Shown() const { return m_bAdded; }

private:
    NOTIFYICONDATAW Data(UINT flags) const;

    HWND m_hWnd = nullptr;
    UINT m_nId = 0;
    UINT m_nMessage = 0;
    HICON m_hIcon = nullptr;
    std::wstring m_strTip; // the tip the shell has
    bool m_bAdded = false;
};
