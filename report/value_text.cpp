#include "report/value_text.h"

#include <cstring>
#include <string_view>

#include "common/cp932_cut.h"
#include "store/fixed_decimal.h"

namespace {

// Decimal text of value with a leading '-' when negative, as "%lld" writes it; used for
// every number of the report, so it avoids the formatted-output machinery.
void WriteDecimal(int64_t value, char* out)
{
    char digits[24];
    int n = 0;
    // The magnitude as unsigned, so that the most negative value has one too.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *out++ = '-';
    while (n > 0) *out++ = digits[--n];
    *out = '\0';
}

}  // namespace

void FormatAmount(int64_t value, char* out)
{
    int64_t yen = value / 10000;  // truncates toward zero: fractions of a yen are never written
    if (yen == 0) {
        out[0] = '\0';
        return;
    }
    WriteDecimal(yen, out);
}

void FormatInteger(int32_t value, char* out)
{
    if (value == 0) {
        out[0] = '\0';
        return;
    }
    WriteDecimal(value, out);
}

void FormatRowNumber(int32_t row, char* out) { WriteDecimal(row, out); }

void FormatNumber(int32_t value, char* out) { WriteDecimal(value, out); }

void FormatFixedPoint(int64_t value, char* out, std::size_t size, int decimals)
{
    if (!out || decimals < 0 || decimals > 4) return;
    ClFixedDecimal number(value);
    const char* text = number.ToText(decimals, ClFixedDecimal::kRoundHalfUp);
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
    std::memcpy(out, source, cp932::FitLength(std::string_view(source, length), limit));
}
