#include "framework/Dpi.h"

#include "framework/Handle.h"

namespace tov {

UINT SystemDpi() {
    const tov::WindowDC screen(nullptr);
    const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

namespace {
// A function of user32 that older systems lack, or null.
template <typename Fn> Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}
} // namespace

UINT WindowDpi(HWND window) {
    // Present from Windows 10 (1607) on; older systems scale by the system DPI.
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return dpi;
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto getForDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (getForDpi != nullptr)
        return getForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

HFONT CreateStockFontForDpi(int stockFont, UINT dpi) {
    const UINT system = SystemDpi();
    if (dpi == kBaseDpi && system == kBaseDpi)
        return nullptr;
    LOGFONTA font{};
    if (GetObjectA(GetStockObject(stockFont), sizeof font, &font) == 0)
        return nullptr;
    // Stock fonts are sized for the system DPI. Their width is left to the
    // font mapper: some platforms keep the 96-DPI width in the stock font at
    // any DPI, which would squeeze the text.
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
    font.lfWidth = 0;
    return CreateFontIndirectA(&font);
}

} // namespace tov
