// Drive lists for view tests and benchmarks: a DriveSource without a window,
// a frame window that is one, and record builders.
#pragma once

#include "drives/DriveSource.h"
#include "framework/FrameWnd.h"
#include "framework/Text.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace testing_drives {

// The root is the letter before the name's last colon ("Disk (C:)" gives
// "C:\"), none when the name has no colon.
inline DriveRecord MakeRecord(const char* displayName, uint64_t total, uint64_t free,
                              bool shown = true) {
    DriveRecord record{};
    tov::Widen(displayName).copy(record.sfi.szDisplayName, std::size(record.sfi.szDisplayName) - 1);
    const std::string name = displayName;
    const size_t colon = name.rfind(':');
    if (colon != std::string::npos && colon > 0)
        std::strcpy(record.szRoot, (name.substr(colon - 1, 2) + "\\").c_str());
    record.bShown = shown ? 1 : 0;
    record.ulTotalBytes = total;
    record.ulTotalFreeBytes = free;
    record.ulFreeBytesAvailable = free;
    return record;
}

// n shown drives with size data, C: onwards.
inline DriveList ShownDrives(int n) {
    DriveList drives;
    for (int i = 0; i < n; ++i) {
        const std::string name = std::string("Disk (") + static_cast<char>('C' + i % 24) + ":)";
        drives.push_back(MakeRecord(name.c_str(), 1000000, 250000));
    }
    return drives;
}

// A drive list with an update policy that excludes the specs ("A:") in
// `excluded` and remembers every spec it was asked about.
class TestDrives : public DriveSource {
public:
    DriveList drives;
    std::set<std::string> excluded;
    mutable std::vector<std::string> asked;
    virtual ~TestDrives() = default;

    DriveList& Drives() override { return drives; }
    bool IsDriveUpdatable(const DriveRecord& record) const override {
        const std::string spec = DriveLetterOf(record) + ":";
        asked.push_back(spec);
        return excluded.count(spec) == 0;
    }

    // Letters ("C") whose drives are in a state of their own, and whether
    // the list is busy.
    std::map<std::string, DriveState> states;
    bool busy = false;
    DriveState StateOf(const DriveRecord& record) const override {
        const auto it = states.find(DriveLetterOf(record));
        return it != states.end() ? it->second : DriveSource::StateOf(record);
    }
    bool Busy() const override { return busy; }
    // Letters whose drives the warnings speak of.
    std::map<std::string, DriveOutlook> outlooks;
    DriveOutlook OutlookOf(const DriveRecord& record) const override {
        const auto it = outlooks.find(DriveLetterOf(record));
        return it != outlooks.end() ? it->second : DriveOutlook{};
    }
};

// A top-level frame that owns a drive list, for a view to show as its child. Lives on the stack: it
// does not delete itself. Created hidden: without a window manager, destroying a window that was
// activated takes the platform about two seconds, so tests that read the screen show the frame with
// SW_SHOWNOACTIVATE.
class TestFrame : public CFrameWnd, public TestDrives {
public:
    bool CreatePopup(int cx, int cy, bool visible = false) {
        return CreateEx(0, nullptr, L"Tovemar view test", WS_POPUP | (visible ? WS_VISIBLE : 0), 0,
                        0, cx, cy, nullptr, nullptr) != FALSE;
    }
    void PostNcDestroy() override {}
};

// Resizes `window` so that its client area is cx × cy (less the width of a
// vertical scroll bar when it shows one).
inline void SetClientSize(HWND window, int cx, int cy) {
    RECT outer{0, 0, cx, cy};
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&outer, style & ~WS_VSCROLL, FALSE, exStyle);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

} // namespace testing_drives
