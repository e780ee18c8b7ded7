// The main frame's window state between runs: its placement, kept as the
// binary entry "Placement" of the application key, and the docking state of
// its control bars, kept by the framework in the application profile.
#pragma once

#include "framework/StartupShow.h"
#include "settings/ProfileSection.h"

#include <windows.h>

// Load: applies the stored placement to `window`; a missing,
// unreadable or oversized entry, or one with an empty window rectangle,
// leaves the window as it is, and a minimized state is applied as the state
// the window was to be restored to (normal or maximized). Save: stores the
// window's current placement. Opens HKCU\Software\<company>\<application>
// but never creates it. A null window does nothing. Returns the show state
// a load applied (None for a save or when nothing was applied).
//
// `inCreation`: the window is in its WM_CREATE. Creation maximizes a window
// whose style says so once WM_CREATE returns, and takes the rectangle it has
// then for its normal one; so a maximized placement applies only its normal
// rectangle and leaves the maximizing to creation, which then keeps it.
tov::StoredShow ExchangeWindowPlacement(HWND window, Direction direction, const char* company,
                                        const char* application, bool inCreation = false);

// Loads or saves the docking state of the main frame (the current thread's
// main window) under `profileName`. False when there is no thread or no main
// frame, in which case nothing is exchanged.
bool ExchangeDockState(Direction direction, const char* profileName);

// ExchangeWindowPlacement (a load in the window's WM_CREATE), then
// ExchangeDockState under the application name; returns the latter's result.
// `applied`, when given, receives the placement's show state.
bool ExchangeWindowState(HWND window, Direction direction, const char* company,
                         const char* application, tov::StoredShow* applied = nullptr);
