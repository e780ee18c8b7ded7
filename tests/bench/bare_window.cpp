// The floor for the start-up benchmark: the least a program can do to show
// the same picture. One plain window, one SHGetFileInfoA and one free-space
// query per drive root at start, then one paint of a row per drive (icon,
// letter, a two-colour bar, the free space) at the same places as Tovemar's
// rows, scaled to the display's DPI. No framework, no toolbar, no status bar,
// no settings.
#include "tests/bench/BareDrives.h"

#include <cstdio>

namespace {
std::vector<bare::Drive> g_drives;

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const auto s = [dpi](int value) { return MulDiv(value, dpi, 96); };
    RECT client;
    GetClientRect(window, &client);
    const int barRight = client.right - s(100);
    SetBkMode(dc, TRANSPARENT);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HBRUSH silver = CreateSolidBrush(RGB(192, 192, 192));
    int y = s(5);
    for (const bare::Drive& drive : g_drives) {
        DrawIcon(dc, s(5), y, drive.sfi.hIcon);
        TextOutA(dc, s(7), y, drive.root, 1);
        const ULONGLONG total = drive.total.QuadPart;
        const int percent = total == 0 ? 0 : int((total - drive.free.QuadPart) * 100 / total);
        const int split = s(44) + (barRight - s(44)) * percent / 100;
        const RECT used{s(44), y, split, y + s(28)}, rest{split, y, barRight, y + s(28)};
        FillRect(dc, &used, blue);
        FillRect(dc, &rest, silver);
        char text[32];
        std::snprintf(text, sizeof text, "%2.2fGB", double(drive.free.QuadPart) / (1 << 30));
        RECT cell{barRight + s(5), y, client.right, y + s(32)};
        DrawTextA(dc, text, -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        y += s(32);
    }
    DeleteObject(blue);
    DeleteObject(silver);
    EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BareDriveWindow";
    RegisterClassA(&wc);
    g_drives = bare::QueryDrives();
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Bare drive window", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    bare::ReleaseIcons(g_drives);
    return 0;
}
