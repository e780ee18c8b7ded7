#include "tests/e2e/Remote.h"

#include "framework/Accessibility.h"
#include "framework/Handle.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <utility>

namespace remote {

Process::Process(Process&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_id(other.m_id) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (m_handle != nullptr)
            CloseHandle(m_handle);
        m_handle = std::exchange(other.m_handle, nullptr);
        m_id = other.m_id;
    }
    return *this;
}

Process::~Process() {
    if (m_handle != nullptr)
        CloseHandle(m_handle);
}

Process Start(const std::string& exe, std::optional<WORD> show) {
    std::string directory = exe.substr(0, exe.find_last_of("\\/") + 1);
    std::string commandLine = "\"" + exe + "\"";
    // The program gets the null device for its standard handles, not ours:
    // under Wine it would otherwise hold the pipes of whoever reads our
    // output open for as long as it runs.
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(which), HANDLE_FLAG_INHERIT, 0);
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE null =
        CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = null;
    if (show) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = *show;
    }
    PROCESS_INFORMATION info{};
    const BOOL started =
        CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &info);
    if (null != INVALID_HANDLE_VALUE)
        CloseHandle(null);
    if (!started)
        return {};
    CloseHandle(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

Process Open(DWORD id) {
    HANDLE handle = OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
    return handle != nullptr ? Process(handle, id) : Process();
}

namespace {
struct TopWindowSearch {
    DWORD pid;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopWindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (pid == search->pid && IsWindowVisible(window) && lstrcmpA(title, search->title) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindTopWindow(DWORD pid, const char* title) {
    TopWindowSearch search{pid, title, nullptr};
    EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitTopWindow(DWORD pid, const char* title, DWORD timeoutMs) {
    const double end = NowMs() + timeoutMs;
    for (;;) {
        if (HWND window = FindTopWindow(pid, title))
            return window;
        if (NowMs() > end)
            return nullptr;
        Sleep(1);
    }
}

namespace {
// One entry of the GDI handle table that the process environment block
// points to (its layout on 64-bit systems).
struct GdiTableEntry {
    UINT64 kernelAddress;
    USHORT processId;
    USHORT count;
    USHORT upper;
    USHORT type; // 0: a free entry
    UINT64 userAddress;
};
static_assert(sizeof(GdiTableEntry) == 24);
constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kPebGdiTableOffset = 0xF8; // PEB.GdiSharedHandleTable, 64-bit

// The GDI objects of the table in use, and the device contexts among them.
long CountGdiTableEntries(const Process& process, long* deviceContexts) {
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process.handle(), ProcessBasicInformation, &basic, sizeof basic,
                                  &length) != 0)
        return -1;
    void* table = nullptr;
    if (!ReadProcessMemory(process.handle(),
                           static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) +
                               kPebGdiTableOffset,
                           &table, sizeof table, nullptr) ||
        table == nullptr)
        return -1;
    std::vector<GdiTableEntry> entries(kGdiTableEntries);
    if (!ReadProcessMemory(process.handle(), table, entries.data(),
                           entries.size() * sizeof(GdiTableEntry), nullptr))
        return -1;
    constexpr USHORT kDeviceContext = 1; // the table's type of a DC
    long count = 0;
    *deviceContexts = 0;
    for (const GdiTableEntry& entry : entries) {
        count += (entry.type & 0xFF) != 0 ? 1 : 0;
        *deviceContexts += (entry.type & 0xFF) == kDeviceContext ? 1 : 0;
    }
    return count;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

BOOL CALLBACK CountTopWindow(HWND window, LPARAM param) {
    auto* counter = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == counter->pid) {
        ++counter->count;
        EnumChildWindows(window, CountChild, param);
    }
    return TRUE;
}
} // namespace

Usage Measure(const Process& process) {
    Usage usage;
    const DWORD gdi = GetGuiResources(process.handle(), GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process.handle(), GR_USEROBJECTS);
    if (gdi != 0) {
        usage.gdiObjects = static_cast<long>(gdi);
        usage.userObjects = static_cast<long>(user);
    } else {
        usage.gdiObjects = CountGdiTableEntries(process, &usage.deviceContexts);
        WindowCount windows{process.id(), 0};
        EnumWindows(CountTopWindow, reinterpret_cast<LPARAM>(&windows));
        usage.userObjects = windows.count;
        usage.userIsWindows = true;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory))
        usage.privateBytes = static_cast<long long>(
            memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage);
    return usage;
}

std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(std::max(length, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
    out.resize(out.size() - 1); // the terminator
    return out;
}

Accessible::Accessible(HWND window) {
    CoInitialize(nullptr);
    void* object = nullptr;
    if (window != nullptr &&
        SUCCEEDED(AccessibleObjectFromWindow(window, OBJID_CLIENT, tov::kIID_IAccessible, &object)))
        m_object = static_cast<IAccessible*>(object);
}

Accessible::~Accessible() {
    if (m_object != nullptr)
        m_object->Release();
    CoUninitialize();
}

VARIANT Child(LONG id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::string TakeUtf8(BSTR text) {
    std::string out = Utf8(text != nullptr ? text : L"");
    SysFreeString(text);
    return out;
}

bool Accessible::Busy() const {
    VARIANT state{};
    return m_object == nullptr || FAILED(m_object->get_accState(Child(CHILDID_SELF), &state)) ||
           state.vt != VT_I4 || (state.lVal & STATE_SYSTEM_BUSY) != 0;
}

std::vector<std::string> Accessible::Children(bool describe) const {
    std::vector<std::string> lines;
    LONG count = 0;
    if (m_object == nullptr || FAILED(m_object->get_accChildCount(&count)))
        return lines;
    for (LONG id = 1; id <= count; ++id) {
        BSTR name = nullptr, value = nullptr;
        m_object->get_accName(Child(id), &name);
        if (describe)
            m_object->get_accDescription(Child(id), &value);
        else
            m_object->get_accValue(Child(id), &value);
        std::string line = TakeUtf8(name), text = TakeUtf8(value);
        for (size_t at; (at = text.find('\n')) != std::string::npos;)
            text.replace(at, 1, " | ");
        lines.push_back(line + "\t" + text);
    }
    return lines;
}

bool WaitNotBusy(HWND window, DWORD limitMs) {
    const Accessible object(window);
    const double end = NowMs() + limitMs;
    while (object.Busy()) {
        if (NowMs() > end)
            return false;
        Sleep(20);
    }
    return true;
}

double NowMs() {
    static const double msPerTick = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * msPerTick;
}

double LongestSilence(HWND window, HWND target, UINT message, WPARAM wParam, double durationMs) {
    PostMessageA(target, message, wParam, 0);
    const double end = NowMs() + durationMs;
    double longest = 0;
    while (NowMs() < end) {
        const double t0 = NowMs();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result))
            return -1;
        longest = std::max(longest, NowMs() - t0);
    }
    return longest;
}

namespace {
// A DC of the whole window, children included, released when it goes away.
class CacheDC : public tov::DCOwner<tov::ReleaseToWindow> {
public:
    [[nodiscard]] explicit CacheDC(HWND window)
        : DCOwner(GetDCEx(window, nullptr, DCX_CACHE), {window}) {}
};
} // namespace

int Image::Count(const RECT& r, COLORREF c) const {
    int n = 0;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, m_cy); ++y)
        for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, m_cx); ++x)
            n += At(x, y) == c ? 1 : 0;
    return n;
}

