// The About box: the program's icon, version, copyright, contact and history
// lines. It shows no data and changes nothing; OK, Enter, Escape and the
// close box end it.
#pragma once

#include "framework/Dialog.h"

class CAboutDialog : public CDialog {
public:
    explicit CAboutDialog(CWnd* parent = nullptr);
    ~CAboutDialog() override = default;

    DECLARE_MESSAGE_MAP()

protected:
    // Nothing to exchange.
    void DoDataExchange(CDataExchange* dx) override;
};
