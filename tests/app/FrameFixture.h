// The real main frame over scripted drives, as the program's dialogs meet it:
// the application object is the program's own, its settings go to a test-only
// company key deleted before and after each test, and commands reach the
// frame as WM_COMMAND. A modal command runs under a ModalScript.
#pragma once

#include "ModalScript.h"
#include "app/DriveApp.h"
#include "app/MainFrame.h"
#include "res/resource.h"
#include "tests/TestSupport.h"
#include "tests/drives/ScriptedDrivePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tovtest {

constexpr char kTestCompany[] = "VelmoraTestDialogs";
constexpr char kTestCompanyKey[] = "Software\\VelmoraTestDialogs";

inline CDriveApp& TestApp() {
    static CDriveApp app;
    app.m_strAppName = "Tovemar";
    app.SetRegistryKey(kTestCompany);
    return app;
}

// Handles every queued message the way the program's loop does.
inline void Pump() {
    tovtest::Pump(&TestApp());
}

inline std::map<std::string, std::string> StoredSettings() {
    return Snapshot(kTestCompanyKey);
}

// A stored per-drive flag, or -1 when there is none.
inline int StoredDriveFlag(const std::string& displayName) {
    const std::string path = std::string(kTestCompanyKey) + "\\Tovemar\\Drives";
    return static_cast<int>(StoredDword(path, displayName.c_str()).value_or(-1));
}

inline RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

inline POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Steps that end a dialog: its button `id` clicked, a key pressed in it, its close box.
inline ModalScript::Step Press(int id) {
    return [id](HWND d) { PostMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0); };
}
inline ModalScript::Step Key(UINT vk) {
    return [vk](HWND) { PostKey(GetFocus(), vk); };
}
inline ModalScript::Step CloseBox() {
    return [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); };
}

// What a running modal dialog shows of itself and of its owner.
struct ModalFacts {
    std::string caption;
    bool focusOnOk = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
    LONG style = 0;
    RECT rect{};

    static ModalFacts Of(HWND dialog) {
        char caption[64] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        const HWND owner = GetWindow(dialog, GW_OWNER);
        return {caption,
                GetFocus() != nullptr && GetFocus() == GetDlgItem(dialog, IDOK),
                owner,
                IsWindowEnabled(owner) != FALSE,
                GetWindowLongA(dialog, GWL_STYLE),
                WindowRect(dialog)};
    }
    // Each dialog of the program: the focus on OK, owned by the frame and
    // centred over it, the frame disabled meanwhile, and no resizing.
    void ExpectModalOver(HWND frame, const char* wantCaption) const {
        EXPECT_EQ(caption, wantCaption);
        EXPECT_TRUE(focusOnOk);
        EXPECT_EQ(owner, frame);
        EXPECT_FALSE(ownerEnabled);
        EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
        EXPECT_NEAR(Centre(rect).x, Centre(WindowRect(frame)).x, 1);
        EXPECT_NEAR(Centre(rect).y, Centre(WindowRect(frame)).y, 1);
    }
};

class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestCompanyKey); }
    void TearDown() override {
        platform.ReleaseAll();
        if (frame != nullptr && IsWindow(window))
            DestroyWindow(window); // not closed: nothing is saved
        Pump();
        TestApp().m_pMainWnd = nullptr;
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestCompanyKey);
    }

    // Creates and shows the frame at a known place and size.
    void Open(int width = 420, int height = 320) { Create(SIZE{width, height}); }
    // Creates and shows the frame where its stored placement puts it.
    void Reopen() { Create(std::nullopt); }

    // Sends command `id` to the frame while the steps play against the
    // dialog it opens.
    void RunCommand(UINT id, std::vector<ModalScript::Step> steps) {
        ModalScript script(std::move(steps));
        script.Run([&] { SendMessageA(window, WM_COMMAND, id, 0); });
        EXPECT_FALSE(script.timedOut);
        Pump();
    }

    // Handles messages until every drive answer is in and applied.
    bool Settle() {
        return PumpUntil([this] { return !frame->m_catalogue.Busy(); }, [] { Pump(); });
    }
    // Every call on `root` blocks until the platform releases it; Open then
    // waits for the other drives only.
    void Hold(const std::string& root) {
        platform.Hold(root);
        held.insert(root);
    }

    std::shared_ptr<ScriptedDrivePlatform> platformPtr = std::make_shared<ScriptedDrivePlatform>();
    ScriptedDrivePlatform& platform = *platformPtr;
    CMainFrame* frame = nullptr;
    HWND window = nullptr;
    std::set<std::string> held;

private:
    void Create(std::optional<SIZE> size) {
        // Under Wine a frame made after another was destroyed in the same
        // process, minimized, now and then finds the menu it has just
        // loaded no longer a menu (CreateWindowEx: error 1401; IsMenu
        // false), seen only after the DPI tests had run on the display. The
        // program makes one frame per process; here a second try is made,
        // and said so.
        for (int attempt = 0;; ++attempt) {
            frame = new CMainFrame(platformPtr);
            // Readings all at one second: what is stored does not depend on when a test runs.
            frame->SetWallClock([] { return int64_t{1700000000}; });
            TestApp().m_pMainWnd = frame;
            if (frame->LoadFrame(IDR_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
                break;
            const DWORD error = GetLastError();
            frame = nullptr; // deleted by the failed creation
            std::fprintf(stderr, "note: the frame was not created (error %lu)%s\n", error,
                         attempt == 0 ? "; once more" : "");
            // Thrown, so that the test ends here rather than go on with no frame.
            if (attempt == 1)
                throw std::runtime_error("the frame was not created; error " +
                                         std::to_string(error));
        }
        window = frame->m_hWnd;
        if (size)
            SetWindowPos(window, nullptr, 90, 60, size->cx, size->cy, SWP_NOZORDER);
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
        Pump();
        // Start-up waits for the answers up to a deadline that a busy
        // machine may miss: the test goes on once every drive not held has
        // answered, whenever that is.
        ASSERT_TRUE(PumpUntil(
            [this] {
                const DriveList& drives = frame->m_catalogue.Drives();
                return std::all_of(drives.begin(), drives.end(), [this](const DriveRecord& r) {
                    return r.bPending == 0 || held.count(r.szRoot) != 0;
                });
            },
            [] { Pump(); }));
    }
};

} // namespace tovtest