int Image::CountOther(const RECT& r, COLORREF c) const {
    const int width = std::min<int>(r.right, m_cx) - std::max<int>(r.left, 0);
    const int height = std::min<int>(r.bottom, m_cy) - std::max<int>(r.top, 0);
    return width <= 0 || height <= 0 ? 0 : width * height - Count(r, c);
}

bool Image::HasHorizontalPair(const RECT& r, COLORREF c) const {
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, m_cy); ++y)
        for (int x = std::max<int>(r.left, 0); x + 1 < std::min<int>(r.right, m_cx); ++x)
            if (At(x, y) == c && At(x + 1, y) == c)
                return true;
    return false;
}

COLORREF PixelAt(HWND window, int x, int y) {
    HWND root = GetAncestor(window, GA_ROOT);
    POINT at{x, y};
    MapWindowPoints(window, root, &at, 1);
    const CacheDC dc(root);
    return dc.get() != nullptr ? GetPixel(dc.get(), at.x, at.y) : CLR_INVALID;
}

bool Image::Capture(HWND window) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int cx = client.right, cy = client.bottom;
    // Read through the top-level window's DC, children included, at the
    // window's place in it: Wine gives another process no readable DC of a
    // child window of its own.
    HWND root = GetAncestor(window, GA_ROOT);
    POINT origin{0, 0};
    MapWindowPoints(window, root, &origin, 1);
    const CacheDC source(root);
    if (source.get() == nullptr)
        return false;
    tov::UniqueDC memory(CreateCompatibleDC(source.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    tov::UniqueBitmap bitmap(
        CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap)
        return false;
    {
        tov::SelectGuard select(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, cx, cy, source.get(), origin.x, origin.y, SRCCOPY))
            return false;
        GdiFlush();
    }
    m_cx = cx;
    m_cy = cy;
    m_pixels.resize(static_cast<size_t>(cx) * cy);
    const auto* dib = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < m_pixels.size(); ++i) // DIB 0x00RRGGBB to COLORREF
        m_pixels[i] = RGB((dib[i] >> 16) & 0xFF, (dib[i] >> 8) & 0xFF, dib[i] & 0xFF);
    return true;
}

RowLook LookAtRow(const Image& image, int y, COLORREF background) {
    const int w = image.Width();
    // Inside the bar, off its first column and row, where the grey box's
    // outline may fall.
    const RECT bar{45, y + 1, w - 100, y + 27};
    const int area = (bar.right - bar.left) * (bar.bottom - bar.top);
    const int blue = image.Count(bar, kBarBlue);
    const int red = image.Count(bar, kBarRed);
    const int silver = image.Count(bar, kBarSilver);
    const int dark = image.Count(bar, kDarkGrey);

    RowLook look;
    const RECT cell{w - 95, y, w, y + 32};
    look.freeText = image.CountOther(cell, background) > 0;
    // Exactly in place: nothing drawn in the column left of the bar, the
    // column right of it, or the rows just above and below it.
    const RECT outside[] = {{43, y, 44, y + 28},
                            {w - 100, y, w - 99, y + 28},
                            {44, y - 1, w - 100, y},
                            {44, y + 28, w - 100, y + 29}};
    for (const RECT& r : outside)
        look.misplaced = look.misplaced || image.CountOther(r, background) > 0;
    if (area <= 0)
        look.kind = "other";
    else if (image.CountOther(RECT{44, y, w - 100, y + 28}, background) == 0)
        look.kind = "empty";
    else if (dark * 3 > area)
        look.kind = "dark"; // a dark checkerboard over about half the bar
    else if (red > 0 && red + silver == area)
        look.kind = "red"; // a nearly-full drive's bar, marked
    else if (blue + silver != area || blue == 0)
        look.kind = "other";
    else if (image.HasHorizontalPair(bar, kBarBlue))
        look.kind = "bar"; // a solid fill or solid label strokes
    else
        look.kind = "light"; // the label showing through a light checkerboard
    return look;
}

} // namespace remote
