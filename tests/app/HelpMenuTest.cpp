// The Help menu over a real main frame: the About box and the Contents
// command's call of the help viewer (through a recording platform).
#include "FrameFixture.h"
#include "app/AboutDialog.h"
#include "app/HelpBinding.h"

#include <htmlhelp.h>

#include <string>
#include <vector>

namespace {
using namespace tovtest;

class AboutBoxTest : public FrameFixture {};

TEST_F(AboutBoxTest, OpensCentredOverTheMainWindowFixedInSizeWithInertText) {
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 1000, 250}};
    Open(500, 360);
    HWND about = nullptr;
    ModalFacts facts;
    bool openAfterClick = false;
    RunCommand(ID_APP_ABOUT,
               {[&](HWND d) {
                    about = d;
                    facts = ModalFacts::Of(d);
                    // The contact line (its text starts 49 units down): inert.
                    RECT line{7, 49, 188, 57};
                    MapDialogRect(d, &line);
                    PostClick(d, line.left + 10, (line.top + line.bottom) / 2);
                },
                [&](HWND d) { openAfterClick = IsWindowVisible(d) && d == about; }, Press(IDOK)});
    facts.ExpectModalOver(window, "About Tovemar");
    EXPECT_TRUE(openAfterClick);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowEnabled(window));
}

// Records what the Contents command asks of the viewer.
struct ViewerRecord {
    int calls = 0;
    HWND caller = nullptr;
    std::wstring file;
    UINT command = 0xFFFF;
    DWORD_PTR data = 0xFFFF;
};
ViewerRecord g_viewer;

HWND WINAPI RecordingHtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
    g_viewer = {g_viewer.calls + 1, caller, file != nullptr ? file : L"", command, data};
    return nullptr; // as when the viewer finds no file: nothing may follow from it
}

class RecordingPlatform : public tov::HelpPlatform {
public:
    BOOL ReadRegisteredPath(HKEY, const char*, char (&)[MAX_PATH]) override { return FALSE; }
    HMODULE LoadLibraryAt(const char*) override { return nullptr; }
    HMODULE LoadControlFromSystem() override { return reinterpret_cast<HMODULE>(0x1000); }
    FARPROC FindExport(HMODULE, WORD) override {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordingHtmlHelp));
    }
};

// The current directory moved to a fresh one that holds a Tovemar.chm of its
// own, for the object's life.
struct ForeignHelpFile {
    ForeignHelpFile() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        directory = std::wstring(temp) + L"TovemarElsewhere";
        CreateDirectoryW(directory.c_str(), nullptr);
        CloseHandle(CreateFileW((directory + L"\\Tovemar.chm").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
        GetCurrentDirectoryW(MAX_PATH, previous);
        SetCurrentDirectoryW(directory.c_str());
    }
    ~ForeignHelpFile() {
        SetCurrentDirectoryW(previous);
        DeleteFileW((directory + L"\\Tovemar.chm").c_str());
        RemoveDirectoryW(directory.c_str());
    }
    std::wstring directory;
    wchar_t previous[MAX_PATH] = {};
};

class HelpContentsTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        g_viewer = {};
        tov::ResetHelpBindingForTesting(&recording);
    }
    void TearDown() override {
        tov::ResetHelpBindingForTesting(nullptr);
        FrameFixture::TearDown();
    }
    RecordingPlatform recording;
};

TEST_F(HelpContentsTest, OpensTheFileBesideTheProgramAtItsDefaultTopicOwnedByTheFocusWindow) {
    platform.drives = {{"C:\\", "Local Disk (C:)", DRIVE_FIXED, true, 1000, 250}};
    Open();
    const ForeignHelpFile elsewhere; // as when started from another folder
    SetFocus(window);                // the frame passes it on to the view
    ASSERT_EQ(GetFocus(), frame->m_wndView.m_hWnd);
    SendMessageA(window, WM_COMMAND, ID_HELP_CONTENTS, 0);
    EXPECT_EQ(g_viewer.calls, 1);
    EXPECT_EQ(g_viewer.caller, frame->m_wndView.m_hWnd);
    wchar_t program[MAX_PATH] = {};
    const std::wstring path(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
    EXPECT_EQ(g_viewer.file, path.substr(0, path.rfind(L'\\') + 1) + L"Tovemar.chm");
    EXPECT_EQ(g_viewer.command, static_cast<UINT>(HH_DISPLAY_TOPIC));
    EXPECT_EQ(g_viewer.data, 0u);
    EXPECT_TRUE(IsWindow(window));

    // Without the focus anywhere the caller is null.
    SetFocus(nullptr);
    SendMessageA(window, WM_COMMAND, ID_HELP_CONTENTS, 0);
    EXPECT_EQ(g_viewer.calls, 2);
    EXPECT_EQ(g_viewer.caller, nullptr);

    // F1 is Help > Contents, as everywhere.
    SetFocus(window);
    PostKey(frame->m_wndView.m_hWnd, VK_F1);
    Pump();
    EXPECT_EQ(g_viewer.calls, 3);
    EXPECT_EQ(g_viewer.caller, frame->m_wndView.m_hWnd);
}

} // namespace
