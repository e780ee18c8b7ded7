#include "app/DriveMenu.h"

#include "framework/Handle.h"

namespace {
// Tovemar's items: above the shell's id range, never sent as commands (the
// menu returns the choice).
constexpr UINT kHideItem = kShellMenuLastId + 1;
constexpr UINT kOpenItem = kShellMenuLastId + 2;
constexpr UINT kSilenceItem = kShellMenuLastId + 3;

void AppendItem(HMENU menu, UINT id, const wchar_t* text) {
    AppendMenuW(menu, MF_STRING, id, text);
}
} // namespace

bool ShellMayAsk(const DriveRecord& record, DriveState state) {
    return record.bPending == 0 && state != DriveState::Waiting &&
           state != DriveState::NotResponding;
}

DriveMenuChoice ShowDriveMenu(DriveShell& shell, HWND owner, POINT screen, const std::wstring& root,
                              bool withShellItems, bool silenced) {
    tov::UniqueMenu menu(CreatePopupMenu());
    if (!menu)
        return DriveMenuChoice::None;
    AppendItem(menu.get(), kHideItem, L"&Hide This Drive");
    AppendMenuW(menu.get(), MF_STRING | (silenced ? MF_CHECKED : MF_UNCHECKED), kSilenceItem,
                L"Don't &Warn for This Drive");
    UniqueContextMenu shellMenu;
    if (withShellItems)
        shellMenu = shell.ContextMenuOf(root, owner);
    if (shellMenu) {
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        // The shell sets its own default item (Open).
        if (FAILED(shellMenu->QueryContextMenu(menu.get(), 3, kShellMenuFirstId, kShellMenuLastId,
                                               CMF_NORMAL))) {
            shellMenu.reset();
            DeleteMenu(menu.get(), 2, MF_BYPOSITION);
        }
    }
    if (!shellMenu) {
        AppendItem(menu.get(), kOpenItem, L"&Open");
        SetMenuDefaultItem(menu.get(), kOpenItem, FALSE);
    }

    const UINT chosen = shell.TrackMenu(menu.get(), owner, screen, shellMenu.get());
    if (chosen == kHideItem)
        return DriveMenuChoice::Hide;
    if (chosen == kOpenItem)
        return DriveMenuChoice::Open;
    if (chosen == kSilenceItem)
        return DriveMenuChoice::ToggleWarnings;
    if (shellMenu && chosen >= kShellMenuFirstId && chosen <= kShellMenuLastId) {
        CMINVOKECOMMANDINFOEX invoke{};
        invoke.cbSize = sizeof invoke;
        invoke.fMask = CMIC_MASK_UNICODE | CMIC_MASK_PTINVOKE;
        invoke.hwnd = owner;
        invoke.lpVerb = MAKEINTRESOURCEA(chosen - kShellMenuFirstId);
        invoke.lpVerbW = MAKEINTRESOURCEW(chosen - kShellMenuFirstId);
        invoke.nShow = SW_SHOWNORMAL;
        invoke.ptInvoke = screen;
        shellMenu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&invoke));
    }
    return DriveMenuChoice::None;
}
