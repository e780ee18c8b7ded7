// Drives a running Tovemar from outside, one action per invocation, for the
// end-to-end script: starts and closes it, sends it commands, keys and scroll
// events, reads the pixels of its drive view, its window state, its drive
// selection dialog and its registry entries. Prints what it finds; exits 4
// when an expectation is not met, 2 on a usage error (never 1: that status
// is Wine's, for a program it could not run). Each look at the rows
// (rows, expect-rows, accessible, usage, soak's checkpoints) first waits until
// the view's accessible list is no longer busy (no drive answer out or waiting),
// up to a minute; `--busy` before the command looks at once.
//
//   start EXE [SHOW]             start it, wait for its window; prints the pid; SHOW: the
//                                show command its start-up information passes (1 = normal)
//   close PID                    close its window as the close box does, wait for the exit
//   exit PID                     choose File > Exit, wait for the exit
//   wait-window PID TITLE        waits until the program shows a window titled TITLE
//   kill PID                     end it at once
//   cmd PID ID                   send command ID to the main window and wait for it
//   post PID ID                  post command ID (for commands that open a dialog)
//   key PID VK                   post a key press to the drive view
//   answers PID MS LIMIT         posts F5 to the drive view; for MS ms the main window must
//                                answer every message within LIMIT ms; prints the longest wait
//   device PID LETTER arrival|removal  send the volume notice WM_DEVICECHANGE for the drive
//   scroll PID CODE [POS]        send WM_VSCROLL to the drive view
//   view-size PID                prints the view's client width and height
//   rows PID POS                 prints what each row shows at scroll position POS
//   expect-rows PID POS SPEC     polls until the rows at POS show SPEC, e.g.
//                                "A=dark C=bar+text F=light" (row i of SPEC is at
//                                y = 32 i - POS + 5; rows beyond the view are skipped,
//                                the row after the last must be empty)
//   state PID                    prints "maximized=M toolbar=T statusbar=S onscreen=O"
//   accessible PID               prints the drive view's accessible children as a screen
//                                reader finds them, "name<TAB>value" a line, in UTF-8
//   expect-accessible PID REGEX  polls (up to 30 s) until a line of `accessible` matches
//   idle PID                     waits until the view's accessible list is not busy
//   describe PID                 the same with the list's name first and each child's
//                                description ("name<TAB>line | line | line")
//   copy-keys PID                presses Ctrl+C in the main window (real key input) and
//                                prints the clipboard's text once it holds some
//   row-menu PID ROW CHAR        right-clicks shown row ROW (at scroll position 0), waits for
//                                the popup menu and types CHAR in it; waits until it is gone
//   row-open PID ROW TEXT        double-clicks row ROW; waits for another process's new
//                                window whose title holds TEXT, prints the title, closes it
//                                and waits for its process to end
//   dialog-items PID             prints the drive dialog's entries, "1 name" when selected
//   dialog-click PID NAME        clicks the dialog's entry NAME
//   dialog-close PID ok|cancel   presses OK or Cancel
//   maximize PID                 maximizes the main window as its maximize box does
//   soak PID CYCLES DIALOGS      refresh-and-paint cycles, update-option toggles and drive
//                                dialog rounds; fails on a count that grows in both halves
//   usage PID [G U B D G U B D]  prints "GDI USER BYTES DCS" (objects, windows or USER
//                                objects, private bytes, device contexts among the GDI
//                                objects); given two earlier such checkpoints of a
//                                repeated round, fails on a count that grew in both halves
//   drive-letters                prints the letters of the platform's drive roots, in order
//   reg-clear                    deletes HKCU\Software\Velmora\Tovemar
//   reg-set SECTION ENTRY TYPE DATA  stores a value: TYPE sz (DATA as text), binary
//                                (DATA in hex), dword or qword (DATA a number)
//   reg-names SECTION            prints the names of the section's values, one a line
//   check-store                  checks that every stored setting is sound; lists the faults
//   reg SECTION ENTRY            prints the value under HKCU\Software\Velmora\Tovemar
//                                (SECTION "." for the key itself): "dword N",
//                                "binary <hex>", "type T", or "missing"
//   expect-reg SECTION ENTRY TEXT  polls until `reg` prints TEXT
#include "tests/e2e/Remote.h"

#include "framework/Accessibility.h"
#include "framework/Registry.h"

#include <windows.h>
#include <dbt.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <iterator>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kTitle[] = "Tovemar";
constexpr char kDialogTitle[] = "View Drives";
constexpr int kViewId = 0xE900;
constexpr int kToolBarId = 0xE800;
constexpr int kStatusBarId = 0xE801;
constexpr int kDriveListId = 1003;
constexpr DWORD kTimeoutMs = 10000;
// A slow drive's answer takes some ten seconds; a minute is beyond any.
constexpr DWORD kIdleLimitMs = 60000;
constexpr WORD kRefreshCommand = 32771;
constexpr WORD kViewDrivesCommand = 32772;
constexpr WORD kFloppiesCommand = 32773;
constexpr WORD kRemovablesCommand = 32774;
constexpr char kAppKey[] = "Software\\Velmora\\Tovemar";

