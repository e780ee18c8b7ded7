#include "framework/Dpi.h"

#include "framework/Handle.h"

#include <utility>

namespace tov {

UINT SystemDpi() {
    const tov::WindowDC screen(nullptr);
    const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

namespace {
// A function of a system library that older systems lack, or null.
template <typename Fn> Fn SystemFunction(HMODULE library, const char* name) {
    return library != nullptr
               ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)))
               : nullptr;
}
template <typename Fn> Fn User32Function(const char* name) {
    return SystemFunction<Fn>(GetModuleHandleA("user32.dll"), name);
}

// MDT_EFFECTIVE_DPI of GetDpiForMonitor: the DPI the monitor's scaling asks for.
constexpr int kEffectiveDpi = 0;
} // namespace

namespace {
thread_local HWND t_restoringPlacement = nullptr;
} // namespace

BOOL RestoreWindowPlacement(HWND window, const WINDOWPLACEMENT& placement, PlacementSetter set) {
    const HWND outer = std::exchange(t_restoringPlacement, window);
    const BOOL result = set(window, &placement);
    t_restoringPlacement = outer;
    return result;
}

bool IsRestoringPlacement(HWND window) {
    return window != nullptr && window == t_restoringPlacement;
}

UINT WindowDpiWith(const DpiFunctions& functions, HWND window) {
    if (window == nullptr)
        return SystemDpi();
    if (functions.forWindow != nullptr) {
        if (const UINT dpi = functions.forWindow(window); dpi != 0)
            return dpi;
    }
    if (functions.forMonitor != nullptr) {
        UINT x = 0, y = 0;
        const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (SUCCEEDED(functions.forMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0)
            return y;
    }
    return SystemDpi();
}

UINT WindowDpi(HWND window) {
    static const DpiFunctions platform{
        User32Function<decltype(DpiFunctions::forWindow)>("GetDpiForWindow"),
        // shcore is loaded once, where present, and stays.
        SystemFunction<decltype(DpiFunctions::forMonitor)>(
            LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32),
            "GetDpiForMonitor")};
    return WindowDpiWith(platform, window);
}

bool EnableNonClientScalingWith(const NonClientScalingFunctions& functions, HWND window,
                                bool topLevel) {
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE: per monitor, the first way.
    const auto perMonitorV1 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
    if (!topLevel || functions.enable == nullptr || functions.threadContext == nullptr ||
        functions.contextsEqual == nullptr ||
        !functions.contextsEqual(functions.threadContext(), perMonitorV1))
        return false;
    functions.enable(window);
    return true;
}

void EnableNonClientScaling(HWND window, bool topLevel) {
    static const NonClientScalingFunctions platform{
        User32Function<decltype(NonClientScalingFunctions::enable)>("EnableNonClientDpiScaling"),
        User32Function<decltype(NonClientScalingFunctions::threadContext)>(
            "GetThreadDpiAwarenessContext"),
        User32Function<decltype(NonClientScalingFunctions::contextsEqual)>(
            "AreDpiAwarenessContextsEqual")};
    EnableNonClientScalingWith(platform, window, topLevel);
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto getForDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (getForDpi != nullptr)
        return getForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

BOOL AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjustForDpi =
        User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (adjustForDpi != nullptr)
        return adjustForDpi(rect, style, FALSE, exStyle, dpi);
    return AdjustWindowRectEx(rect, style, FALSE, exStyle);
}

LOGFONTW StockFontForDpi(LOGFONTW stock, bool bitmapFace, const wchar_t* outlineFace, UINT dpi,
                         UINT systemDpi) {
    // Stock fonts are sized for the system DPI. Their width is left to the
    // font mapper: some platforms keep the 96-DPI width in the stock font at
    // any DPI, which would squeeze the text.
    stock.lfHeight = MulDiv(stock.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi));
    stock.lfWidth = 0;
    if (bitmapFace && outlineFace != nullptr && outlineFace[0] != L'\0') {
        lstrcpynW(stock.lfFaceName, outlineFace, LF_FACESIZE);
        stock.lfOutPrecision = OUT_TT_PRECIS;
        stock.lfQuality = DEFAULT_QUALITY;
    }
    return stock;
}

namespace {
// True when GDI draws stock font `font` from a bitmap face.
bool IsBitmapFont(HGDIOBJ font) {
    const tov::WindowDC screen(nullptr);
    const tov::SelectGuard select(screen.get(), font);
    TEXTMETRICW metrics{};
    return GetTextMetricsW(screen.get(), &metrics) &&
           (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0;
}

// The face of the system's message font at `dpi` (an outline face), or empty.
void MessageFontFace(UINT dpi, wchar_t (&face)[LF_FACESIZE]) {
    static const auto forDpi =
        User32Function<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const BOOL read =
        forDpi != nullptr
            ? forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)
            : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    lstrcpynW(face, read ? metrics.lfMessageFont.lfFaceName : L"", LF_FACESIZE);
}
} // namespace

HFONT CreateStockFontForDpi(int stockFont, UINT dpi) {
    const UINT system = SystemDpi();
    if (dpi == kBaseDpi && system == kBaseDpi)
        return nullptr;
    const HGDIOBJ stock = GetStockObject(stockFont);
    LOGFONTW font{};
    if (GetObjectW(stock, sizeof font, &font) == 0)
        return nullptr;
    const bool bitmap = IsBitmapFont(stock);
    wchar_t face[LF_FACESIZE] = L"";
    if (bitmap)
        MessageFontFace(dpi, face);
    font = StockFontForDpi(font, bitmap, face, dpi, system);
    return CreateFontIndirectW(&font);
}

} // namespace tov
