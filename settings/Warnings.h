// The warnings' settings in the profile: the nearly-full levels and the two
// choices (section "Warnings"), the drives not warned for (section
// "Silenced", by display name) and each drive's hourly free-space history
// (binary values under the application key's "History" key, by display name).
#pragma once

#include "drives/FreeSpaceWatch.h"
#include "settings/ProfileSection.h"

#include <cstdint>
#include <string>
#include <vector>

struct WarningOptions {
    WarningLevels levels;
    bool notify = true; // a notification when a drive becomes nearly full
    bool mark = false;  // nearly-full rows in red
};

// The ranges the settings and the dialog accept.
constexpr int kMinFreePercent = 1, kMaxFreePercent = 50;
constexpr int kMinFreeGB = 0, kMaxFreeGB = 100000;

// Load: each entry that is stored as a 32-bit integer in its range replaces
// the option's value; any other counts as not stored and leaves the default.
// Save: writes all four.
void ExchangeWarnings(Direction direction, WarningOptions& options);

// Whether the user chose not to be warned for the drive; false for an empty name.
bool IsSilenced(const wchar_t* displayName);
void StoreSilenced(const wchar_t* displayName, bool silenced);

// The history's bytes: a version, the count, then per reading 32-bit seconds
// and 64-bit free bytes, at most kMaxHourlyReadings of them (2 KB at most).
std::vector<uint8_t> EncodeHistory(const FreeReadings& hourly);
// The readings of an encoded history; none for anything garbled: a wrong
// version or size, too many readings, times out of order.
FreeReadings DecodeHistory(const uint8_t* data, size_t size);

// The drive's history from the profile; none when it is missing, not binary,
// too long or garbled.
FreeReadings LoadHistory(const wchar_t* displayName);
void StoreHistory(const wchar_t* displayName, const FreeReadings& hourly);
