// Move-only owners for Win32 handles and scope guards for drawing contexts.
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
    SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
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

// Releases a DC obtained with GetDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (m_dc != nullptr)
            ReleaseDC(m_window, m_dc);
    }
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

} // namespace tov
