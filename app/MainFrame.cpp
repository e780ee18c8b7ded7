#include "app/MainFrame.h"

const MsgMap CMainFrame::messageMap{&CFrameWnd::messageMap, {}};
const MsgMap* CMainFrame::GetMessageMap() const { return &messageMap; }

bool CMainFrame::IsDriveUpdatable(const std::string&) { return true; }
