// A modal dialog holds the whole main frame: its floating toolbar and every
// command that still reaches it, and no second dialog opens over it.
#include "FrameFixture.h"

#include <commctrl.h>

namespace {
using namespace tovtest;

class ModalStateTest : public FrameFixture {};

TEST_F(ModalStateTest, NothingReachesTheFrameWhileADialogRunsNotEvenFromAFloatingToolbar) {
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 1000, 250}};
    Open();
    frame->FloatControlBar(&frame->m_wndToolBar, POINT{560, 80});
    ASSERT_TRUE(frame->m_wndToolBar.IsFloating());
    const HWND holder = GetParent(frame->m_wndToolBar.m_hWnd);
    const HWND buttons = frame->m_wndToolBar.GetToolBarCtrl();
    // Clicks the floating toolbar's button for command `id`.
    const auto click = [buttons](UINT id) {
        RECT item{};
        SendMessageA(buttons, TB_GETITEMRECT, SendMessageA(buttons, TB_COMMANDTOINDEX, id, 0),
                     reinterpret_cast<LPARAM>(&item));
        PostClick(buttons, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    };

    for (const UINT dialog : {UINT{ID_VIEW_DRIVES}, UINT{ID_APP_ABOUT}}) {
        SCOPED_TRACE(dialog);
        const int refreshes = platform.rootListCalls;
        BOOL holderEnabled = TRUE;
        size_t dialogs = 0;
        RunCommand(
            dialog,
            {[&](HWND) {
                 holderEnabled = IsWindowEnabled(holder);
                 // Each command from the toolbar, and posted to the frame.
                 for (UINT id : {UINT{ID_DRIVES_REFRESH}, UINT{ID_VIEW_DRIVES}, ID_APP_ABOUT}) {
                     click(id);
                     PostMessageA(window, WM_COMMAND, id, 0);
                 }
             },
             [&](HWND) { dialogs = DialogWindows().size(); },
             [](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }});
        EXPECT_FALSE(holderEnabled);
        EXPECT_EQ(dialogs, 1u);
        EXPECT_EQ(platform.rootListCalls, refreshes);
        EXPECT_TRUE(DialogWindows().empty());
        EXPECT_TRUE(IsWindowEnabled(holder));
    }

    // Once the dialog has closed, the floating toolbar works again.
    const int refreshes = platform.rootListCalls;
    click(ID_DRIVES_REFRESH);
    Pump();
    EXPECT_EQ(platform.rootListCalls, refreshes + 1);
}

} // namespace
