#include "drives/DriveRecord.h"

#include <algorithm>

namespace {
// The characters of name from three before its end, clamped to its start.
std::string_view Tail(std::string_view name, size_t count) {
    const size_t start = name.size() > 3 ? name.size() - 3 : 0;
    return name.substr(start, count);
}
} // namespace

std::string DriveSpecOf(std::string_view displayName) {
    return std::string(Tail(displayName, 2));
}

std::string DriveLetterOf(std::string_view displayName) {
    return std::string(Tail(displayName, 1));
}

int CountShownDrives(const DriveList& drives) {
    return static_cast<int>(std::count_if(drives.begin(), drives.end(),
                                          [](const DriveRecord& r) { return r.bShown != 0; }));
}
