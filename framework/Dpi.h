// Display scaling: the DPI a window is shown at, and lengths scaled to it.
//
// Lengths are given at 96 DPI (100 %) and scaled one by one with MulDiv, so
// that at 96 DPI every length is exactly its given value.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace tov {

constexpr UINT kBaseDpi = 96;

// `value` (pixels at 96 DPI) at `dpi`, rounded to the nearest pixel.
inline int ScaleForDpi(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

// The DPI of the screen as the whole system sees it (the logical pixels per
// inch of the screen); 96 when it cannot be read.
UINT SystemDpi();

// The DPI of the monitor `window` is shown on, for a program that scales per
// monitor: the window's own DPI (Windows 10 from 1607), else that of the
// monitor it is on (Windows 8.1 on), else the system DPI.
UINT WindowDpi(HWND window);

// The platform's per-window and per-monitor DPI functions; null where the
// platform lacks one.
struct DpiFunctions {
    UINT(WINAPI* forWindow)(HWND) = nullptr;
    HRESULT(WINAPI* forMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
};
// WindowDpi with the functions given: the first of them that answers.
UINT WindowDpiWith(const DpiFunctions& functions, HWND window);

// The platform's functions behind non-client scaling; null where absent.
struct NonClientScalingFunctions {
    BOOL(WINAPI* enable)(HWND) = nullptr;                  // EnableNonClientDpiScaling
    HANDLE(WINAPI* threadContext)() = nullptr;             // GetThreadDpiAwarenessContext
    BOOL(WINAPI* contextsEqual)(HANDLE, HANDLE) = nullptr; // AreDpiAwarenessContextsEqual
};
// For a top-level window in its WM_NCCREATE: where the thread scales per
// monitor in the first way only (Windows 10 1607, which knows no second
// way, runs the manifest's per-monitor awareness so), the caption, menu and
// scroll bars scale with the monitor only when the window asks for it.
// The second way scales them by itself. True when it was asked.
bool EnableNonClientScalingWith(const NonClientScalingFunctions& functions, HWND window,
                                bool topLevel);
void EnableNonClientScaling(HWND window, bool topLevel);

// AdjustWindowRectEx for a window shown at `dpi`: its frame and caption at
// that DPI's sizes where the platform can tell them (Windows 10 from 1607).
BOOL AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi);

// System metric `index` (SM_CXICON, SM_CYEDGE, ...) at `dpi`.
int SystemMetricForDpi(int index, UINT dpi);

// A frame whose DPI changes (WM_DPICHANGED) sends its view and its bars
// WM_DPICHANGED_AFTERPARENT with the new DPI in wParam; the platform sends
// the same message with 0, and the window then asks for its own DPI.
inline UINT DpiOfAfterParent(HWND window, WPARAM wParam) {
    return wParam != 0 ? static_cast<UINT>(wParam) : WindowDpi(window);
}

// SetWindowPlacement through `set` (the platform's, unless a test stands in).
// A stored placement is in the pixels of the monitor it lies on; moving a
// window there from a monitor of another scale makes the platform send
// WM_DPICHANGED with a rectangle scaled by the ratio of the two, which would
// grow or shrink the window at every start. While this runs, a frame takes
// the new DPI but keeps the rectangle the placement gives.
using PlacementSetter = BOOL(WINAPI*)(HWND, const WINDOWPLACEMENT*);
BOOL RestoreWindowPlacement(HWND window, const WINDOWPLACEMENT& placement,
                            PlacementSetter set = SetWindowPlacement);
// True while RestoreWindowPlacement runs for `window` on this thread.
bool IsRestoringPlacement(HWND window);

// A copy of stock font `stockFont` made for `dpi`, or null where the stock
// font itself serves (96 DPI on a 96-DPI system). The caller owns and
// deletes a non-null result.
HFONT CreateStockFontForDpi(int stockFont, UINT dpi);

// The description of a stock font (`stock`, made for `systemDpi`) at `dpi`:
// its height scaled, its width left to the font mapper. A bitmap face, which
// GDI scales only by whole multiples, gives way to `outlineFace` (when one
// is given) at the same weight.
LOGFONTW StockFontForDpi(LOGFONTW stock, bool bitmapFace, const wchar_t* outlineFace, UINT dpi,
                         UINT systemDpi);

} // namespace tov
