// The usage bar's numbers without a drawing context: its percentage, the
// column where its fill ends, and its label.
#pragma once

#include <cstdint>
#include <string>

// value × 100 ÷ max in double precision; 0 when max is 0 (no bar is full at 0).
double BarPercentage(uint32_t value, uint32_t max);

// The last filled column: (cx − 1) × percentage × 0.01, truncated. 0 means
// nothing is filled. Capped at the last column, so a percentage beyond 100
// (or an absurd one) fills the bar exactly and never overflows an int.
int BarFillColumn(int cx, double percentage);

// The label: `format` printed with the percentage as its one double argument,
// cut to the 31 characters that the bar's label buffer holds (the longest
// placeholder word, "not responding", needs 14).
std::string FormatBarLabel(const char* format, double percentage);
constexpr size_t kBarLabelBufferSize = 32;
