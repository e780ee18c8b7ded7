#include "framework/StartupShow.h"

namespace tov {

bool IsMinimizeCommand(UINT showCmd) {
    return showCmd == SW_SHOWMINIMIZED || showCmd == SW_MINIMIZE || showCmd == SW_SHOWMINNOACTIVE ||
           showCmd == SW_FORCEMINIMIZE;
}

StoredShow StoredShowOf(UINT showCmd, UINT flags) {
    if (showCmd == SW_SHOWMAXIMIZED ||
        (IsMinimizeCommand(showCmd) && (flags & WPF_RESTORETOMAXIMIZED) != 0))
        return StoredShow::Maximized;
    return StoredShow::Normal;
}

std::optional<int> LaunchShowCommand() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0)
        return std::nullopt;
    return startup.wShowWindow;
}

namespace {
// The state `command` leaves a shown window in that was in `stored`; None
// when it leaves it hidden, minimized or in a state it does not tell.
StoredShow StateAfter(int command, StoredShow stored) {
    switch (command) {
    case SW_SHOW:
    case SW_SHOWNA:
        return stored;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_RESTORE:
        return StoredShow::Normal;
    case SW_SHOWMAXIMIZED:
        return StoredShow::Maximized;
    default:
        return StoredShow::None;
    }
}
} // namespace

std::vector<int> StartupShowCalls(StoredShow stored, std::optional<int> launch) {
    std::vector<int> calls{SW_SHOW};
    // Without a stored state the launch's command is as good as any.
    if (stored == StoredShow::None || !launch || StateAfter(*launch, stored) == stored)
        return calls;
    calls.push_back(stored == StoredShow::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    return calls;
}

} // namespace tov
