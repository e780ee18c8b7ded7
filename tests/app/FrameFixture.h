// The real main frame over scripted drives, as the program's dialogs meet it:
// the application object is the program's own, its settings go to a test-only
// company key deleted before and after each test, and commands reach the
// frame as WM_COMMAND. A modal command runs under a ModalScript.
#pragma once

#include "ModalScript.h"
#include "RegistrySnapshot.h"
#include "app/DriveApp.h"
#include "app/MainFrame.h"
#include "res/resource.h"
#include "tests/drives/ScriptedDrivePlatform.h"

#include <gtest/gtest.h>

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
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        if (!TestApp().PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

inline std::map<std::string, std::string> StoredSettings() {
    return Snapshot(kTestCompanyKey);
}

// A stored per-drive flag, or -1 when there is none.
inline int StoredDriveFlag(const std::string& displayName) {
    DWORD value = 0, size = sizeof value;
    const std::string path = std::string(kTestCompanyKey) + "\\Tovemar\\Drives";
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), displayName.c_str(), RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(value);
}

inline RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

inline POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

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
    void Open(int width = 420, int height = 320) {
        frame = new CMainFrame(platformPtr);
        TestApp().m_pMainWnd = frame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        window = frame->m_hWnd;
        SetWindowPos(window, nullptr, 90, 60, width, height, SWP_NOZORDER);
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
        Pump();
    }

    // Sends command `id` to the frame while the steps play against the
    // dialog it opens.
    void RunCommand(UINT id, std::vector<ModalScript::Step> steps) {
        ModalScript script(std::move(steps));
        script.Run([&] { SendMessageA(window, WM_COMMAND, id, 0); });
        EXPECT_FALSE(script.timedOut);
        Pump();
    }

    std::shared_ptr<ScriptedDrivePlatform> platformPtr = std::make_shared<ScriptedDrivePlatform>();
    ScriptedDrivePlatform& platform = *platformPtr;
    CMainFrame* frame = nullptr;
    HWND window = nullptr;
};

} // namespace tovtest
