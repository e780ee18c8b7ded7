#include "drives/DrivePlatform.h"

#include "framework/ComApartment.h"

#include <commctrl.h>
#include <objbase.h>

#include <initializer_list>
#include <mutex>
#include <string>

namespace {
// {46EB5926-582E-4017-9FDF-E8998DAA0950}. Spelled out: linked statically,
// the library's own symbol for it resolves to an import thunk.
constexpr IID kIID_IImageList = {
    0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};

// The icon at `index` of the system image list whose size is the nearest at
// or above `iconSize` (the largest when none reaches it), or null. The
// list's object serves as its image list handle.
HICON SystemListIcon(int index, int iconSize) {
    using GetImageList = HRESULT(WINAPI*)(int, REFIID, void**);
    static const auto getImageList = reinterpret_cast<GetImageList>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHGetImageList")));
    if (getImageList == nullptr)
        return nullptr;
    IUnknown* best = nullptr;
    int bestSize = 0;
    for (const int list : {SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
        void* object = nullptr;
        if (FAILED(getImageList(list, kIID_IImageList, &object)) || object == nullptr)
            continue;
        auto* candidate = static_cast<IUnknown*>(object);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(candidate), &cx, &cy);
        const bool better = best == nullptr ||
                            (cx >= iconSize && (bestSize < iconSize || cx < bestSize)) ||
                            (bestSize < iconSize && cx > bestSize);
        if (better) {
            if (best != nullptr)
                best->Release();
            best = candidate;
            bestSize = cx;
        } else {
            candidate->Release();
        }
    }
    if (best == nullptr)
        return nullptr;
    const HICON icon =
        ImageList_GetIcon(reinterpret_cast<HIMAGELIST>(best), index, ILD_TRANSPARENT);
    best->Release();
    return icon;
}

DWORD WINAPI FirstShellCallThread(void*) {
    const tov::ComApartment apartment;
    WaitForShellSetUp();
    return 0;
}
} // namespace

// Two threads in apartments of their own that make the process's first
// shell-information call at the same moment can wait for each other for
// ever in the shell's first-use set-up (seen under Wine, with the ANSI and
// the wide entry alike; once one call has returned, any number run side by
// side). So the first call is one that touches no drive, made alone; the
// caller is in an apartment. A caller that comes while the set-up runs
// waits for it.
void WaitForShellSetUp() {
    static std::once_flag shellReady;
    std::call_once(shellReady, [] {
        SHFILEINFOW probe{};
        SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &probe, sizeof probe,
                       SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME);
        if (probe.hIcon != nullptr)
            DestroyIcon(probe.hIcon);
    });
}

void StartShellSetUp() {
    // The set-up takes a good part of the first drive's answer; made while
    // the window is being created, it is done by the time the drives are
    // asked. Without a thread the first drive's call makes it.
    if (const HANDLE thread = CreateThread(nullptr, 0, FirstShellCallThread, nullptr, 0, nullptr))
        CloseHandle(thread);
}

DWORD DrivePlatform::LogicalDriveStrings(DWORD length, char* buffer) {
    return GetLogicalDriveStringsA(length, buffer);
}

void DrivePlatform::ShellFileInfo(const char* root, SHFILEINFOW* sfi, int iconSize) {
    // The shell asks for COM on the calling thread: drives whose name or
    // icon come from a shell extension need it. Each call runs in an
    // apartment of its own, so calls on several workers do not wait for
    // each other.
    const tov::ComApartment apartment;
    WaitForShellSetUp();
    const std::string text(root);
    const std::wstring wide(text.begin(), text.end()); // "D:\" is plain ASCII
    const UINT names = SHGFI_DISPLAYNAME | SHGFI_TYPENAME;
    // The system's large icon, as it always was, wherever it is big enough.
    if (iconSize <= GetSystemMetrics(SM_CXICON)) {
        SHGetFileInfoW(wide.c_str(), 0, sfi, sizeof *sfi, SHGFI_ICON | names);
        return;
    }
    SHFILEINFOW info{};
    if (SHGetFileInfoW(wide.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | names) == 0)
        return;
    info.hIcon = SystemListIcon(info.iIcon, iconSize);
    *sfi = info;
}

BOOL DrivePlatform::DiskFreeSpace(const char* root, uint64_t* freeBytesAvailable,
                                  uint64_t* totalBytes, uint64_t* totalFreeBytes) {
    // Queried into locals so that a failed call cannot leave partial results
    // in the caller's counts.
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!SHGetDiskFreeSpaceExA(root, &available, &total, &totalFree))
        return FALSE;
    *freeBytesAvailable = available.QuadPart;
    *totalBytes = total.QuadPart;
    *totalFreeBytes = totalFree.QuadPart;
    return TRUE;
}

UINT DrivePlatform::DriveType(const char* root) {
    return GetDriveTypeA(root);
}

BOOL DrivePlatform::FileSystemName(const char* root, WCHAR* name, DWORD size) {
    const std::string text(root);
    const std::wstring wide(text.begin(), text.end());
    WCHAR found[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(wide.c_str(), nullptr, 0, nullptr, nullptr, nullptr, found,
                               MAX_PATH + 1))
        return FALSE;
    lstrcpynW(name, found, static_cast<int>(size));
    return TRUE;
}

void DrivePlatform::ReleaseIcon(HICON icon) {
    if (icon != nullptr)
        DestroyIcon(icon);
}

std::shared_ptr<DrivePlatform> Win32DrivePlatform() {
    static const auto platform = std::make_shared<DrivePlatform>();
    return platform;
}
