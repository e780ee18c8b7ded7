// The texts of a command: one string per command id holds its status-bar
// prompt and its tooltip, separated by a line feed ("prompt\ntip").
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tov {

// The part before the first line feed: the whole text when there is none.
std::string PromptOf(std::string_view text);
// The part after the first line feed: empty when there is none.
std::string TipOf(std::string_view text);

// The string id whose prompt describes a highlighted menu item, or 0 for an
// item without one (separators, popups, a closed menu). System-menu commands
// SC_SIZE..SC_TASKLIST map to the framework's prompt block that starts at
// 61184, one string per command step of 16.
UINT MenuPromptId(UINT item, UINT flags, HMENU menu);

// The idle text of the status bar ("Ready").
std::string IdleMessage();

} // namespace tov
