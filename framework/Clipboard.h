// Plain text onto the clipboard.
#pragma once

#include <windows.h>

#include <string>

namespace tov {

// Replaces the clipboard's contents by `text` as Unicode text, `owner`
// owning the clipboard. False when the clipboard could not be had.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);

} // namespace tov
