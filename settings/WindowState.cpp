#include "settings/WindowState.h"

#include "framework/DockState.h"
#include "framework/Dpi.h"
#include "framework/FrameWnd.h"
#include "framework/StartupShow.h"
#include "framework/WinApp.h"
#include "settings/RegistryKey.h"

#include <cstring>
#include <string>

namespace {
constexpr char kPlacementEntry[] = "Placement";
} // namespace

tov::StoredShow ExchangeWindowPlacement(HWND window, Direction direction, const char* company,
                                        const char* application, bool inCreation) {
    if (window == nullptr)
        return tov::StoredShow::None;
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
        return tov::StoredShow::None;
    }
    // A stored entry shorter than the record fills only its own length; the
    // rest then holds the window's current placement rather than zeros, so
    // that a truncated entry cannot shrink the window to nothing.
    GetWindowPlacement(window, &placement);
    key.ExchangeBinary(kPlacementEntry, nullptr, &placement, sizeof placement);
    // Nothing stored, or an oversized entry, reads as zeros: the length field
    // is then 0 and the window keeps the placement it was created with.
    if (placement.length != sizeof placement)
        return tov::StoredShow::None;
    // No window ever has an empty or inverted normal rectangle; applied, it
    // would leave a window too small to use, which closing would store
    // again. Such a record counts as unreadable too.
    if (IsRectEmpty(&placement.rcNormalPosition))
        return tov::StoredShow::None;
    // Start-up shows the window: one closed while minimized opens in the
    // state it would have been restored to, maximized when it was minimized
    // from there.
    const tov::StoredShow stored = tov::StoredShowOf(placement.showCmd, placement.flags);
    if (tov::IsMinimizeCommand(placement.showCmd))
        placement.showCmd = stored == tov::StoredShow::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (inCreation && stored == tov::StoredShow::Maximized) {
        // The normal rectangle now, hidden; the style has creation maximize
        // the window from it, as for a window created maximized.
        placement.showCmd = SW_HIDE;
        tov::RestoreWindowPlacement(window, placement);
        SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_MAXIMIZE);
        return stored;
    }
    tov::RestoreWindowPlacement(window, placement);
    return stored;
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
                         const char* application, tov::StoredShow* applied) {
    const tov::StoredShow stored = ExchangeWindowPlacement(window, direction, company, application,
                                                           direction == Direction::Load);
    if (applied != nullptr)
        *applied = stored;
    return ExchangeDockState(direction, application);
}
