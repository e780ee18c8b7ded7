#include "app/DriveSelectDialog.h"

#include "app/MainFrame.h"
#include "res/resource.h"

#include <algorithm>
#include <utility>

DEFINE_MESSAGE_MAP(
    CDriveSelectDialog, CDialog,
    OnControlNotify<LBN_SELCHANGE, IDC_DRIVE_LIST, &CDriveSelectDialog::OnSelchangeDriveList>());

CDriveSelectDialog::CDriveSelectDialog(DriveSource& drives, std::function<void()> changed,
                                       CWnd* parent)
    : CDialog(IDD_DRIVE_SELECT, parent), m_drives(drives), m_changed(std::move(changed)) {}

void CDriveSelectDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_DRIVE_LIST, m_wndList);
}

BOOL CDriveSelectDialog::OnInitDialog() {
    // Binds m_wndList, which must happen before the list is filled.
    CDialog::OnInitDialog();
    // Entry i stands for record i: the list is unsorted and filled in order.
    const size_t count = m_drives.Drives().size();
    for (size_t i = 0; i < count; ++i) {
        const DriveRecord record = m_drives.Drives()[i];
        // A drive whose name has not arrived is listed by its root.
        m_wndList.AddString(ListedNameOf(record).c_str());
        // Selection set here does not notify, so opening changes nothing.
        m_wndList.SetSel(static_cast<int>(i), record.bShown);
    }
    // Selecting moved the caret and the view to the last selected entry; the
    // list opens at its first entry, the first drive in the main window.
    m_wndList.SetCaretIndex(0);
    m_wndList.SetTopIndex(0);
    return TRUE;
}

void CDriveSelectDialog::OnSelchangeDriveList() {
    // Every record takes its entry's state, not only the one that changed;
    // a record without an entry (the list could not take it) keeps its flag.
    const size_t count =
        std::min(m_drives.Drives().size(), static_cast<size_t>(std::max(m_wndList.GetCount(), 0)));
    for (size_t i = 0; i < count; ++i)
        m_drives.SetShown(i, m_wndList.GetSel(static_cast<int>(i)) > 0);
    if (m_changed)
        m_changed();
}
