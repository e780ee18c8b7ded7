// Raw access to the test executable's own resources (the program's resources
// are linked into it).
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace restest {

// The bytes of resource (name, type) of this executable; empty when missing.
inline std::span<const BYTE> ResourceBytes(LPCSTR name, LPCSTR type) {
    HRSRC found = FindResourceA(nullptr, name, type);
    if (found == nullptr)
        return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    if (bytes == nullptr)
        return {};
    return {bytes, SizeofResource(nullptr, found)};
}

// UTF-16 text of ASCII characters as a std::string ('?' for anything else).
inline std::string Narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace restest
