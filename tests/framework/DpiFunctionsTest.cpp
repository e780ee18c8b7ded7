// Display scaling's choices: where a window's DPI comes from, and the face
// of a stock font made for a DPI.
#include "framework/Dpi.h"
#include "framework/Handle.h"

#include <gtest/gtest.h>

namespace {

UINT g_windowDpi = 0, g_monitorDpi = 0;
HRESULT g_monitorResult = S_OK;
UINT WINAPI ForWindow(HWND) {
    return g_windowDpi;
}
HRESULT WINAPI ForMonitor(HMONITOR, int kind, UINT* x, UINT* y) {
    EXPECT_EQ(kind, 0) << "the effective DPI";
    *x = *y = g_monitorDpi;
    return g_monitorResult;
}

TEST(WindowDpi, TheWindowsOwnThenItsMonitorsThenTheSystems) {
    const HWND window = GetDesktopWindow();
    const tov::DpiFunctions both{&ForWindow, &ForMonitor}, monitorOnly{nullptr, &ForMonitor};
    g_windowDpi = 168;
    g_monitorDpi = 120;
    EXPECT_EQ(tov::WindowDpiWith(both, window), 168u);
    g_windowDpi = 0;
    EXPECT_EQ(tov::WindowDpiWith(both, window), 120u);
    EXPECT_EQ(tov::WindowDpiWith(monitorOnly, window), 120u); // 8.1, 10 before 1607
    g_monitorResult = E_INVALIDARG;
    EXPECT_EQ(tov::WindowDpiWith(monitorOnly, window), tov::SystemDpi());
    EXPECT_EQ(tov::WindowDpiWith({}, window), tov::SystemDpi()); // 7 and 8
}

HANDLE g_threadContext = nullptr;
HWND g_enabledFor = nullptr;
HANDLE WINAPI ThreadContext() {
    return g_threadContext;
}
BOOL WINAPI ContextsEqual(HANDLE a, HANDLE b) {
    return a == b;
}
BOOL WINAPI Enable(HWND window) {
    g_enabledFor = window;
    return TRUE;
}

// Only a top-level window on a thread aware per monitor in the first way
// asks for its caption and menu to scale; the second way does it by itself.
TEST(NonClientScaling, AskedForOnlyWherePerMonitorV1Rules) {
    const auto v1 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
    const auto v2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    const tov::NonClientScalingFunctions platform{&Enable, &ThreadContext, &ContextsEqual};
    const HWND window = GetDesktopWindow();
    g_threadContext = v1;
    EXPECT_TRUE(tov::EnableNonClientScalingWith(platform, window, true));
    EXPECT_EQ(g_enabledFor, window);
    g_enabledFor = nullptr;
    EXPECT_FALSE(tov::EnableNonClientScalingWith(platform, window, false)); // a child
    EXPECT_FALSE(tov::EnableNonClientScalingWith({}, window, true));        // before 1607
    g_threadContext = v2;
    EXPECT_FALSE(tov::EnableNonClientScalingWith(platform, window, true));
    EXPECT_EQ(g_enabledFor, nullptr);
}

// GDI scales a bitmap face only by whole multiples: at 125 % and 175 % it
// gives way to an outline face of the same weight.
TEST(StockFontForDpi, ABitmapFaceGivesWayToAnOutlineFaceOfTheSameWeight) {
    LOGFONTW stock{};
    stock.lfHeight = 16;
    stock.lfWidth = 7;
    stock.lfWeight = FW_BOLD;
    lstrcpyW(stock.lfFaceName, L"System");
    for (const UINT dpi : {120u, 168u}) {
        const LOGFONTW font = tov::StockFontForDpi(stock, true, L"Outline Face", dpi, 96);
        EXPECT_STREQ(font.lfFaceName, L"Outline Face");
        EXPECT_EQ(font.lfHeight, tov::ScaleForDpi(16, dpi));
        EXPECT_EQ(font.lfWidth, 0);
        EXPECT_EQ(font.lfWeight, FW_BOLD);
    }
    EXPECT_STREQ(tov::StockFontForDpi(stock, false, L"Outline Face", 120, 96).lfFaceName,
                 L"System");
    EXPECT_STREQ(tov::StockFontForDpi(stock, true, L"", 120, 96).lfFaceName, L"System");
    EXPECT_EQ(tov::StockFontForDpi(stock, true, L"Outline Face", 96, 144).lfHeight, 11);

    // What the view draws with at 125 % is an outline font.
    const tov::UniqueFont made(tov::CreateStockFontForDpi(SYSTEM_FONT, 120));
    ASSERT_TRUE(made);
    const tov::WindowDC screen(nullptr);
    const tov::SelectGuard select(screen.get(), made.get());
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(screen.get(), &metrics));
    EXPECT_NE(metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE), 0);
}

} // namespace
