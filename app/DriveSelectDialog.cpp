#include "app/DriveSelectDialog.h"

#include "app/MainFrame.h"
#include "res/resource.h"

#include <algorithm>
#include <cstring>
#include <string>

static constexpr MsgMapEntry kEntries[] = {
    OnControlNotify<LBN_SELCHANGE, IDC_DRIVE_LIST, &CDriveSelectDialog::OnSelchangeDriveList>(),
};
const MsgMap CDriveSelectDialog::messageMap{&CDialog::messageMap, kEntries};
const MsgMap* CDriveSelectDialog::GetMessageMap() const {
    return &messageMap;
}

CDriveSelectDialog::CDriveSelectDialog(CWnd* parent) : CDialog(IDD_DRIVE_SELECT, parent) {}

void CDriveSelectDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_DRIVE_LIST, m_wndList);
}

CMainFrame* CDriveSelectDialog::Frame() const {
    return dynamic_cast<CMainFrame*>(GetParent());
}

BOOL CDriveSelectDialog::OnInitDialog() {
    // Binds m_wndList, which must happen before the list is filled.
    CDialog::OnInitDialog();
    if (CMainFrame* frame = Frame()) {
        // Entry i stands for record i: the list is unsorted and filled in order.
        const size_t count = frame->m_drives.size();
        for (size_t i = 0; i < count; ++i) {
            const DriveRecord record = frame->m_drives[i];
            // The name is taken up to the end of its field even when the
            // shell left it unterminated.
            const char* name = record.sfi.szDisplayName;
            const std::string text(name, strnlen(name, sizeof record.sfi.szDisplayName));
            m_wndList.AddString(text.c_str());
            // Selection set here does not notify, so opening changes nothing.
            m_wndList.SetSel(static_cast<int>(i), record.bShown);
        }
    }
    // Selecting moved the caret and the view to the last selected entry; the
    // list opens at its first entry, the first drive in the main window.
    m_wndList.SetCaretIndex(0);
    m_wndList.SetTopIndex(0);
    return TRUE;
}

void CDriveSelectDialog::OnSelchangeDriveList() {
    CMainFrame* frame = Frame();
    if (frame == nullptr)
        return;
    // Every record takes its entry's state, not only the one that changed;
    // a record without an entry (the list could not take it) keeps its flag.
    const size_t count =
        std::min(frame->m_drives.size(), static_cast<size_t>(std::max(m_wndList.GetCount(), 0)));
    for (size_t i = 0; i < count; ++i)
        frame->m_drives[i].bShown = m_wndList.GetSel(static_cast<int>(i)) > 0 ? 1 : 0;
    frame->ExchangeSettings(1);
    // The whole frame, background erased; the view inside it redraws its rows.
    ::InvalidateRect(frame->m_hWnd, nullptr, TRUE);
    frame->m_wndView.UpdateScrollBars();
}

void CMainFrame::OnSelectDrives() {
    // Every change has been applied and saved while the dialog was open.
    CDriveSelectDialog dialog;
    dialog.DoModal();
}
