// The "View Drives" dialog: one list entry per drive of the main frame, in
// list order, selected while the drive is shown. Every change of the
// selection applies at once: the shown flags, the stored settings, the main
// window's rows and its scroll range. OK and Cancel only close it.
#pragma once

#include "drives/DriveSource.h"
#include "framework/Dialog.h"
#include "framework/ListBox.h"

#include <functional>
#include <string>
#include <vector>

class CDriveSelectDialog : public CDialog {
public:
    // `drives` is the list the dialog shows and changes; `changed` runs after
    // every change of the shown flags (save, repaint, rescroll).
    CDriveSelectDialog(DriveSource& drives, std::function<void()> changed, CWnd* parent = nullptr);
    ~CDriveSelectDialog() override = default;

    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* dx) override;
    // Fills the list; the focus starts on OK.
    BOOL OnInitDialog() override;
    // LBN_SELCHANGE from the list: applies the whole selection.
    void OnSelchangeDriveList();

    CListBox m_wndList;

private:
    DriveSource& m_drives;
    std::vector<std::string> m_roots; // the root each entry stands for, in entry order
    std::function<void()> m_changed;
};
