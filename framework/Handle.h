// Move-only owners for Win32 handles, and scope owners for drawing contexts
// and the objects selected into them.
// Every handle the program opens is held by one of these, so it is released on
// every path, and nothing can be released twice through a copy.
#pragma once

#include <windows.h>

#include <utility>

namespace tov {

// Owns one handle of type T and releases it with Close when it goes away.
template <typename T, auto Close> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return m_handle; }
    explicit operator bool() const { return m_handle != T{}; }
    T release() { return std::exchange(m_handle, T{}); }
    void reset(T handle = T{}) {
        if (m_handle != T{})
            Close(m_handle);
        m_handle = handle;
    }
    // For APIs that return a handle through an out-parameter.
    T* put() {
        reset();
        return &m_handle;
    }

private:
    T m_handle{};
};

using UniqueHKey = UniqueHandle<HKEY, RegCloseKey>;
using UniqueDC = UniqueHandle<HDC, DeleteDC>;
using UniqueIcon = UniqueHandle<HICON, DestroyIcon>;
using UniqueModule = UniqueHandle<HMODULE, FreeLibrary>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueAccel = UniqueHandle<HACCEL, DestroyAcceleratorTable>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;
template <typename T> using UniqueGdi = UniqueHandle<T, DeleteObject>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueFont = UniqueGdi<HFONT>;
using UniquePen = UniqueGdi<HPEN>;

// Selects an object into a DC for the guard's lifetime and selects the
// previous object back when it goes away, so a GDI object is never deleted
// while it is still selected.
class SelectGuard {
public:
    [[nodiscard]] SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (m_old != nullptr && m_old != HGDI_ERROR)
            SelectObject(m_dc, m_old);
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Holds a drawing context for a scope and gives it back, when it goes away,
// the way it was obtained: Release is called with the DC unless it is null.
template <typename Release> class DCOwner {
public:
    [[nodiscard]] DCOwner(HDC dc, Release release) : m_dc(dc), m_release(release) {}
    DCOwner(const DCOwner&) = delete;
    DCOwner& operator=(const DCOwner&) = delete;
    ~DCOwner() {
        if (m_dc != nullptr)
            m_release(m_dc);
    }
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
    Release m_release;
};

// A DC from GetDC or GetDCEx goes back with ReleaseDC.
struct ReleaseToWindow {
    HWND window;
    void operator()(HDC dc) const { ReleaseDC(window, dc); }
};
// A DC from BeginPaint ends with EndPaint.
struct EndPaintOf {
    HWND window;
    const PAINTSTRUCT* paint;
    void operator()(HDC) const { EndPaint(window, paint); }
};

// The client-area DC of a window (null: the screen).
class WindowDC : public DCOwner<ReleaseToWindow> {
public:
    [[nodiscard]] explicit WindowDC(HWND window) : DCOwner(GetDC(window), {window}) {}
};

} // namespace tov
