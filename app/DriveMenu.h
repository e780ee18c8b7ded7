// The drive menu: Tovemar's own items on top ("Hide This Drive", "Don't
// Warn for This Drive"), then the
// shell's menu of the drive. A drive that may not answer gets Tovemar's
// items only ("Open" and "Hide This Drive"), as the shell would wait for it.
#pragma once

#include "app/DriveShell.h"
#include "drives/DriveSource.h"

#include <string>

// What the user chose that Tovemar carries out; the shell's own items are
// carried out by the shell.
enum class DriveMenuChoice { None, Open, Hide, ToggleWarnings };

// True when the shell may be asked for the drive's menu: the drive has
// answered and has not stopped responding.
bool ShellMayAsk(const DriveRecord& record, DriveState state);

// Shows the menu of the drive with root `root` at `screen` for `owner` and
// carries out a shell item chosen; returns Tovemar's item chosen. "Don't
// Warn for This Drive" is checked when the drive is `silenced`.
DriveMenuChoice ShowDriveMenu(DriveShell& shell, HWND owner, POINT screen, const std::wstring& root,
                              bool withShellItems, bool silenced = false);
