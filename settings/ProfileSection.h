// Reads or writes integer entries of one section of the application's
// per-user profile, in a direction chosen when the accessor is made.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

// The direction of every exchange with the stored settings: one operation
// serves loading (0) and saving (1).
enum class Direction : int { Load = 0, Save = 1 };

class ProfileSection {
public:
    // Load direction, section "Init".
    ProfileSection();
    ProfileSection(Direction direction, std::string section);

    void SetDirection(Direction direction) { m_bSave = direction == Direction::Save; }
    void SetSection(std::string section) { m_strSection = std::move(section); }

    // Save (m_bSave not 0): writes *value to (section, entry) and returns
    // non-zero when it was written. Load: stores the profile's integer, or
    // defaultValue when there is none, in *value and returns it.
    // An entry name in UTF-16 may be in any script.
    int ExchangeInt(const char* entry, int defaultValue, int* value);
    int ExchangeInt(const wchar_t* entry, int defaultValue, int* value);

    BOOL m_bSave;             // 0 = load, not 0 = save (Direction)
    std::string m_strSection; // the section read and written
};
