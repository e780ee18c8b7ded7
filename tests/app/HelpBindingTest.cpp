// The help viewer's binding: how often it reads the registry, loads and looks
// up (through a counting platform), where the real platform loads from, and
// how the registered path is read.
#include "app/HelpBinding.h"
#include "framework/Handle.h"
#include "framework/SystemLibrary.h"

#include <gtest/gtest.h>
#include <htmlhelp.h>

#include <cstring>
#include <string>

namespace {

HMODULE FakeModule(UINT_PTR value) {
    return reinterpret_cast<HMODULE>(value);
}

// The viewer's entry point as the counting platform hands it out.
struct ViewerCall {
    HWND caller;
    const wchar_t* file;
    UINT command;
    DWORD_PTR data;
};
int g_viewerCalls = 0;
ViewerCall g_lastCall{};
const HWND kViewerWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321));

HWND WINAPI FakeHtmlHelp(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
    ++g_viewerCalls;
    g_lastCall = {caller, file, command, data};
    return kViewerWindow;
}

FARPROC AsFarProc(HWND(WINAPI* function)(HWND, LPCWSTR, UINT, DWORD_PTR)) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

class CountingPlatform : public tov::HelpPlatform {
public:
    BOOL ReadRegisteredPath(HKEY root, const char* subkey, char (&buffer)[MAX_PATH]) override {
        ++reads;
        readRoot = root;
        readKey = subkey;
        if (registered == nullptr)
            return FALSE;
        lstrcpynA(buffer, registered, MAX_PATH);
        return TRUE;
    }
    HMODULE LoadLibraryAt(const char* path) override {
        ++pathLoads;
        loadedPath = path;
        return atPath;
    }
    HMODULE LoadControlFromSystem() override {
        ++systemLoads;
        return fromSystem;
    }
    FARPROC FindExport(HMODULE library, WORD ordinal) override {
        ++lookups;
        lookedIn = library;
        lastOrdinal = ordinal;
        return entryPoint;
    }

    const char* registered = "C:\\windows\\system32\\hhctrl.ocx";
    HMODULE atPath = FakeModule(0x1000);
    HMODULE fromSystem = FakeModule(0x2000);
    FARPROC entryPoint = AsFarProc(&FakeHtmlHelp);

    int reads = 0, pathLoads = 0, systemLoads = 0, lookups = 0;
    HKEY readRoot = nullptr;
    std::string readKey, loadedPath;
    HMODULE lookedIn = nullptr;
    WORD lastOrdinal = 0;
};

class HelpBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_viewerCalls = 0;
        tov::ResetHelpBindingForTesting(&platform);
    }
    void TearDown() override { tov::ResetHelpBindingForTesting(nullptr); }

    static HWND Contents() {
        return CallHtmlHelp(GetDesktopWindow(), L"Tovemar.chm", HH_DISPLAY_TOPIC, 0);
    }

    CountingPlatform platform;
};

