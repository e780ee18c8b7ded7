// The usage bar's one-bit image as plain data, the model that the pixel tests
// and the paint benchmark compare DrawUsageBar's GDI output with.
#pragma once

#include "view/BarFill.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

// A cx × cy image of bits: true is background (white), false is text (black).
// Copied to a colour target, true takes its background colour and false its
// text colour.
class BarImage {
public:
    BarImage(int cx, int cy)
        : m_cx(std::max(cx, 0)), m_cy(std::max(cy, 0)),
          m_bits(static_cast<size_t>(m_cx) * static_cast<size_t>(m_cy), 1) {}

    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    bool Bit(int x, int y) const { return m_bits[Index(x, y)] != 0; }
    void SetBit(int x, int y, bool on) { m_bits[Index(x, y)] = on ? 1 : 0; }

    // Flips every bit of columns 0 to fill inclusive; nothing when fill is 0.
    // Columns beyond the image are ignored.
    void InvertColumns(int fill) {
        const int end = std::min(fill + 1, m_cx);
        for (int y = 0; fill > 0 && y < m_cy; ++y)
            for (int x = 0; x < end; ++x)
                SetBit(x, y, !Bit(x, y));
    }

    COLORREF Colour(int x, int y, COLORREF text, COLORREF back) const {
        return Bit(x, y) ? back : text;
    }

private:
    size_t Index(int x, int y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(m_cx) + static_cast<size_t>(x);
    }
    int m_cx;
    int m_cy;
    std::vector<unsigned char> m_bits;
};

// The bar's image for a label whose glyph bits are given (false where the
// label's pixels are): the label image with the filled columns inverted.
inline BarImage ModelUsageBar(const BarImage& label, uint32_t value, uint32_t max) {
    BarImage image = label;
    image.InvertColumns(BarFillColumn(label.Width(), BarPercentage(value, max)));
    return image;
}