constexpr int kFailed = 4;

int Fail(const std::string& message) {
    std::fprintf(stderr, "driver: %s\n", message.c_str());
    return kFailed;
}

using remote::Utf8;

// Set by `--busy`: look at the rows without waiting for the answers.
bool g_lookAtOnce = false;

int Usage() {
    std::fprintf(stderr, "driver: unknown or incomplete command; see driver.cpp\n");
    return 2;
}

DWORD ParsePid(const char* text) {
    return static_cast<DWORD>(std::strtoul(text, nullptr, 0));
}

HWND MainWindow(DWORD pid) {
    return remote::WaitTopWindow(pid, kTitle, kTimeoutMs);
}

HWND View(HWND frame) {
    return frame != nullptr ? GetDlgItem(frame, kViewId) : nullptr;
}

// The view once no drive answer is out or waiting to be applied; null when
// there is none or it stays busy beyond the limit.
HWND SettledView(DWORD pid) {
    HWND view = View(MainWindow(pid));
    if (view == nullptr || g_lookAtOnce || remote::WaitNotBusy(view, kIdleLimitMs))
        return view;
    Fail("the drive view stayed busy for " + std::to_string(kIdleLimitMs / 1000) + " s");
    return nullptr;
}

// Has every pending paint of the window and its children done.
void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

