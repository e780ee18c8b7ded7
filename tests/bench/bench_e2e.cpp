// Measures the real Tovemar.exe from outside, for bench.sh. Prints figures;
// judges nothing.
//
//   startup RUNS EXE1 TITLE1 CHILD1 EXE2 TITLE2 CHILD2
//       Starts each program RUNS times, alternately, after one unmeasured
//       start of each. A start is timed from just before CreateProcess to the
//       first poll (about every millisecond) that finds the program's visible
//       window titled TITLE with a usage-bar colour at (50, 10), scaled by the
//       display's DPI, of its child CHILD (0: of the window itself), read
//       through the window's DC: the
//       first row has been painted and is on the screen. The window is then
//       closed and the exit awaited. Prints "median min" in ms per program.
//   start1 EXE TITLE CHILD
//       One start timed as above, without a warm-up; prints ms.
//   memory EXE TITLE CHILD
//       Starts the program, waits for its window and until the accessible
//       object of its child CHILD (0: of the window) is no longer busy,
//       prints its private bytes and closes it.
//   quiet-memory EXE TITLE CHILD THREADS
//       The same without asking the window anything, as a start with no
//       screen reader running: waits for the first painted row as `startup`
//       does, then until the process runs THREADS threads (those it keeps
//       while no drive answer is out) and CHILD has nothing left to paint.
//   silence PID N MS
//       N times: posts command 32771 (Refresh) and for MS ms keeps the main
//       window answering WM_NULL; prints the median and the largest of the
//       N longest waits for an answer, in ms.
//   refresh PID N
//       N times, alternately: sends command 32771 (Refresh) and has its
//       repaint done outside the timing; one empty round trip (WM_NULL); the
//       bare platform calls for the same drives in this process, and apart
//       from them the drive-type queries of the update policy. Prints the
//       medians "refresh roundtrip bare types drives" (ms per refresh).
//   paint PID N
//       N times invalidates the drive view and has it repainted at once.
//       Prints "paint roundtrip" in ms per paint.
//   soak PID N
//       N refresh-and-paint cycles; prints "cycles gdi user private-bytes
//       user-is-windows" before and at checkpoints.
//   painted PID
//       Waits until the drive view has nothing left to paint, then prints
//       the number of rows it has painted since it was created.
#include "tests/bench/BareDrives.h"
#include "tests/e2e/Remote.h"

#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr WORD kRefresh = 32771;
constexpr int kViewId = 0xE900;
constexpr char kTitle[] = "Tovemar";
constexpr DWORD kTimeoutMs = 30000;
// The view's private WM_GETOBJECT id that answers its count of rows painted.
constexpr LPARAM kRowsPaintedObjectId = 0x52575053;

int Fail(const char* message) {
    std::fprintf(stderr, "bench: %s\n", message);
    return 1;
}

struct Program {
    std::string exe, title;
    int child;
    std::vector<double> times;
};

bool IsBarColour(COLORREF c) {
    return c == remote::kBarBlue || c == remote::kBarSilver;
}

// A length at 96 DPI on the display the programs run on.
int Scaled(int value) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(value, dpi > 0 ? dpi : 96, 96);
}

// Closes the program's window and waits for its end.
void CloseAndWait(const remote::Process& process, HWND window) {
    if (window != nullptr)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.handle(), kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.handle(), 1);
}

// Polls until the program's window shows its first row as described above;
// returns the window whose pixels were read, or null after the time-out.
// `window` is the top-level window, when one was found.
HWND WaitFirstRow(const remote::Process& process, const Program& program, HWND& window) {
    const POINT probe{Scaled(50), Scaled(10)};
    const double t0 = remote::NowMs();
    while (remote::NowMs() - t0 < kTimeoutMs) {
        window = remote::FindTopWindow(process.id(), program.title.c_str());
        HWND target =
            window != nullptr && program.child != 0 ? GetDlgItem(window, program.child) : window;
        if (target != nullptr && IsBarColour(remote::PixelAt(target, probe.x, probe.y)))
            return target;
        Sleep(1);
    }
    return nullptr;
}

// One start, timed as described above; negative on failure.
double TimeStart(const Program& program) {
    const double t0 = remote::NowMs();
    remote::Process process = remote::Start(program.exe);
    if (!process)
        return -1;
    HWND window = nullptr;
    const bool painted = WaitFirstRow(process, program, window) != nullptr;
    const double t = remote::NowMs() - t0;
    CloseAndWait(process, window);
    return painted ? t : -1;
}

