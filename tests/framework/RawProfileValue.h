// Writes a value of any registry type and size into a profile section, so
// tests can store what the program itself never would.
#pragma once

#include "framework/Handle.h"
#include "framework/WinApp.h"

#include <gtest/gtest.h>

#include <string>

inline void StoreRawProfileValue(const CWinApp& app, const std::string& section, const char* entry,
                                 DWORD type, const void* data, DWORD size) {
    tov::UniqueHKey key;
    const std::string path = app.ApplicationKeyPath() + "\\" + section;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key.get(), entry, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
}
