#include "framework/FrameWnd.h"

#include "framework/WinApp.h"

CFrameWnd::~CFrameWnd() {
    if (m_hAccelTable != nullptr)
        DestroyAcceleratorTable(m_hAccelTable);
}

const MsgMap CFrameWnd::messageMap{&CWnd::messageMap, {}};
const MsgMap* CFrameWnd::GetMessageMap() const { return &messageMap; }

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(0, LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, void*) {
    const HINSTANCE instance = AfxGetInstanceHandle();
    const std::string title = AfxLoadString(resourceId);
    m_hMenu = LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));
    m_hAccelTable = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    // The window owns the menu from here on and destroys it with itself.
    return CreateEx(0, nullptr, title.c_str(), style & ~0x8000u /*FWS_ADDTOTITLE*/, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    parent ? parent->m_hWnd : nullptr, m_hMenu);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    return m_hAccelTable != nullptr && m_hWnd != nullptr &&
           TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg);
}

void CFrameWnd::PostNcDestroy() { delete this; }
