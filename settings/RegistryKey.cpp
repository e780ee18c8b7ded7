#include "settings/RegistryKey.h"

#include "framework/Registry.h"

#include <cstring>

LONG RegistryKey::Open(HKEY root, const char* subKey) {
    Close();
    const REGSAM access = m_bSave ? KEY_WRITE : KEY_READ;
    LONG status = ERROR_SUCCESS;
    m_hKey = tov::OpenRegKey(root, subKey, access, &status);
    return status;
}

void RegistryKey::ExchangeBinary(const char* valueName, const void* defaultBytes, void* buffer,
                                 DWORD size) {
    if (m_bSave) {
        if (m_hKey)
            RegSetValueExA(m_hKey.get(), valueName, 0, REG_BINARY, static_cast<const BYTE*>(buffer),
                           size);
        return;
    }
    DWORD count = size;
    if (m_hKey && RegQueryValueExA(m_hKey.get(), valueName, nullptr, nullptr,
                                   static_cast<BYTE*>(buffer), &count) == ERROR_SUCCESS)
        return;
    if (defaultBytes != nullptr)
        std::memcpy(buffer, defaultBytes, size);
    else
        std::memset(buffer, 0, size);
}
