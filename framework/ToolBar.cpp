#include "framework/ToolBar.h"

#include "framework/FrameWnd.h"
#include "framework/PaintDC.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <cstring>

namespace tov {

std::optional<ToolBarTemplate> ParseToolBarResource(std::span<const BYTE> data) {
    auto word = [&data](size_t index) {
        WORD value = 0;
        std::memcpy(&value, data.data() + index * sizeof(WORD), sizeof value);
        return value;
    };
    constexpr size_t kHeaderWords = 4;
    if (data.size() < kHeaderWords * sizeof(WORD))
        return std::nullopt;
    const WORD version = word(0);
    const WORD width = word(1);
    const WORD height = word(2);
    const WORD count = word(3);
    // Image sizes beyond this are not button images but damage.
    constexpr WORD kMaxImageSide = 256;
    if (version != 1 || width == 0 || height == 0 || width > kMaxImageSide ||
        height > kMaxImageSide || data.size() < (kHeaderWords + count) * sizeof(WORD))
        return std::nullopt;
    ToolBarTemplate result;
    result.buttonWidth = width;
    result.buttonHeight = height;
    for (size_t i = 0; i < count; ++i)
        result.ids.push_back(word(kHeaderWords + i));
    return result;
}

} // namespace tov

namespace {
constexpr int kBarBorder = 2; // pixels around the buttons at 96 DPI
} // namespace

DEFINE_MESSAGE_MAP(CToolBar, CControlBar, OnWmPaint<&CToolBar::OnPaint>(),
                   OnWmSize<&CToolBar::OnSize>(),
                   OnWmSysColorChange<&CToolBar::OnSysColorChange>());

