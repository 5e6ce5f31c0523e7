// The value texts every section writer uses. Each writes a NUL-terminated text into
// the caller's buffer (at least kValueTextSize bytes where no size is given); the
// integer ones return its length.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::size_t kValueTextSize = 32;

// value / 10000 cut toward zero; empty when that is 0.
std::size_t FormatAmount(int64_t value, char* out);
// Decimal with a leading '-'; empty when 0.
std::size_t FormatInteger(int32_t value, char* out);
// 1-based row number; never empty.
std::size_t FormatRowNumber(int32_t row, char* out);
// "%d", also for 0.
std::size_t FormatNumber(int32_t value, char* out);
// Four implied decimals rounded half up to 'decimals' places (0-4). Copied only
// when the text is shorter than size; otherwise out is left as it was.
void FormatFixedPoint(int64_t value, char* out, std::size_t size, int decimals);
