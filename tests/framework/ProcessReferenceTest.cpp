#include "framework/ProcessReference.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <thread>

// A sheet the shell runs on a thread of its own holds the process's
// reference past the program's own: the wait goes on handling this thread's
// messages and ends with that sheet's release.
TEST(ProcessReference, TheProcessWaitsForTheShellsLastHolder) {
    tov::ProcessReference reference;
    const tov::ShellProcessReference offered(reference);
    // The holder's message to this window returns only while this thread
    // handles messages, which it does only inside the wait.
    const HWND probe = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
    ASSERT_NE(probe, nullptr);
    const tov::UniqueHandle<HANDLE, CloseHandle> held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> answeredWhileWaiting = false;
    std::thread sheet([&] {
        IUnknown* process = nullptr;
        const bool holding = SUCCEEDED(SHGetInstanceExplorer(&process)) && process != nullptr;
        SetEvent(held.get());
        if (!holding)
            return;
        SendMessageW(probe, WM_NULL, 0, 0);
        answeredWhileWaiting = true;
        process->Release();
    });
    WaitForSingleObject(held.get(), 20000);
    EXPECT_EQ(reference.Release(), 1u) << "the program's own reference, with the sheet's left";
    EXPECT_TRUE(reference.RunUntilReleased(20000));
    sheet.join();
    EXPECT_TRUE(answeredWhileWaiting);
    DestroyWindow(probe);
}