CToolBar::~CToolBar() {
    // The control lets go of the images before they are destroyed.
    if (m_hWndToolBar != nullptr && IsWindow(m_hWndToolBar))
        ::SendMessageA(m_hWndToolBar, TB_SETIMAGELIST, 0, 0);
}

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, RECT borders, UINT id) {
    if (parent == nullptr || parent->m_hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    m_borders = borders;
    const wchar_t* windowClass = AfxRegisterWndClass(0, LoadCursorA(nullptr, IDC_ARROW),
                                                     reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // The bar styles share bits with window styles (the gripper with
    // WS_DLGFRAME), so they stay out of the window's own style.
    const DWORD windowStyle = (style & ~CBRS_ALL) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!CWnd::CreateEx(0, windowClass, nullptr, windowStyle, 0, 0, 0, 0, parent->m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return FALSE;
    AttachToFrame(parent, style, id);

    DWORD controlStyle = WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER |
                         (ctrlStyle & 0xFFFF);
    if ((style & CBRS_TOOLTIPS) != 0)
        controlStyle |= TBSTYLE_TOOLTIPS;
    m_hWndToolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, controlStyle, 0, 0, 0, 0, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    AfxGetInstanceHandle(), nullptr);
    if (m_hWndToolBar == nullptr) {
        DestroyWindow();
        return FALSE;
    }
    ::SendMessageA(m_hWndToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Clicks and notifications (tooltip texts, hot button) go straight to the
    // frame, docked or floating, which routes the commands.
    if (m_pDockSite != nullptr)
        ::SendMessageA(m_hWndToolBar, TB_SETPARENT, reinterpret_cast<WPARAM>(m_pDockSite->m_hWnd),
                       0);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT resourceId, UINT largeBitmapId) {
    if (m_hWndToolBar == nullptr)
        return FALSE;
    const HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId),
                                MAKEINTRESOURCEA(tov::kToolBarResourceType));
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return FALSE;
    const std::optional<tov::ToolBarTemplate> layout = tov::ParseToolBarResource(
        {static_cast<const BYTE*>(bytes), SizeofResource(instance, found)});
    if (!layout)
        return FALSE;
    m_layout = *layout;
    m_nBitmapId = resourceId;
    m_nLargeBitmapId = largeBitmapId;
    if (!LoadImages())
        return FALSE;

    while (::SendMessageA(m_hWndToolBar, TB_BUTTONCOUNT, 0, 0) > 0)
        ::SendMessageA(m_hWndToolBar, TB_DELETEBUTTON, 0, 0);
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (UINT id : m_layout.ids) {
        TBBUTTON button{};
        button.idCommand = static_cast<int>(id);
        button.fsState = TBSTATE_ENABLED;
        button.iString = -1;
        if (id == 0) {
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = image++;
            button.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(button);
    }
    if (!buttons.empty() && !::SendMessageA(m_hWndToolBar, TB_ADDBUTTONSA, buttons.size(),
                                            reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    OnOrientationChanged();
    if (m_pDockSite != nullptr)
        m_pDockSite->RecalcLayout();
    return TRUE;
}

bool CToolBar::LoadImages() {
    // From 144 DPI up the larger image set, where there is one.
    constexpr UINT kLargeFromDpi = 144;
    const bool large = m_nLargeBitmapId != 0 && m_nDpi >= kLargeFromDpi;
    const int scale = large ? 2 : 1;
    const int width = m_layout.buttonWidth * scale;
    const int height = m_layout.buttonHeight * scale;
    // Black, dark grey, light grey and white become the button text, shadow,
    // face and highlight colours; face pixels stay transparent.
    const tov::UniqueBitmap bitmap(CreateMappedBitmap(
        AfxGetInstanceHandle(), large ? m_nLargeBitmapId : m_nBitmapId, 0, nullptr, 0));
    if (!bitmap)
        return false;
    const int count = static_cast<int>(
        std::count_if(m_layout.ids.begin(), m_layout.ids.end(), [](UINT id) { return id != 0; }));
    tov::UniqueImageList images(
        ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, std::max(count, 1), 0));
    if (!images || ImageList_AddMasked(images.get(), bitmap.get(), GetSysColor(COLOR_BTNFACE)) < 0)
        return false;
    ::SendMessageA(m_hWndToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
    // The control now draws from the new list; the old one can go.
    m_images = std::move(images);
    // A button is its image with a 7-pixel margin (at 96 DPI) around it in all.
    const int cxButtonMargin = Scaled(7);
    ::SendMessageA(m_hWndToolBar, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(width + cxButtonMargin, height + cxButtonMargin));
    return true;
}

void CToolBar::OnSysColorChange() {
    if (m_hWndToolBar == nullptr)
        return;
    ::SendMessageA(m_hWndToolBar, WM_SYSCOLORCHANGE, 0, 0);
    if (m_nBitmapId != 0)
        LoadImages();
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CToolBar::OnDpiChanged() {
    if (m_nBitmapId != 0)
        LoadImages();
    OnOrientationChanged();
}

int CToolBar::GetCount() const {
    return m_hWndToolBar != nullptr
               ? static_cast<int>(::SendMessageA(m_hWndToolBar, TB_BUTTONCOUNT, 0, 0))
               : 0;
}

UINT CToolBar::GetItemID(int index) const {
    TBBUTTON button{};
    if (m_hWndToolBar == nullptr ||
        !::SendMessageA(m_hWndToolBar, TB_GETBUTTON, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&button)) ||
        (button.fsStyle & BTNS_SEP) != 0)
        return 0;
    return static_cast<UINT>(button.idCommand);
}

void CToolBar::OnUpdateCmdUI(CCmdTarget* target) {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const UINT id = GetItemID(i);
        if (id == 0)
            continue;
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_hToolBar = m_hWndToolBar;
        ui.DoUpdate(target);
    }
}

void CToolBar::OnOrientationChanged() {
    if (m_hWndToolBar == nullptr)
        return;
    // Lying vertically, every button starts a row of its own.
    const bool horizontal = IsHorizontal();
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        ::SendMessageA(m_hWndToolBar, TB_GETBUTTON, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&button));
        BYTE state = button.fsState;
        state = horizontal ? (state & ~TBSTATE_WRAP) : (state | TBSTATE_WRAP);
        ::SendMessageA(m_hWndToolBar, TB_SETSTATE, static_cast<WPARAM>(button.idCommand),
                       MAKELPARAM(state, 0));
    }
    const LONG style = GetWindowLongA(m_hWndToolBar, GWL_STYLE);
    SetWindowLongA(m_hWndToolBar, GWL_STYLE, horizontal ? (style & ~CCS_VERT) : (style | CCS_VERT));
    OnSize(SIZE_RESTORED, 0, 0);
    Invalidate();
}

SIZE CToolBar::CalcFixedLayout(BOOL horizontal) {
    // The extent of the buttons as the control lays them out now.
    SIZE buttons{0, 0};
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        RECT item{};
        if (::SendMessageA(m_hWndToolBar, TB_GETITEMRECT, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(&item))) {
            buttons.cx = std::max<LONG>(buttons.cx, item.right);
            buttons.cy = std::max<LONG>(buttons.cy, item.bottom);
        }
    }
    if (count == 0 && m_hWndToolBar != nullptr) {
        const LRESULT size = ::SendMessageA(m_hWndToolBar, TB_GETBUTTONSIZE, 0, 0);
        buttons = SIZE{LOWORD(size), HIWORD(size)};
    }
    // Asked about the other orientation (while dragging), the same buttons
    // stacked the other way.
    if (static_cast<bool>(horizontal) != IsHorizontal())
        std::swap(buttons.cx, buttons.cy);

    const bool gripper = (m_dwStyle & CBRS_GRIPPER) != 0 && !IsFloating();
    const int border = Scaled(kBarBorder);
    SIZE size{buttons.cx + 2 * border + m_borders.left + m_borders.right,
              buttons.cy + 2 * border + m_borders.top + m_borders.bottom};
    if (gripper) {
        if (horizontal)
            size.cx += Scaled(kGripperSize);
        else
            size.cy += Scaled(kGripperSize);
    }
    return size;
}

RECT CToolBar::ButtonArea() const {
    RECT area = GetClientRect();
    const RECT grip = GetGripperRect();
    if (!IsRectEmpty(&grip)) {
        if (IsHorizontal())
            area.left = grip.right;
        else
            area.top = grip.bottom;
    }
    const int border = Scaled(kBarBorder);
    area.left += border + m_borders.left;
    area.top += border + m_borders.top;
    area.right -= border + m_borders.right;
    area.bottom -= border + m_borders.bottom;
    area.right = std::max(area.right, area.left);
    area.bottom = std::max(area.bottom, area.top);
    return area;
}

void CToolBar::OnSize(UINT, int, int) {
    if (m_hWndToolBar == nullptr)
        return;
    const RECT area = ButtonArea();
    SetWindowPos(m_hWndToolBar, nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CToolBar::OnPaint() {
    CPaintDC dc(this);
    DrawGripper(dc.m_hDC);
}
