// CToolBar: a dockable bar of flat buttons loaded from a toolbar resource,
// with a gripper, tooltips and fly-by prompts. A native toolbar control sits
// inside a window of ours, which draws the gripper and takes the drag.
#pragma once

#include "framework/ControlBar.h"
#include "framework/Handle.h"
#include "framework/WinApp.h"

#include <commctrl.h>

#include <optional>
#include <span>
#include <vector>

namespace tov {

// A toolbar resource (type 241): version 1, button width and height, count,
// then one command id per button, 0 for a separator.
struct ToolBarTemplate {
    int buttonWidth = 0;
    int buttonHeight = 0;
    std::vector<UINT> ids;
};
constexpr WORD kToolBarResourceType = 241;

using UniqueImageList = UniqueHandle<HIMAGELIST, ImageList_Destroy>;

// The template in `data`, or nothing when the data is short, of another
// version or of an unusable size.
std::optional<ToolBarTemplate> ParseToolBarResource(std::span<const BYTE> data);

} // namespace tov

class CToolBar : public CControlBar {
public:
    ~CToolBar() override;

    DECLARE_MESSAGE_MAP()

    // ctrlStyle: the native control's TBSTYLE_*; style: window and bar
    // styles (CBRS_*); borders: extra space around the buttons.
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                  DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, RECT borders = {},
                  UINT id = AFX_IDW_TOOLBAR);

    // Buttons and their images from the toolbar and bitmap resources
    // `resourceId`; from 144 DPI up the images come from bitmap
    // `largeBitmapId` instead, where given: the same images at twice the size.
    BOOL LoadToolBar(UINT resourceId, UINT largeBitmapId = 0);

    // The native toolbar control (TB_* messages).
    HWND GetToolBarCtrl() const { return m_hWndToolBar; }
    int GetCount() const;
    UINT GetItemID(int index) const; // 0 for a separator

    SIZE CalcFixedLayout(BOOL horizontal) override;
    // Asks `target` for the state of every button.
    void OnUpdateCmdUI(CCmdTarget* target) override;

    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    // New system colours: the control's own and the button images follow.
    void OnSysColorChange();

protected:
    void OnOrientationChanged() override;
    void OnDpiChanged() override;
    // The native control's rectangle in the bar's client area.
    RECT ButtonArea() const;

    // Maps the bitmap's greys, black and white to the current button colours
    // and hands the control the images and the button size for the bar's
    // DPI; false when the bitmap is missing.
    bool LoadImages();

    HWND m_hWndToolBar = nullptr; // a child of the bar, destroyed with it
    RECT m_borders{};
    tov::ToolBarTemplate m_layout;
    UINT m_nBitmapId = 0;
    UINT m_nLargeBitmapId = 0;
    tov::UniqueImageList m_images; // the control's images, ours to destroy
};
