// Driving a program in another process as a user would see it: start it,
// find its windows, read the pixels of a window's client area through the
// window's DC, and tell what a drive row shows there.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace remote {

// A started program: its process handle (owned) and id.
class Process {
public:
    Process() = default;
    Process(HANDLE handle, DWORD id) : m_handle(handle), m_id(id) {}
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    HANDLE handle() const { return m_handle; }
    DWORD id() const { return m_id; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    HANDLE m_handle = nullptr;
    DWORD m_id = 0;
};

// Starts `exe` with its own directory as the current one, with the show
// command `show` in its start-up information when one is given (as the
// shell passes one). Empty on failure.
Process Start(const std::string& exe, std::optional<WORD> show = std::nullopt);
// Opens a running process by id for waiting, querying and ending it.
Process Open(DWORD id);

// The visible top-level window of process `pid` titled `title`, or null.
HWND FindTopWindow(DWORD pid, const char* title);
// Polls for it until `timeoutMs` has passed.
HWND WaitTopWindow(DWORD pid, const char* title, DWORD timeoutMs);

// What a process holds, for finding leaks from outside.
struct Usage {
    long gdiObjects = -1;       // -1: not measurable
    long userObjects = -1;      // -1: not measurable
    bool userIsWindows = false; // userObjects counts only the process's windows
    long long privateBytes = -1;
    // Device contexts among the GDI objects, where the handle table tells
    // them (Wine); -1 otherwise.
    long deviceContexts = -1;
};
// GetGuiResources and GetProcessMemoryInfo. Where the platform does not
// implement GetGuiResources (Wine), GDI objects are counted in the
// process's GDI handle table instead and USER objects by its windows;
// where PrivateUsage is not filled in, the pagefile usage stands for it.
Usage Measure(const Process& process);

// UTF-8 of a wide text, for the scripts that read the output.
std::string Utf8(const wchar_t* text);

// The text of a BSTR in UTF-8; frees it.
std::string TakeUtf8(BSTR text);

// The VARIANT that names accessible child `id` (CHILDID_SELF: the object).
VARIANT Child(LONG id);

// The accessible object of a window of another process (OBJID_CLIENT), as a
// screen reader gets it; this thread is in an apartment while it lives.
class Accessible {
public:
    explicit Accessible(HWND window);
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    ~Accessible();

    IAccessible* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // The object's own STATE_SYSTEM_BUSY (true when it cannot be read).
    bool Busy() const;
    // "name<TAB>value" per child; with `describe`, its description instead
    // of its value, line breaks shown as " | ".
    std::vector<std::string> Children(bool describe = false) const;

private:
    IAccessible* m_object = nullptr;
};

// Polls until `window`'s accessible object reports itself not busy; false
// when it still is (or cannot be read) after `limitMs`.
bool WaitNotBusy(HWND window, DWORD limitMs);

// Milliseconds since an arbitrary start, with sub-millisecond resolution.
double NowMs();

// Posts `message` to `target`, then for `durationMs` keeps sending WM_NULL
// to `window`, one after the other, and returns the longest the window took
// to answer one, in ms; negative when the window went away.
double LongestSilence(HWND window, HWND target, UINT message, WPARAM wParam, double durationMs);

// The client area of a window, as 0x00BBGGRR colours, row by row.
class Image {
public:
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    COLORREF At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_cx + x]; }
    // Pixels of [left, right) x [top, bottom), clipped to the image, that
    // have / have not colour c.
    int Count(const RECT& r, COLORREF c) const;
    int CountOther(const RECT& r, COLORREF c) const;
    // True when some pixel of the rectangle and its right neighbour both have
    // colour c: a solid stroke rather than a checkerboard.
    bool HasHorizontalPair(const RECT& r, COLORREF c) const;

    // Reads the window's client area through its DC. False when it cannot.
    bool Capture(HWND window);

private:
    int m_cx = 0, m_cy = 0;
    std::vector<COLORREF> m_pixels;
};

// One pixel of a window's client area, read as Image::Capture reads; CLR_INVALID
// when it cannot be read.
COLORREF PixelAt(HWND window, int x, int y);

constexpr COLORREF kBarBlue = 0x00FF0000;
constexpr COLORREF kBarRed = 0x000000FF;
constexpr COLORREF kBarSilver = 0x00C0C0C0;
constexpr COLORREF kDarkGrey = 0x00404040;

// What one drive row shows, taken from its pixels.
struct RowLook {
    // "bar": a two-colour usage bar; "light" / "dark": the no-size box in the
    // light or dark grey; "empty": nothing there; "other": none of these.
    std::string kind;
    bool freeText = false;  // ink in the free-space cell right of the bar
    bool misplaced = false; // ink just outside the bar's rectangle
    // "bar+text", "light", "dark", ... as the expectations are written.
    std::string Token() const {
        return kind + (freeText ? "+text" : "") + (misplaced ? "+misplaced" : "");
    }
};

// The row whose bar's top is at y, in a view image of width W: bar from x 44
// to W - 100, 28 high; the free-space cell from W - 95 to W, 32 high.
// `background` is the view's background colour.
RowLook LookAtRow(const Image& image, int y, COLORREF background);

} // namespace remote
