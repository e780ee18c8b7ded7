// A stand-in for the help viewer's control library, planted by the help
// binding tests where it must never be loaded from: its export 15 (the
// viewer's wide entry point) answers with a marker that no real viewer returns.
#include <windows.h>

extern "C" HWND WINAPI PlantedHtmlHelp(HWND, LPCWSTR, UINT, DWORD_PTR) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7EA7ED));
}
