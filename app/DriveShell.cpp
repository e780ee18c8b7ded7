#include "app/DriveShell.h"

#include <commctrl.h>
#include <objbase.h>

namespace {
// Hands the menu's messages to the shell's menu while it shows: its
// submenus fill themselves in and its owner-drawn items draw through these.
LRESULT CALLBACK ForwardMenuMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR data) {
    switch (message) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR: {
        auto* shellMenu = reinterpret_cast<IContextMenu*>(data);
        IContextMenu3* menu3 = nullptr;
        if (SUCCEEDED(
                shellMenu->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&menu3)))) {
            LRESULT result = 0;
            const HRESULT handled = menu3->HandleMenuMsg2(message, wParam, lParam, &result);
            menu3->Release();
            if (handled == S_OK)
                return result;
            break;
        }
        IContextMenu2* menu2 = nullptr;
        if (message != WM_MENUCHAR && SUCCEEDED(shellMenu->QueryInterface(
                                          IID_IContextMenu2, reinterpret_cast<void**>(&menu2)))) {
            const HRESULT handled = menu2->HandleMenuMsg(message, wParam, lParam);
            menu2->Release();
            if (handled == S_OK)
                return message == WM_INITMENUPOPUP ? 0 : TRUE;
        }
        break;
    }
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// Opens one root on the calling thread, a thread of the drive engine: a
// drive that does not answer holds that thread, never the window's.
void OpenRoot(const std::wstring& root) {
    // The shell's handlers may use COM (the engine's thread is in an
    // apartment); the call waits until they are done (SEE_MASK_NOASYNC), as
    // the job ends after it.
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // As a folder, by the class "Folder": the root's own verbs (a disc's
    // autorun.inf) do not take over. Where that class has no command to
    // open with (Wine registers only a DDE entry), the root's plain open.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_CLASSNAME;
    info.lpClass = L"Folder";
    info.lpVerb = L"open";
    info.lpFile = root.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        info.fMask &= ~SEE_MASK_CLASSNAME;
        info.lpClass = nullptr;
        ShellExecuteExW(&info);
    }
}

class Win32Shell final : public DriveShell {
public:
    UniqueContextMenu ContextMenuOf(const std::wstring& root, HWND owner) override {
        PIDLIST_ABSOLUTE item = nullptr;
        if (FAILED(SHParseDisplayName(root.c_str(), nullptr, &item, 0, nullptr)))
            return nullptr;
        IShellFolder* parent = nullptr;
        PCUITEMID_CHILD child = nullptr;
        IContextMenu* menu = nullptr;
        if (SUCCEEDED(SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(&parent),
                                     &child))) {
            parent->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr,
                                  reinterpret_cast<void**>(&menu));
            parent->Release();
        }
        ILFree(item);
        return UniqueContextMenu(menu);
    }

    UINT TrackMenu(HMENU menu, HWND owner, POINT screen, IContextMenu* shellMenu) override {
        const bool forwarding =
            shellMenu != nullptr && SetWindowSubclass(owner, ForwardMenuMessages, kSubclassId,
                                                      reinterpret_cast<DWORD_PTR>(shellMenu));
        const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(
            menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, owner, nullptr));
        if (forwarding)
            RemoveWindowSubclass(owner, ForwardMenuMessages, kSubclassId);
        return chosen;
    }

    void Open(const std::wstring& root) override { OpenRoot(root); }

private:
    static constexpr UINT_PTR kSubclassId = 1;
};
} // namespace

std::shared_ptr<DriveShell> Win32DriveShell() {
    return std::make_shared<Win32Shell>();
}
