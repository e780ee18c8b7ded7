#include "view/RowText.h"

#include "framework/Text.h"
#include "view/RowLayout.h"

#include <algorithm>
#include <cmath>
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
// "1 hour", "5 hours".
std::wstring Count(int64_t count, const wchar_t* unit) {
    return std::to_wstring(count) + L" " + unit + (count == 1 ? L"" : L"s");
}

// A length of time in the largest whole unit it rounds to: 59.5 minutes is
// "1 hour", 23.5 hours "1 day".
std::wstring DurationWords(int64_t seconds) {
    const auto rounded = [seconds](int64_t unit) {
        return static_cast<int64_t>(std::llround(static_cast<double>(seconds) / unit));
    };
    if (rounded(60) < 60)
        return Count(rounded(60), L"minute");
    if (rounded(3600) < 24)
        return Count(rounded(3600), L"hour");
    return Count(rounded(86400), L"day");
}

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

std::wstring NearlyFullText(const DriveRecord& record) {
    const Figures figures = FiguresOf(record);
    return figures.free + L" free of " + figures.total + L" (" + figures.percent + L" used)";
}

std::wstring ForecastWords(int64_t seconds) {
    if (seconds < 60)
        return L"less than a minute";
    return L"about " + DurationWords(seconds);
}

std::wstring SignedAmountText(double bytes) {
    const std::string amount = FreeSpaceText(static_cast<uint64_t>(std::llround(std::fabs(bytes))));
    return (bytes < 0 ? L"-" : L"+") + tov::Widen(amount);
}

std::wstring ChangeLine(const FreeTrend& trend) {
    std::wstring line =
        SignedAmountText(trend.change) + L" in the last " +
        (trend.span < 60 ? Count(trend.span, L"second") : DurationWords(trend.span));
    if (trend.fullIn)
        line += L", full in " + ForecastWords(*trend.fullIn);
    return line;
}

std::wstring RowDetails(const DriveRecord& record, DriveState state, const DriveOutlook& outlook) {
    std::wstring kind = FieldText(record.sfi.szTypeName);
    const std::wstring fileSystem = FieldText(record.szFileSystem);
    if (!fileSystem.empty())
        kind += kind.empty() ? fileSystem : L", " + fileSystem;
    std::wstring text = ListedNameOf(record) + L"\n" + kind + L"\n";
    // A drive that stopped responding still has the figures it last gave.
    if (record.ulTotalBytes == 0)
        return text + StateWords(state);
    const Figures figures = FiguresOf(record);
    text += L"Total " + figures.total + L", used " + figures.used + L" (" + figures.percent +
            L"), free " + figures.free;
    if (outlook.nearlyFull)
        text += L", nearly full";
    if (outlook.trend)
        text += L"\n" + ChangeLine(*outlook.trend);
    return text;
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
    std::wstring text = L"Drive\tName\tTotal\tUsed\tFree\tUsed %\tChange/day\tFull in\r\n";
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
        text += L"\t";
        const DriveOutlook outlook = source.OutlookOf(record);
        if (record.ulTotalBytes != 0 && outlook.trend) {
            constexpr double kSecondsPerDay = 86400;
            text += SignedAmountText(outlook.trend->bytesPerSecond * kSecondsPerDay) + L"\t";
            if (outlook.trend->fullIn)
                text += ForecastWords(*outlook.trend->fullIn);
        } else {
            text += L"\t";
        }
        text += L"\r\n";
    }
    return text;
}
