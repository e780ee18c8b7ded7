// The "View Drives" dialog: one list entry per drive of the main frame, in
// list order, selected while the drive is shown. Every change of the
// selection applies at once: the shown flags, the stored settings, the main
// window's rows and its scroll range. OK and Cancel only close it.
#pragma once

#include "framework/Dialog.h"
#include "framework/ListBox.h"

class CMainFrame;

class CDriveSelectDialog : public CDialog {
public:
    explicit CDriveSelectDialog(CWnd* parent = nullptr);
    ~CDriveSelectDialog() override = default;

    const MsgMap* GetMessageMap() const override;
    static const MsgMap messageMap;

    void DoDataExchange(CDataExchange* dx) override;
    // Fills the list; the focus starts on OK.
    BOOL OnInitDialog() override;
    // LBN_SELCHANGE from the list: applies the whole selection.
    void OnSelchangeDriveList();

    CListBox m_wndList;

private:
    // The main frame, which owns this dialog's window; null if the owner is
    // anything else.
    CMainFrame* Frame() const;
};