TEST_F(HelpBindingTest, TheFirstCallReadsAndLoadsOnceLaterCallsGoStraightToTheViewer) {
    EXPECT_EQ(CallHtmlHelp(GetDesktopWindow(), L"Tovemar.chm", HH_DISPLAY_TOPIC, 77),
              kViewerWindow);
    EXPECT_EQ(g_lastCall.caller, GetDesktopWindow());
    EXPECT_STREQ(g_lastCall.file, L"Tovemar.chm");
    EXPECT_EQ(g_lastCall.command, static_cast<UINT>(HH_DISPLAY_TOPIC));
    EXPECT_EQ(g_lastCall.data, 77u);
    // The machine-wide registration, never HKEY_CLASSES_ROOT, which merges
    // the user's own classes over it.
    EXPECT_EQ(platform.readRoot, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(platform.readKey,
              "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32");
    EXPECT_EQ(platform.loadedPath, platform.registered);
    EXPECT_EQ(platform.lookedIn, platform.atPath);
    EXPECT_EQ(platform.lastOrdinal, 15); // the wide entry point

    EXPECT_EQ(CallHtmlHelp(nullptr, L"Tovemar.chm", HH_DISPLAY_TOPIC, 0), kViewerWindow);
    EXPECT_EQ(g_lastCall.caller, nullptr);
    EXPECT_EQ(g_viewerCalls, 2);
    EXPECT_EQ(platform.reads, 1);
    EXPECT_EQ(platform.pathLoads, 1);
    EXPECT_EQ(platform.systemLoads, 0);
    EXPECT_EQ(platform.lookups, 1);
}

TEST_F(HelpBindingTest, ARegisteredPathThatDoesNotLoadFallsBackToTheControlByName) {
    platform.atPath = nullptr;
    EXPECT_EQ(Contents(), kViewerWindow);
    EXPECT_EQ(platform.pathLoads, 1);
    EXPECT_EQ(platform.systemLoads, 1);
    EXPECT_EQ(platform.lookedIn, platform.fromSystem);

    // Without a registered path the registry read is the only try before it.
    tov::ResetHelpBindingForTesting(&platform);
    platform.registered = nullptr;
    EXPECT_EQ(Contents(), kViewerWindow);
    EXPECT_EQ(platform.pathLoads, 1);
    EXPECT_EQ(platform.systemLoads, 2);
}

TEST_F(HelpBindingTest, NothingLoadableIsSilentEveryTimeAndLoadingIsTriedOnlyOnce) {
    platform.registered = nullptr;
    platform.fromSystem = nullptr;
    for (int call = 0; call < 3; ++call)
        EXPECT_EQ(Contents(), nullptr);
    EXPECT_EQ(platform.reads, 1);
    EXPECT_EQ(platform.systemLoads, 1);
    EXPECT_EQ(platform.lookups, 0);
    EXPECT_EQ(g_viewerCalls, 0);
}

TEST_F(HelpBindingTest, ALibraryWithoutTheEntryPointStaysLoadedAndIsAskedAgainEachCall) {
    platform.entryPoint = nullptr;
    EXPECT_EQ(Contents(), nullptr);
    EXPECT_EQ(Contents(), nullptr);
    EXPECT_EQ(platform.lookups, 2);
    EXPECT_EQ(platform.pathLoads, 1);
    EXPECT_EQ(platform.reads, 1);

    platform.entryPoint = AsFarProc(&FakeHtmlHelp);
    EXPECT_EQ(Contents(), kViewerWindow);
    EXPECT_EQ(Contents(), kViewerWindow);
    EXPECT_EQ(platform.lookups, 3);
    EXPECT_EQ(platform.pathLoads, 1);
    EXPECT_EQ(g_viewerCalls, 2);
}

TEST_F(HelpBindingTest, ClosingTheViewersWindowsCallsItOnlyOnceItIsBound) {
    CloseHtmlHelp();
    EXPECT_EQ(platform.reads + platform.pathLoads + platform.systemLoads, 0);
    EXPECT_EQ(g_viewerCalls, 0);

    Contents();
    CloseHtmlHelp();
    EXPECT_EQ(g_viewerCalls, 2);
    EXPECT_EQ(g_lastCall.command, static_cast<UINT>(HH_CLOSE_ALL));
    EXPECT_EQ(g_lastCall.file, nullptr);
}

TEST(HelpFilePath, TheViewerIsGivenAPlainDrivePath) {
    EXPECT_EQ(WithoutLongPathPrefix(L"\\\\?\\C:\\Tools\\Tovemar.chm"), L"C:\\Tools\\Tovemar.chm");
    for (const wchar_t* kept : {L"C:\\Tools\\Tovemar.chm", L"\\\\?\\UNC\\host\\share\\Tovemar.chm",
                                L"\\\\?\\unix\\tmp\\Tovemar.chm", L"\\\\?\\C:"})
        EXPECT_EQ(WithoutLongPathPrefix(kept), kept);
}

// --- The real platform --------------------------------------------------

std::string DirectoryOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, length);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(),
                          static_cast<int>(prefix.size()), prefix.c_str(),
                          static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

const HWND kPlantedAnswer = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7EA7ED));

