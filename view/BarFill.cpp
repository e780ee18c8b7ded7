#include "view/BarFill.h"

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
