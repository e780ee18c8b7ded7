// The main window: owns the drive list, the view options, the bars and the view.
#pragma once

#include "drives/DriveSource.h"
#include "framework/FrameWnd.h"

class CMainFrame : public CFrameWnd, public DriveSource {
public:
    CMainFrame() = default;
    ~CMainFrame() override = default;

    const MsgMap* GetMessageMap() const override;
    static const MsgMap messageMap;

    DriveList& Drives() override { return m_drives; }
    bool IsDriveUpdatable(const std::string& spec) override;

    DriveList m_drives;
    BOOL m_bViewRemoveables;
    BOOL m_bViewFloppies;
};
