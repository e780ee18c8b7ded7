#include "drives/DrivePlatform.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {
// {46EB5926-582E-4017-9FDF-E8998DAA0950}. Spelled out: linked statically,
// the library's own symbol for it resolves to an import thunk.
constexpr IID kIID_IImageList = {
    0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};

// How long a drive's icon waits for its turn behind another drive's call
// that may hang, before it goes ahead without one.
constexpr std::chrono::milliseconds kIconTurnPatience{500};

// The shell's image lists are shared by the whole process: under Wine, a
// copy made while another thread adds an icon to a list (its drawing
// contexts in use) comes back empty. So the calls that add to the lists and
// the copies out of them take turns. The shell's call may wait for a drive:
// one that hangs in it keeps the others from their turn for the patience
// only, and an icon copied without a turn is checked all the same.
class IconTurn {
public:
    IconTurn() : m_held(Lock().try_lock_for(kIconTurnPatience)) {}
    ~IconTurn() {
        if (m_held)
            Lock().unlock();
    }
    IconTurn(const IconTurn&) = delete;
    IconTurn& operator=(const IconTurn&) = delete;

private:
    static std::timed_mutex& Lock() {
        static std::timed_mutex lock;
        return lock;
    }
    bool m_held;
};

// True when every bit of `bitmap` is 0 (or it cannot be read).
bool AllZero(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0)
        return true;
    std::vector<BYTE> bits(static_cast<size_t>(info.bmWidthBytes) * info.bmHeight);
    const LONG read = GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    return read <= 0 ||
           std::all_of(bits.begin(), bits.begin() + read, [](BYTE b) { return b == 0; });
}

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
} // namespace

bool IsBlankIcon(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return true;
    // A monochrome icon keeps both its masks in the one bitmap.
    const bool blank =
        AllZero(info.hbmMask) && (info.hbmColor == nullptr || AllZero(info.hbmColor));
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    return blank;
}

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

DWORD DrivePlatform::LogicalDriveStrings(DWORD length, char* buffer) {
    return GetLogicalDriveStringsA(length, buffer);
}

void DrivePlatform::ShellFileInfo(const char* root, SHFILEINFOW* sfi, int iconSize) {
    // The caller is in an apartment (the engine's threads each have one).
    WaitForShellSetUp();
    const std::string text(root);
    const std::wstring wide(text.begin(), text.end()); // "D:\" is plain ASCII
    // An icon that comes back empty is asked once more, then given up: no
    // icon is drawn rather than a black square.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SHFILEINFOW info{};
        {
            const IconTurn turn;
            const auto largeList = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
                wide.c_str(), 0, &info, sizeof info,
                SHGFI_SYSICONINDEX | SHGFI_LARGEICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME));
            if (largeList == nullptr)
                return;
            // The system's large icon, as it always was, wherever it is big enough.
            info.hIcon = iconSize <= GetSystemMetrics(SM_CXICON)
                             ? ImageList_GetIcon(largeList, info.iIcon, ILD_TRANSPARENT)
                             : SystemListIcon(info.iIcon, iconSize);
        }
        const bool blank = IsBlankIcon(info.hIcon);
        if (blank && info.hIcon != nullptr)
            DestroyIcon(std::exchange(info.hIcon, nullptr));
        if (!blank || attempt == 1) {
            *sfi = info;
            return;
        }
    }
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
