// Every value below a registry key, for comparing what the program stored.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace tovtest {

// Every value below `path` (HKEY_CURRENT_USER), by "subkey\name", with its data.
inline void SnapshotKey(const std::string& path, std::map<std::string, std::string>& values) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char name[512];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        values[path + "\\" + name] = std::string(reinterpret_cast<char*>(data), dataSize);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name);
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys)
        SnapshotKey(path + "\\" + subkey, values);
}

inline std::map<std::string, std::string> Snapshot(const std::string& path) {
    std::map<std::string, std::string> values;
    SnapshotKey(path, values);
    return values;
}

} // namespace tovtest