// Plants copies of the stand-in control library under `name` in a fresh
// current directory and in the program's directory, for the test's length.
class Planted {
public:
    explicit Planted(const char* name) {
        const std::string programDir = DirectoryOf(ModulePath(nullptr));
        m_source = programDir + "\\planted_hhctrl.dll";
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        m_currentDir = std::string(temp) + "TovemarPlant";
        CreateDirectoryA(m_currentDir.c_str(), nullptr);
        inCurrent = m_currentDir + "\\" + name;
        inProgram = programDir + "\\" + name;
        GetCurrentDirectoryA(sizeof m_previousDir, m_previousDir);
        ok = CopyFileA(m_source.c_str(), inCurrent.c_str(), FALSE) &&
             CopyFileA(m_source.c_str(), inProgram.c_str(), FALSE) &&
             SetCurrentDirectoryA(m_currentDir.c_str());
    }
    ~Planted() {
        SetCurrentDirectoryA(m_previousDir);
        DeleteFileA(inCurrent.c_str());
        DeleteFileA(inProgram.c_str());
        RemoveDirectoryA(m_currentDir.c_str());
    }
    bool Loaded() const {
        return GetModuleHandleA(inCurrent.c_str()) != nullptr ||
               GetModuleHandleA(inProgram.c_str()) != nullptr;
    }

    bool ok = false;
    std::string inCurrent, inProgram;

private:
    std::string m_source, m_currentDir;
    char m_previousDir[MAX_PATH] = {};
};

HWND CallEntry(HMODULE library) {
    const auto entry = reinterpret_cast<HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR)>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, MAKEINTRESOURCEA(15))));
    return entry != nullptr ? entry(nullptr, nullptr, 0, 0) : nullptr;
}

TEST(HelpBindingPlatform, ASystemLibraryIsNotTakenFromTheCurrentOrProgramDirectory) {
    Planted plant("TovemarPlant.ocx");
    ASSERT_TRUE(plant.ok);
    EXPECT_EQ(tov::LoadSystemLibrary(L"TovemarPlant.ocx"), nullptr);
    EXPECT_FALSE(plant.Loaded());

    // The ordinary search would have run the planted copy.
    const tov::UniqueModule searched(LoadLibraryA("TovemarPlant.ocx"));
    ASSERT_TRUE(searched);
    EXPECT_TRUE(plant.Loaded());
    EXPECT_EQ(CallEntry(searched.get()), kPlantedAnswer);

    // What is in the system directory loads.
    const tov::UniqueModule system(tov::LoadSystemLibrary(L"version.dll"));
    EXPECT_TRUE(system);
}

// The real loading, with the registry read failing.
class UnregisteredPlatform : public tov::Win32HelpPlatform {
public:
    BOOL ReadRegisteredPath(HKEY, const char*, char (&)[MAX_PATH]) override { return FALSE; }
    HMODULE LoadControlFromSystem() override {
        loaded = Win32HelpPlatform::LoadControlFromSystem();
        return loaded;
    }
    HMODULE loaded = nullptr;
};

TEST(HelpBindingPlatform, AControlPlantedInTheCurrentOrProgramDirectoryIsNeverBound) {
    Planted plant("hhctrl.ocx");
    ASSERT_TRUE(plant.ok);
    UnregisteredPlatform platform;
    tov::ResetHelpBindingForTesting(&platform);
    const HWND result = CallHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    tov::ResetHelpBindingForTesting(nullptr);

    EXPECT_NE(result, kPlantedAnswer);
    EXPECT_FALSE(plant.Loaded());
    if (platform.loaded != nullptr) {
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, sizeof system);
        EXPECT_TRUE(StartsWithNoCase(ModulePath(platform.loaded), std::string(system) + "\\"))
            << ModulePath(platform.loaded);
    }
}

TEST(HelpBindingPlatform, ARegisteredPathIsLoadedOnlyWhenItIsAFullPath) {
    tov::Win32HelpPlatform platform;
    EXPECT_EQ(platform.LoadLibraryAt("hhctrl.ocx"), nullptr);
    EXPECT_EQ(platform.LoadLibraryAt("system32\\hhctrl.ocx"), nullptr);
    EXPECT_EQ(platform.LoadLibraryAt("%SystemRoot%\\System32\\hhctrl.ocx"), nullptr);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    const std::string kernel = std::string(system) + "\\kernel32.dll";
    const HMODULE loaded = platform.LoadLibraryAt(kernel.c_str());
    EXPECT_NE(loaded, nullptr) << kernel;
    if (loaded != nullptr)
        FreeLibrary(loaded);
}

