// How a main window restored from a stored placement is first shown.
//
// The first ShowWindow of a process takes the show command of the program
// that started it in place of its own, when that program passed one
// (STARTUPINFO with STARTF_USESHOWWINDOW): the Start menu, the taskbar and
// the file manager pass SW_SHOWNORMAL, which would restore a window stored
// maximized. The stored state wins: a second call shows the window in it
// again whenever the launch's command may have left it otherwise.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

namespace tov {

// The show state a stored placement gives the window.
enum class StoredShow {
    None,      // nothing applied: the window keeps its created state
    Normal,    // at its stored normal rectangle
    Maximized, // maximized on the monitor of its stored rectangle
};

// True for the show commands that minimize a window.
bool IsMinimizeCommand(UINT showCmd);

// The state a placement restores, as start-up shows it: a minimized one
// opens in the state it would have been restored to.
StoredShow StoredShowOf(UINT showCmd, UINT flags);

// The show command the launching program passed, if any (from GetStartupInfo).
std::optional<int> LaunchShowCommand();

// The ShowWindow calls, in order, that show a new main window in `stored`
// state when it was started with `launch`: SW_SHOW first (which the
// platform may replace by `launch`), then the stored state's command where
// `launch` would have left another state.
std::vector<int> StartupShowCalls(StoredShow stored, std::optional<int> launch);

} // namespace tov
