// The "Warnings" dialog: when a drive counts as nearly full (a percentage
// and an amount in GB), whether a notification tells of it and whether its
// row is marked in red. OK takes the fields only when both numbers are in
// range; a number out of range gets the edit control's own balloon and the
// dialog stays open. Cancel changes nothing.
#pragma once

#include "framework/Dialog.h"
#include "settings/Warnings.h"

class CWarningsDialog : public CDialog {
public:
    explicit CWarningsDialog(const WarningOptions& options, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The options shown; after OK, the ones chosen.
    WarningOptions m_options;

private:
    // The number in edit `id` when it is one within [low, high]; otherwise
    // shows the field's balloon, puts the focus there and returns false.
    bool ReadField(int id, int low, int high, int& value);
};