// --- The registered path ------------------------------------------------

class RegisteredPathTest : public ::testing::Test {
protected:
    static constexpr char kKey[] = "Software\\VelmoraTestHelpBinding\\InprocServer32";
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VelmoraTestHelpBinding"); }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VelmoraTestHelpBinding");
    }

    void Store(DWORD type, const void* data, DWORD size) {
        tov::UniqueHKey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key.get(), "", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    // Reads into a buffer full of 'x', so a missing terminator shows.
    BOOL Read() {
        std::memset(buffer, 'x', sizeof buffer);
        return tov::ReadRegisteredPath(HKEY_CURRENT_USER, kKey, buffer);
    }
    bool Terminated() const { return std::memchr(buffer, '\0', sizeof buffer) != nullptr; }

    char buffer[MAX_PATH];
};

TEST_F(RegisteredPathTest, ATerminatedPathIsReadAsStoredAndAnExpandablePathExpanded) {
    EXPECT_FALSE(Read()) << "no key";
    EXPECT_TRUE(Terminated());

    const char path[] = "C:\\windows\\system32\\hhctrl.ocx";
    Store(REG_SZ, path, sizeof path);
    EXPECT_TRUE(Read());
    EXPECT_STREQ(buffer, path);

    const char unexpanded[] = "%TovemarTestRoot%\\System32\\hhctrl.ocx";
    Store(REG_SZ, unexpanded, sizeof unexpanded);
    EXPECT_TRUE(Read());
    EXPECT_STREQ(buffer, unexpanded);
    SetEnvironmentVariableA("TovemarTestRoot", "C:\\windows");
    Store(REG_EXPAND_SZ, unexpanded, sizeof unexpanded);
    EXPECT_TRUE(Read());
    EXPECT_STREQ(buffer, "C:\\windows\\System32\\hhctrl.ocx");
    // Longer than a path once expanded: refused, not cut short.
    SetEnvironmentVariableA("TovemarTestRoot", std::string(MAX_PATH, 'e').c_str());
    EXPECT_FALSE(Read());
    EXPECT_TRUE(Terminated());
    SetEnvironmentVariableA("TovemarTestRoot", nullptr);

    Store(REG_SZ, "", 1);
    EXPECT_FALSE(Read());
    EXPECT_TRUE(Terminated());
}

TEST_F(RegisteredPathTest, AValueWithoutTerminatorIsTerminatedOrRefusedWhenItFillsTheBuffer) {
    Store(REG_BINARY, "C:\\a\\hh.ocx", 11);
    EXPECT_TRUE(Read());
    EXPECT_STREQ(buffer, "C:\\a\\hh.ocx");

    char full[MAX_PATH];
    std::memset(full, 'p', sizeof full);
    for (const DWORD type : {DWORD{REG_BINARY}, DWORD{REG_SZ}}) {
        SCOPED_TRACE(type);
        Store(type, full, sizeof full);
        EXPECT_FALSE(Read());
        EXPECT_TRUE(Terminated());
    }

    // Longer than the buffer: the read fails.
    char longer[MAX_PATH + 20];
    std::memset(longer, 'q', sizeof longer);
    longer[sizeof longer - 1] = '\0';
    Store(REG_SZ, longer, sizeof longer);
    EXPECT_FALSE(Read());
    EXPECT_TRUE(Terminated());

    // Exactly fitting with its terminator is fine.
    char fits[MAX_PATH];
    std::memset(fits, 'r', sizeof fits);
    fits[MAX_PATH - 1] = '\0';
    Store(REG_SZ, fits, sizeof fits);
    EXPECT_TRUE(Read());
    EXPECT_EQ(std::strlen(buffer), MAX_PATH - 1u);
}

} // namespace
