// Benchmark of the warnings' bookkeeping (prints figures; not a test): 21
// drives polled every 10 seconds for a simulated week, each poll a reading
// of every drive and the trend of every drive fitted once, as a repaint of
// all rows asks it. Reports the processor time per poll and the memory the
// readings hold at the end.
#include "drives/FreeSpaceWatch.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {
constexpr int kDrives = 21;
constexpr int64_t kPollSeconds = 10;
constexpr int64_t kWeekPolls = 7 * 24 * 3600 / kPollSeconds;

double ThreadMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage;
}
} // namespace

int main() {
    std::wstring names[kDrives];
    for (int d = 0; d < kDrives; ++d)
        names[d] = L"Drive " + std::to_wstring(d) + L" (" + static_cast<wchar_t>(L'D' + d) + L":)";
    const size_t bytesBefore = PrivateBytes();
    FreeSpaceWatch watch;
    const WarningLevels levels;
    const uint64_t total = 4ULL << 40;
    double fits = 0;
    const double start = ThreadMs();
    for (int64_t poll = 0; poll < kWeekPolls; ++poll) {
        const int64_t now = 1700000000 + poll * kPollSeconds;
        for (int d = 0; d < kDrives; ++d) {
            // Each drive fills at its own rate, 1 to 21 MB a poll, with some noise.
            const uint64_t free = total / 2 - static_cast<uint64_t>(poll) * (d + 1) * (1 << 20) +
                                  static_cast<uint64_t>((poll * 7919 + d * 104729) % (1 << 20));
            watch.Observe(names[d], total, free, now, levels);
            if (const auto trend = watch.Trend(names[d]))
                fits += trend->fullIn ? 1 : 0;
        }
    }
    const double spent = ThreadMs() - start;
    const auto grown = static_cast<long long>(PrivateBytes() - bytesBefore);
    std::printf("polls: %lld of %d drives, %.0f trends with a forecast\n",
                static_cast<long long>(kWeekPolls), kDrives, fits);
    std::printf("per poll: %.1f us processor time\n", 1000.0 * spent / kWeekPolls);
    std::printf("held: %.1f KB in the readings (private bytes grew %.1f KB)\n",
                static_cast<double>(watch.BytesHeld()) / 1024.0,
                static_cast<double>(grown) / 1024.0);
    return 0;
}
