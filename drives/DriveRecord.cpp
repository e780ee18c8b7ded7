#include "drives/DriveRecord.h"

#include <algorithm>

namespace {
// A fixed-size text field up to its NUL, or to its end when it has none.
template <typename Char, size_t N> std::basic_string<Char> FieldText(const Char (&field)[N]) {
    return std::basic_string<Char>(field, std::find(field, field + N, Char{}));
}
} // namespace

std::string DriveLetterOf(const DriveRecord& record) {
    return record.szRoot[0] != '\0' ? std::string(1, record.szRoot[0]) : std::string();
}

std::wstring ListedNameOf(const DriveRecord& record) {
    std::wstring name = FieldText(record.sfi.szDisplayName);
    if (!name.empty())
        return name;
    const std::string root = FieldText(record.szRoot);
    return std::wstring(root.begin(), root.end()); // "D:\" is plain ASCII
}

int CountShownDrives(const DriveList& drives) {
    return static_cast<int>(std::count_if(drives.begin(), drives.end(),
                                          [](const DriveRecord& r) { return r.bShown != 0; }));
}
