// Objects that take commands: windows and the application object.
#pragma once

#include "framework/MessageMap.h"

// Codes of CCmdTarget::OnCmdMsg.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

struct AFX_CMDHANDLERINFO; // never used by the program; kept for the call's shape

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    virtual const MsgMap* GetMessageMap() const;
    static const MsgMap messageMap;

    // Runs the handler of command `id` in this object's map chain. code is
    // CN_COMMAND (run the command) or CN_UPDATE_COMMAND_UI (extra is the
    // CCmdUI* to update). Returns TRUE when a handler was found.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);
};

// The state of one command's user-interface element (menu item or toolbar
// button) as its update-UI handler sees it.
class CCmdUI {
public:
    UINT m_nID = 0;
    HMENU m_pMenu = nullptr;   // set for a menu item
    HWND m_hToolBar = nullptr; // set for a toolbar button (a native toolbar control)

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE);
    virtual void SetCheck(int check = 1);

    // Asks target for this command's state; returns TRUE when a handler ran.
    BOOL DoUpdate(CCmdTarget* target);
};