std::vector<std::string> Split(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// The tokens of the rows at scroll position pos; with `expected`, a mismatch
// description (empty when everything matches).
std::string CompareRows(HWND view, int pos, const std::vector<std::string>* expected,
                        std::string& observed) {
    remote::Image image;
    if (!image.Capture(view))
        return "cannot read the view's pixels";
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const int h = image.Height();
    observed.clear();
    std::string mismatch;
    const size_t rows = expected != nullptr ? expected->size() + 1 : 64;
    int checked = 0;
    for (size_t i = 0; i < rows; ++i) {
        const int y = 32 * static_cast<int>(i) - pos + 5;
        if (y < 0 || y + 32 > h)
            continue;
        const remote::RowLook look = remote::LookAtRow(image, y, background);
        const std::string token = look.Token();
        std::string label(1, '#'), want = "empty";
        label += std::to_string(i);
        if (expected != nullptr && i < expected->size()) {
            const std::string& spec = (*expected)[i];
            const size_t eq = spec.find('=');
            label = spec.substr(0, eq);
            want = eq == std::string::npos ? spec : spec.substr(eq + 1);
        }
        if (expected == nullptr && token == "empty")
            break;
        observed += label + "=" + token + "@" + std::to_string(y) + " ";
        ++checked;
        if (expected != nullptr && token != want)
            mismatch += " " + label + " at y " + std::to_string(y) + ": " + token + ", not " + want;
    }
    if (expected != nullptr && checked == 0)
        mismatch = " no row lies inside the view";
    return mismatch;
}

int Rows(DWORD pid, int pos, const char* spec, DWORD timeoutMs) {
    HWND view = SettledView(pid);
    if (view == nullptr)
        return Fail("no settled drive view");
    std::vector<std::string> expected;
    if (spec != nullptr)
        expected = Split(spec);
    const double end = remote::NowMs() + timeoutMs;
    std::string observed, mismatch;
    // The picture may still be on its way: poll until it matches.
    for (;;) {
        PaintNow(view);
        mismatch = CompareRows(view, pos, spec != nullptr ? &expected : nullptr, observed);
        if (mismatch.empty() || remote::NowMs() > end)
            break;
        Sleep(50);
    }
    std::printf("%s\n", observed.c_str());
    return mismatch.empty() ? 0 : Fail("rows at position " + std::to_string(pos) + ":" + mismatch);
}

int Start(const char* exe, const char* show) {
    // A pointer resting over the rows would show a row's details in a
    // tooltip over the pictures the scripts read: it rests in a corner.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    remote::Process process =
        remote::Start(exe, show != nullptr ? std::optional<WORD>(static_cast<WORD>(std::atoi(show)))
                                           : std::nullopt);
    if (!process)
        return Fail(std::string("cannot start ") + exe);
    WaitForInputIdle(process.handle(), kTimeoutMs);
    HWND frame = remote::WaitTopWindow(process.id(), kTitle, 3 * kTimeoutMs);
    if (frame == nullptr) {
        TerminateProcess(process.handle(), 1);
        return Fail("no window appeared");
    }
    PaintNow(frame);
    std::printf("%lu\n", process.id());
    return 0;
}

// Posts `message` to the main window (WM_CLOSE, or File > Exit's command).
int Close(DWORD pid, UINT message = WM_CLOSE, WPARAM wParam = 0) {
    remote::Process process = remote::Open(pid);
    if (!process)
        return Fail("no such process");
    HWND frame = remote::FindTopWindow(pid, kTitle);
    if (frame == nullptr)
        return Fail("no window to close");
    PostMessageA(frame, message, wParam, 0);
    if (WaitForSingleObject(process.handle(), kTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.handle(), 1);
        return Fail("the program did not end after its window was closed");
    }
    DWORD code = 0;
    GetExitCodeProcess(process.handle(), &code);
    std::printf("%lu\n", code);
    return 0;
}

int Kill(DWORD pid) {
    remote::Process process = remote::Open(pid);
    if (process) {
        TerminateProcess(process.handle(), 1);
        WaitForSingleObject(process.handle(), kTimeoutMs);
    }
    return 0;
}

int Command(DWORD pid, WORD id, bool post) {
    HWND frame = MainWindow(pid);
    if (frame == nullptr)
        return Fail("no window");
    if (post) {
        PostMessageA(frame, WM_COMMAND, id, 0);
        return 0;
    }
    SendMessageA(frame, WM_COMMAND, id, 0);
    PaintNow(frame);
    return 0;
}

int Key(DWORD pid, UINT vk) {
    HWND view = View(MainWindow(pid));
    if (view == nullptr)
        return Fail("no drive view");
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    PostMessageA(view, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(view, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
    return 0;
}

int Answers(DWORD pid, double durationMs, double limitMs) {
    HWND frame = MainWindow(pid);
    HWND view = View(frame);
    if (view == nullptr)
        return Fail("no drive view");
    const double longest = remote::LongestSilence(frame, view, WM_KEYDOWN, VK_F5, durationMs);
    std::printf("%.0f\n", longest);
    if (longest < 0)
        return Fail("the window went away");
    return longest <= limitMs ? 0
                              : Fail("the window did not answer for " +
                                     std::to_string(static_cast<int>(longest)) + " ms");
}

int Scroll(DWORD pid, int code, int pos) {
    HWND view = View(MainWindow(pid));
    if (view == nullptr)
        return Fail("no drive view");
    SendMessageA(view, WM_VSCROLL, MAKEWPARAM(code, pos), 0);
    PaintNow(view);
    return 0;
}

int ViewSize(DWORD pid) {
    HWND view = View(MainWindow(pid));
    RECT client;
    if (view == nullptr || !GetClientRect(view, &client))
        return Fail("no drive view");
    std::printf("%ld %ld\n", client.right, client.bottom);
    return 0;
}

int State(DWORD pid) {
    HWND frame = MainWindow(pid);
    if (frame == nullptr)
        return Fail("no window");
    auto shown = [&](int id) {
        HWND bar = GetDlgItem(frame, id);
        return bar != nullptr && IsWindowVisible(bar) ? 1 : 0;
    };
    // On the screen: visible, not minimized, of a usable size, and meeting
    // the screen.
    RECT window{}, common;
    GetWindowRect(frame, &window);
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const bool onScreen = IsWindowVisible(frame) && !IsIconic(frame) &&
                          window.right - window.left >= 100 && window.bottom - window.top >= 100 &&
                          IntersectRect(&common, &window, &screen);
    std::printf("maximized=%d toolbar=%d statusbar=%d onscreen=%d\n", IsZoomed(frame) ? 1 : 0,
                shown(kToolBarId), shown(kStatusBarId), onScreen ? 1 : 0);
    return 0;
}

HWND DriveList(DWORD pid) {
    HWND dialog = remote::WaitTopWindow(pid, kDialogTitle, kTimeoutMs);
    return dialog != nullptr ? GetDlgItem(dialog, kDriveListId) : nullptr;
}

std::string ItemText(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return {};
    // Wide: Wine passes the ANSI form of this message to another process
    // only up to its first character.
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
    return Utf8(wide.c_str());
}

int DialogItems(DWORD pid) {
    HWND list = DriveList(pid);
    if (list == nullptr)
        return Fail("no drive dialog");
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        std::printf("%d %s\n", SendMessageA(list, LB_GETSEL, i, 0) > 0 ? 1 : 0,
                    ItemText(list, i).c_str());
    return 0;
}

// The dialog is centred over the main window and would hide the rows that
// the script reads while it is open: it is moved aside first, as a user would.
void MoveAside(HWND dialog) {
    SetWindowPos(dialog, nullptr, GetSystemMetrics(SM_CXSCREEN) - 8,
                 GetSystemMetrics(SM_CYSCREEN) - 8, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Clicks entry `index` of the list and waits until its selection has flipped.
bool ClickEntry(HWND list, int index) {
    const bool wasSelected = SendMessageA(list, LB_GETSEL, index, 0) > 0;
    SendMessageA(list, LB_SETTOPINDEX, index, 0);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    const double end = remote::NowMs() + kTimeoutMs;
    while ((SendMessageA(list, LB_GETSEL, index, 0) > 0) == wasSelected) {
        if (remote::NowMs() > end)
            return false;
        Sleep(5);
    }
    return true;
}

int DialogClick(DWORD pid, const std::string& name) {
    HWND list = DriveList(pid);
    if (list == nullptr)
        return Fail("no drive dialog");
    MoveAside(GetParent(list));
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (ItemText(list, i) == name)
            return ClickEntry(list, i) ? 0 : Fail("the click changed nothing");
    return Fail("the dialog lists no entry \"" + name + "\"");
}

// Presses a button of the dialog and waits until the dialog has gone.
bool PressAndWait(HWND dialog, WORD id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    const double end = remote::NowMs() + kTimeoutMs;
    while (IsWindow(dialog)) {
        if (remote::NowMs() > end)
            return false;
        Sleep(5);
    }
    return true;
}

int DialogClose(DWORD pid, const std::string& button) {
    HWND dialog = remote::WaitTopWindow(pid, kDialogTitle, kTimeoutMs);
    if (dialog == nullptr)
        return Fail("no drive dialog");
    return PressAndWait(dialog, button == "ok" ? IDOK : IDCANCEL)
               ? 0
               : Fail("the dialog did not close");
}

int Maximize(DWORD pid) {
    HWND frame = MainWindow(pid);
    if (frame == nullptr)
        return Fail("no window");
    PostMessageA(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    const double end = remote::NowMs() + kTimeoutMs;
    while (!IsZoomed(frame)) {
        if (remote::NowMs() > end)
            return Fail("the window did not maximize");
        Sleep(5);
    }
    PaintNow(frame);
    return 0;
}

// One round of the drive dialog: open, hide and show the first drive again
// (each a live change that is saved at once), close with OK.
bool DialogRound(HWND frame, DWORD pid) {
    PostMessageA(frame, WM_COMMAND, kViewDrivesCommand, 0);
    HWND list = DriveList(pid);
    if (list == nullptr)
        return false;
    HWND dialog = GetParent(list);
    return ClickEntry(list, 0) && ClickEntry(list, 0) && PressAndWait(dialog, IDOK);
}

void PrintUsage(const char* when, const remote::Usage& usage) {
    std::printf("%s: GDI objects %ld (device contexts %ld), %s %ld, private bytes %lld\n", when,
                usage.gdiObjects, usage.deviceContexts,
                usage.userIsWindows ? "windows" : "USER objects", usage.userObjects,
                usage.privateBytes);
}

// What the process holds once no drive answer is out: objects in use by an
// answer on its way are not a leak.
bool SettledUsage(DWORD pid, const remote::Process& process, remote::Usage& usage) {
    if (SettledView(pid) == nullptr)
        return false;
    usage = remote::Measure(process);
    return usage.gdiObjects >= 0 && usage.privateBytes >= 0;
}

// The counts compared, each with the noise a count taken from outside may
// carry: a transient object or two (a drawing context in use, a cached font
// not yet released), a heap that has not given back a page.
struct Count {
    const char* name;
    long long noise;
    long long (*of)(const remote::Usage&);
};
// Wine keeps a device context it made for good, with a region and a bitmap
// of its own, when more drawing overlapped than ever before (measured over
// 30 rounds of late answers, whose shell calls overlap: 258 GDI objects, 270
// after the second round, 273 from the fourth on, each step one such
// three). That cache is bounded by the threads that draw at once (the
// window's and the drive engine's six), so it is counted apart.
constexpr long long kCachedDcObjects = 3;
constexpr long long kDrawingThreads = 7;
constexpr Count kCounts[] = {
    {"GDI objects apart from cached device contexts", 2,
     [](const remote::Usage& u) -> long long {
         return u.gdiObjects - kCachedDcObjects * std::max(0L, u.deviceContexts);
     }},
    {"device contexts", kDrawingThreads,
     [](const remote::Usage& u) -> long long { return u.deviceContexts; }},
    {"USER objects", 2, [](const remote::Usage& u) -> long long { return u.userObjects; }},
    {"private bytes", 1 << 20, [](const remote::Usage& u) { return u.privateBytes; }},
};

bool Grown(const Count& count, const remote::Usage& from, const remote::Usage& to) {
    return count.of(to) - count.of(from) > count.noise;
}

// Leaks between three checkpoints of a repeated round. A leak grows with the
// rounds, so it shows in both halves of the run. A count that grew in one
// half only was allocated once for good (a cache filled late), and one
// within its noise is objects in flight at a checkpoint: neither fails.
std::string Leaks(const remote::Usage (&at)[3]) {
    std::string faults;
    for (const Count& count : kCounts)
        if (Grown(count, at[0], at[1]) && Grown(count, at[1], at[2]))
            faults += std::string(" ") + count.name + " grew by " +
                      std::to_string(count.of(at[1]) - count.of(at[0])) + ", then by " +
                      std::to_string(count.of(at[2]) - count.of(at[1])) + ";";
    return faults;
}

int Soak(DWORD pid, int cycles, int dialogs) {
    remote::Process process = remote::Open(pid);
    HWND frame = MainWindow(pid);
    if (!process || frame == nullptr)
        return Fail("no window");
    auto refreshAndPaint = [&] {
        SendMessageA(frame, WM_COMMAND, kRefreshCommand, 0);
        PaintNow(frame);
    };
    auto toggleOptions = [&] {
        for (WORD id : {kFloppiesCommand, kFloppiesCommand, kRemovablesCommand, kRemovablesCommand})
            SendMessageA(frame, WM_COMMAND, id, 0);
        PaintNow(frame);
    };
    // Warm-up: what the first rounds allocate for good (caches, the
    // dialog's template and classes) is not a leak.
    for (int i = 0; i < 20; ++i)
        refreshAndPaint();
    toggleOptions();
    if (dialogs > 0 && (!DialogRound(frame, pid) || !DialogRound(frame, pid)))
        return Fail("the drive dialog did not work");

    // Checkpoints after the warm-up, halfway and at the end.
    remote::Usage at[3];
    if (!SettledUsage(pid, process, at[0]))
        return Fail("the usage cannot be measured");
    PrintUsage("after the warm-up", at[0]);
    const int dialogEvery = dialogs > 0 ? std::max(1, cycles / dialogs) : cycles + 1;
    for (int i = 1; i <= cycles; ++i) {
        refreshAndPaint();
        if (i % dialogEvery == 0) {
            toggleOptions();
            if (!DialogRound(frame, pid))
                return Fail("the drive dialog did not work");
        }
        if (i == cycles / 2 || i == cycles) {
            remote::Usage& usage = at[i == cycles ? 2 : 1];
            if (!SettledUsage(pid, process, usage))
                return Fail("the usage cannot be measured");
            PrintUsage(i == cycles ? "at the end" : "halfway", usage);
        }
    }
    const std::string faults = Leaks(at);
    return faults.empty() ? 0 : Fail("after the soak:" + faults);
}

// The settled usage; given two earlier checkpoints, a leak between them and
// now fails.
int UsageCheck(DWORD pid, char** checkpoints) {
    remote::Process process = remote::Open(pid);
    remote::Usage at[3];
    if (!process || !SettledUsage(pid, process, at[2]))
        return Fail("the usage cannot be measured");
    std::printf("%ld %ld %lld %ld\n", at[2].gdiObjects, at[2].userObjects, at[2].privateBytes,
                at[2].deviceContexts);
    for (int i = 0; checkpoints != nullptr && i < 2; ++i) {
        at[i].gdiObjects = std::atol(checkpoints[4 * i]);
        at[i].userObjects = std::atol(checkpoints[4 * i + 1]);
        at[i].privateBytes = std::atoll(checkpoints[4 * i + 2]);
        at[i].deviceContexts = std::atol(checkpoints[4 * i + 3]);
    }
    const std::string faults = checkpoints != nullptr ? Leaks(at) : "";
    return faults.empty() ? 0 : Fail("over the rounds:" + faults);
}

std::string RegistryValue(const std::string& section, const char* entry) {
    std::string path = kAppKey;
    if (section != ".")
        path += "\\" + section;
    const tov::UniqueHKey key = tov::OpenRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
    if (!key)
        return "missing";
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return "missing";
    std::vector<BYTE> data(size + 1);
    RegQueryValueExA(key.get(), entry, nullptr, &type, data.data(), &size);
    char text[16];
    if (type == REG_DWORD && size == 4) {
        DWORD value;
        std::memcpy(&value, data.data(), 4);
        return "dword " + std::to_string(value);
    }
    if (type == REG_BINARY) {
        std::string hex = "binary ";
        for (DWORD i = 0; i < size; ++i) {
            std::snprintf(text, sizeof text, "%02x", data[i]);
            hex += text;
        }
        return hex;
    }
    return "type " + std::to_string(type) + " size " + std::to_string(size);
}

int ExpectRegistry(const std::string& section, const char* entry, const std::string& want) {
    const double end = remote::NowMs() + kTimeoutMs;
    std::string value;
    while ((value = RegistryValue(section, entry)) != want && remote::NowMs() < end)
        Sleep(20);
    std::printf("%s\n", value.c_str());
    return value == want
               ? 0
               : Fail(section + "\\" + entry + " is \"" + value + "\", not \"" + want + "\"");
}

int RegistrySet(const std::string& section, const char* entry, const std::string& type,
                const std::string& data) {
    std::string path = kAppKey;
    if (section != ".")
        path += "\\" + section;
    const tov::UniqueHKey key = tov::CreateRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_WRITE);
    if (!key)
        return Fail("cannot create " + path);
    std::vector<BYTE> bytes;
    DWORD kind = REG_BINARY;
    if (type == "sz") {
        kind = REG_SZ;
        bytes.assign(data.begin(), data.end());
        bytes.push_back(0);
    } else if (type == "binary") {
        for (size_t i = 0; i + 1 < data.size(); i += 2)
            bytes.push_back(static_cast<BYTE>(std::stoul(data.substr(i, 2), nullptr, 16)));
    } else if (type == "dword" || type == "qword") {
        const unsigned long long value = std::stoull(data, nullptr, 0);
        kind = type == "dword" ? REG_DWORD : REG_QWORD;
        bytes.resize(type == "dword" ? 4 : 8);
        std::memcpy(bytes.data(), &value, bytes.size());
    } else {
        return Usage();
    }
    if (RegSetValueExA(key.get(), entry, 0, kind, bytes.data(), static_cast<DWORD>(bytes.size())) !=
        ERROR_SUCCESS)
        return Fail("cannot store the value");
    return 0;
}

int RegistryClear() {
    const LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, kAppKey);
    // The company key goes too when nothing else lives under it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora");
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND
               ? 0
               : Fail("cannot delete the key");
}

// The values of one key: name, type and bytes.
struct StoredValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
    bool IsDword(DWORD low, DWORD high) const {
        if (type != REG_DWORD || data.size() != 4)
            return false;
        DWORD v;
        std::memcpy(&v, data.data(), 4);
        return v >= low && v <= high;
    }
    bool IsInt(int low, int high) const { // a DWORD read as a signed integer
        if (type != REG_DWORD || data.size() != 4)
            return false;
        int v;
        std::memcpy(&v, data.data(), 4);
        return v >= low && v <= high;
    }
};

std::vector<StoredValue> ReadValues(const std::string& subkey, bool& exists) {
    std::vector<StoredValue> values;
    const std::string path = subkey.empty() ? std::string(kAppKey) : kAppKey + ("\\" + subkey);
    const tov::UniqueHKey key = tov::OpenRegKey(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
    exists = static_cast<bool>(key);
    if (!exists)
        return values;
    for (DWORD i = 0;; ++i) {
        // Wide: a drive's entry is named in any script.
        wchar_t name[512];
        DWORD nameLength = static_cast<DWORD>(std::size(name)), type = 0, size = 0;
        if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        StoredValue value{Utf8(name), type, std::vector<BYTE>(size)};
        RegQueryValueExW(key.get(), name, nullptr, nullptr, value.data.data(), &size);
        values.push_back(value);
    }
    return values;
}

const StoredValue* Find(const std::vector<StoredValue>& values, const char* name) {
    for (const StoredValue& v : values)
        if (v.name == name)
            return &v;
    return nullptr;
}

// What a closed Tovemar must leave: flags of 0 or 1, a placement record that
// can be applied (its own length, a non-empty normal rectangle that meets
// the screen, a normal or maximized show state), and dock-state entries in
// range.
int CheckStore() {
    std::string faults;
    bool exists = false;
    const std::vector<StoredValue> init = ReadValues("Init", exists);
    for (const char* name : {"ViewFloppies", "ViewRemoveables"}) {
        const StoredValue* v = Find(init, name);
        if (v == nullptr || !v->IsDword(0, 1))
            faults += std::string(" Init\\") + name + " is not a 0 or 1;";
    }
    for (const StoredValue& v : ReadValues("Drives", exists))
        if (!v.IsDword(0, 1))
            faults += " Drives\\" + v.name + " is not a 0 or 1;";

    const std::vector<StoredValue> app = ReadValues("", exists);
    const StoredValue* placement = Find(app, "Placement");
    WINDOWPLACEMENT record{};
    if (placement == nullptr || placement->type != REG_BINARY ||
        placement->data.size() != sizeof record) {
        faults += " Placement is not a 44-byte binary;";
    } else {
        std::memcpy(&record, placement->data.data(), sizeof record);
        const RECT& r = record.rcNormalPosition;
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT common;
        if (record.length != sizeof record)
            faults += " Placement's length field is " + std::to_string(record.length) + ";";
        if (r.right <= r.left || r.bottom <= r.top || !IntersectRect(&common, &r, &screen))
            faults += " Placement's window rectangle is empty or off the screen;";
        if (record.showCmd != SW_SHOWNORMAL && record.showCmd != SW_SHOWMAXIMIZED)
            faults += " Placement's show state is " + std::to_string(record.showCmd) + ";";
    }

    const std::vector<StoredValue> summary = ReadValues("Tovemar-Summary", exists);
    const StoredValue* bars = Find(summary, "Bars");
    if (bars == nullptr || !bars->IsDword(1, 64)) {
        faults += " Tovemar-Summary\\Bars is not a bar count;";
    } else {
        DWORD count;
        std::memcpy(&count, bars->data.data(), 4);
        for (DWORD i = 0; i < count; ++i) {
            const std::string section = "Tovemar-Bar" + std::to_string(i);
            const std::vector<StoredValue> bar = ReadValues(section, exists);
            auto check = [&](const char* name, int low, int high) {
                const StoredValue* v = Find(bar, name);
                if (v == nullptr || !v->IsInt(low, high))
                    faults += " " + section + "\\" + name + " is out of range;";
            };
            check("BarID", 1, 0xFFFF);
            check("Visible", 0, 1);
            check("Floating", 0, 1);
            check("DockSide", 0x1000, 0x8000);
            check("XPos", -32768, 32767);
            check("YPos", -32768, 32767);
        }
    }
    if (!faults.empty())
        return Fail("unsound settings:" + faults);
    std::printf("sound\n");
    return 0;
}

// The view's accessible list, asked from this process as a screen reader asks;
// with `describe`, the list's name first and each child's description.
int Accessible(DWORD pid, bool describe) {
    HWND view = SettledView(pid);
    const remote::Accessible list(view);
    VARIANT role{};
    if (!list || FAILED(list.get()->get_accRole(remote::Child(CHILDID_SELF), &role)) ||
        role.vt != VT_I4 || role.lVal != ROLE_SYSTEM_LIST)
        return Fail("the drive view is not an accessible list");
    if (describe) {
        BSTR name = nullptr;
        list.get()->get_accName(remote::Child(CHILDID_SELF), &name);
        std::printf("%s\n", remote::TakeUtf8(name).c_str());
    }
    for (const std::string& line : list.Children(describe))
        std::printf("%s\n", line.c_str());
    return 0;
}

int ExpectAccessible(DWORD pid, const char* pattern) {
    const remote::Accessible list(View(MainWindow(pid)));
    const std::regex wanted(pattern);
    const double end = remote::NowMs() + 3 * kTimeoutMs;
    for (;;) {
        for (const std::string& line : list.Children())
            if (std::regex_search(line, wanted)) {
                std::printf("%s\n", line.c_str());
                return 0;
            }
        if (remote::NowMs() > end)
            return Fail(std::string("no accessible row matches ") + pattern);
        Sleep(20);
    }
}

// The volume notice the system broadcasts when a drive arrives or goes.
int DeviceChange(DWORD pid, char letter, bool arrival) {
    HWND frame = MainWindow(pid);
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (frame == nullptr || letter < 'A' || letter > 'Z')
        return Fail("no window, or no drive letter");
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (letter - 'A');
    SendMessageA(frame, WM_DEVICECHANGE, arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(&volume));
    return 0;
}

// The clipboard's Unicode text in UTF-8, line ends as line feeds; empty
// when it holds none.
std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = Utf8(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

int CopyKeys(DWORD pid) {
    HWND frame = MainWindow(pid);
    if (frame == nullptr)
        return Fail("no window");
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SetForegroundWindow(frame);
    INPUT keys[4] = {};
    const WORD order[4][2] = {
        {VK_CONTROL, 0}, {'C', 0}, {'C', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i][0];
        keys[i].ki.dwFlags = order[i][1];
    }
    SendInput(4, keys, sizeof keys[0]);
    const double end = remote::NowMs() + kTimeoutMs;
    std::string text;
    while ((text = ClipboardText()).empty() && remote::NowMs() < end)
        Sleep(20);
    std::printf("%s", text.c_str());
    return text.empty() ? Fail("nothing came onto the clipboard") : 0;
}

// The point in the view's client area of shown row `row` at scroll position 0.
LPARAM RowPoint(int row) {
    return MAKELPARAM(100, 32 * row + 20);
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// The first shown top-level window that `match` accepts, polled for up to
// `timeoutMs`; null when none came.
template <typename Match> HWND WaitShownWindow(Match match, DWORD timeoutMs) {
    struct Search {
        Match* match;
        HWND found;
    } search{&match, nullptr};
    const double end = remote::NowMs() + timeoutMs;
    for (;;) {
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                if (!IsWindowVisible(window) || !(*s->match)(window))
                    return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || remote::NowMs() > end)
            return search.found;
        Sleep(20);
    }
}

int RowMenu(DWORD pid, int row, char key) {
    HWND view = View(MainWindow(pid));
    if (view == nullptr)
        return Fail("no drive view");
    PostMessageA(view, WM_RBUTTONDOWN, MK_RBUTTON, RowPoint(row));
    PostMessageA(view, WM_RBUTTONUP, 0, RowPoint(row));
    const auto popupOf = [pid](HWND window) {
        char name[32] = {};
        GetClassNameA(window, name, sizeof name);
        return ProcessOf(window) == pid && std::strcmp(name, "#32768") == 0;
    };
    HWND popup = WaitShownWindow(popupOf, kTimeoutMs);
    if (popup == nullptr)
        return Fail("no popup menu appeared");
    PostMessageA(popup, WM_CHAR, static_cast<WPARAM>(key), 1);
    const double end = remote::NowMs() + kTimeoutMs;
    while (IsWindowVisible(popup) && remote::NowMs() < end)
        Sleep(20);
    return IsWindowVisible(popup) ? Fail("the popup menu stayed") : 0;
}

int RowOpen(DWORD pid, int row, const char* text) {
    HWND view = View(MainWindow(pid));
    if (view == nullptr)
        return Fail("no drive view");
    PostMessageA(view, WM_LBUTTONDBLCLK, MK_LBUTTON, RowPoint(row));
    char title[256] = {};
    HWND window = WaitShownWindow(
        [&](HWND w) {
            GetWindowTextA(w, title, sizeof title);
            return ProcessOf(w) != pid && std::strstr(title, text) != nullptr;
        },
        3 * kTimeoutMs);
    if (window == nullptr)
        return Fail(std::string("no window titled with \"") + text + "\" appeared");
    std::printf("%s\n", title);
    // The file manager keeps the Wine server alive: it goes again.
    remote::Process process = remote::Open(ProcessOf(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (process && WaitForSingleObject(process.handle(), kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.handle(), 1);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Plain line feeds for the scripts that read the output.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc > 1 && std::strcmp(argv[1], "--busy") == 0) {
        g_lookAtOnce = true;
        --argc;
        ++argv;
    }
    if (argc < 2)
        return Usage();
    const std::string verb = argv[1];
    auto arg = [&](int i) { return i < argc ? argv[i] : nullptr; };
    if (verb == "start" && (argc == 3 || argc == 4))
        return Start(argv[2], arg(3));
    if (verb == "reg" && argc == 4) {
        std::printf("%s\n", RegistryValue(argv[2], argv[3]).c_str());
        return 0;
    }
    if (verb == "expect-reg" && argc == 5)
        return ExpectRegistry(argv[2], argv[3], argv[4]);
    if (verb == "reg-set" && argc == 6)
        return RegistrySet(argv[2], argv[3], argv[4], argv[5]);
    if (verb == "reg-clear")
        return RegistryClear();
    if (verb == "drive-letters") {
        char roots[512] = {};
        const DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
        for (const char* root = roots; length < sizeof roots && *root != '\0';
             root += std::strlen(root) + 1)
            std::printf("%c ", root[0]);
        std::printf("\n");
        return 0;
    }
    if (verb == "check-store")
        return CheckStore();
    if (verb == "reg-names" && argc == 3) {
        bool exists = false;
        for (const StoredValue& value : ReadValues(argv[2], exists))
            std::printf("%s\n", value.name.c_str());
        return 0;
    }
    if (argc < 3)
        return Usage();
    const DWORD pid = ParsePid(argv[2]);
    if (verb == "close")
        return Close(pid);
    if (verb == "exit")
        return Close(pid, WM_COMMAND, 0xE141); // ID_APP_EXIT
    if (verb == "wait-window" && argc == 4)
        return remote::WaitTopWindow(pid, argv[3], 3 * kTimeoutMs) != nullptr
                   ? 0
                   : Fail("no such window appeared");
    if (verb == "kill")
        return Kill(pid);
    if ((verb == "cmd" || verb == "post") && argc == 4)
        return Command(pid, static_cast<WORD>(std::atoi(argv[3])), verb == "post");
    if (verb == "key" && argc == 4)
        return Key(pid, static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)));
    if (verb == "answers" && argc == 5)
        return Answers(ParsePid(argv[2]), std::atof(argv[3]), std::atof(argv[4]));
    if (verb == "scroll" && argc >= 4)
        return Scroll(pid, std::atoi(argv[3]), arg(4) != nullptr ? std::atoi(argv[4]) : 0);
    if (verb == "view-size")
        return ViewSize(pid);
    if (verb == "rows" && argc == 4)
        return Rows(pid, std::atoi(argv[3]), nullptr, 0);
    if (verb == "expect-rows" && argc == 5)
        return Rows(pid, std::atoi(argv[3]), argv[4], 5000);
    if (verb == "state")
        return State(pid);
    if (verb == "maximize")
        return Maximize(pid);
    if (verb == "soak" && argc == 5)
        return Soak(pid, std::atoi(argv[3]), std::atoi(argv[4]));
    if (verb == "usage" && (argc == 3 || argc == 11))
        return UsageCheck(pid, argc == 11 ? argv + 3 : nullptr);
    if (verb == "idle")
        return SettledView(pid) != nullptr ? 0 : kFailed;
    if (verb == "expect-accessible" && argc == 4)
        return ExpectAccessible(pid, argv[3]);
    if (verb == "device" && argc == 5)
        return DeviceChange(pid, argv[3][0], std::strcmp(argv[4], "arrival") == 0);
    if (verb == "dialog-items")
        return DialogItems(pid);
    if (verb == "accessible" || verb == "describe")
        return Accessible(pid, verb == "describe");
    if (verb == "copy-keys")
        return CopyKeys(pid);
    if (verb == "row-menu" && argc == 5)
        return RowMenu(pid, std::atoi(argv[3]), argv[4][0]);
    if (verb == "row-open" && argc == 5)
        return RowOpen(pid, std::atoi(argv[3]), argv[4]);
    if (verb == "dialog-click" && argc == 4)
        return DialogClick(pid, argv[3]);
    if (verb == "dialog-close" && argc == 4)
        return DialogClose(pid, argv[3]);
    return Usage();
}
