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
    // Entry i stands for the drive of record i's root: the list is unsorted
    // and filled in order.
    const size_t count = m_drives.Drives().size();
    for (size_t i = 0; i < count; ++i) {
        const DriveRecord record = m_drives.Drives()[i];
        m_roots.emplace_back(record.szRoot);
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
    // Every drive takes its entry's state, not only the one that changed; a
    // drive without an entry (the list could not take it, or it came later)
    // keeps its flag, and an entry whose drive has gone changes nothing.
    const size_t count =
        std::min(m_roots.size(), static_cast<size_t>(std::max(m_wndList.GetCount(), 0)));
    DriveList& drives = m_drives.Drives();
    for (size_t i = 0; i < count; ++i) {
        const auto record = std::find_if(drives.begin(), drives.end(), [&](const DriveRecord& r) {
            return m_roots[i] == r.szRoot;
        });
        if (record != drives.end())
            m_drives.SetShown(static_cast<size_t>(record - drives.begin()),
                              m_wndList.GetSel(static_cast<int>(i)) > 0);
    }
    if (m_changed)
        m_changed();
}
