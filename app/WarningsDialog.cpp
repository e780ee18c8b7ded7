#include "app/WarningsDialog.h"

#include "res/resource.h"

#include <commctrl.h>

#include <string>

CWarningsDialog::CWarningsDialog(const WarningOptions& options, CWnd* parent)
    : CDialog(IDD_WARNINGS, parent), m_options(options) {}

BOOL CWarningsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemInt(m_hWnd, IDC_WARN_PERCENT, static_cast<UINT>(m_options.levels.freePercent), FALSE);
    SetDlgItemInt(m_hWnd, IDC_WARN_GB, static_cast<UINT>(m_options.levels.freeGB), FALSE);
    CheckDlgButton(m_hWnd, IDC_WARN_NOTIFY, m_options.notify ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_WARN_MARK, m_options.mark ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

bool CWarningsDialog::ReadField(int id, int low, int high, int& value) {
    BOOL translated = FALSE;
    const UINT number = GetDlgItemInt(m_hWnd, id, &translated, FALSE);
    if (translated && number >= static_cast<UINT>(low) && number <= static_cast<UINT>(high)) {
        value = static_cast<int>(number);
        return true;
    }
    const HWND edit = GetDlgItem(m_hWnd, id);
    const std::wstring text = L"Enter a whole number from " + std::to_wstring(low) + L" to " +
                              std::to_wstring(high) + L".";
    EDITBALLOONTIP tip{};
    tip.cbStruct = sizeof tip;
    tip.pszTitle = L"Out of range";
    tip.pszText = text.c_str();
    tip.ttiIcon = TTI_ERROR;
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
    return false;
}

void CWarningsDialog::OnOK() {
    WarningOptions chosen = m_options;
    if (!ReadField(IDC_WARN_PERCENT, kMinFreePercent, kMaxFreePercent, chosen.levels.freePercent) ||
        !ReadField(IDC_WARN_GB, kMinFreeGB, kMaxFreeGB, chosen.levels.freeGB))
        return;
    chosen.notify = IsDlgButtonChecked(m_hWnd, IDC_WARN_NOTIFY) == BST_CHECKED;
    chosen.mark = IsDlgButtonChecked(m_hWnd, IDC_WARN_MARK) == BST_CHECKED;
    m_options = chosen;
    EndDialog(IDOK);
}
