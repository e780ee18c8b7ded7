#include "framework/WinApp.h"

#include "framework/Registry.h"
#include "framework/Text.h"
#include "framework/Wnd.h"

#include <commctrl.h>

namespace {
thread_local CWinThread* t_currentThread = nullptr;
CWinApp* g_app = nullptr;

// The system's own timer message, which no header names.
constexpr UINT kWmSysTimer = 0x0118;
} // namespace

CWinThread::CWinThread() {
    if (t_currentThread == nullptr)
        t_currentThread = this;
}

CWinThread::~CWinThread() {
    if (t_currentThread == this)
        t_currentThread = nullptr;
}

CFrameWnd* CWinThread::GetMainFrame() const {
    return m_pMainWnd != nullptr ? m_pMainWnd->AsFrameWnd() : nullptr;
}

CWinThread* AfxGetThread() {
    return t_currentThread;
}

int CWinThread::Run() {
    MSG msg{};
    bool idle = true;
    for (;;) {
        while (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            OnIdle();
            idle = false;
        }
        // The wide loop: characters typed or posted in any script reach the
        // (wide) windows as they are.
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // Paints and timer ticks do not change command state; anything else
        // may, so the idle update runs again once the queue is empty.
        if (msg.message != WM_PAINT && msg.message != WM_TIMER && msg.message != kWmSysTimer)
            idle = true;
    }
    return static_cast<int>(msg.wParam);
}

void CWinThread::OnIdle() {
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr)
        SendMessageA(m_pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
    return m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr &&
           m_pMainWnd->PreTranslateMessage(msg);
}

CWinApp::CWinApp(const char* appName) {
    if (appName != nullptr)
        m_strAppName = appName;
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

DEFINE_MESSAGE_MAP(CWinApp, CCmdTarget);

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_app != nullptr && g_app->m_hInstance != nullptr)
        return g_app->m_hInstance;
    return GetModuleHandleA(nullptr);
}

void CWinApp::SetRegistryKey(const char* company) {
    m_strRegistryKey = company ? company : "";
}

std::string CWinApp::ApplicationKeyPath() const {
    return "Software\\" + m_strRegistryKey + "\\" + m_strAppName;
}

std::optional<int> CWinApp::TryGetProfileInt(const char* section, const char* entry) const {
    return TryGetProfileInt(section, tov::Widen(entry).c_str());
}

std::optional<int> CWinApp::TryGetProfileInt(const char* section, const wchar_t* entry) const {
    if (m_strRegistryKey.empty())
        return std::nullopt;
    return TryReadProfileInt(ApplicationKeyPath() + "\\" + section, entry);
}

std::optional<int> TryReadProfileInt(const std::string& keyPath, const wchar_t* entry) {
    const tov::UniqueHKey key = tov::OpenRegKey(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ);
    const std::optional<DWORD> value = tov::TryGetDword(key.get(), entry);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    return static_cast<UINT>(TryGetProfileInt(section, entry).value_or(defaultValue));
}

UINT CWinApp::GetProfileInt(const char* section, const wchar_t* entry, int defaultValue) {
    return static_cast<UINT>(TryGetProfileInt(section, entry).value_or(defaultValue));
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    return WriteProfileInt(section, tov::Widen(entry).c_str(), value);
}

BOOL CWinApp::WriteProfileInt(const char* section, const wchar_t* entry, int value) {
    if (m_strRegistryKey.empty())
        return FALSE;
    const tov::UniqueHKey key = tov::CreateRegKey(
        HKEY_CURRENT_USER, (ApplicationKeyPath() + "\\" + section).c_str(), KEY_WRITE);
    const DWORD data = static_cast<DWORD>(value);
    return key &&
           RegSetValueExW(key.get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

std::wstring AfxLoadStringW(UINT id) {
    // Without a buffer, LoadStringW hands out a pointer to the resource itself.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(AfxGetInstanceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length))
                                         : std::wstring();
}

std::string AfxLoadString(UINT id) {
    char buffer[512];
    const int length = LoadStringA(AfxGetInstanceHandle(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    app->m_hInstance = instance;
    if (app->m_strAppName.empty())
        app->m_strAppName = AfxLoadString(AFX_IDS_APP_TITLE);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // A program whose main window could not be created ends at once instead
    // of sitting in a message loop that nothing can end.
    if (!app->InitInstance() || app->m_pMainWnd == nullptr || app->m_pMainWnd->m_hWnd == nullptr)
        return 1;
    return app->Run();
}
