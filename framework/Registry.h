// Registry access: a key is an owned handle that is null when the key could
// not be opened, and a value that may be missing or of another type reads as
// std::optional rather than through a sentinel.
#pragma once

#include "framework/Handle.h"

#include <optional>

namespace tov {

// The existing key root\path opened with `access`; null when it cannot be
// opened. `status` receives the platform's result when given.
[[nodiscard]] inline UniqueHKey OpenRegKey(HKEY root, const char* path, REGSAM access,
                                           LONG* status = nullptr) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(root, path, 0, access, &key);
    if (status != nullptr)
        *status = result;
    return UniqueHKey(result == ERROR_SUCCESS ? key : nullptr);
}

// The key root\path, created with the keys above it where missing, opened
// with `access`; null when that fails.
[[nodiscard]] inline UniqueHKey CreateRegKey(HKEY root, const char* path, REGSAM access) {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                        nullptr, &key, nullptr);
    return UniqueHKey(result == ERROR_SUCCESS ? key : nullptr);
}

namespace detail {
inline LONG QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExA(key, name, nullptr, type, data, size);
}
inline LONG QueryValue(HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExW(key, name, nullptr, type, data, size);
}
} // namespace detail

// The value `name` of `key` when it is a 4-byte REG_DWORD; nothing when it is
// missing or anything else (a string, binary data, a 64-bit value). A wide
// name may be in any script; a name in the ANSI code page names the value
// its wide form names.
template <typename Char>
[[nodiscard]] std::optional<DWORD> TryGetDword(HKEY key, const Char* name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (key == nullptr ||
        detail::QueryValue(key, name, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

} // namespace tov
