#include "drives/DriveRecord.h"

#include <algorithm>
#include <cstring>

namespace {
// A fixed-size text field up to its NUL, or to its end when it has none.
template <size_t N> std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}
} // namespace

std::string DriveLetterOf(const DriveRecord& record) {
    return record.szRoot[0] != '\0' ? std::string(1, record.szRoot[0]) : std::string();
}

std::string ListedNameOf(const DriveRecord& record) {
    std::string name = FieldText(record.sfi.szDisplayName);
    return name.empty() ? FieldText(record.szRoot) : name;
}

int CountShownDrives(const DriveList& drives) {
    return static_cast<int>(std::count_if(drives.begin(), drives.end(),
                                          [](const DriveRecord& r) { return r.bShown != 0; }));
}