int ThreadCount(DWORD pid) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == pid ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

int Memory(const Program& program) {
    remote::Process process = remote::Start(program.exe);
    if (!process)
        return Fail("cannot start the program");
    HWND window = remote::WaitTopWindow(process.id(), program.title.c_str(), kTimeoutMs);
    HWND target =
        window != nullptr && program.child != 0 ? GetDlgItem(window, program.child) : window;
    const long long bytes = target != nullptr && remote::WaitNotBusy(target, kTimeoutMs)
                                ? remote::Measure(process).privateBytes
                                : -1;
    CloseAndWait(process, window);
    if (bytes < 0)
        return Fail("no settled window");
    std::printf("%lld\n", bytes);
    return 0;
}

int QuietMemory(const Program& program, int threads) {
    remote::Process process = remote::Start(program.exe);
    if (!process)
        return Fail("cannot start the program");
    HWND window = nullptr;
    const HWND target = WaitFirstRow(process, program, window);
    const double t0 = remote::NowMs();
    bool settled = false;
    while (target != nullptr && !settled && remote::NowMs() - t0 < kTimeoutMs) {
        settled = ThreadCount(process.id()) == threads && !GetUpdateRect(target, nullptr, FALSE);
        if (!settled)
            Sleep(1);
    }
    const long long bytes = settled ? remote::Measure(process).privateBytes : -1;
    CloseAndWait(process, window);
    if (bytes < 0)
        return Fail("no settled window");
    std::printf("%lld\n", bytes);
    return 0;
}

int Startup(int runs, std::vector<Program> programs) {
    for (Program& program : programs)
        TimeStart(program); // warms the caches; not counted
    for (int run = 0; run < runs; ++run)
        for (Program& program : programs) {
            const double t = TimeStart(program);
            if (t < 0)
                return Fail(("no painted window from " + program.exe).c_str());
            program.times.push_back(t);
        }
    for (Program& program : programs) {
        std::sort(program.times.begin(), program.times.end());
        std::printf("%.1f %.1f\n", program.times[program.times.size() / 2], program.times.front());
    }
    return 0;
}

HWND Frame(DWORD pid) {
    return remote::WaitTopWindow(pid, kTitle, kTimeoutMs);
}

