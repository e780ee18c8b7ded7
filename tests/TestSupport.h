// What the window and registry tests share: the message pump, and reading
// and writing what an application object keeps below HKEY_CURRENT_USER.
#pragma once

#include "framework/Registry.h"
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tovtest {

// Handles every queued message the way the program's loop does: `thread`,
// when not null, translates first (accelerators). True when a WM_QUIT was
// among the messages.
inline bool Pump(CWinThread* thread) {
    bool quit = false;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        if (thread == nullptr || !thread->PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return quit;
}

// The REG_DWORD `entry` of HKCU\path; nothing when it is missing or of another type.
inline std::optional<DWORD> StoredDword(const std::string& path, const char* entry) {
    const tov::UniqueHKey key = tov::OpenRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
    return tov::TryGetDword(key.get(), entry);
}

// Writes a value of any type and size into a section of the application's
// profile, so that a test can store what the program itself never would.
inline void StoreRawProfileValue(const CWinApp& app, const std::string& section, const char* entry,
                                 DWORD type, const void* data, DWORD size) {
    const std::string path = app.ApplicationKeyPath() + "\\" + section;
    const tov::UniqueHKey key = tov::CreateRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_WRITE);
    ASSERT_TRUE(key) << path;
    ASSERT_EQ(RegSetValueExA(key.get(), entry, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}

// Every value below HKCU\path, by "path\subkey\name", with its data.
inline void SnapshotKey(const std::string& path, std::map<std::string, std::string>& values) {
    const tov::UniqueHKey key = tov::OpenRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
    if (!key)
        return;
    char name[512];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data;
        if (RegEnumValueA(key.get(), i, name, &nameSize, nullptr, nullptr, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        values[path + "\\" + name] = std::string(reinterpret_cast<char*>(data), dataSize);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key.get(), i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name);
    }
    for (const std::string& subkey : subkeys)
        SnapshotKey(path + "\\" + subkey, values);
}

inline std::map<std::string, std::string> Snapshot(const std::string& path) {
    std::map<std::string, std::string> values;
    SnapshotKey(path, values);
    return values;
}

} // namespace tovtest
