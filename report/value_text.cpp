#include "report/value_text.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "common/cp932.h"
#include "figures/fixed_decimal.h"

void FormatAmount(int64_t value, char* out)
{
    int64_t yen = value / 10000;  // truncates toward zero: fractions of a yen are never written
    if (yen == 0) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kValueTextSize, "%" PRId64, yen);
}

void FormatInteger(int32_t value, char* out)
{
    if (value == 0) {
        out[0] = '\0';
        return;
    }
    std::snprintf(out, kValueTextSize, "%" PRId32, value);
}

void FormatRowNumber(int32_t row, char* out) { std::snprintf(out, kValueTextSize, "%" PRId32, row); }

void FormatNumber(int32_t value, char* out) { std::snprintf(out, kValueTextSize, "%" PRId32, value); }

void FormatFixedPoint(int64_t value, char* out, std::size_t size, int decimals)
{
    if (!out || decimals < 0 || decimals > 4) return;
    ClFixedDecimal number(value);
    const char* text = number.ToText(decimals, 0);
    if (!text) return;
    std::size_t length = std::strlen(text);
    if (length < size) std::memcpy(out, text, length + 1);
}

void CopyMbcsLimited(const char* source, char* out, std::size_t limit)
{
    std::size_t length = strnlen(source, limit + 1);
    if (length <= limit) {
        std::memcpy(out, source, length + 1);
        return;
    }
    // The boundary is found by walking from the start: a trail byte may lie in the
    // lead-byte range.
    std::size_t copy = limit;
    if (limit > 0 && cp932::IsLeadAt(std::string_view(source, limit + 1), limit - 1)) copy = limit - 1;
    std::memcpy(out, source, copy);
}
