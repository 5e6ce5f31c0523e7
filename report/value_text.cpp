#include "report/value_text.h"

#include <cstring>

#include "store/fixed_decimal.h"

namespace {

constexpr char kPairs[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546474849"
    "5051525354555657585960616263646566676869707172737475767778798081828384858687888990919293949596979899";

// The digits of magnitude written backwards from end; returns where they start. Two
// digits a division, as every number of the report passes here.
template <typename Unsigned>
char* DigitsBefore(Unsigned magnitude, char* end)
{
    while (magnitude >= 100) {
        const unsigned pair = static_cast<unsigned>(magnitude % 100) * 2;
        magnitude /= 100;
        *--end = kPairs[pair + 1];
        *--end = kPairs[pair];
    }
    if (magnitude >= 10) {
        const unsigned pair = static_cast<unsigned>(magnitude) * 2;
        *--end = kPairs[pair + 1];
        *--end = kPairs[pair];
    } else {
        *--end = static_cast<char>('0' + magnitude);
    }
    return end;
}

// Decimal text of value with a leading '-' when negative, as "%lld" writes it, and its
// length; used for every number of the report, so it avoids the formatted-output
// machinery.
std::size_t WriteDecimal(int64_t value, char* out)
{
    // The digits go right-aligned into a block that a fixed-size copy then moves to out
    // (which holds kValueTextSize bytes): cheaper than counting them first.
    constexpr std::size_t kMaxDigits = 20;
    char digits[kMaxDigits * 2] = {};
    char* const end = digits + kMaxDigits;
    // The magnitude as unsigned, so that the most negative value has one too; the
    // numbers of a report nearly all fit 32 bits, whose divisions are cheaper.
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const char* const start = magnitude <= UINT32_MAX ? DigitsBefore(static_cast<uint32_t>(magnitude), end)
                                                      : DigitsBefore(magnitude, end);
    const std::size_t sign = value < 0 ? 1 : 0;
    if (sign) out[0] = '-';
    static_assert(kMaxDigits + 2 <= kValueTextSize, "a number and its sign fit the value text");
    std::memcpy(out + sign, start, kMaxDigits);
    const std::size_t length = sign + static_cast<std::size_t>(end - start);
    out[length] = '\0';
    return length;
}

}  // namespace

std::size_t FormatAmount(int64_t value, char* out)
{
    int64_t yen = value / 10000;  // truncates toward zero: fractions of a yen are never written
    if (yen == 0) {
        out[0] = '\0';
        return 0;
    }
    return WriteDecimal(yen, out);
}

std::size_t FormatInteger(int32_t value, char* out)
{
    if (value == 0) {
        out[0] = '\0';
        return 0;
    }
    return WriteDecimal(value, out);
}

std::size_t FormatRowNumber(int32_t row, char* out) { return WriteDecimal(row, out); }

std::size_t FormatNumber(int32_t value, char* out) { return WriteDecimal(value, out); }

void FormatFixedPoint(int64_t value, char* out, std::size_t size, int decimals)
{
    if (!out || decimals < 0 || decimals > 4) return;
    ClFixedDecimal number(value);
    const char* text = number.ToText(decimals, ClFixedDecimal::kRoundHalfUp);
    if (!text) return;
    std::size_t length = std::strlen(text);
    if (length < size) std::memcpy(out, text, length + 1);
}
