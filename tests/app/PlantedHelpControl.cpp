// A stand-in for the help viewer's control library, planted by the help
// binding tests where it must never be loaded from: its export 14 answers
// with a marker that no real viewer returns.
#include <windows.h>

extern "C" HWND WINAPI PlantedHtmlHelp(HWND, LPCSTR, UINT, DWORD_PTR) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7EA7ED));
}
