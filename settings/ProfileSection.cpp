#include "settings/ProfileSection.h"

#include "framework/Text.h"
#include "framework/WinApp.h"

ProfileSection::ProfileSection() : ProfileSection(Direction::Load, "Init") {}

ProfileSection::ProfileSection(Direction direction, std::string section)
    : m_bSave(direction == Direction::Save), m_strSection(std::move(section)) {}

int ProfileSection::ExchangeInt(const char* entry, int defaultValue, int* value) {
    return ExchangeInt(tov::Widen(entry).c_str(), defaultValue, value);
}

int ProfileSection::ExchangeInt(const wchar_t* entry, int defaultValue, int* value) {
    // Without an application object there is no profile: nothing is written
    // and every entry reads as its default.
    CWinApp* app = AfxGetApp();
    if (m_bSave) {
        return app != nullptr && app->WriteProfileInt(m_strSection.c_str(), entry, *value);
    }
    *value = app != nullptr
                 ? static_cast<int>(app->GetProfileInt(m_strSection.c_str(), entry, defaultValue))
                 : defaultValue;
    return *value;
}
