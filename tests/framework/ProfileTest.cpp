// The per-user profile against the real registry, under a test-only company key.
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {
constexpr char kCompany[] = "VelmoraProfileTest";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VelmoraProfileTest");
        app.SetRegistryKey(kCompany);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VelmoraProfileTest"); }

    // Stores raw bytes of any type under (section, entry).
    void StoreRaw(const char* section, const char* entry, DWORD type, const void* data,
                  DWORD size) {
        tovtest::StoreRawProfileValue(app, section, entry, type, data, size);
    }

    CWinApp app{"ProfileApp"};
};

TEST_F(ProfileTest, MissingProfileSectionOrEntryReadsTheDefault) {
    EXPECT_EQ(app.GetProfileInt("Init", "ViewFloppies", 7), 7u);
    ASSERT_TRUE(app.WriteProfileInt("Init", "Other", 3));
    EXPECT_EQ(app.GetProfileInt("Init", "ViewFloppies", 1), 1u);
    EXPECT_EQ(app.GetProfileInt("Drives", "ViewFloppies", -1), static_cast<UINT>(-1));
}

TEST_F(ProfileTest, WriteCreatesTheSectionAndStoresADword) {
    ASSERT_TRUE(app.WriteProfileInt("Drives", "Local Disk (C:)", 0));
    ASSERT_TRUE(app.WriteProfileInt("Drives", "", 5));
    EXPECT_EQ(app.GetProfileInt("Drives", "Local Disk (C:)", 1), 0u);
    EXPECT_EQ(app.GetProfileInt("Drives", "", 1), 5u);

    DWORD type = 0, value = 0, size = sizeof value;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\VelmoraProfileTest\\ProfileApp\\Drives",
                           "Local Disk (C:)", RRF_RT_ANY, &type, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
}

TEST_F(ProfileTest, ValuesOfAnotherTypeOrSizeReadAsTheDefault) {
    StoreRaw("Init", "String", REG_SZ, "0", 2);
    const DWORD four = 0;
    StoreRaw("Init", "Binary4", REG_BINARY, &four, 4);
    const ULONGLONG wide = 0;
    StoreRaw("Init", "Qword", REG_QWORD, &wide, 8);
    StoreRaw("Init", "ShortDword", REG_DWORD, &four, 2);
    for (const char* entry : {"String", "Binary4", "Qword", "ShortDword"})
        EXPECT_EQ(app.GetProfileInt("Init", entry, 9), 9u) << entry;
}

TEST_F(ProfileTest, NoCompanyKeyMeansNoStore) {
    app.SetRegistryKey("");
    EXPECT_FALSE(app.WriteProfileInt("Init", "ViewFloppies", 0));
    EXPECT_EQ(app.GetProfileInt("Init", "ViewFloppies", 1), 1u);
}
} // namespace
