#include "view/RowText.h"

#include "framework/Text.h"
#include "view/RowLayout.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

namespace {
// A drive's amounts as its row shows them, each with the row's unit rule.
struct Figures {
    std::wstring total, used, free, percent;
};

Figures FiguresOf(const DriveRecord& record) {
    const uint64_t total = record.ulTotalBytes;
    const uint64_t free = record.ulTotalFreeBytes;
    const uint64_t used = UsedBytes(total, free);
    return {tov::Widen(FreeSpaceText(total)), tov::Widen(FreeSpaceText(used)),
            tov::Widen(FreeSpaceText(free)),
            std::to_wstring(UsedPercent(static_cast<int64_t>(used), static_cast<int64_t>(total))) +
                L"%"};
}

// A fixed-size text field up to its NUL, or to its end when it has none.
template <size_t N> std::wstring FieldText(const WCHAR (&field)[N]) {
    return std::wstring(field, std::find(field, field + N, L'\0'));
}
} // namespace

std::wstring StateWords(DriveState state) {
    switch (state) {
    case DriveState::NoMedia:
        return L"no media";
    case DriveState::NotQueried:
        return L"not queried";
    case DriveState::Waiting:
        return L"waiting";
    case DriveState::NotResponding:
        return L"not responding";
    case DriveState::Sized:
        break;
    }
    return {};
}

std::wstring RowDetails(const DriveRecord& record, DriveState state) {
    std::wstring kind = FieldText(record.sfi.szTypeName);
    const std::wstring fileSystem = FieldText(record.szFileSystem);
    if (!fileSystem.empty())
        kind += kind.empty() ? fileSystem : L", " + fileSystem;
    std::wstring text = ListedNameOf(record) + L"\n" + kind + L"\n";
    // A drive that stopped responding still has the figures it last gave.
    if (record.ulTotalBytes == 0)
        return text + StateWords(state);
    const Figures figures = FiguresOf(record);
    return text + L"Total " + figures.total + L", used " + figures.used + L" (" + figures.percent +
           L"), free " + figures.free;
}

bool SameRowDetails(const DriveRecord& before, DriveState beforeState, const DriveRecord& after,
                    DriveState afterState) {
    const auto same = [](const auto& a, const auto& b) {
        return std::wcsncmp(a, b, std::size(a)) == 0;
    };
    // Without figures the last line is the state's words; with them, the
    // figures' (the state does not show).
    const bool sized = before.ulTotalBytes != 0;
    return same(before.sfi.szDisplayName, after.sfi.szDisplayName) &&
           std::strncmp(before.szRoot, after.szRoot, std::size(before.szRoot)) == 0 &&
           same(before.sfi.szTypeName, after.sfi.szTypeName) &&
           same(before.szFileSystem, after.szFileSystem) &&
           before.ulTotalBytes == after.ulTotalBytes &&
           (sized ? before.ulTotalFreeBytes == after.ulTotalFreeBytes
                  : StateWords(beforeState) == StateWords(afterState));
}

std::wstring ShownDrivesText(DriveSource& source) {
    std::wstring text = L"Drive\tName\tTotal\tUsed\tFree\tUsed %\r\n";
    for (const DriveRecord& record : source.Drives()) {
        if (record.bShown == 0)
            continue;
        text += tov::Widen(DriveLetterOf(record)) + L":\t" + ListedNameOf(record) + L"\t";
        if (record.ulTotalBytes == 0) {
            text += L"\t\t\t" + StateWords(source.StateOf(record));
        } else {
            const Figures figures = FiguresOf(record);
            text += figures.total + L"\t" + figures.used + L"\t" + figures.free + L"\t" +
                    figures.percent;
        }
        text += L"\r\n";
    }
    return text;
}
