// CFrameWnd: a top-level window with menu, accelerators, control bars and a
// view, which routes commands and keeps the command user interface current.
#pragma once

#include "framework/Wnd.h"

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    const MsgMap* GetMessageMap() const override;
    static const MsgMap messageMap;

    // Creates the frame with the menu, accelerators and title of resource
    // `resourceId`.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW,
                           CWnd* parent = nullptr, void* context = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // The frame object is heap-allocated and deletes itself when its window is gone.
    void PostNcDestroy() override;

protected:
    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenu = nullptr;
};
