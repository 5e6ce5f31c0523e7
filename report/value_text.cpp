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
    static constexpr char kPairs[] =
        "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546474849"
        "5051525354555657585960616263646566676869707172737475767778798081828384858687888990919293949596979899";
    char digits[24];
    int n = sizeof digits;
    // The magnitude as unsigned, so that the most negative value has one too; two digits
    // a division, as every number of the report passes here.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    while (magnitude >= 100) {
        const unsigned pair = static_cast<unsigned>(magnitude % 100) * 2;
        magnitude /= 100;
        digits[--n] = kPairs[pair + 1];
        digits[--n] = kPairs[pair];
    }
    if (magnitude >= 10) {
        const unsigned pair = static_cast<unsigned>(magnitude) * 2;
        digits[--n] = kPairs[pair + 1];
        digits[--n] = kPairs[pair];
    } else {
        digits[--n] = static_cast<char>('0' + magnitude);
    }
    if (value < 0) *out++ = '-';
    const std::size_t length = sizeof digits - static_cast<std::size_t>(n);
    std::memcpy(out, digits + n, length);
    out[length] = '\0';
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
