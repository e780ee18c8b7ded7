// The platform's accessibility library (oleacc), bound on first use: a
// program that no screen reader asks about never loads it.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string_view>

namespace tov {

// {618736E0-3C3D-11CF-810C-00AA00389B71}. Spelled out: linked statically,
// the library's own symbol for it resolves to an import thunk.
inline constexpr IID kIID_IAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// WM_GETOBJECT's answer for `object`: LresultFromObject of IAccessible; 0
// when the library is not available.
LRESULT LresultFromAccessible(WPARAM wParam, IAccessible* object);

// Cuts off the proxies of other processes from `object`, so that they let
// it go; calls made inside this process are unaffected.
void DisconnectClients(IUnknown* object);

// The platform's accessible object of `window`'s part `objectId`
// (OBJID_WINDOW, ...) as IDispatch, or null.
IDispatch* StandardAccessible(HWND window, LONG objectId);

// Has screen readers that listen through UI Automation speak `text` now, as
// a notice from `window` (UiaRaiseNotificationEvent, Windows 10 from 1709;
// a newer notice replaces one not yet spoken). Does nothing where the
// platform lacks it or no client listens.
void AnnounceToScreenReaders(HWND window, std::wstring_view text);

// True while the system's high-contrast setting is on (SPI_GETHIGHCONTRAST,
// HCF_HIGHCONTRASTON).
bool HighContrastOn();

// A new BSTR holding `text`, or null (out of memory, or no library).
BSTR AllocString(std::wstring_view text);

} // namespace tov
