// A DrivePlatform whose drives are scripted by the test and which records
// every call, so tests can see which drives were asked what.
#pragma once

#include "drives/DrivePlatform.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

struct ScriptedDrive {
    std::string root;                       // "C:\"
    std::optional<std::string> displayName; // nullopt: the shell call fails
    UINT type = DRIVE_FIXED;
    bool hasMedium = true; // false: the size query fails
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;
};

class ScriptedDrivePlatform : public DrivePlatform {
public:
    std::vector<ScriptedDrive> drives;
    // When set, the root-list call returns this and writes nothing.
    std::optional<DWORD> rootListResult;
    // When set, the root-list call copies these characters (as many as fit)
    // instead of the drives' roots and returns their count.
    std::optional<std::string> rawRootList;

    int rootListCalls = 0;
    std::vector<std::string> infoRoots, sizeSpecs, typeSpecs;
    std::vector<HICON> handedOut, released;

    DWORD LogicalDriveStrings(DWORD length, char* buffer) override {
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

    void ShellFileInfo(const char* root, SHFILEINFOA* sfi) override {
        infoRoots.emplace_back(root);
        for (const ScriptedDrive& d : drives) {
            if (d.root != root || !d.displayName)
                continue;
            sfi->hIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x1000 + handedOut.size()));
            handedOut.push_back(sfi->hIcon);
            std::strncpy(sfi->szDisplayName, d.displayName->c_str(), sizeof sfi->szDisplayName - 1);
            std::strcpy(sfi->szTypeName, d.type == DRIVE_REMOVABLE ? "Removable Disk" : "Disk");
            return;
        }
    }

    BOOL DiskFreeSpace(const char* spec, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                       uint64_t* totalFreeBytes) override {
        sizeSpecs.emplace_back(spec);
        const ScriptedDrive* d = Find(spec);
        if (d == nullptr || !d->hasMedium)
            return FALSE;
        *freeBytesAvailable = d->freeBytes;
        *totalBytes = d->totalBytes;
        *totalFreeBytes = d->freeBytes;
        return TRUE;
    }

    UINT DriveType(const char* spec) override {
        typeSpecs.emplace_back(spec);
        const ScriptedDrive* d = Find(spec);
        return d != nullptr ? d->type : DRIVE_NO_ROOT_DIR;
    }

    void ReleaseIcon(HICON icon) override { released.push_back(icon); }

private:
    // The drive whose root begins with `spec` ("C:").
    const ScriptedDrive* Find(const char* spec) const {
        const size_t length = std::strlen(spec);
        for (const ScriptedDrive& d : drives)
            if (length == 2 && d.root.compare(0, 2, spec) == 0)
                return &d;
        return nullptr;
    }
};
