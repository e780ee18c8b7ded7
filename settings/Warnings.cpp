#include "settings/Warnings.h"

#include "framework/Registry.h"
#include "framework/WinApp.h"

#include <cstring>

namespace {
constexpr char kWarningsSection[] = "Warnings";
constexpr char kSilencedSection[] = "Silenced";
constexpr char kHistoryKey[] = "History";
constexpr uint16_t kHistoryVersion = 1;
constexpr size_t kHeaderSize = 4;
constexpr size_t kReadingSize = 12;
constexpr size_t kMaxHistorySize = kHeaderSize + kReadingSize * kMaxHourlyReadings;

// Loads an entry into `value` only when it is stored and within [low, high].
void LoadInRange(const char* entry, int low, int high, int& value) {
    const CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    const std::optional<int> stored = app->TryGetProfileInt(kWarningsSection, entry);
    if (stored && *stored >= low && *stored <= high)
        value = *stored;
}

template <typename T> void Put(std::vector<uint8_t>& bytes, T value) {
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes.push_back(static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i)));
}

template <typename T> T Get(const uint8_t* data) {
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<uint64_t>(data[i]) << (8 * i);
    return static_cast<T>(value);
}

std::string HistoryPath() {
    const CWinApp* app = AfxGetApp();
    if (app == nullptr || app->m_strRegistryKey.empty())
        return {};
    return app->ApplicationKeyPath() + "\\" + kHistoryKey;
}
} // namespace

void ExchangeWarnings(Direction direction, WarningOptions& options) {
    int notify = options.notify ? 1 : 0, mark = options.mark ? 1 : 0;
    if (direction == Direction::Save) {
        ProfileSection section(Direction::Save, kWarningsSection);
        section.ExchangeInt("FreePercent", 10, &options.levels.freePercent);
        section.ExchangeInt("FreeGB", 20, &options.levels.freeGB);
        section.ExchangeInt("Notify", 1, &notify);
        section.ExchangeInt("Mark", 0, &mark);
        return;
    }
    LoadInRange("FreePercent", kMinFreePercent, kMaxFreePercent, options.levels.freePercent);
    LoadInRange("FreeGB", kMinFreeGB, kMaxFreeGB, options.levels.freeGB);
    LoadInRange("Notify", 0, 1, notify);
    LoadInRange("Mark", 0, 1, mark);
    options.notify = notify != 0;
    options.mark = mark != 0;
}

bool IsSilenced(const wchar_t* displayName) {
    const CWinApp* app = AfxGetApp();
    return displayName[0] != L'\0' && app != nullptr &&
           app->TryGetProfileInt(kSilencedSection, displayName).value_or(0) != 0;
}

void StoreSilenced(const wchar_t* displayName, bool silenced) {
    int value = silenced ? 1 : 0;
    if (displayName[0] != L'\0')
        ProfileSection(Direction::Save, kSilencedSection).ExchangeInt(displayName, 0, &value);
}

std::vector<uint8_t> EncodeHistory(const FreeReadings& hourly) {
    const size_t count = std::min(hourly.size(), kMaxHourlyReadings);
    std::vector<uint8_t> bytes;
    bytes.reserve(kHeaderSize + kReadingSize * count);
    Put<uint16_t>(bytes, kHistoryVersion);
    Put<uint16_t>(bytes, static_cast<uint16_t>(count));
    for (auto r = hourly.end() - static_cast<ptrdiff_t>(count); r != hourly.end(); ++r) {
        Put<uint32_t>(bytes, static_cast<uint32_t>(r->time));
        Put<uint64_t>(bytes, r->free);
    }
    return bytes;
}

FreeReadings DecodeHistory(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kHeaderSize || Get<uint16_t>(data) != kHistoryVersion)
        return {};
    const size_t count = Get<uint16_t>(data + 2);
    if (count > kMaxHourlyReadings || size != kHeaderSize + kReadingSize * count)
        return {};
    FreeReadings hourly;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* at = data + kHeaderSize + kReadingSize * i;
        const FreeReading reading{static_cast<int64_t>(Get<uint32_t>(at)), Get<uint64_t>(at + 4)};
        if (!hourly.empty() && reading.time <= hourly.back().time)
            return {};
        hourly.push_back(reading);
    }
    return hourly;
}

FreeReadings LoadHistory(const wchar_t* displayName) {
    const std::string path = HistoryPath();
    if (path.empty() || displayName[0] == L'\0')
        return {};
    const tov::UniqueHKey key = tov::OpenRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_QUERY_VALUE);
    if (!key)
        return {};
    uint8_t data[kMaxHistorySize + 1];
    DWORD type = 0, size = sizeof data;
    if (RegQueryValueExW(key.get(), displayName, nullptr, &type, data, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return {};
    return DecodeHistory(data, size);
}

void StoreHistory(const wchar_t* displayName, const FreeReadings& hourly) {
    const std::string path = HistoryPath();
    if (path.empty() || displayName[0] == L'\0')
        return;
    const tov::UniqueHKey key = tov::CreateRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_SET_VALUE);
    const std::vector<uint8_t> bytes = EncodeHistory(hourly);
    if (key)
        RegSetValueExW(key.get(), displayName, 0, REG_BINARY, bytes.data(),
                       static_cast<DWORD>(bytes.size()));
}
