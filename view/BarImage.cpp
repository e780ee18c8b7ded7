#include "view/BarImage.h"

#include <algorithm>
#include <cstdio>

double BarPercentage(uint32_t value, uint32_t max) {
    if (max == 0)
        return 0.0;
    return static_cast<double>(value) * 100.0 / static_cast<double>(max);
}

int BarFillColumn(int cx, double percentage) {
    if (cx <= 1 || !(percentage > 0.0))
        return 0;
    const double last = static_cast<double>(cx - 1);
    const double fill = std::min(last * percentage * 0.01, last);
    return static_cast<int>(fill);
}

std::string FormatBarLabel(const char* format, double percentage) {
    char label[kBarLabelBufferSize] = {};
    if (format != nullptr)
        std::snprintf(label, sizeof label, format, percentage);
    return label;
}

BarImage::BarImage(int cx, int cy)
    : m_cx(std::max(cx, 0)), m_cy(std::max(cy, 0)),
      m_bits(static_cast<size_t>(m_cx) * static_cast<size_t>(m_cy), 1) {}

void BarImage::InvertColumns(int fill) {
    if (fill <= 0)
        return;
    const int end = std::min(fill + 1, m_cx);
    for (int y = 0; y < m_cy; ++y)
        for (int x = 0; x < end; ++x)
            SetBit(x, y, !Bit(x, y));
}

BarImage ModelUsageBar(const BarImage& label, uint32_t value, uint32_t max) {
    BarImage image = label;
    image.InvertColumns(BarFillColumn(label.Width(), BarPercentage(value, max)));
    return image;
}
