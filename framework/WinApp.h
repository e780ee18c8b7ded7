// The application object, its thread, the message loop and the per-user
// profile (integers per section and entry under
// HKEY_CURRENT_USER\Software\<company>\<application>\<section>).
#pragma once

#include "framework/CmdTarget.h"

#include <optional>
#include <string>

class CFrameWnd;
class CWnd;

class CWinThread {
public:
    CWinThread();
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    CWnd* m_pMainWnd = nullptr;
    CWnd* GetMainWnd() const { return m_pMainWnd; }
    // The main window when it is a frame window, or null.
    CFrameWnd* GetMainFrame() const;

    virtual BOOL InitInstance() { return FALSE; }
    // Runs the message loop until WM_QUIT; returns its exit code.
    virtual int Run();
    // Called when the queue has become empty; updates the main window's
    // command user interface (toolbar buttons).
    virtual void OnIdle();
    // Gives the main window a chance to translate a message (accelerators).
    virtual BOOL PreTranslateMessage(MSG* msg);
};

// The thread object of the calling thread, or null.
CWinThread* AfxGetThread();

class CWinApp : public CWinThread, public CCmdTarget {
public:
    // appName null: the name is loaded from string AFX_IDS_APP_TITLE.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;
    std::string m_strRegistryKey; // the company key; empty until SetRegistryKey

    DECLARE_MESSAGE_MAP()

    // Kept for the start-up sequence's shape: the platform needs neither.
    void Enable3dControls() {}

    // From now on the profile lives under Software\<company>\<application>.
    void SetRegistryKey(const char* company);

    // The 32-bit integer stored under (section, entry); nothing when the
    // profile, section or entry is missing, or the stored value is not a
    // 4-byte REG_DWORD.
    // An entry named in the ANSI code page is the entry the wide name it
    // converts to names: the two forms reach the same value.
    std::optional<int> TryGetProfileInt(const char* section, const char* entry) const;
    std::optional<int> TryGetProfileInt(const char* section, const wchar_t* entry) const;
    // TryGetProfileInt, or defaultValue when it finds nothing.
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    UINT GetProfileInt(const char* section, const wchar_t* entry, int defaultValue);
    // Stores value as REG_DWORD, creating the keys as needed; TRUE on success.
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    BOOL WriteProfileInt(const char* section, const wchar_t* entry, int value);

    // Software\<company>\<application>: the application key below HKCU.
    std::string ApplicationKeyPath() const;
};

// The profile read that TryGetProfileInt makes, on HKCU\<keyPath>; it needs
// no application object, so any thread may call it.
std::optional<int> TryReadProfileInt(const std::string& keyPath, const wchar_t* entry);

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
inline void AfxEnableControlContainer() {}

// Framework string ids (string table of the program's resources).
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;   // 57344
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001; // 57345
constexpr UINT ID_SEPARATOR = 0;
constexpr UINT ID_EDIT_COPY = 0xE122;       // 57634
constexpr UINT ID_APP_ABOUT = 0xE140;       // 57664
constexpr UINT ID_APP_EXIT = 0xE141;        // 57665
constexpr UINT ID_VIEW_TOOLBAR = 0xE800;    // 59392
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801; // 59393
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;    // 59392
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801; // 59393
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
// Sent to the main window when the message queue has become empty.
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

constexpr DWORD FWS_ADDTOTITLE = 0x8000;

// Loads string `id` from the program's resources; empty when missing.
std::string AfxLoadString(UINT id);
std::wstring AfxLoadStringW(UINT id);

// The framework's WinMain: sets up the application object, runs
// InitInstance and the message loop. Ends with exit code 1 when InitInstance
// fails or leaves no main window.
int AfxWinMain(HINSTANCE instance);
