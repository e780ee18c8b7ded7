#include "settings/WindowState.h"

#include "framework/DockState.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "settings/RegistryKey.h"

#include <cstring>
#include <string>

namespace {
constexpr char kPlacementEntry[] = "Placement";
} // namespace

void ExchangeWindowPlacement(HWND window, Direction direction, const char* company,
                             const char* application, bool inCreation) {
    if (window == nullptr)
        return;
    RegistryKey key;
    key.SetDirection(direction);
    const std::string path = std::string("Software\\") + company + "\\" + application;
    // Opened, never created: saving follows the profile writes that create
    // the key, and a first start simply finds nothing to load.
    key.Open(HKEY_CURRENT_USER, path.c_str());

    WINDOWPLACEMENT placement;
    std::memset(&placement, 0, sizeof placement);
    placement.length = sizeof placement;
    if (direction == Direction::Save) {
        GetWindowPlacement(window, &placement);
        key.ExchangeBinary(kPlacementEntry, nullptr, &placement, sizeof placement);
        return;
    }
    // A stored entry shorter than the record fills only its own length; the
    // rest then holds the window's current placement rather than zeros, so
    // that a truncated entry cannot shrink the window to nothing.
    GetWindowPlacement(window, &placement);
    key.ExchangeBinary(kPlacementEntry, nullptr, &placement, sizeof placement);
    // Nothing stored, or an oversized entry, reads as zeros: the length field
    // is then 0 and the window keeps the placement it was created with.
    if (placement.length != sizeof placement)
        return;
    // No window ever has an empty or inverted normal rectangle; applied, it
    // would leave a window too small to use, which closing would store
    // again. Such a record counts as unreadable too.
    if (IsRectEmpty(&placement.rcNormalPosition))
        return;
    // Start-up shows the window: one closed while minimized opens in the
    // state it would have been restored to, maximized when it was minimized
    // from there.
    if (placement.showCmd == SW_SHOWMINIMIZED || placement.showCmd == SW_MINIMIZE ||
        placement.showCmd == SW_SHOWMINNOACTIVE || placement.showCmd == SW_FORCEMINIMIZE)
        placement.showCmd =
            (placement.flags & WPF_RESTORETOMAXIMIZED) != 0 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (inCreation && placement.showCmd == SW_SHOWMAXIMIZED) {
        // The normal rectangle now, hidden; the style has creation maximize
        // the window from it, as for a window created maximized.
        placement.showCmd = SW_HIDE;
        SetWindowPlacement(window, &placement);
        SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_MAXIMIZE);
        return;
    }
    SetWindowPlacement(window, &placement);
}

bool ExchangeDockState(Direction direction, const char* profileName) {
    CWinThread* thread = AfxGetThread();
    if (thread == nullptr)
        return false;
    // The main window is set before the frame's window is created, so this
    // finds the frame during its own creation too.
    CFrameWnd* frame = thread->GetMainFrame();
    if (frame == nullptr)
        return false;
    CDockState state;
    if (direction == Direction::Save) {
        frame->GetDockState(state);
        state.SaveState(profileName);
    } else {
        state.LoadState(profileName);
        frame->SetDockState(state);
    }
    return true;
}

bool ExchangeWindowState(HWND window, Direction direction, const char* company,
                         const char* application) {
    ExchangeWindowPlacement(window, direction, company, application, direction == Direction::Load);
    return ExchangeDockState(direction, application);
}
