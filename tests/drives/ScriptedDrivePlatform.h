// A DrivePlatform whose drives are scripted by the test and which records
// every call, so tests can see which drives were asked what. The calls come
// from the catalogue's worker threads; those on a held root block until the
// test releases it, so a test can keep a drive from answering without a clock.
#pragma once

#include "drives/DrivePlatform.h"
#include "framework/Text.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A UTF-16 name of plain ASCII characters, as the tests' bookkeeping keeps it.
inline std::string Ascii(const wchar_t* text) {
    std::string out;
    for (; *text != L'\0'; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

struct ScriptedDrive {
    std::string root;                       // "C:\"
    std::optional<std::string> displayName; // nullopt: the shell call fails
    UINT type = DRIVE_FIXED;
    bool hasMedium = true; // false: the size query fails
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;
    std::string fileSystem = "NTFS";
};

class ScriptedDrivePlatform : public DrivePlatform {
public:
    std::vector<ScriptedDrive> drives;
    // When set, the root-list call returns this and writes nothing.
    std::optional<DWORD> rootListResult;
    // When set, the root-list call copies these characters (as many as fit)
    // instead of the drives' roots and returns their count.
    std::optional<std::string> rawRootList;

    // Read them once the calls are over (a refresh has returned, an answer
    // has been applied).
    int rootListCalls = 0;
    std::vector<std::string> infoRoots, sizeRoots, typeRoots, fileSystemRoots;
    std::vector<int> iconSizes;
    std::vector<HICON> handedOut, released;
    // Thread ids of the calls made off the test's thread, and of the test's.
    std::set<DWORD> callThreads;

    // Every call on `root` blocks from now until Release(root).
    void Hold(const std::string& root) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held.insert(root);
    }
    void Release(const std::string& root) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_held.erase(root);
        }
        m_released.notify_all();
    }
    void ReleaseAll() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_held.clear();
        }
        m_released.notify_all();
    }
    // The calls made so far on one root.
    size_t CallsOn(const std::string& root) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::count(infoRoots.begin(), infoRoots.end(), root) +
               std::count(typeRoots.begin(), typeRoots.end(), root) +
               std::count(sizeRoots.begin(), sizeRoots.end(), root);
    }
    size_t AllCalls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return rootListCalls + infoRoots.size() + typeRoots.size() + sizeRoots.size();
    }

    DWORD LogicalDriveStrings(DWORD length, char* buffer) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++rootListCalls;
        if (rootListResult)
            return *rootListResult;
        if (rawRootList) {
            std::memcpy(buffer, rawRootList->data(), std::min<size_t>(rawRootList->size(), length));
            return static_cast<DWORD>(rawRootList->size());
        }
        std::string list;
        for (const ScriptedDrive& d : drives)
            list.append(d.root).push_back('\0');
        if (list.size() + 1 > length)
            return static_cast<DWORD>(list.size() + 1);
        std::memcpy(buffer, list.c_str(), list.size() + 1);
        return static_cast<DWORD>(list.size());
    }

    void ShellFileInfo(const char* root, SHFILEINFOW* sfi, int iconSize) override {
        std::unique_lock<std::mutex> lock = Call(infoRoots, root);
        iconSizes.push_back(iconSize);
        const ScriptedDrive* d = Find(root);
        if (d == nullptr || !d->displayName)
            return;
        sfi->hIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x1000 + handedOut.size()));
        handedOut.push_back(sfi->hIcon);
        // Scripted names are in the ANSI code page, as the shell's would be
        // read through its ANSI entry point.
        const std::wstring name = tov::Widen(*d->displayName);
        name.copy(sfi->szDisplayName, std::size(sfi->szDisplayName) - 1);
        std::wcscpy(sfi->szTypeName, d->type == DRIVE_REMOVABLE ? L"Removable Disk" : L"Disk");
    }

    BOOL DiskFreeSpace(const char* root, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                       uint64_t* totalFreeBytes) override {
        std::unique_lock<std::mutex> lock = Call(sizeRoots, root);
        const ScriptedDrive* d = Find(root);
        if (d == nullptr || !d->hasMedium)
            return FALSE;
        *freeBytesAvailable = d->freeBytes;
        *totalBytes = d->totalBytes;
        *totalFreeBytes = d->freeBytes;
        return TRUE;
    }

    UINT DriveType(const char* root) override {
        std::unique_lock<std::mutex> lock = Call(typeRoots, root);
        const ScriptedDrive* d = Find(root);
        return d != nullptr ? d->type : DRIVE_NO_ROOT_DIR;
    }

    BOOL FileSystemName(const char* root, WCHAR* name, DWORD size) override {
        std::unique_lock<std::mutex> lock = Call(fileSystemRoots, root);
        const ScriptedDrive* d = Find(root);
        if (d == nullptr || !d->hasMedium)
            return FALSE;
        tov::Widen(d->fileSystem).copy(name, size - 1);
        return TRUE;
    }

    void ReleaseIcon(HICON icon) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        released.push_back(icon);
    }

private:
    // Records one call and waits while its root is held; returns the lock.
    std::unique_lock<std::mutex> Call(std::vector<std::string>& calls, const char* root) {
        std::unique_lock<std::mutex> lock(m_mutex);
        calls.emplace_back(root);
        callThreads.insert(GetCurrentThreadId());
        m_released.wait(lock, [&] { return m_held.count(root) == 0; });
        return lock;
    }
    const ScriptedDrive* Find(const char* root) const {
        for (const ScriptedDrive& d : drives)
            if (d.root == root)
                return &d;
        return nullptr;
    }

    std::mutex m_mutex;
    std::condition_variable m_released;
    std::set<std::string> m_held;
};

// Handles the thread's messages with `pump` until `done()`: the answers of
// released drives arrive as posted messages. Gives up after 20 s so that a
// fault fails the test instead of hanging it.
template <typename Done, typename Pump> bool PumpUntil(Done done, Pump pump) {
    const ULONGLONG end = GetTickCount64() + 20000;
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pump();
    }
    return true;
}
