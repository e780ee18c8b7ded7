// The warnings' settings and the drives' histories in the real registry,
// under a test-only company key.
#include "framework/Text.h"
#include "framework/WinApp.h"
#include "settings/Warnings.h"

#include <gtest/gtest.h>

namespace {
constexpr char kCompanyKey[] = "Software\\VelmoraTestWarnings";
constexpr char kAppKey[] = "Software\\VelmoraTestWarnings\\Tovemar";

class WarningsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey);
        app.SetRegistryKey("VelmoraTestWarnings");
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kCompanyKey); }

    void Set(const char* key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        RegSetKeyValueW(HKEY_CURRENT_USER, tov::Widen(std::string(kAppKey) + "\\" + key).c_str(),
                        name, type, data, size);
    }

    CWinApp app{"Tovemar"};
};

// The options `ExchangeWarnings` loads now, against those expected.
void ExpectLoaded(int percent, int gb, bool notify, bool mark) {
    WarningOptions loaded;
    ExchangeWarnings(Direction::Load, loaded);
    EXPECT_EQ(loaded.levels.freePercent, percent);
    EXPECT_EQ(loaded.levels.freeGB, gb);
    EXPECT_EQ(loaded.notify, notify);
    EXPECT_EQ(loaded.mark, mark);
}

TEST_F(WarningsTest, DefaultsRoundTripAndBadValuesCountAsNotStored) {
    ExpectLoaded(10, 20, true, false);

    WarningOptions options{{50, 0}, false, true};
    ExchangeWarnings(Direction::Save, options);
    ExpectLoaded(50, 0, false, true);

    const DWORD tooMany = 51, tooBig = 100001, two = 2;
    Set("Warnings", L"FreePercent", REG_DWORD, &tooMany, 4);
    Set("Warnings", L"FreeGB", REG_DWORD, &tooBig, 4);
    Set("Warnings", L"Notify", REG_DWORD, &two, 4);
    Set("Warnings", L"Mark", REG_SZ, L"1", 4);
    ExpectLoaded(10, 20, true, false);
}

TEST_F(WarningsTest, SilencedDrivesByDisplayName) {
    EXPECT_FALSE(IsSilenced(L"Données (D:)"));
    StoreSilenced(L"Données (D:)", true);
    EXPECT_TRUE(IsSilenced(L"Données (D:)"));
    EXPECT_FALSE(IsSilenced(L"Other (E:)"));
    StoreSilenced(L"Données (D:)", false);
    EXPECT_FALSE(IsSilenced(L"Données (D:)"));
}

TEST_F(WarningsTest, HistoryRoundTripsWithinTwoKilobytesAndGarbleIsNoHistory) {
    FreeReadings week;
    for (int64_t i = 0; i < 200; ++i)
        week.push_back({1700000000 + i * 3600, 5000000000000ULL - static_cast<uint64_t>(i)});
    StoreHistory(L"Données (D:)", week);
    const FreeReadings loaded = LoadHistory(L"Données (D:)");
    ASSERT_EQ(loaded.size(), kMaxHourlyReadings);
    EXPECT_EQ(loaded.back().time, week.back().time);
    EXPECT_EQ(loaded.back().free, week.back().free);
    EXPECT_LE(EncodeHistory(week).size(), 2048u);

    std::vector<uint8_t> bytes = EncodeHistory({{10, 1}, {20, 2}});
    EXPECT_EQ(DecodeHistory(bytes.data(), bytes.size()).size(), 2u);
    EXPECT_TRUE(DecodeHistory(bytes.data(), bytes.size() - 1).empty()) << "cut short";
    bytes[0] = 9;
    EXPECT_TRUE(DecodeHistory(bytes.data(), bytes.size()).empty()) << "another version";
    const std::vector<uint8_t> backwards = EncodeHistory({{20, 1}, {10, 2}});
    EXPECT_TRUE(DecodeHistory(backwards.data(), backwards.size()).empty());

    const DWORD dword = 1;
    Set("History", L"Word (W:)", REG_DWORD, &dword, 4);
    EXPECT_TRUE(LoadHistory(L"Word (W:)").empty());
    std::vector<uint8_t> huge = EncodeHistory(week);
    huge.resize(4096);
    Set("History", L"Huge (H:)", REG_BINARY, huge.data(), static_cast<DWORD>(huge.size()));
    EXPECT_TRUE(LoadHistory(L"Huge (H:)").empty());
}
} // namespace
