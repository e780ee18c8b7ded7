// One registry key opened for one exchange of binary entries, in the
// direction of its ProfileSection base. The key is closed when the object
// goes away.
#pragma once

#include "framework/Handle.h"
#include "settings/ProfileSection.h"

class RegistryKey : public ProfileSection {
public:
    RegistryKey() = default;

    // Closes any open key, then opens the existing key root\subKey for
    // writing (save) or reading (load). Never creates a key. Returns the
    // platform's status, 0 on success; on failure no key is open.
    LONG Open(HKEY root, const char* subKey);
    void Close() { m_hKey.reset(); }

    // Save: stores the `size` bytes at `buffer` as REG_BINARY. Load: reads
    // the entry into `buffer`; a stored entry shorter than `size` fills only
    // its own length and leaves the rest of `buffer` as it was. When there is
    // no open key, no such entry, or the entry is longer than `size`, the
    // buffer gets the `size` bytes at defaultBytes, or zeros when it is null.
    // The entry's type is not examined. Never writes more than `size` bytes.
    void ExchangeBinary(const char* valueName, const void* defaultBytes, void* buffer, DWORD size);

    tov::UniqueHKey m_hKey; // the open key; null when none is open
};
