// A 32-bit top-down DIB section selected into a memory context, filled white,
// whose pixels tests read back as COLORREF values.
#pragma once

#include "framework/Handle.h"

#include <windows.h>

#include <cstdint>

class DibCanvas {
public:
    DibCanvas(int cx, int cy) : m_cx(cx), m_cy(cy), m_dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = cx;
        info.bmiHeader.biHeight = -cy; // top-down: row 0 first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.reset(CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        m_old = SelectObject(m_dc.get(), m_bitmap.get());
        Fill(RGB(255, 255, 255));
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    ~DibCanvas() { SelectObject(m_dc.get(), m_old); }

    HDC dc() const { return m_dc.get(); }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

    void Fill(COLORREF colour) {
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                Set(x, y, colour);
    }
    // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
    COLORREF At(int x, int y) const {
        GdiFlush();
        const uint32_t p = m_bits[static_cast<size_t>(y) * m_cx + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Set(int x, int y, COLORREF c) {
        m_bits[static_cast<size_t>(y) * m_cx + x] =
            (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    // How many pixels of the rectangle [left, right) × [top, bottom) have colour c.
    int Count(const RECT& r, COLORREF c) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == c ? 1 : 0;
        return n;
    }
    int Area(const RECT& r) const { return (r.right - r.left) * (r.bottom - r.top); }

private:
    int m_cx;
    int m_cy;
    tov::UniqueDC m_dc;
    tov::UniqueBitmap m_bitmap;
    uint32_t* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};
