// The usage bar without a drawing context: its percentage, the column where
// its fill ends, its label, and its one-bit image as plain data.
//
// DrawUsageBar composes the same image with GDI; tests compare the two.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// value × 100 ÷ max in double precision; 0 when max is 0 (no bar is full at 0).
double BarPercentage(uint32_t value, uint32_t max);

// The last filled column: (cx − 1) × percentage × 0.01, truncated. 0 means
// nothing is filled. Capped at the last column, so a percentage beyond 100
// (or an absurd one) fills the bar exactly and never overflows an int.
int BarFillColumn(int cx, double percentage);

// The label: `format` printed with the percentage as its one double argument,
// cut to the 11 characters that the bar's 12-byte label buffer holds.
std::string FormatBarLabel(const char* format, double percentage);
constexpr size_t kBarLabelBufferSize = 12;

// A cx × cy image of bits: true is background (white), false is text (black).
// Copied to a colour target, true takes its background colour and false its
// text colour.
class BarImage {
public:
    BarImage(int cx, int cy);

    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    bool Bit(int x, int y) const { return m_bits[Index(x, y)] != 0; }
    void SetBit(int x, int y, bool on) { m_bits[Index(x, y)] = on ? 1 : 0; }

    // Flips every bit of columns 0 to fill inclusive; nothing when fill is 0.
    // Columns beyond the image are ignored.
    void InvertColumns(int fill);

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
BarImage ModelUsageBar(const BarImage& label, uint32_t value, uint32_t max);
