// What Tovemar asks of the system's shell for one drive: its own context
// menu (the one the file manager shows for the drive) and opening the drive
// in the file manager. Behind one small interface so that tests can stand
// in for the shell; the Win32 one is the default.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>

// The first and the last id the shell's items get in a drive menu: below
// every command id of Tovemar's own.
constexpr UINT kShellMenuFirstId = 1;
constexpr UINT kShellMenuLastId = 0x7FFF;

// A COM interface pointer owned once: released when it goes.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
using UniqueContextMenu = std::unique_ptr<IContextMenu, ComRelease>;

class DriveShell {
public:
    virtual ~DriveShell() = default;
    // The shell's context menu of a drive's root ("D:\"); null when the
    // shell has none. `owner` is the window the menu will show for.
    virtual UniqueContextMenu ContextMenuOf(const std::wstring& root, HWND owner) = 0;
    // Shows `menu` at `screen` (screen coordinates) for `owner` and returns
    // the id chosen, 0 for none. The shell's menu, when given, hears the
    // menu's messages to `owner` while it shows (owner-drawn and submenu items).
    virtual UINT TrackMenu(HMENU menu, HWND owner, POINT screen, IContextMenu* shellMenu) = 0;
    // Opens the root in the system's file manager. It may wait for the
    // drive: it is called on a thread of the drive engine (in an apartment
    // of its own), never on the window's.
    virtual void Open(const std::wstring& root) = 0;
};

std::shared_ptr<DriveShell> Win32DriveShell();