void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Milliseconds of one SendMessage of `message` to `window`.
double TimeSend(HWND window, UINT message, WPARAM wParam) {
    const double t0 = remote::NowMs();
    SendMessageA(window, message, wParam, 0);
    return remote::NowMs() - t0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The bare calls for all drives, then apart from them the drive type that
// the update policy asks for every drive but A: and B:. Returns the
// number of drives.
size_t TimeBareCalls(double& bareMs, double& typesMs) {
    const double t0 = remote::NowMs();
    const std::vector<bare::Drive> list = bare::QueryDrives();
    bare::ReleaseIcons(list);
    const double t1 = remote::NowMs();
    for (const bare::Drive& drive : list) {
        if (drive.root[0] != 'A' && drive.root[0] != 'B')
            GetDriveTypeA(drive.root);
    }
    bareMs = t1 - t0;
    typesMs = remote::NowMs() - t1;
    return list.size();
}

// The program's refresh and the bare calls are timed alternately, so that a
// change in the machine's load weighs on both; medians of n each.
int Refresh(DWORD pid, int n) {
    HWND frame = Frame(pid);
    if (frame == nullptr)
        return Fail("no Tovemar window");
    double bareMs = 0, typesMs = 0;
    TimeBareCalls(bareMs, typesMs); // loads what the calls need, once
    std::vector<double> refresh, roundTrip, bareCalls, types;
    size_t drives = 0;
    for (int i = 0; i < n + 3; ++i) {
        const double r = TimeSend(frame, WM_COMMAND, kRefresh);
        PaintNow(frame); // the repaint, outside the timing
        const double t = TimeSend(frame, WM_NULL, 0);
        drives = TimeBareCalls(bareMs, typesMs);
        if (i < 3)
            continue; // warming up
        refresh.push_back(r);
        roundTrip.push_back(t);
        bareCalls.push_back(bareMs);
        types.push_back(typesMs);
    }
    std::printf("%.3f %.3f %.3f %.3f %zu\n", Median(refresh), Median(roundTrip), Median(bareCalls),
                Median(types), drives);
    return 0;
}

int Silence(DWORD pid, int n, double ms) {
    HWND frame = Frame(pid);
    if (frame == nullptr)
        return Fail("no Tovemar window");
    std::vector<double> longest;
    for (int i = 0; i < n; ++i) {
        const double t = remote::LongestSilence(frame, frame, WM_COMMAND, kRefresh, ms);
        if (t < 0)
            return Fail("the window went away");
        longest.push_back(t);
    }
    std::printf("%.1f %.1f\n", Median(longest), *std::max_element(longest.begin(), longest.end()));
    return 0;
}

int Paint(DWORD pid, int n) {
    HWND view = GetDlgItem(Frame(pid), kViewId);
    if (view == nullptr)
        return Fail("no drive view");
    auto paintOnce = [&] {
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    };
    for (int i = 0; i < 3; ++i)
        paintOnce();
    const double t0 = remote::NowMs();
    for (int i = 0; i < n; ++i)
        paintOnce();
    const double paint = (remote::NowMs() - t0) / n;
    std::vector<double> roundTrip;
    for (int i = 0; i < n; ++i)
        roundTrip.push_back(TimeSend(view, WM_NULL, 0));
    std::printf("%.3f %.3f\n", paint, Median(roundTrip));
    return 0;
}

void PrintUsage(int cycles, const remote::Usage& usage) {
    std::printf("%d %ld %ld %lld %d\n", cycles, usage.gdiObjects, usage.userObjects,
                usage.privateBytes, usage.userIsWindows ? 1 : 0);
    std::fflush(stdout);
}

int Soak(DWORD pid, int n) {
    remote::Process process = remote::Open(pid);
    HWND frame = Frame(pid);
    if (!process || frame == nullptr)
        return Fail("no Tovemar window");
    PrintUsage(0, remote::Measure(process));
    for (int cycle = 1; cycle <= n; ++cycle) {
        SendMessageA(frame, WM_COMMAND, kRefresh, 0);
        PaintNow(frame);
        if (cycle == 10 || cycle == 100 || cycle % 1000 == 0 || cycle == n)
            PrintUsage(cycle, remote::Measure(process));
    }
    return 0;
}

int Painted(DWORD pid) {
    const HWND view = GetDlgItem(Frame(pid), kViewId);
    if (view == nullptr)
        return Fail("no drive view");
    const double t0 = remote::NowMs();
    while (GetUpdateRect(view, nullptr, FALSE) && remote::NowMs() - t0 < kTimeoutMs)
        Sleep(1);
    // The answer travels back through SendMessage, after any paint queued.
    std::printf("%lld\n",
                static_cast<long long>(SendMessageA(view, WM_GETOBJECT, 0, kRowsPaintedObjectId)));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Plain line feeds for the scripts that read the output.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "startup" && argc == 9)
        return Startup(std::atoi(argv[2]), {{argv[3], argv[4], std::atoi(argv[5]), {}},
                                            {argv[6], argv[7], std::atoi(argv[8]), {}}});
    if (verb == "start1" && argc == 5) {
        const double t = TimeStart({argv[2], argv[3], std::atoi(argv[4]), {}});
        if (t < 0)
            return Fail("no painted window");
        std::printf("%.1f\n", t);
        return 0;
    }
    if (verb == "memory" && argc == 5)
        return Memory({argv[2], argv[3], std::atoi(argv[4]), {}});
    if (verb == "quiet-memory" && argc == 6)
        return QuietMemory({argv[2], argv[3], std::atoi(argv[4]), {}}, std::atoi(argv[5]));
    if (verb == "silence" && argc == 5)
        return Silence(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 0)),
                       std::max(1, std::atoi(argv[3])), std::atof(argv[4]));
    if (verb == "painted" && argc == 3)
        return Painted(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 0)));
    if (argc != 4)
        return Fail("unknown or incomplete command; see bench_e2e.cpp");
    const DWORD pid = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 0));
    const int n = std::max(1, std::atoi(argv[3]));
    if (verb == "refresh")
        return Refresh(pid, n);
    if (verb == "paint")
        return Paint(pid, n);
    if (verb == "soak")
        return Soak(pid, n);
    return Fail("unknown command; see bench_e2e.cpp");
}
